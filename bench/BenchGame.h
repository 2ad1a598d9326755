// Shared by the frame benchmarks: the shipped game started in a real window, as the player's
// start-up does it, with its best score kept away from the player's.
#pragma once

#include <memory>

#include "app/Game.h"
#include "game/PellvaneGameScene.h"

namespace bench {

// The first entity of type T in `scene`, or null.
template <class T> T* firstOf(const BaseScene& scene) {
    for (IEntity* entity : scene.getEntities()) {
        if (auto* typed = dynamic_cast<T*>(entity))
            return typed;
    }
    return nullptr;
}

// The shipped game, started from the data directory given as the first argument or the working
// directory, in an 800 x 600 GL window. Its best score goes to a temporary directory removed with
// it. Null, with the reason on stderr, when the window or the scene cannot be had.
class ShippedGame {
public:
    static std::unique_ptr<ShippedGame> start(int argc, char** argv);
    ~ShippedGame();

    Game& game() { return *owned; }
    PellvaneGameScene& scene() { return *gameScene; }

private:
    ShippedGame() = default;
    std::unique_ptr<Game> owned;
    PellvaneGameScene* gameScene = nullptr;
    char dataHome[40] = "/tmp/pellvane-bench-data-XXXXXX";
};

} // namespace bench
