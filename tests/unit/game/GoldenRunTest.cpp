// The golden run: the shipped game played headless for ten simulated minutes by the autopilot, at
// a fixed step and with fixed seeds, must end exactly where it ended when these figures were
// recorded. A change of structure keeps them; a change of the rules changes them on purpose, and
// then they are recorded again with the reason in the commit.
#include <array>
#include <gtest/gtest.h>
#include <memory>

#include "PlayThrough.h"
#include "game/PellvaneGameScene.h"

namespace {

// What the recorded run ended with.
struct GoldenEnd {
    long blocksBroken, paddleBounces, ballsLost, levelsCleared, gamesOver;
    int score, lives, levelsCompleted;
    std::array<long, kPowerUpCount> powerUpsCaught;
    long volleys;
};

TEST(GoldenRunTest, TenMinutesOfTheShippedGameEndAsRecorded) {
    const std::unique_ptr<playthrough::HeadlessGame> game = playthrough::loadHeadless(PELLVANE_DATA, 1);
    ASSERT_NE(nullptr, game);
    PellvaneGameScene* scene = game->scene;

    const playthrough::Counts counts = playthrough::play(*scene, playthrough::Timing::Fixed60, 600.0, 20261207u);
    const GoldenEnd got{counts.blocksBroken,   counts.paddleBounces, counts.ballsLost,  counts.levelsCleared,
                        counts.gamesOver,      scene->getScore(),    scene->getLives(), scene->getLevelsCompleted(),
                        counts.powerUpsCaught, counts.volleys};
    const GoldenEnd recorded{282, 268, 8, 6, 1, 5250, 0, 5, {3, 1, 6, 4, 2, 1, 3}, 86};
    EXPECT_EQ(0, counts.faults()) << counts.summary();
    EXPECT_EQ(recorded.blocksBroken, got.blocksBroken);
    EXPECT_EQ(recorded.paddleBounces, got.paddleBounces);
    EXPECT_EQ(recorded.ballsLost, got.ballsLost);
    EXPECT_EQ(recorded.levelsCleared, got.levelsCleared);
    EXPECT_EQ(recorded.gamesOver, got.gamesOver);
    EXPECT_EQ(recorded.score, got.score);
    EXPECT_EQ(recorded.lives, got.lives);
    EXPECT_EQ(recorded.levelsCompleted, got.levelsCompleted);
    for (std::size_t kind = 0; kind < kPowerUpCount; ++kind)
        EXPECT_EQ(recorded.powerUpsCaught[kind], got.powerUpsCaught[kind]) << powerUpName(PowerUp(kind));
    EXPECT_EQ(recorded.volleys, got.volleys);
    // What to record when a change of the rules moves the figures on purpose.
    if (HasFailure()) {
        std::string caught;
        for (long each : got.powerUpsCaught)
            caught += (caught.empty() ? "" : ", ") + std::to_string(each);
        ADD_FAILURE() << "this run: {" << got.blocksBroken << ", " << got.paddleBounces << ", " << got.ballsLost << ", "
                      << got.levelsCleared << ", " << got.gamesOver << ", " << got.score << ", " << got.lives << ", "
                      << got.levelsCompleted << ", {" << caught << "}, " << got.volleys << "}";
    }
}

} // namespace
