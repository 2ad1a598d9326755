// Sprites: reading frames from XML and handing a frame to a sprite batch.
#include "graphics/Sprite.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>

#include "base/Exceptions.h"
#include "graphics/SpriteBatch.h"
#include "graphics/TextureCache.h"
#include "base/XmlAttributes.h"

namespace {
// The four rectangle attributes, in the order they are read and reported.
constexpr const char* kRectAttributes[] = {"x", "y", "width", "height"};
constexpr const char* kSingleFrameTexts[] = {
    "Attribute query failed on single frame x.", "Attribute query failed on single frame y.",
    "Attribute query failed on single frame width.", "Attribute query failed on single frame height."};
constexpr const char* kFrameTexts[] = {
    "Attribute query failed on x on frame: ", "Attribute query failed on y on frame: ",
    "Attribute query failed on width on frame: ", "Attribute query failed on height on frame: "};

// Reads the four rectangle values as "%d" integers, used as unsigned pixels. Returns the index
// of the first attribute that is missing or does not read, or -1 when all four were read.
int readRect(const TiXmlElement* element, uint32_t (&rect)[4]) {
    for (int i = 0; i < 4; ++i) {
        int value = 0;
        if (!xml::readInt(element, kRectAttributes[i], value))
            return i;
        rect[i] = static_cast<uint32_t>(value);
    }
    return -1;
}

// The alpha bounds of a frame of `texture` (whose rectangle the region's constructor has
// checked lies inside it).
AlphaBounds boundsOf(const Texture& texture, const uint32_t (&rect)[4]) {
    if (texture.alpha.size() != static_cast<std::size_t>(texture.width) * texture.height)
        return AlphaBounds(rect[2], rect[3]);
    return AlphaBounds(texture.alpha.data(), texture.width, rect[0], rect[1], rect[2], rect[3]);
}

bool hasSingleFrame(const TiXmlElement* element) {
    for (const char* name : kRectAttributes)
        if (element->Attribute(name) == nullptr)
            return false;
    return true;
}
} // namespace

Sprite::Sprite(const TiXmlHandle& handle, TextureCache& textures) {
    const TiXmlElement* element = handle.ToElement();
    if (element == nullptr)
        throw SpriteException("No ID", "Sprite passed invalid xml handle, does not resolve to an element.");
    const char* idText = element->Attribute("id");
    if (idText == nullptr)
        throw SpriteException("No ID", "Sprite element has no \"id\" attribute!");
    id = idText;
    const char* textureName = element->Attribute("texture");
    if (textureName == nullptr)
        throw SpriteException(id, "No texture name specified!");
    Texture* texture = textures.getTexture(textureName);
    if (texture == nullptr)
        throw SpriteException(id, std::string("Error while retrieving texture: ") + textureName);
    readFrames(handle, texture);
}

Sprite::~Sprite() = default;

void Sprite::readFrames(const TiXmlHandle& handle, Texture* texture) {
    const TiXmlElement* element = handle.ToElement();
    uint32_t rect[4] = {};
    if (hasSingleFrame(element)) {
        const int failed = readRect(element, rect);
        if (failed >= 0)
            throw SpriteException(id, kSingleFrameTexts[failed]);
        frames.push_back(std::make_unique<TextureRegion>(texture, rect[0], rect[1], rect[2], rect[3]));
        bounds.push_back(boundsOf(*texture, rect));
        return;
    }
    const TiXmlElement* frame = element->FirstChildElement("frame");
    if (frame == nullptr)
        throw SpriteException(id, "No frames specified or incorrect parameters for a single frame.");
    for (uint32_t n = 0; frame != nullptr; ++n, frame = frame->NextSiblingElement("frame")) {
        const int failed = readRect(frame, rect);
        if (failed >= 0)
            throw SpriteException(id, kFrameTexts[failed] + std::to_string(n));
        frames.push_back(std::make_unique<TextureRegion>(texture, rect[0], rect[1], rect[2], rect[3]));
        bounds.push_back(boundsOf(*texture, rect));
    }
}

Texture* Sprite::getTexture() {
    return frames.empty() ? nullptr : frames.front()->getTexture();
}

