// Every shipped level played by every kind of player the harness has (still, aiming, following,
// and the modelled person), each level as a new game of its own started there: each clears every
// level, no flight goes 30 s without a block hit, and the aiming player's returns spread wide.
#include <algorithm>
#include <gtest/gtest.h>

#include "PlayThrough.h"
#include "game/PellvaneGameScene.h"

namespace {

using namespace playthrough;

// A flight this long without a block hit reads to a player as a loop that will not end.
constexpr double kLongestBearableFlight = 30.0;
// Simulated seconds a player may take over one level before it counts as one that cannot be done.
constexpr double kLongestLevel = 900.0;

class EveryLevelTest : public ::testing::TestWithParam<Player> {};

TEST_P(EveryLevelTest, ThePlayerClearsEveryShippedLevelAndNoFlightGoesLongWithoutAHit) {
    const std::size_t levels = loadHeadless(PELLVANE_DATA, 1)->scene->getLevelCount();
    const Player player = GetParam();
    {
        Counts all;
        for (unsigned level = 0; level < levels; ++level) {
            // A fresh game each time: nothing one level leaves behind changes the next.
            const std::unique_ptr<HeadlessGame> game = loadHeadless(PELLVANE_DATA, 1);
            const Counts one = playLevel(*game->scene, level, player, Timing::Fixed60, kLongestLevel, 20261207u + level,
                                         [](const std::string& line) { ADD_FAILURE() << line; });
            EXPECT_EQ(1, one.levelsCleared) << playerName(player) << ": level " << level + 1 << " within "
                                            << kLongestLevel << " s";
            EXPECT_LT(one.longestWithoutHit, kLongestBearableFlight) << playerName(player) << ", level " << level + 1;
            all.escapes += one.escapes;
            all.overlaps += one.overlaps;
            all.freezes += one.freezes;
            all.errors += one.errors;
            for (int bin = 0; bin < 36; ++bin)
                all.leavingAngles[bin] += one.leavingAngles[bin];
        }
        EXPECT_EQ(0, all.faults()) << playerName(player);
        if (player == Player::Aiming) {
            // Returns from 35 degrees left to 35 degrees right of the vertical and many between.
            int bins = 0, leftmost = 36, rightmost = -1;
            for (int bin = 0; bin < 36; ++bin) {
                if (all.leavingAngles[bin] == 0)
                    continue;
                ++bins;
                leftmost = std::min(leftmost, bin);
                rightmost = std::max(rightmost, bin);
            }
            EXPECT_GE(bins, 12) << "distinct 5-degree angles off the paddle";
            EXPECT_LE(leftmost * 5 - 90, -35);
            EXPECT_GE(rightmost * 5 - 85, 35);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryPlayer, EveryLevelTest,
                         ::testing::Values(Player::Still, Player::Aiming, Player::Following, Player::Person),
                         [](const ::testing::TestParamInfo<Player>& info) { return std::string(playerName(info.param)); });

} // namespace
