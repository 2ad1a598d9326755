// The shipped game started in its window for the display tests, as the play command starts it.
#pragma once

#include <filesystem>
#include <memory>

#include "app/Game.h"
#include "game/GameTestSupport.h"
#include "game/PellvaneBallEntity.h"
#include "game/PellvaneGameScene.h"
#include "game/PellvanePaddleEntity.h"

namespace shippedtest {

constexpr float kDt = 1.0f / 60.0f;

// The shipped game, started in data/ as the play command starts it: its game scene, paddle and
// ball (null when it did not start).
struct ShippedGame {
    ShippedGame() {
        const std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(PELLVANE_DATA);
        // The capsules come in the same order in every run, so its figures repeat.
        game->setCapsuleSeed(1);
        game->init(800, 600);
        std::filesystem::current_path(previous);
        scene = game->quitRequested ? nullptr : dynamic_cast<PellvaneGameScene*>(game->getCurrentScene());
        paddle = scene != nullptr ? gametest::GameFixture::firstOf<PellvanePaddleEntity>(*scene) : nullptr;
        ball = scene != nullptr ? gametest::GameFixture::firstOf<PellvaneBallEntity>(*scene) : nullptr;
    }
    bool started() const { return scene != nullptr && paddle != nullptr && ball != nullptr; }
    // Frames until the level is in play (its loading delay over); true when it is.
    bool untilPlaying() {
        for (int frame = 0; frame < 600 && scene->getState() != Playing; ++frame)
            scene->update(kDt);
        return scene->getState() == Playing;
    }

    std::unique_ptr<Game> game = std::make_unique<Game>();
    PellvaneGameScene* scene = nullptr;
    PellvanePaddleEntity* paddle = nullptr;
    PellvaneBallEntity* ball = nullptr;
};

} // namespace shippedtest