void Sprite::checkDrawable(const SpriteBatch* batch, uint32_t frame) const {
    if (batch == nullptr)
        throw SpriteException(id, "Cannot render with null SpriteBatch");
    if (frame >= frames.size())
        throw SpriteException(id, "Cannot render with invalid frame.");
}

void Sprite::render(SpriteBatch* batch, const Matrix3& transform, float width, float height, const Colour& colour,
                    uint32_t frame, bool flipX, bool flipY) {
    checkDrawable(batch, frame);
    batch->addQuad(*frames[frame], transform, width, height, colour, flipX, flipY);
}

void Sprite::renderVisible(SpriteBatch* batch, const Matrix3& transform, float width, float height,
                           const Colour& colour, uint32_t frame, bool flipX, bool flipY) {
    checkDrawable(batch, frame);
    // A texel of alpha a draws a fragment of alpha a/255 x the tint's: at most the level below,
    // it stays under kInvisibleTintAlpha, below the test's reference however the driver rounds.
    if (!(colour.alpha > kInvisibleTintAlpha))
        return;
    const float level = std::floor(kInvisibleTintAlpha * 255.0f / colour.alpha);
    const AlphaBounds& frameBounds = bounds[frame];
    const TexelBox box = frameBounds.above(static_cast<uint8_t>(std::min(level, 255.0f)));
    if (box.empty())
        return;
    const TextureRegion& region = *frames[frame];
    const float texelsWide = static_cast<float>(frameBounds.getWidth());
    const float texelsHigh = static_cast<float>(frameBounds.getHeight());
    if ((box.left == 0 && box.top == 0 && box.right == frameBounds.getWidth() &&
         box.bottom == frameBounds.getHeight()) ||
        !(width > 0.0f && height > 0.0f)) {
        batch->addQuad(region, transform, width, height, colour, flipX, flipY);
        return;
    }
    // The box in the quad's own units (x = 0 shows the frame's right edge when flipped), rounded
    // out to whole units: more texels, all of them too faint, and edges on whole pixels wherever
    // the quad itself starts on one.
    const float scaleX = width / texelsWide, scaleY = height / texelsHigh;
    const float boxLeft = flipX ? texelsWide - static_cast<float>(box.right) : static_cast<float>(box.left);
    const float boxTop = flipY ? texelsHigh - static_cast<float>(box.bottom) : static_cast<float>(box.top);
    const float boxRight = boxLeft + static_cast<float>(box.right - box.left);
    const float boxBottom = boxTop + static_cast<float>(box.bottom - box.top);
    const float x0 = std::max(0.0f, std::floor(boxLeft * scaleX)), x1 = std::min(width, std::ceil(boxRight * scaleX));
    const float y0 = std::max(0.0f, std::floor(boxTop * scaleY)), y1 = std::min(height, std::ceil(boxBottom * scaleY));
    // Texture coordinates at those edges, along the same line as the whole quad's.
    const auto u = [&](float x) {
        const float texel = flipX ? texelsWide - x / scaleX : x / scaleX;
        return region.getLeft() + (region.getRight() - region.getLeft()) * (texel / texelsWide);
    };
    const auto v = [&](float y) {
        const float texel = flipY ? texelsHigh - y / scaleY : y / scaleY;
        return region.getTop() + (region.getBottom() - region.getTop()) * (texel / texelsHigh);
    };
    batch->addQuad(u(x0), v(y0), u(x1), v(y1), transform * Matrix3::translation(x0, y0), x1 - x0, y1 - y0, colour,
                   false, false);
}

void Sprite::renderFrame(SpriteBatch* batch, const Matrix3& transform, const Colour& colour, uint32_t frame, bool flipX,
                         bool flipY) {
    if (frame >= frames.size())
        throw SpriteException(id, "Cannot render with invalid frame.");
    TextureRegion& region = *frames[frame];
    const float height = static_cast<float>(static_cast<uint32_t>(region.getHeight()));
    const float width = static_cast<float>(static_cast<uint32_t>(region.getWidth()));
    render(batch, transform, width, height, colour, frame, flipX, flipY);
}
