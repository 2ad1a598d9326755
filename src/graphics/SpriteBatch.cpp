// The sprite batch: quad building on the CPU, one upload when changed, indexed drawing.
#include "graphics/SpriteBatch.h"

#include <GL/glew.h>
#include <algorithm>
#include <string>

#include "base/Exceptions.h"
#include "graphics/Texture.h"
#include "graphics/TextureRegion.h"

namespace {
// Byte offsets of the fields in a Vertex, as GL buffer offsets.
constexpr size_t kPositionOffset = 0;
constexpr size_t kTexCoordOffset = 8;
constexpr size_t kColourOffset = 16;

const void* bufferOffset(size_t bytes) {
    return reinterpret_cast<const void*>(bytes);
}

// Draws `quads` quads from the bound buffers, starting at the arrays' current first vertex.
void drawRun(uint32_t quads) {
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(quads * kIndicesPerQuad), GL_UNSIGNED_SHORT, bufferOffset(0));
}

void checkCapacity(uint32_t capacity) {
    if (capacity == 0 || capacity > kMaxQuadsPerDraw)
        throw BaseException("SpriteBatch supplied with invalid capacity " + std::to_string(capacity) +
                            ", it must be from 1 to " + std::to_string(kMaxQuadsPerDraw) + "!");
}
} // namespace

SpriteBatch::SpriteBatch(Texture* texture, uint32_t capacity) : capacity(capacity), texture(texture) {
    if (texture == nullptr || !texture->loaded)
        throw BaseException(kInvalidBatchTexture);
    checkCapacity(capacity);
    makeBuffers();
}

SpriteBatch::SpriteBatch(uint32_t capacity) : capacity(capacity), texture(nullptr) {
    checkCapacity(capacity);
    makeBuffers();
}

void SpriteBatch::makeBuffers() {
    vertices.resize(capacity * kVerticesPerQuad);
    glGenBuffers(1, &vertexBuffer);
    fillIndices(capacity);
    glGenBuffers(1, &indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, indices.size() * sizeof(uint16_t), indices.data(), GL_DYNAMIC_DRAW);
}

SpriteBatch::~SpriteBatch() {
    glDeleteBuffers(1, &indexBuffer);
    glDeleteBuffers(1, &vertexBuffer);
}

// Quad k uses vertices 4k..4k+3 as the triangles (V0, V1, V2) and (V2, V3, V0).
void SpriteBatch::fillIndices(uint32_t quads) {
    uint32_t k = static_cast<uint32_t>(indices.size() / kIndicesPerQuad);
    indices.resize(quads * kIndicesPerQuad);
    for (; k < quads; ++k) {
        const uint16_t base = static_cast<uint16_t>(k * kVerticesPerQuad);
        uint16_t* out = &indices[k * kIndicesPerQuad];
        out[0] = base;
        out[1] = base + 1;
        out[2] = base + 2;
        out[3] = base + 2;
        out[4] = base + 3;
        out[5] = base;
    }
}

void SpriteBatch::begin() {
    if (begun)
        return;
    floatCount = 0;
    begun = true;
}

void SpriteBatch::grow() {
    if (capacity >= kMaxQuadsPerBatch)
        throw BaseException("SpriteBatch overflow: more than " + std::to_string(kMaxQuadsPerBatch) +
                            " quads of one texture between two draws!");
    capacity = std::min(capacity * 2, kMaxQuadsPerBatch);
    vertices.resize(capacity * kVerticesPerQuad);
    const uint32_t indexedQuads = std::min(capacity, kMaxQuadsPerDraw);
    if (indexedQuads * kIndicesPerQuad > indices.size()) {
        fillIndices(indexedQuads);
        indicesDirty = true;
    }
}

void SpriteBatch::drawOpaque() {
    if (floatCount == 0 || !begun)
        return;
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    draw();
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
}

void SpriteBatch::draw() {
    if (floatCount == 0 || !begun)
        return;
    if (texture != nullptr) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture->glName);
        // Smooth shading even though a textured quad has one colour: under flat shading Mesa's
        // software rasteriser takes the colour for a constant input and then never uses its
        // rectangle path, which costs far more than the interpolation saved.
    }
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    const uint32_t quads = floatCount / kFloatsPerQuad;
    if (dirty) {
        // Only the quads of this frame, not the whole capacity: once a spike has grown the batch,
        // uploading its capacity would make every later small frame pay for the spike.
        // glBufferData (rather than a sub-upload into the old storage) lets the driver hand the
        // buffer the previous draw may still be reading a fresh store instead of waiting.
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(quads) * kBytesPerQuad, vertices.data(), GL_DYNAMIC_DRAW);
        dirty = false;
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(Vertex), bufferOffset(kPositionOffset));
    glClientActiveTexture(GL_TEXTURE0);
    if (texture != nullptr) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), bufferOffset(kTexCoordOffset));
    }
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_FLOAT, sizeof(Vertex), bufferOffset(kColourOffset));
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    if (indicesDirty) {
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, indices.size() * sizeof(uint16_t), indices.data(), GL_DYNAMIC_DRAW);
        indicesDirty = false;
    }
    drawRun(std::min(quads, kMaxQuadsPerDraw));
    // Only a batch grown past the 16-bit index range gets here: each further run points the
    // arrays at its own first vertex and reuses the same index pattern.
    for (uint32_t first = kMaxQuadsPerDraw; first < quads; first += kMaxQuadsPerDraw) {
        const size_t base = static_cast<size_t>(first) * kBytesPerQuad;
        glVertexPointer(2, GL_FLOAT, sizeof(Vertex), bufferOffset(base + kPositionOffset));
        glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), bufferOffset(base + kTexCoordOffset));
        glColorPointer(4, GL_FLOAT, sizeof(Vertex), bufferOffset(base + kColourOffset));
        drawRun(std::min(quads - first, kMaxQuadsPerDraw));
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisable(GL_TEXTURE_2D);
    floatCount = 0;
    begun = false;
}

void clearColourBuffer(const Colour& colour) {
    glClearColor(colour.red, colour.green, colour.blue, colour.alpha);
    glClear(GL_COLOR_BUFFER_BIT);
}
