// Helpers for the heads-up display and background tests: a game scene over the scene fixture's
// sprites, with one level holding one block-like box, and mouse releases sent through the Game.
#pragma once

#include <memory>
#include <string>

#include "events/Events.h"
#include "game/PellvaneGameScene.h"
#include "scene/SceneTestSupport.h"
#include "scene/SpriteEntity.h"

namespace hudtest {

class HudFixture : public scenetest::SceneFixture {
protected:
    void SetUp() override {
        SceneFixture::SetUp();
        game->width = 800;
        game->height = 600;
        // A box keeps the level from counting as cleared until a test switches it off.
        testsupport::writeFile("level1.xml", "<level><box sprite='green' x='400' y='100'/></level>");
    }
    // The scene goes before the Game, whose dispatcher the button unregisters from.
    void TearDown() override {
        scene.reset();
        SceneFixture::TearDown();
    }
    // A game scene with three lives, the level above and the given entities.
    PellvaneGameScene* loadGame(const std::string& entities) {
        scene = loadScene<PellvaneGameScene>("<pellvane_game id='game' lives='3'><levels><level>level1.xml</level>"
                                             "</levels><entities>" +
                                             entities + "</entities></pellvane_game>");
        return scene.get();
    }
    // The first entity of type T in the scene's list.
    template <class T> T* find() const {
        for (IEntity* entity : scene->getEntities())
            if (auto* found = dynamic_cast<T*>(entity))
                return found;
        return nullptr;
    }
    // A mouse release as the main loop raises it, on the Game's dispatcher.
    void release(uint32_t x, uint32_t y) {
        game->dispatchEvent(new MouseEvent(MOUSE_BUTTON_UP_EVENT, x, y, false, false, MouseButtonUp));
    }
    void step(int n = 1, float dt = 0.25f) {
        for (int i = 0; i < n; ++i)
            scene->update(dt);
    }

    std::unique_ptr<PellvaneGameScene> scene;
};

} // namespace hudtest
