// The game's heads-up counters: number counters that copy the level, the lives, the score or the
// best score of their game into their target every frame and count towards it.
#pragma once

#include "scene/NumberCounterEntity.h"

class Match;

// Shared by the three counters: checks at load that the counter sits in a game scene, and
// sets the target from that scene before each count step.
class PellvaneCounterEntity : public NumberCounterEntity {
public:
    // NumberCounterEntity's load; then an EntityException with `source` unless the scene is a
    // game scene, so a misplaced counter is reported at start-up rather than silently stuck.
    void load(const TiXmlHandle& handle, IScene* scene) override;
    void update(float dt) override;

protected:
    explicit PellvaneCounterEntity(const char* source) : source(source) {}
    // The number this counter shows, read from its game scene.
    virtual int32_t readSource(const Match& match) const = 0;

private:
    const char* source;
};

// "level_counter": the number of the level being played (levels completed + 1).
class PellvaneLevelCounterEntity : public PellvaneCounterEntity {
public:
    PellvaneLevelCounterEntity() : PellvaneCounterEntity("PellvaneLevelCounterEntity") {}

protected:
    int32_t readSource(const Match& match) const override;
};

// "lives_counter": the lives in reserve (-1 after game over).
class PellvaneLivesCounterEntity : public PellvaneCounterEntity {
public:
    PellvaneLivesCounterEntity() : PellvaneCounterEntity("PellvaneLivesCounterEntity") {}

protected:
    int32_t readSource(const Match& match) const override;
};

// "score_counter": the score of the game.
class PellvaneScoreCounterEntity : public PellvaneCounterEntity {
public:
    PellvaneScoreCounterEntity() : PellvaneCounterEntity("PellvaneScoreCounterEntity") {}

protected:
    int32_t readSource(const Match& match) const override;
};

// "best_counter": the best score, counting this game's score once it passes the kept one.
class PellvaneBestCounterEntity : public PellvaneCounterEntity {
public:
    PellvaneBestCounterEntity() : PellvaneCounterEntity("PellvaneBestCounterEntity") {}

protected:
    int32_t readSource(const Match& match) const override;
};
