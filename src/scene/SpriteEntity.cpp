// SpriteEntity: reading the element and drawing the sprite with its transform.
#include "scene/SpriteEntity.h"

#include <cmath>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/SettingReader.h"
#include "base/XmlAttributes.h"
#include "graphics/Sprite.h"
#include "graphics/SpriteBatch.h"
#include "graphics/SpriteManager.h"
#include "graphics/TextureRegion.h"
#include "scene/LoadObserver.h"
#include "scene/SceneContext.h"

namespace {
const char* const kSource = "SpriteEntity";
} // namespace

void SpriteEntity::load(const TiXmlHandle& handle, IScene* owner) {
    const TiXmlElement* element = loadPlacement(handle, owner, kSource);
    const char* spriteId = element->Attribute("sprite");
    if (spriteId == nullptr)
        throw EntityException(kSource, "No sprite specified!");
    SpriteManager* sprites = contextOf(owner).sprites;
    sprite = sprites != nullptr ? sprites->getSprite(spriteId) : nullptr;
    if (sprite == nullptr)
        throw EntityException(kSource, spriteNotFound(spriteId));

    // A sprite always has at least one frame: the sprite loader rejects one without.
    using namespace spritesettings;
    sizeSet = element->Attribute(kWidth.name) != nullptr || element->Attribute(kHeight.name) != nullptr;
    width = static_cast<float>(static_cast<uint32_t>(sprite->getFrame(0).getWidth()));
    height = static_cast<float>(static_cast<uint32_t>(sprite->getFrame(0).getHeight()));
    SettingReader<EntityException>(element, kSource, loadObserverOf(owner))(kWidth, width)(kHeight, height);
}

const TiXmlElement* SpriteEntity::loadPlacement(const TiXmlHandle& handle, IScene* owner, const char* source) {
    scene = owner;
    const TiXmlElement* element = handle.ToElement();
    if (element == nullptr)
        throw EntityException(source, "XmlHandle is invalid or for a different scene");
    using namespace spritesettings;
    int layerValue = layer;
    SettingReader<EntityException> read(element, source, loadObserverOf(owner));
    read(kEnabled, enabled)(kVisible, visible)(kX, position.x)(kY, position.y)(kScaleX, scale.x)(kScaleY, scale.y);
    read(kRotation, rotation)(kOffsetX, offset.x)(kOffsetY, offset.y)(kLayer, layerValue)(kFlipX, flipX);
    read(kFlipY, flipY)(kOpaque, opaque)(kColour, colour);
    initialEnabled = enabled;
    initialVisible = visible;
    layer = layerValue;
    return element;
}

void SpriteEntity::update(float) {}
void SpriteEntity::postUpdate(float) {}
void SpriteEntity::onCollision(CollisionResult*) {}

void SpriteEntity::reset() {
    enabled = initialEnabled;
    visible = initialVisible;
}

IRenderable* SpriteEntity::getRenderable() {
    return sprite;
}

Matrix3 SpriteEntity::getRenderTransform() const {
    const Vector2 pivot{width * 0.5f, height * 0.5f};
    const Vector2 p = position + offset + getDrawOffset();
    const float a = rotation * kDegreesToRadians;
    const float c = std::cos(a);
    const float s = std::sin(a);
    // Rotation about the pivot: translate the pivot to the origin, rotate, translate back.
    const Matrix3 rotate{
        {{c, -s, pivot.x * (1 - c) + pivot.y * s}, {s, c, pivot.y * (1 - c) - pivot.x * s}, {0, 0, 1}}};
    return (Matrix3::translation(p.x, p.y) * Matrix3::scaling(scale.x, scale.y)) * rotate;
}

void SpriteEntity::render(SpriteBatch* batch) {
    // A tint too faint for the alpha test draws nothing, but a software rasteriser would still
    // shade every fragment: faded-out overlays the size of the field cost as much as the
    // backdrop. Leaving their quads out changes no pixel. An opaque picture is drawn without the
    // test, so only one with no alpha at all is left out.
    if (sprite == nullptr || colour.alpha <= (opaque ? 0.0f : kInvisibleTintAlpha))
        return;
    const Matrix3 transform = getRenderTransform();
    const auto index = static_cast<uint32_t>(frame);
    Vector2 size{width, height};
    // A bad frame has no size; the sprite reports it.
    if (index < sprite->getFrameCount())
        size = drawnSize(index);
    // Blended, only the part of the picture the alpha test can let through is drawn; opaque
    // drawing has no test.
    if (opaque)
        sprite->render(batch, transform, size.x, size.y, colour, index, flipX, flipY);
    else
        sprite->renderVisible(batch, transform, size.x, size.y, colour, index, flipX, flipY);
}

Vector2 SpriteEntity::drawnSize(uint32_t index) const {
    if (sizeSet)
        return {width, height};
    TextureRegion& region = sprite->getFrame(index);
    return {static_cast<float>(region.getWidth()), static_cast<float>(region.getHeight())};
}

bool SpriteEntity::covers(const Rect& area) const {
    // A picture with no alpha at all is left out of the frame (render), so it covers nothing.
    if (sprite == nullptr || frame < 0 || static_cast<uint32_t>(frame) >= sprite->getFrameCount() || rotation != 0.0f ||
        !visible || colour.alpha <= 0.0f)
        return false;
    const Vector2 size = drawnSize(static_cast<uint32_t>(frame));
    const float drawnWidth = size.x * scale.x, drawnHeight = size.y * scale.y;
    const Vector2 at = position + offset;
    return at.x <= area.x && at.y <= area.y && at.x + drawnWidth >= area.x + area.width &&
           at.y + drawnHeight >= area.y + area.height;
}

SpriteProperties SpriteEntity::getSpriteProperties() const {
    SpriteProperties properties;
    properties.position = position;
    properties.scale = scale;
    properties.offset = offset;
    properties.rotation = rotation;
    properties.colour = colour;
    properties.width = width;
    properties.height = height;
    properties.layer = layer;
    properties.flipX = flipX;
    properties.flipY = flipY;
    properties.sprite = sprite;
    properties.frame = frame;
    return properties;
}
