// The soak: plays the shipped game for as long as asked at every frame timing and prints, per
// timing, what happened and the fault counts (which must all be 0). Run it through
// `./run.sh soak [minutes]`, which starts it in data/ under a virtual X server.
//   pellvane_soak [minutes per timing, default 60] [seed]
#include <GL/glew.h>
#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "PlayThrough.h"
#include "app/FrameLoop.h"
#include "app/Game.h"
#include "game/PellvaneGameScene.h"

int main(int argc, char** argv) {
    const double minutes = argc > 1 ? std::atof(argv[1]) : 60.0;
    const uint32_t seed = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 20261207u;
    if (!(minutes > 0.0)) {
        std::fprintf(stderr, "usage: pellvane_soak [minutes per timing] [seed]\n");
        return 2;
    }
    // The shipped scene keeps a best score: the autopilot's games must not reach the player's.
    char dataHome[] = "/tmp/pellvane-soak-data-XXXXXX";
    if (mkdtemp(dataHome) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    setenv("XDG_DATA_HOME", dataHome, 1);
    // The game's textures need a GL context; nothing is drawn.
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) != 0 ||
        openGameWindow() == nullptr) {
        std::fprintf(stderr, "cannot open the window: %s\n", SDL_GetError());
        return 1;
    }
    glewInit();

    long faults = 0;
    for (playthrough::Timing timing : playthrough::kAllTimings) {
        auto game = std::make_unique<Game>();
        // The capsules come in the same order in every run, so its figures repeat.
        game->setCapsuleSeed(1);
        game->init(kWindowWidth, kWindowHeight);
        auto* scene = dynamic_cast<PellvaneGameScene*>(game->getCurrentScene());
        if (game->quitRequested || scene == nullptr) {
            std::fprintf(stderr, "the game in the working directory did not load\n");
            return 1;
        }
        const playthrough::Counts counts =
            playthrough::play(*scene, timing, minutes * 60.0, seed,
                              [](const std::string& line) { std::fprintf(stderr, "  %s\n", line.c_str()); });
        std::printf("%-26s %s\n", playthrough::timingName(timing), counts.summary().c_str());
        std::printf("%-26s %s\n", "", counts.powerUpSummary().c_str());
        std::fflush(stdout);
        faults += counts.faults();
    }
    SDL_Quit();
    std::error_code ignored;
    std::filesystem::remove_all(dataHome, ignored);
    std::printf("%ld faults\n", faults);
    return faults == 0 ? 0 : 1;
}
