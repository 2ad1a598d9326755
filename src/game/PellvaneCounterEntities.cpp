// The game's counters: where each one takes its number from.
#include "game/PellvaneCounterEntities.h"

#include "game/PlayField.h"

void PellvaneCounterEntity::load(const TiXmlHandle& handle, IScene* owner) {
    NumberCounterEntity::load(handle, owner);
    playFieldOf(owner, source);
}

void PellvaneCounterEntity::update(float dt) {
    target = readSource(playFieldOf(scene, source).getMatch());
    NumberCounterEntity::update(dt);
}

int32_t PellvaneLevelCounterEntity::readSource(const Match& match) const {
    return match.getLevelsCompleted() + 1;
}

int32_t PellvaneLivesCounterEntity::readSource(const Match& match) const {
    return match.getLives();
}

int32_t PellvaneScoreCounterEntity::readSource(const Match& match) const {
    return match.getScore();
}

int32_t PellvaneBestCounterEntity::readSource(const Match& match) const {
    return match.getBestScore();
}
