// Sprites: reading frames from XML and handing a frame to a sprite batch.
#include "graphics/Sprite.h"

#include <tinyxml.h>

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
    }
}

Texture* Sprite::getTexture() {
    return frames.empty() ? nullptr : frames.front()->getTexture();
}

void Sprite::render(SpriteBatch* batch, const Matrix3& transform, float width, float height, const Colour& colour,
                    uint32_t frame, bool flipX, bool flipY) {
    if (batch == nullptr)
        throw SpriteException(id, "Cannot render with null SpriteBatch");
    if (frame >= frames.size())
        throw SpriteException(id, "Cannot render with invalid frame.");
    batch->addQuad(*frames[frame], transform, width, height, colour, flipX, flipY);
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
