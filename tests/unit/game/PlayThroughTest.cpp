// The shipped game played by the autopilot at every frame timing for ten simulated minutes:
// after every frame the ball is in the field (or below it), inside no box, and getting somewhere.
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

#include "PlayThrough.h"
#include "app/Game.h"
#include "game/PellvaneGameScene.h"

namespace {

constexpr double kSimulatedSeconds = 600.0;

class PlayThroughTest : public ::testing::TestWithParam<playthrough::Timing> {};

TEST_P(PlayThroughTest, TheBallStaysInTheFieldOutOfEveryBoxAndKeepsMoving) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(PELLVANE_DATA);
    auto owned = std::make_unique<Game>();
    // The capsules come in the same order in every run, so its figures repeat.
    owned->setCapsuleSeed(1);
    Game* game = owned.get();
    game->init(800, 600);
    std::filesystem::current_path(previous);
    auto* scene = dynamic_cast<PellvaneGameScene*>(game->getCurrentScene());
    ASSERT_TRUE(scene != nullptr && !game->quitRequested) << "the shipped configuration loads";

    const playthrough::Counts counts = playthrough::play(*scene, GetParam(), kSimulatedSeconds, 20261207u,
                                                         [](const std::string& line) { ADD_FAILURE() << line; });
    std::fprintf(stderr, "%s: %s\n", playthrough::timingName(GetParam()), counts.summary().c_str());
    EXPECT_EQ(0, counts.faults()) << counts.summary();
    // A run that never played proves nothing.
    EXPECT_GT(counts.blocksBroken, 20);
    EXPECT_GT(counts.paddleBounces, 10);
}

std::string testName(const ::testing::TestParamInfo<playthrough::Timing>& info) {
    static const char* const names[] = {"Fixed240", "Fixed60", "Fixed20", "Fixed5", "Real60", "Jitter"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(EveryFrameTiming, PlayThroughTest, ::testing::ValuesIn(playthrough::kAllTimings), testName);

} // namespace
