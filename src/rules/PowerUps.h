// The power-ups of a game as rules: their settings (the "power_ups" element's numbers and which
// kinds the data defines), the timed effects in force, and the draw that decides which capsule a
// broken block releases. Plain values: the game scene applies them to its entities.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "base/Setting.h"
#include "rules/PowerUpKinds.h"

// The most "max_balls" may ask for: every ball is swept against every collider each frame.
inline constexpr int kMostBalls = 64;

// Attributes of "power_ups" and of each of its "power_up" children.
namespace powerupsettings {
using K = ValueKind;
inline constexpr Setting kFallSpeed{"fall_speed", K::Float, "150", "pixels per second a capsule falls", 1, 10000};
inline constexpr Setting kChance{
    "chance", K::Float, "0", "chance a broken block releases a capsule, where the level sets none", 0, 1};
inline constexpr Setting kWideFactor{"wide_factor", K::Float, "1.3", "the paddle's width under `wide`", 0.05, 10};
inline constexpr Setting kNarrowFactor{"narrow_factor", K::Float, "0.7", "the paddle's width under `narrow`", 0.05, 10};
inline constexpr Setting kSlowFactor{"slow_factor", K::Float, "0.7", "the balls' speeds under `slow`", 0.05, 10};
inline constexpr Setting kMaxBalls{"max_balls", K::Integer, "8", "most balls in play after `multi`", 1, kMostBalls};
inline constexpr Setting kPoints{"points", K::Integer, "0", "points for every capsule caught", 0, 1000000};
// The guns' shots: their picture, how fast they fly up and the least time between two volleys.
inline constexpr Setting kShotSprite{"shot_sprite", K::SpriteId, "none", "the shots' picture; required with a `laser`"};
inline constexpr Setting kShotSpeed{"shot_speed", K::Float, "600", "pixels per second a shot flies up", 1, 10000};
inline constexpr Setting kShotCooldown{"shot_cooldown", K::Float, "0.3", "least seconds from one volley to the next", 0, 10};
inline constexpr Setting kKind{"kind", K::Text, "required", "`wide`, `narrow`, `multi`, `slow`, `sticky`, `life` or `laser`"};
inline constexpr Setting kSprite{"sprite", K::SpriteId, "required", "the capsule's picture"};
inline constexpr Setting kSound{"sound", K::Text, "none", "effect played when it is caught"};
inline constexpr Setting kDuration{"duration", K::Float, "10", "seconds a timed kind lasts", 0, 3600};
inline constexpr Setting kWeight{"weight", K::Float, "1", "how often chance draws this kind, against the others", 0, 1000};
} // namespace powerupsettings

// The factor a kind that changes a size or a speed applies: its setting and its default.
struct PowerUpFactor {
    const Setting* setting;
    float fallback;
};
// By kind; a kind without a factor has no setting.
inline constexpr std::array<PowerUpFactor, kPowerUpCount> kPowerUpFactors = {{
    {&powerupsettings::kWideFactor, 1.3f},
    {&powerupsettings::kNarrowFactor, 0.7f},
    {nullptr, 1.0f},
    {&powerupsettings::kSlowFactor, 0.7f},
    {nullptr, 1.0f},
    {nullptr, 1.0f},
    {nullptr, 1.0f},
}};

struct PowerUpSettings {
    float fallSpeed = 150.0f;
    // The scene's chance that a broken block releases a capsule, for levels that set none.
    float chance = 0.0f;
    int maxBalls = 8;
    // Points for every capsule caught.
    int points = 0;
    // Pixels per second a shot flies up, and seconds from one volley to the next.
    float shotSpeed = 600.0f;
    float shotCooldown = 0.3f;
    std::array<float, kPowerUpCount> factor = [] {
        std::array<float, kPowerUpCount> f{};
        for (std::size_t i = 0; i < kPowerUpCount; ++i)
            f[i] = kPowerUpFactors[i].fallback;
        return f;
    }();
    // A kind the data does not define never falls.
    std::array<bool, kPowerUpCount> defined{};
    // Seconds a timed kind lasts.
    std::array<float, kPowerUpCount> duration{};
    // How often a capsule drawn by chance is of each defined kind, against the others.
    std::array<float, kPowerUpCount> weight = [] {
        std::array<float, kPowerUpCount> w{};
        w.fill(1.0f);
        return w;
    }();

    bool any() const;
    float factorOf(PowerUp kind) const { return factor[static_cast<std::size_t>(kind)]; }
    bool isDefined(PowerUp kind) const { return defined[static_cast<std::size_t>(kind)]; }
    float durationOf(PowerUp kind) const { return duration[static_cast<std::size_t>(kind)]; }
};

// The timed effects in force and the time each has left, and the time until the guns fire again.
class PowerUpTimers {
public:
    // Starts a timed kind, or starts its time again (never longer); a catch that ends another
    // kind ends it. Untimed kinds are ignored.
    void start(PowerUp kind, float duration);
    // Counts down (the guns' reload too). The kinds whose effect ran out in this step, as a set of
    // bits: 1 << the kind's number for each.
    unsigned tick(float dt);
    void endAll() {
        remaining = {};
        reload = 0.0f;
    }
    bool isActive(PowerUp kind) const { return remaining[static_cast<std::size_t>(kind)] > 0.0f; }
    float getRemaining(PowerUp kind) const { return remaining[static_cast<std::size_t>(kind)]; }
    // The factor in force for what `change` changes: that of the active kind that changes it, or 1.
    float factorFor(Change change, const PowerUpSettings& settings) const;
    bool anyActive(Change change) const { return activeKind(change).has_value(); }
    std::optional<PowerUp> activeKind(Change change) const;
    // A volley of the guns a kind in force arms: true when one leaves now, which is never sooner
    // than `cooldown` seconds after the last.
    bool fire(float cooldown);

private:
    std::array<float, kPowerUpCount> remaining{};
    // Seconds until the guns may fire again.
    float reload = 0.0f;
};

// Which capsule a broken block releases: a small generator of our own, restarted with each game,
// so that the same seed gives the same capsules on every machine and every standard library.
class CapsuleDraw {
public:
    void restart(uint32_t newSeed) { seed = newSeed; }
    // The block's own capsule when it names one (if the data defines that kind), else with
    // `chance` one of the defined kinds. Nothing for a block without one.
    std::optional<PowerUp> draw(std::optional<PowerUp> blockCapsule, float chance, const PowerUpSettings& settings);

private:
    float next();
    uint32_t seed = 1;
};
