// The "counter" entity: an integer drawn with the digit sprites "0" to "9", whose shown value
// runs towards a target at a fixed rate per second.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "collision/Vector2.h"
#include "base/Colour.h"
#include "base/Setting.h"
#include "scene/IEntity.h"

class Sprite;

// Attributes of a "counter" element beside those it shares with a sprite entity.
namespace countersettings {
using K = ValueKind;
inline constexpr Setting kFixed{"fixed", K::Integer, "0", "digits shown, zero-padded; 0 or less: as needed", -64, 64};
inline constexpr Setting kStart{"start", K::Integer, "0", "value shown at loading and resets", -2147483647, 2147483647};
inline constexpr Setting kTarget{"target", K::Integer, "0", "value the count runs towards", -2147483647, 2147483647};
inline constexpr Setting kRate{"rate", K::Float, "100", "units counted per second", 0, 1e9};
inline constexpr Setting kCountTime{
    "count_time", K::Float, "0", "above 0, seconds within which any new target is reached", 0, 3600};
inline constexpr Setting kDigitSpacing{"number_sprite_offset", K::Float, "0", "extra pixels per digit", -10000, 10000};
} // namespace countersettings

// The digit sprites belong to the sprite manager, which outlives every entity. All ten must
// lie on the texture of digit 0's first frame: the scene picks the batch by that texture.
class NumberCounterEntity : public IEntity {
public:
    // No counter draws more digits than this, whatever "fixed" asks for: a 32-bit number has at
    // most eleven characters, and a runaway "fixed" must not allocate without bound.
    static constexpr int32_t kMaxDigits = 64;

    NumberCounterEntity() = default;

    void load(const TiXmlHandle& handle, IScene* scene) override;
    void update(float dt) override;
    void postUpdate(float) override {}
    void render(SpriteBatch* batch) override;
    void reset() override;
    void onCollision(CollisionResult*) override {}
    bool isActive() override { return enabled; }
    bool isVisible() override { return visible; }
    const Vector2& getPosition() override { return position; }
    int32_t getLayer() override { return layer; }
    IRenderable* getRenderable() override;
    ICollider* getCollider() override { return nullptr; }
    IScene* getScene() override { return scene; }
    void setScene(IScene* newScene) override { scene = newScene; }
    virtual void setPosition(const Vector2& newPosition) { position = newPosition; }

    // The characters drawn for the present value: its integer part, zero-padded or saturated
    // to nines when "fixed" is set. A minus sign is drawn as the digit 0.
    std::string getDisplayText() const;
    // The value the counter runs to at its rate; the game's counters set it every frame.
    void setTarget(int32_t value) { target = value; }
    int32_t getTarget() const { return target; }
    float getValue() const { return value; }
    const Colour& getColour() const { return colour; }
    void setEnabled(bool on) { enabled = on; }
    void setVisible(bool shown) { visible = shown; }

protected:
    float value = 0.0f;
    int32_t target = 0;
    int32_t start = 0;
    float rate = 100.0f;
    // "count_time": above 0, a target is reached within this many seconds however far it is
    // (faster than `rate` when it must be). The pace is taken when the target changes.
    float countTime = 0.0f;
    float pace = 0.0f;
    int32_t pacedTarget = 0;
    bool paced = false;
    bool enabled = true;
    bool initialEnabled = true;
    bool visible = true;
    bool initialVisible = true;
    Vector2 position;
    Vector2 scale{1.0f, 1.0f};
    int32_t fixedDigits = 0;
    int32_t layer = 0;
    std::array<Sprite*, 10> digits{};
    float digitSpacing = 0.0f;
    Colour colour;
    IScene* scene = nullptr;
};
