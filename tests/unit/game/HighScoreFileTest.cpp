// The high-score file: its text, read back as written; what is not a table of this version is
// reported once and never replaced, through a symbolic link too; a link to a table is followed.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "game/HighScoreFile.h"

namespace {

std::string contents(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int linesOf(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

HighScores someScores() {
    HighScores scores;
    scores.reachLevel(12);
    scores.insert({"KEN", 48210, 12, "2024-05-01", true});
    scores.insert({"ANN", 30550, 9, "2024-04-28", false});
    scores.carryOver(60000);
    return scores;
}

TEST(HighScoreFileTest, ATableIsWrittenAsReadableTextAndReadBackAsItWas) {
    testsupport::ScratchDir scratch;
    const std::string path = scratch.file("share/pellvane/high-scores");
    ASSERT_TRUE(highscorefile::save(path, someScores()));
    EXPECT_EQ("pellvane-high-scores 1\n"
              "highest-level 12\n"
              "--- 60000 - -\n"
              "KEN 48210 12 2024-05-01 continued\n"
              "ANN 30550 9 2024-04-28\n",
              contents(path));
    const highscorefile::Stored stored = highscorefile::load(path);
    EXPECT_TRUE(stored.writable);
    EXPECT_EQ(someScores().entries(), stored.scores.entries());
    EXPECT_EQ(12u, stored.scores.highestLevel());

    // A missing file is the first run's empty table, and nothing is said about it.
    testing::internal::CaptureStderr();
    const highscorefile::Stored none = highscorefile::load(scratch.file("nowhere/high-scores"));
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
    EXPECT_TRUE(none.writable);
    EXPECT_TRUE(none.scores.entries().empty());
    EXPECT_EQ(1u, none.scores.highestLevel());
}

TEST(HighScoreFileTest, ADamagedOrLaterTableIsSaidOnceAndLeftAsItIs) {
    testsupport::ScratchDir scratch;
    const std::string header = "pellvane-high-scores 1\nhighest-level 3\n";
    for (const std::string& damaged : std::vector<std::string>{
             "",
             "pellvane-high-scores 2\nhighest-level 3\nKEN 100 2 2024-05-01\n",
             "pellvane-high-scores 1\nKEN 100 2 2024-05-01\n",
             header + "KEN 100 2 2024-05-01\nANN 200 2 2024-05-01\n",
             header + "ken 100 2 2024-05-01\n",
             header + "KEN 0 2 2024-05-01\n",
             header + "KEN 100 2 2024-13-01\n",
             header + "KEN 100 2 2024-05-01 resumed\n",
             header + "KEN 2147483648 2 2024-05-01\n",
             header + "KEN 100 2 2024-05-01\n\n",
             header + std::string(11, 'x'),
             std::string(2000, '7'),
         }) {
        testsupport::writeFile("high-scores", damaged);
        testing::internal::CaptureStderr();
        const highscorefile::Stored stored = highscorefile::load("high-scores");
        EXPECT_FALSE(stored.writable) << damaged;
        EXPECT_TRUE(stored.scores.entries().empty()) << damaged;
        EXPECT_FALSE(highscorefile::save("high-scores", someScores())) << damaged;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(2, linesOf(said)) << damaged << ": " << said;
        EXPECT_EQ(damaged, contents("high-scores"));
    }
    testsupport::writeFile("high-scores", "pellvane-high-scores 2\nhighest-level 3\n");
    testing::internal::CaptureStderr();
    highscorefile::load("high-scores");
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("version 2")) << "a later game's";
}

TEST(HighScoreFileTest, ALinkToATableIsFollowedAndALinkToAFileOfThePlayersNeverReplacesIt) {
    testsupport::ScratchDir scratch;
    testsupport::writeFile("synced/scores", highscorefile::format(HighScores{}));
    std::filesystem::create_directories("share/pellvane");
    std::filesystem::create_symlink("../../synced/scores", "share/pellvane/high-scores");
    ASSERT_TRUE(highscorefile::save(scratch.file("share/pellvane/high-scores"), someScores()));
    EXPECT_TRUE(std::filesystem::is_symlink("share/pellvane/high-scores"));
    EXPECT_EQ(highscorefile::format(someScores()), contents("synced/scores"));
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator("synced"), {})) << "no temporary file left";

    const std::string notes = "# my notes\nKEN 100 2 2024-05-01\n";
    testsupport::writeFile("notes.txt", notes);
    std::filesystem::create_symlink("notes.txt", "to-notes");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(highscorefile::load(scratch.file("to-notes")).writable);
    EXPECT_FALSE(highscorefile::save(scratch.file("to-notes"), someScores()));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(2, linesOf(said)) << said;
    EXPECT_NE(std::string::npos, said.find("is not a high-score table")) << said;
    EXPECT_EQ(notes, contents("notes.txt"));
    EXPECT_TRUE(std::filesystem::is_symlink("to-notes"));
}

} // namespace
