// The best score file: where it lives, what counts as a score, and the atomic replacement.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "TestSupport.h"
#include "game/BestScore.h"

namespace {

TEST(BestScoreTest, TheFileLivesUnderXdgDataHomeUnlessThatIsRelative) {
    const char* run = std::getenv("XDG_DATA_HOME");
    const std::string saved = run != nullptr ? run : "";
    setenv("XDG_DATA_HOME", "/data/xdg", 1);
    EXPECT_EQ("/data/xdg/pellvane/best-score", bestscore::defaultPath());
    setenv("XDG_DATA_HOME", "relative", 1);
    const std::string fallback = bestscore::defaultPath();
    setenv("XDG_DATA_HOME", saved.c_str(), 1);
    EXPECT_EQ("/.local/share/pellvane/best-score", fallback.substr(fallback.size() - 33));
}

TEST(BestScoreTest, OnlyADecimalNumberIsAScoreAndEverythingElseCountsAsZeroWithOneLine) {
    testsupport::ScratchDir scratch;
    for (const char* corrupt : {"", "12a\n", "-5\n", "1 2\n", "2147483648\n", "999999999999999999999999"}) {
        testsupport::writeFile("best-score", corrupt);
        testing::internal::CaptureStderr();
        EXPECT_EQ(0, bestscore::load("best-score").score) << corrupt;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(1, std::count(said.begin(), said.end(), '\n')) << corrupt << ": " << said;
    }
    testsupport::writeFile("best-score", "2147483647 \n");
    const bestscore::Stored stored = bestscore::load("best-score");
    EXPECT_EQ(2147483647, stored.score);
    EXPECT_TRUE(stored.writable);
}

TEST(BestScoreTest, SavingReplacesTheFileLeavingNothingElseAndAFailureSaysWhy) {
    testsupport::ScratchDir scratch;
    const std::string path = scratch.file("share/pellvane/best-score");
    ASSERT_TRUE(bestscore::save(path, 90));
    ASSERT_TRUE(bestscore::save(path, 120));
    std::ifstream in(path);
    EXPECT_EQ("120\n", std::string(std::istreambuf_iterator<char>(in), {}));
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(scratch.file("share/pellvane")), {}));

    testing::internal::CaptureStderr();
    EXPECT_FALSE(bestscore::save(scratch.file("share/pellvane/best-score/inside"), 10)); // a file in the way
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("not saved"));
}

TEST(BestScoreTest, OnlyAMissingOrCorruptFileMayBeReplacedAndOneThatCannotBeReadIsLeftAlone) {
    testsupport::ScratchDir scratch;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(bestscore::load("missing").writable);
    testsupport::writeFile("corrupt", "x\n");
    EXPECT_TRUE(bestscore::load("corrupt").writable);
    // An I/O error that root meets too: the name is a directory.
    std::filesystem::create_directory("folder");
    const bestscore::Stored folder = bestscore::load("folder");
    EXPECT_EQ(0, folder.score);
    EXPECT_FALSE(folder.writable);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(3, std::count(said.begin(), said.end(), '\n')) << said;

    // Permission denied, as a player who is not root meets it: the scratch directory is the
    // test's own, mode 0700, so another user may not even look inside.
    testsupport::writeFile("kept", "5000\n");
    const std::string kept = scratch.file("kept");
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && setuid(65534) != 0)
            _exit(3);
        std::freopen("/dev/null", "w", stderr);
        const bestscore::Stored denied = bestscore::load(kept);
        _exit(denied.score == 0 && !denied.writable ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST(BestScoreTest, SavingThroughASymbolicLinkReplacesTheFileItPointsToAndKeepsTheLink) {
    testsupport::ScratchDir scratch;
    testsupport::writeFile("synced/best", "10\n");
    std::filesystem::create_directories("share/pellvane");
    std::filesystem::create_symlink("../../synced/best", "share/pellvane/best-score");
    ASSERT_TRUE(bestscore::save(scratch.file("share/pellvane/best-score"), 700));
    EXPECT_TRUE(std::filesystem::is_symlink("share/pellvane/best-score"));
    EXPECT_EQ(700, bestscore::load("synced/best").score);
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator("synced"), {})) << "no temporary file left";
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator("share/pellvane"), {}));
    // A link that points nowhere yet names the file to make.
    std::filesystem::create_symlink("synced/new", "dangling");
    ASSERT_TRUE(bestscore::save(scratch.file("dangling"), 5));
    EXPECT_TRUE(std::filesystem::is_symlink("dangling"));
    EXPECT_EQ(5, bestscore::load("synced/new").score);
}

} // namespace
