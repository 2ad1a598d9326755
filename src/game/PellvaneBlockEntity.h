// A block the ball breaks: its health picks its tint from the scene's block colours and the sound
// of each hit; at health 0 it breaks, scores and leaves play until its level comes back.
#pragma once

#include "scene/BoxEntity.h"

// Points a block is worth for each unit of its initial health.
constexpr int kPointsPerHealth = 10;

// The effect id a hit plays by default, chosen by the block's health before the hit; null for a
// health that plays none. The game scene's "block_sounds" replaces this list.
const char* blockHitSound(int health);

class PellvaneBlockEntity : public BoxEntity {
public:
    PellvaneBlockEntity() = default;

    // Positions in the level file are relative to the top-left corner of the game area.
    void load(const TiXmlHandle& handle, IScene* scene) override;
    void reset() override;
    void onCollision(CollisionResult* collision) override;
    virtual void breakBlock();

    int getHealth() const { return health; }
    int getInitialHealth() const { return initialHealth; }

private:
    void applyTint();
    // The shards of a break, when the scene's "debris" asks for them.
    void throwDebris();

    int health = 1;
    int initialHealth = 1;
};
