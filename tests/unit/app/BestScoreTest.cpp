// The best score file: where it lives, what counts as a score, and the atomic replacement.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

#include "TestSupport.h"
#include "app/BestScore.h"

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
        EXPECT_EQ(0, bestscore::load("best-score")) << corrupt;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(1, std::count(said.begin(), said.end(), '\n')) << corrupt << ": " << said;
    }
    testsupport::writeFile("best-score", "2147483647 \n");
    EXPECT_EQ(2147483647, bestscore::load("best-score"));
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

} // namespace
