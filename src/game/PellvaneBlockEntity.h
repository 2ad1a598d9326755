// A block the ball breaks: its health picks its tint from the scene's block colours and the sound
// of each hit; at health 0 it breaks, scores and leaves play until its level comes back.
// "unbreakable" blocks only ring and never count towards clearing the level; "explosive" ones
// break every block touching them when they break; "capsule" names the power-up a break releases.
#pragma once

#include <string>

#include "base/Setting.h"
#include "game/BallSurface.h"
#include "rules/PowerUpKinds.h"
#include "scene/BoxEntity.h"

class IPlayField;

// Points a block is worth for each unit of its initial health.
constexpr int kPointsPerHealth = 10;

// Attributes of a "block" element, after those of a box. A health of 0 or less never breaks.
namespace blocksettings {
inline constexpr Setting kHealth{"health", ValueKind::Integer, "1", "hits it takes", -999, 999};
inline constexpr Setting kUnbreakable{"unbreakable", ValueKind::FlagOff, "false", "`true`: a hit only rings"};
inline constexpr Setting kExplosive{"explosive", ValueKind::FlagOff, "false",
                                    "`true`: its break breaks its neighbours"};
inline constexpr Setting kCapsule{"capsule", ValueKind::Text, "none", "the power-up kind its break releases"};
} // namespace blocksettings

class PellvaneBlockEntity : public BoxEntity, public IBallSurface {
public:
    PellvaneBlockEntity() = default;

    // Positions in the level file are relative to the top-left corner of the game area.
    void load(const TiXmlHandle& handle, IScene* scene) override;
    void reset() override;
    // A ball hit it: the block takes the hit, and one at health 2 cycles the ball's colour.
    BallBounce ballMet(const BallContact& contact) override;
    // A hit from a ball or a shot: metal rings (false); any other block takes it (true): its sound
    // by the health before it, an effect, one health less, the break at 0.
    bool takeHit();
    virtual void breakBlock();

    int getHealth() const { return health; }
    int getInitialHealth() const { return initialHealth; }
    bool isUnbreakable() const { return unbreakable; }
    bool isExplosive() const { return explosive; }
    // Standing and needed to clear its level.
    bool holdsLevelOpen() const { return enabled && !unbreakable; }
    // The power-up its break releases whatever the level's chance ("capsule"), if it names one.
    std::optional<PowerUp> getCapsule() const { return capsule; }

private:
    void applyTint();
    // The shards of a break, when the scene's "debris" asks for them.
    void throwDebris();
    void explode(IPlayField& field);

    int health = 1;
    int initialHealth = 1;
    bool unbreakable = false;
    bool explosive = false;
    std::optional<PowerUp> capsule;
};
