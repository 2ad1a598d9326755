// The level report: plays every level of the game in the working directory with the autopilot, as
// a new game started at that level, and prints a table of what it took: the time to clear it, the
// balls lost, the capsules caught, the longest flight without a block hit. tools/level_report.sh
// runs it in data/ under a virtual X server.
//   pellvane_level_report [seconds allowed per level, default 600] [seed]
#include <GL/glew.h>
#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "PlayThrough.h"
#include "app/Game.h"
#include "game/PellvaneGameScene.h"

int main(int argc, char** argv) {
    const double allowed = argc > 1 ? std::atof(argv[1]) : 600.0;
    const uint32_t seed = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 20261207u;
    if (!(allowed > 0.0)) {
        std::fprintf(stderr, "usage: pellvane_level_report [seconds per level] [seed]\n");
        return 2;
    }
    // The autopilot's games must not reach the player's best score.
    char dataHome[] = "/tmp/pellvane-report-data-XXXXXX";
    if (mkdtemp(dataHome) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    setenv("XDG_DATA_HOME", dataHome, 1);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) != 0 || SDL_SetVideoMode(800, 600, 32, SDL_OPENGL) == nullptr) {
        std::fprintf(stderr, "cannot open the window: %s\n", SDL_GetError());
        return 1;
    }
    glewInit();
    auto game = std::make_unique<Game>();
    // The capsules come in the same order in every run, so its figures repeat.
    game->setCapsuleSeed(1);
    game->init(800, 600);
    auto* scene = dynamic_cast<PellvaneGameScene*>(game->getCurrentScene());
    if (game->quitRequested || scene == nullptr) {
        std::fprintf(stderr, "the game in the working directory did not load\n");
        return 1;
    }
    std::printf("| Level | Cleared in | Balls lost | Capsules caught | Longest flight without a hit |\n");
    std::printf("|---|---|---|---|---|\n");
    int unfinished = 0;
    for (unsigned level = 0; level < scene->getLevelCount(); ++level) {
        const playthrough::Counts counts = playthrough::playLevel(
            *scene, level, playthrough::Player::Swinging, playthrough::Timing::Fixed60, allowed, seed + level,
            [](const std::string& line) { std::fprintf(stderr, "  %s\n", line.c_str()); });
        long capsules = 0;
        for (long caught : counts.powerUpsCaught)
            capsules += caught;
        char cleared[32];
        if (counts.levelsCleared > 0)
            std::snprintf(cleared, sizeof cleared, "%.0f s", counts.simulatedSeconds);
        else
            std::snprintf(cleared, sizeof cleared, "not in %.0f s", counts.simulatedSeconds);
        unfinished += counts.levelsCleared > 0 ? 0 : 1;
        std::printf("| %u | %s | %ld | %ld | %.1f s |\n", level + 1, cleared, counts.ballsLost, capsules,
                    counts.longestWithoutHit);
        std::fflush(stdout);
    }
    SDL_Quit();
    std::error_code ignored;
    std::filesystem::remove_all(dataHome, ignored);
    return unfinished == 0 ? 0 : 1;
}
