// A batch of textured, coloured quads sharing one texture, or of plain coloured quads with no
// texture: built in main memory each frame and drawn from GL buffer objects with the
// fixed-function client arrays.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "graphics/Matrix3.h"
#include "graphics/TextureRegion.h"
#include "base/Colour.h"

struct Texture;

// One interleaved vertex: 32 bytes, eight floats, the layout the GL array pointers describe.
struct Vertex {
    float x, y;
    float u, v; // v = 0 at the top of the image
    float red, green, blue, alpha;
};
static_assert(sizeof(Vertex) == 32, "the vertex layout is eight packed floats");

constexpr uint32_t kVerticesPerQuad = 4;
constexpr uint32_t kFloatsPerVertex = 8;
constexpr uint32_t kFloatsPerQuad = kVerticesPerQuad * kFloatsPerVertex;
constexpr uint32_t kBytesPerQuad = kFloatsPerQuad * sizeof(float);
constexpr uint32_t kIndicesPerQuad = 6;
// 16-bit indices address 65536 vertices: the most quads one draw call can reach.
constexpr uint32_t kMaxQuadsPerDraw = 65536 / kVerticesPerQuad;
// Growth stops here (128 MiB of vertices); no frame comes near it, and the counters stay far
// from 32-bit overflow.
constexpr uint32_t kMaxQuadsPerBatch = 1u << 20;
// Blended drawing runs with the alpha test on: a fragment whose alpha is not above this reference
// is dropped, so faint edges never tint what lies behind them.
constexpr float kAlphaTestReference = 0.1f;
// A quad whose tint alpha is at most this draws nothing under the alpha test, however the driver
// rounds the tint and the reference to 8 bits (23/255 at most against 25/255 at least), so it
// may be left out. A software rasteriser would still shade every one of its fragments.
constexpr float kInvisibleTintAlpha = 0.09f;

// Fills the whole colour buffer with `colour` (within the scissor box, when the scissor test is on). A software
// rasteriser clears several times faster than it draws any quad over the same pixels, so a picture with a large flat
// part may start so.
void clearColourBuffer(const Colour& colour);

// What a textured batch asked for with a null or unloaded texture is refused with.
constexpr const char* kInvalidBatchTexture = "SpriteBatch supplied with invalid source texture!";

// More quads than `capacity` between two draws.
// A batch may not be drawn early (the scene draws every batch at the end of the frame, in the
// order its textures first came up), and quads may not be dropped. So a full batch grows: it
// doubles its vertex array, and its index pattern up to kMaxQuadsPerDraw quads. A batch holding
// more than kMaxQuadsPerDraw quads is drawn with one glDrawElements per run of kMaxQuadsPerDraw
// quads, each run re-pointing the arrays at its first vertex so that the same 16-bit index
// pattern serves every run. Runs are drawn in order, so submission order is kept. The grown
// arrays are kept, so later frames of the same size allocate nothing.
//
// Lifetime: `texture` is not owned; the texture cache owns it and outlives every batch (the
// registry is destroyed first). A batch owns its arrays and its two GL buffers.
class SpriteBatch {
public:
    // Throws BaseException(kInvalidBatchTexture) for a null or
    // unloaded texture, and a BaseException naming the capacity when it is 0 or above
    // kMaxQuadsPerDraw. Needs a current GL context.
    SpriteBatch(Texture* texture, uint32_t capacity);
    // A batch of untextured quads (addColourQuad): only their vertex colours are drawn, which a
    // software rasteriser fills at about half the cost of sampling a texture.
    explicit SpriteBatch(uint32_t capacity);
    ~SpriteBatch();
    SpriteBatch(const SpriteBatch&) = delete;
    SpriteBatch& operator=(const SpriteBatch&) = delete;

    // Takes the batch for the current frame: empties it unless it is already taken.
    void begin();
    // Appends one axis-aligned quad between M*(0,0) and M*(width,height), with the region's
    // coordinates (swapped by the flips) and the colour on all four vertices. The region should
    // lie in the batch's texture; that is not checked. A full batch grows (see above); past
    // kMaxQuadsPerBatch quads between two draws it throws BaseException.
    void addQuad(const TextureRegion& region, const Matrix3& transform, float width, float height, const Colour& colour,
                 bool flipX, bool flipY);
    // The same with the texture coordinates of the quad's edges given directly (0..1, before
    // the flips), for a part of a region.
    void addQuad(float left, float top, float right, float bottom, const Matrix3& transform, float width, float height,
                 const Colour& colour, bool flipX, bool flipY);
    // Appends one axis-aligned quad from (left, top) to (right, bottom) whose colour runs evenly
    // from `topColour` along its top edge to `bottomColour` along its bottom edge. For untextured
    // batches only.
    void addColourQuad(float left, float top, float right, float bottom, const Colour& topColour,
                       const Colour& bottomColour);
    // Draws every quad added since the last draw, then empties the batch. Does nothing when
    // the batch is empty or was not begun.
    void draw();
    // draw() with blending and the alpha test off: every fragment is written as it is, which on a
    // software rasteriser costs far less than blending it. For pictures with no transparency that
    // cover what is behind them anyway (a backdrop).
    void drawOpaque();

