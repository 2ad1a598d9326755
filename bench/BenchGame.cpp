// The shipped game in a real window for the frame benchmarks.
#include "BenchGame.h"

#include <GL/glew.h>
#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/FrameLoop.h"
#include "game/PellvaneBallEntity.h"

namespace bench {

std::unique_ptr<ShippedGame> ShippedGame::start(int argc, char** argv) {
    if (argc > 1)
        std::filesystem::current_path(argv[1]);
    std::unique_ptr<ShippedGame> started(new ShippedGame());
    if (mkdtemp(started->dataHome) != nullptr)
        setenv("XDG_DATA_HOME", started->dataHome, 1);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) != 0 || openGameWindow() == nullptr || glewInit() != GLEW_OK) {
        std::fprintf(stderr, "cannot open the window: %s\n", SDL_GetError());
        return nullptr;
    }
    started->owned = std::make_unique<Game>();
    // The capsules come in the same order in every run, so its figures repeat.
    started->owned->setCapsuleSeed(1);
    started->owned->init(kWindowWidth, kWindowHeight);
    started->gameScene = dynamic_cast<PellvaneGameScene*>(started->owned->getCurrentScene());
    if (started->owned->quitRequested || started->gameScene == nullptr ||
        firstOf<PellvaneBallEntity>(*started->gameScene) == nullptr) {
        std::fprintf(stderr, "the shipped game scene did not load (run from data/)\n");
        return nullptr;
    }
    return started;
}

ShippedGame::~ShippedGame() {
    owned.reset();
    SDL_Quit();
    std::error_code ignored;
    std::filesystem::remove_all(dataHome, ignored);
}

} // namespace bench
