// Records the title's demo: the autopilot, aiming as a good player does, plays the shipped game
// headless for two minutes from its first level, and the recording of that game is written where
// the data's "demo" names it. Run it through `./run.sh demo` after any change to config.xml or a
// level file, which makes the old demo unplayable (the replay test says so).
//   pellvane_demo [data directory, default .] [seconds, default 120]
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "PlayThrough.h"
#include "game/PellvaneGameScene.h"
#include "game/Recordings.h"

int main(int argc, char** argv) {
    const std::string data = argc > 1 ? argv[1] : ".";
    const double seconds = argc > 2 ? std::atof(argv[2]) : 120.0;
    if (!(seconds > 0.0)) {
        std::fprintf(stderr, "usage: pellvane_demo [data directory] [seconds]\n");
        return 2;
    }
    const std::unique_ptr<playthrough::HeadlessGame> game = playthrough::loadHeadless(data, 20261208u);
    if (game == nullptr)
        return 1;
    PellvaneGameScene& scene = *game->scene;
    const std::string file = scene.getSettings().demo;
    if (file.empty()) {
        std::fprintf(stderr, "pellvane_demo: the game scene names no \"demo\" to write\n");
        return 1;
    }
    playthrough::playAs(scene, playthrough::Player::Aiming, playthrough::Timing::Real60, seconds, 1000, 7u);
    const std::optional<Recording> recording = scene.gameSoFar();
    // The demo is the data's own, written by this tool alone: an old one goes, whatever it holds.
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    if (!recording || !recordings::save(file, *recording))
        return 1;
    // Shipped data, not a player's file: readable by all.
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read | std::filesystem::perms::others_read);
    std::printf("%s: %u steps, %zu inputs, score %d, lives %d, level %d\n", file.c_str(), recording->header.steps,
                recording->inputs.size(), recording->header.score, recording->header.lives, recording->header.reached);
    return 0;
}