    // Room for one more quad without growing.
    bool hasRoom() const { return floatCount < capacity * kFloatsPerQuad; }
    uint32_t getCapacity() const { return capacity; }
    uint32_t getFloatCount() const { return floatCount; }
    uint32_t getQuadCount() const { return floatCount / kFloatsPerQuad; }
    // Null for an untextured batch.
    Texture* getTexture() const { return texture; }
    bool isBegun() const { return begun; }
    bool isDirty() const { return dirty; }
    const Vertex* getVertices() const { return vertices.data(); }
    const uint16_t* getIndices() const { return indices.data(); }
    uint32_t getIndexCount() const { return static_cast<uint32_t>(indices.size()); }

private:
    void grow();
    void fillIndices(uint32_t quads);
    void makeBuffers();

    uint32_t capacity;
    uint32_t floatCount = 0;
    Texture* texture;
    bool begun = false;
    uint32_t vertexBuffer = 0;
    uint32_t indexBuffer = 0;
    bool dirty = false;
    // The index array changed since it was uploaded (the batch grew).
    bool indicesDirty = false;
    std::vector<Vertex> vertices;
    std::vector<uint16_t> indices;
};

// Inline: it runs once per quad, and a call per quad costs as much as the work itself.
inline void SpriteBatch::addQuad(const TextureRegion& region, const Matrix3& transform, float width, float height,
                                 const Colour& colour, bool flipX, bool flipY) {
    addQuad(region.getLeft(), region.getTop(), region.getRight(), region.getBottom(), transform, width, height, colour,
            flipX, flipY);
}

inline void SpriteBatch::addQuad(float left, float top, float right, float bottom, const Matrix3& transform,
                                 float width, float height, const Colour& colour, bool flipX, bool flipY) {
    if (__builtin_expect(floatCount == capacity * kFloatsPerQuad, 0))
        grow();
    const auto& m = transform.m;
    // Only two corners are transformed; the quad is the axis-aligned box between them.
    const float x0 = m[0][2];
    const float y0 = m[1][2];
    const float x1 = m[0][0] * width + m[0][1] * height + m[0][2];
    const float y1 = m[1][0] * width + m[1][1] * height + m[1][2];
    if (flipX)
        std::swap(left, right);
    if (flipY)
        std::swap(top, bottom);
    Vertex* v = &vertices[floatCount / kFloatsPerVertex];
    const float r = colour.red, g = colour.green, b = colour.blue, a = colour.alpha;
    v[0] = Vertex{x0, y0, left, top, r, g, b, a};
    v[1] = Vertex{x0, y1, left, bottom, r, g, b, a};
    v[2] = Vertex{x1, y1, right, bottom, r, g, b, a};
    v[3] = Vertex{x1, y0, right, top, r, g, b, a};
    floatCount += kFloatsPerQuad;
    dirty = true;
}

inline void SpriteBatch::addColourQuad(float left, float top, float right, float bottom, const Colour& topColour,
                                       const Colour& bottomColour) {
    if (floatCount == capacity * kFloatsPerQuad)
        grow();
    const Colour& t = topColour;
    const Colour& b = bottomColour;
    Vertex* v = &vertices[floatCount / kFloatsPerVertex];
    v[0] = Vertex{left, top, 0.0f, 0.0f, t.red, t.green, t.blue, t.alpha};
    v[1] = Vertex{left, bottom, 0.0f, 0.0f, b.red, b.green, b.blue, b.alpha};
    v[2] = Vertex{right, bottom, 0.0f, 0.0f, b.red, b.green, b.blue, b.alpha};
    v[3] = Vertex{right, top, 0.0f, 0.0f, t.red, t.green, t.blue, t.alpha};
    floatCount += kFloatsPerQuad;
    dirty = true;
}
