// The power-ups of the game scene: the capsule kinds the data describes ("power_ups"), the chance
// a broken block lets one fall, and the timed effects in force with the time each has left.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "base/Setting.h"

class TiXmlElement;
class Sprite;
class SpriteManager;
class SoundManager;
class LoadDiagnostics;

enum class PowerUp : int32_t { Wide = 0, Narrow, Multi, Slow, Sticky, Life };
constexpr std::size_t kPowerUpCount = 6;

// "wide", "narrow", "multi", "slow", "sticky", "life".
const char* powerUpName(PowerUp kind);
std::optional<PowerUp> powerUpNamed(const std::string& name);

// One kind as the data describes it. A kind without a "power_up" element never falls.
struct PowerUpLook {
    bool defined = false;
    Sprite* sprite = nullptr; // owned by the sprite manager
    std::string sound;        // empty: silent
    float duration = 0.0f;    // seconds; only the timed kinds (wide, narrow, slow, sticky) use it
};

// Defaults of "power_ups".
constexpr float kDefaultCapsuleFallSpeed = 150.0f;
constexpr float kDefaultWideFactor = 1.3f;
constexpr float kDefaultNarrowFactor = 0.7f;
constexpr float kDefaultSlowFactor = 0.7f;
constexpr int kDefaultMaxBalls = 8;
// The most "max_balls" may ask for: every ball is swept against every collider each frame.
constexpr int kMostBalls = 64;
constexpr float kDefaultPowerUpDuration = 10.0f;

namespace powerupsettings {
using K = ValueKind;
// Attributes of "power_ups".
inline constexpr Setting kFallSpeed{"fall_speed", K::Float, 1, 10000};
inline constexpr Setting kChance{"chance", K::Float, 0, 1};
inline constexpr Setting kWideFactor{"wide_factor", K::Float, 0.05, 10};
inline constexpr Setting kNarrowFactor{"narrow_factor", K::Float, 0.05, 10};
inline constexpr Setting kSlowFactor{"slow_factor", K::Float, 0.05, 10};
inline constexpr Setting kMaxBalls{"max_balls", K::Integer, 1, kMostBalls};
// Attributes of each "power_up".
inline constexpr Setting kKind{"kind", K::Text};
inline constexpr Setting kSprite{"sprite", K::SpriteId};
inline constexpr Setting kSound{"sound", K::Text};
inline constexpr Setting kDuration{"duration", K::Float, 0, 3600};
} // namespace powerupsettings

class PowerUps {
public:
    // Reads "power_ups" (absent: no kind is defined and nothing ever falls). Throws SceneException
    // with `source` for a setting out of its range (the message names it and the range), an
    // unknown kind, a sprite the sprite set lacks or a sound the sound set lacks;
    // with `diagnostics`, reports each such "power_up" there and goes on without it.
    void read(const TiXmlElement* element, SpriteManager* sprites, SoundManager* sounds, const char* source,
              LoadDiagnostics* diagnostics = nullptr);

    bool any() const;
    const PowerUpLook& look(PowerUp kind) const { return looks[static_cast<std::size_t>(kind)]; }
    static bool isTimed(PowerUp kind);

    // The kind a broken block releases: the block's own "capsule", else with the level's chance
    // one of the defined kinds, drawn from a generator each game restarts. Nothing for a block
    // without one.
    std::optional<PowerUp> draw(const std::string& blockCapsule, float chance);
    // The draws of a new game start from `seed`: the same seed, the same capsules.
    void restartDraws(uint32_t seed) { this->seed = seed; }

    // Starts a timed effect or extends it to its full duration again (never longer); a wide
    // paddle ends a narrow one and the reverse.
    void start(PowerUp kind);
    // Counts down; true when an effect ran out in this step.
    bool tick(float dt);
    void endAll();
    bool isActive(PowerUp kind) const { return remaining[static_cast<std::size_t>(kind)] > 0.0f; }
    float getRemaining(PowerUp kind) const { return remaining[static_cast<std::size_t>(kind)]; }
    float getDuration(PowerUp kind) const { return look(kind).duration; }

    float fallSpeed = kDefaultCapsuleFallSpeed;
    // The scene's chance that a broken block releases a capsule, for levels that set none.
    float chance = 0.0f;
    float wideFactor = kDefaultWideFactor;
    float narrowFactor = kDefaultNarrowFactor;
    float slowFactor = kDefaultSlowFactor;
    int maxBalls = kDefaultMaxBalls;

private:
    void readKind(const TiXmlElement* child, SpriteManager* sprites, SoundManager* sounds, const char* source);

    std::array<PowerUpLook, kPowerUpCount> looks{};
    std::array<float, kPowerUpCount> remaining{};
    uint32_t seed = 1;
};
