// The high-score table and the initials entry on their own: the place a score takes, ties, the
// ten places, the old best score carried over, the furthest level; letters turned, typed, moved
// along and confirmed.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "rules/HighScores.h"
#include "rules/InitialsEditor.h"

namespace {

std::vector<int> scoresOf(const HighScores& table) {
    std::vector<int> scores;
    for (const HighScore& entry : table.entries())
        scores.push_back(entry.score);
    return scores;
}

TEST(HighScoresTest, AScoreTakesItsPlaceBelowEqualOnesAndTheTableKeepsTenAtMost) {
    HighScores table;
    EXPECT_FALSE(table.placeFor(0)) << "a game of no points takes no place, even in an empty table";
    EXPECT_FALSE(table.insert({"ZER", 0, 1, "2024-01-01", false}));
    EXPECT_EQ(0u, *table.insert({"AAA", 500, 3, "2024-01-01", false}));
    EXPECT_EQ(1u, *table.insert({"BBB", 300, 2, "2024-01-02", false}));
    EXPECT_EQ(0u, *table.insert({"CCC", 900, 5, "2024-01-03", true}));
    EXPECT_EQ(2u, *table.insert({"DDD", 500, 4, "2024-01-04", false})) << "a tie goes below the earlier game";
    EXPECT_EQ((std::vector<int>{900, 500, 500, 300}), scoresOf(table));
    EXPECT_EQ("AAA", table.entries()[1].initials);
    EXPECT_EQ(900, table.best());
    EXPECT_TRUE(table.entries()[0].continued);

    for (int i = 0; i < 6; ++i)
        table.insert({"EEE", 100, 1, "2024-01-05", false});
    ASSERT_EQ(10u, table.entries().size());
    EXPECT_FALSE(table.placeFor(100)) << "a full table takes only a score above its last";
    EXPECT_FALSE(table.insert({"FFF", 100, 1, "2024-01-06", false}));
    EXPECT_EQ(4u, *table.placeFor(101));
    EXPECT_EQ(3u, *table.insert({"GGG", 400, 3, "2024-01-07", false}));
    EXPECT_EQ(10u, table.entries().size()) << "the last one fell out";
    EXPECT_EQ((std::vector<int>{900, 500, 500, 400, 300, 100, 100, 100, 100, 100}), scoresOf(table));
}

TEST(HighScoresTest, TheOldBestScoreGoesInFirstOnlyWhenItBeatsTheTable) {
    HighScores empty;
    EXPECT_FALSE(empty.carryOver(0));
    EXPECT_TRUE(empty.carryOver(1200));
    ASSERT_EQ(1u, empty.entries().size());
    EXPECT_EQ((HighScore{kUnknownInitials, 1200, 0, "", false}), empty.entries()[0]);

    HighScores kept;
    kept.insert({"ABC", 1200, 7, "2024-03-01", false});
    EXPECT_FALSE(kept.carryOver(1200)) << "the table holds it already";
    EXPECT_FALSE(kept.carryOver(800));
    EXPECT_TRUE(kept.carryOver(1500)) << "a best score from a game the table never saw";
    EXPECT_EQ((std::vector<int>{1500, 1200}), scoresOf(kept));
}

TEST(HighScoresTest, TheHighestLevelOnlyRises) {
    HighScores table;
    EXPECT_EQ(1u, table.highestLevel());
    EXPECT_FALSE(table.reachLevel(1));
    EXPECT_TRUE(table.reachLevel(7));
    EXPECT_FALSE(table.reachLevel(3));
    EXPECT_EQ(7u, table.highestLevel());
}

TEST(InitialsEditorTest, LettersTurnTypeAndMoveAlongWithinThreeUntilConfirmed) {
    InitialsEditor editor;
    EXPECT_EQ("AAA", editor.getInitials());
    EXPECT_EQ(0u, editor.getPosition());
    EXPECT_TRUE(editor.letterDown());
    EXPECT_EQ("ZAA", editor.getInitials()) << "A turns back to Z";
    EXPECT_TRUE(editor.letterUp());
    EXPECT_TRUE(editor.letterUp());
    EXPECT_EQ("BAA", editor.getInitials());
    EXPECT_FALSE(editor.back()) << "nothing before the first";
    EXPECT_TRUE(editor.type('j'));
    EXPECT_EQ(1u, editor.getPosition());
    EXPECT_FALSE(editor.type('3'));
    EXPECT_FALSE(editor.type('#'));
    EXPECT_TRUE(editor.type('Q'));
    EXPECT_TRUE(editor.type('x'));
    EXPECT_EQ(2u, editor.getPosition()) << "typing on the last letter stays there";
    EXPECT_TRUE(editor.type('Y'));
    EXPECT_EQ("JQY", editor.getInitials());
    EXPECT_FALSE(editor.next());
    EXPECT_TRUE(editor.back());
    EXPECT_TRUE(editor.letterUp());
    EXPECT_EQ("JRY", editor.getInitials());

    EXPECT_TRUE(editor.confirm());
    EXPECT_TRUE(editor.isConfirmed());
    EXPECT_FALSE(editor.confirm());
    EXPECT_FALSE(editor.letterUp());
    EXPECT_FALSE(editor.type('a'));
    EXPECT_FALSE(editor.back());
    EXPECT_EQ("JRY", editor.getInitials()) << "a confirmed entry stays as it was";

    EXPECT_EQ("KEN", InitialsEditor("KEN").getInitials());
    EXPECT_EQ("AAA", InitialsEditor("ke").getInitials());
    EXPECT_EQ("AAA", InitialsEditor("---").getInitials());
    EXPECT_TRUE(areInitials("XYZ"));
    EXPECT_FALSE(areInitials("xyz"));
    EXPECT_FALSE(areInitials("XY"));
}

} // namespace
