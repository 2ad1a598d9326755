// The game's counters: where each one takes its number from.
#include "game/PellvaneCounterEntities.h"

#include "game/PellvaneGameScene.h"

void PellvaneCounterEntity::load(const TiXmlHandle& handle, IScene* owner) {
    NumberCounterEntity::load(handle, owner);
    gameSceneOf(owner, source);
}

void PellvaneCounterEntity::update(float dt) {
    if (auto* game = dynamic_cast<PellvaneGameScene*>(scene))
        target = readSource(*game);
    NumberCounterEntity::update(dt);
}

int32_t PellvaneLevelCounterEntity::readSource(const PellvaneGameScene& game) const {
    return game.getLevelsCompleted() + 1;
}

int32_t PellvaneLivesCounterEntity::readSource(const PellvaneGameScene& game) const {
    return game.getLives();
}

int32_t PellvaneScoreCounterEntity::readSource(const PellvaneGameScene& game) const {
    return game.getScore();
}

int32_t PellvaneBestCounterEntity::readSource(const PellvaneGameScene& game) const {
    return game.getBestScore();
}
