// The entity that shows one sprite at a position with scale, rotation, offset, tint and
// mirroring, on a layer: the "sprite_entity" type and the base of every drawn game entity.
#pragma once

#include <cstdint>

#include "base/Colour.h"
#include "base/Setting.h"
#include "collision/Rect.h"
#include "collision/Vector2.h"
#include "graphics/Matrix3.h"
#include "scene/IEntity.h"
#include "scene/IPicture.h"
#include "scene/SpriteProperties.h"

class Sprite;
class TiXmlElement;

// Attributes of a sprite entity's element, which the other pictures share.
namespace spritesettings {
using K = ValueKind;
// No picture is placed, sized or shifted further than this many pixels.
inline constexpr double kFarthest = 100000.0;
inline constexpr Setting kEnabled{"enabled", K::FlagOn, "true", "takes part in updates and collisions"};
inline constexpr Setting kVisible{"visible", K::FlagOn, "true", "is drawn"};
inline constexpr Setting kX{"x", K::Float, "0", "left edge, window pixels", -kFarthest, kFarthest};
inline constexpr Setting kY{"y", K::Float, "0", "top edge, window pixels, y down", -kFarthest, kFarthest};
inline constexpr Setting kScaleX{"scale_x", K::Float, "1", "drawing scale across", -1000, 1000};
inline constexpr Setting kScaleY{"scale_y", K::Float, "1", "drawing scale down", -1000, 1000};
inline constexpr Setting kRotation{"rotation", K::Float, "0", "degrees, about the box's centre", -3600, 3600};
inline constexpr Setting kOffsetX{"offset_x", K::Float, "0", "added to `x` to draw and collide", -kFarthest, kFarthest};
inline constexpr Setting kOffsetY{"offset_y", K::Float, "0", "added to `y` to draw and collide", -kFarthest, kFarthest};
inline constexpr Setting kLayer{"layer", K::Integer, "0", "update and drawing order, lowest first", -1000000, 1000000};
inline constexpr Setting kFlipX{"flip_x", K::FlagOff, "false", "mirrors the picture left to right"};
inline constexpr Setting kFlipY{"flip_y", K::FlagOff, "false", "mirrors the picture top to bottom"};
inline constexpr Setting kColour{"colour", K::Colour, "ffffff", "tint multiplied into the picture"};
inline constexpr Setting kSprite{"sprite", K::SpriteId, "required", "the picture"};
inline constexpr Setting kWidth{"width", K::Float, "the frame's width", "drawn width", -kFarthest, kFarthest};
inline constexpr Setting kHeight{"height", K::Float, "the frame's height", "drawn height", -kFarthest, kFarthest};
inline constexpr Setting kOpaque{"opaque", K::FlagOff, "false", "`true`: no transparency; drawn first, unblended"};
} // namespace spritesettings

// `sprite` is owned by the sprite manager, which outlives every entity; `scene` is the scene
// the entity lives in, which owns it.
class SpriteEntity : public IEntity, public IPicture {
public:
    SpriteEntity() = default;

    void load(const TiXmlHandle& handle, IScene* scene) override;
    void update(float dt) override;
    void postUpdate(float dt) override;
    void render(SpriteBatch* batch) override;
    void reset() override;
    void onCollision(CollisionResult* collision) override;
    bool isActive() override { return enabled; }
    bool isVisible() override { return visible; }
    const Vector2& getPosition() override { return position; }
    int32_t getLayer() override { return layer; }
    IRenderable* getRenderable() override;
    ICollider* getCollider() override { return nullptr; }
    IScene* getScene() override { return scene; }
    void setScene(IScene* newScene) override { scene = newScene; }
    virtual void setPosition(const Vector2& newPosition) { position = newPosition; }
    void setDrawOffset(const Vector2& newOffset) override { drawOffset = newOffset; }
    Vector2 getDrawOffset() const override { return drawOffset; }

    SpriteProperties getSpriteProperties() const;
    // The transform the sprite is drawn with: translate to position + offset (and the draw
    // offset), scale, and rotate about the centre of the unscaled box.
    Matrix3 getRenderTransform() const;
    // The unscaled box the collider and the game rules work with, and its centre.
    Vector2 getSize() const { return {width, height}; }
    Vector2 getCentre() const { return position + getSize() * 0.5f; }
    // What the data asked for: the state every reset returns to.
    bool isInitiallyEnabled() const { return initialEnabled; }
    // Turned on and off by the rules of the scene it is in (a block that breaks, a hidden hint).
    void setEnabled(bool on) { enabled = on; }
    void setVisible(bool shown) { visible = shown; }
    const Colour& getColour() const { return colour; }
    // "opaque" (IPicture.h).
    bool isOpaque() const override { return opaque; }
    bool covers(const Rect& area) const override;

protected:
    // Reads every attribute but the sprite and the size, and remembers the scene; returns the
    // element. Throws EntityException from `source` when the handle holds no element.
    const TiXmlElement* loadPlacement(const TiXmlHandle& handle, IScene* owner, const char* source);
    // The size frame `index` (which must exist) is drawn at, before scaling: the set size, or
    // the frame's own.
    Vector2 drawnSize(uint32_t index) const;

    bool enabled = true;
    bool initialEnabled = true;
    bool visible = true;
    bool initialVisible = true;
    Vector2 position;
    Vector2 scale{1.0f, 1.0f};
    float rotation = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    bool sizeSet = false;
    Vector2 offset;
    // Only for drawing: where the scene's interpolation puts the picture (setDrawOffset).
    Vector2 drawOffset;
    int32_t layer = 0;
    Sprite* sprite = nullptr;
    Colour colour;
    int32_t frame = 0;
    bool flipX = false;
    bool flipY = false;
    bool opaque = false;
    IScene* scene = nullptr;
};
