// The best score file: where it lives, what counts as a score, and the atomic replacement that
// writes nothing but the file (and its missing directories).
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

#include "TestSupport.h"
#include "app/BestScore.h"

namespace {

namespace fs = std::filesystem;
using testsupport::writeFile;

// Sets an environment variable for the test's lifetime, restoring it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name(name) {
        if (const char* old = std::getenv(name))
            saved = old, hadValue = true;
        value != nullptr ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { hadValue ? setenv(name, saved.c_str(), 1) : unsetenv(name); }

private:
    const char* name;
    std::string saved;
    bool hadValue = false;
};

struct BestScoreTest : ::testing::Test {
    testsupport::ScratchDir scratch;

    // The score read from a file holding `contents`, and what was said on standard error.
    static std::pair<int, std::string> loadWith(const std::string& contents) {
        writeFile("best-score", contents);
        testing::internal::CaptureStderr();
        const int score = bestscore::load("best-score");
        return {score, testing::internal::GetCapturedStderr()};
    }
    static int lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }
};

TEST_F(BestScoreTest, TheFileLivesUnderXdgDataHomeOrElseUnderTheHomesLocalShare) {
    ScopedEnv home("HOME", "/home/player");
    {
        ScopedEnv data("XDG_DATA_HOME", "/data/xdg");
        EXPECT_EQ("/data/xdg/pellvane/best-score", bestscore::defaultPath());
    }
    for (const char* ignored : {"", "relative/dir"}) {
        ScopedEnv data("XDG_DATA_HOME", ignored);
        EXPECT_EQ("/home/player/.local/share/pellvane/best-score", bestscore::defaultPath()) << ignored;
    }
    ScopedEnv unset("XDG_DATA_HOME", nullptr);
    EXPECT_EQ("/home/player/.local/share/pellvane/best-score", bestscore::defaultPath());
}

TEST_F(BestScoreTest, ADecimalNumberIsReadAndAnythingElseCountsAsZeroWithOneLine) {
    EXPECT_EQ(std::make_pair(1234, std::string()), loadWith("1234\n"));
    EXPECT_EQ(2147483647, loadWith("2147483647").first);
    for (const char* corrupt :
         {"", "\n", "12a\n", "-5\n", "1 2\n", "2147483648\n", "0x10", "99999999999999999999999"}) {
        const auto [score, said] = loadWith(corrupt);
        EXPECT_EQ(0, score) << corrupt;
        EXPECT_EQ(1, lines(said)) << corrupt << ": " << said;
        EXPECT_NE(std::string::npos, said.find("best-score")) << said;
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(0, bestscore::load("missing/best-score"));
    EXPECT_EQ(1, lines(testing::internal::GetCapturedStderr()));
    fs::create_directory("a-directory");
    testing::internal::CaptureStderr();
    EXPECT_EQ(0, bestscore::load("a-directory")) << "unreadable";
    EXPECT_EQ(1, lines(testing::internal::GetCapturedStderr()));
}

TEST_F(BestScoreTest, SavingMakesPrivateDirectoriesAndReplacesTheFileLeavingNothingElse) {
    const std::string path = scratch.file("share/pellvane/best-score");
    ASSERT_TRUE(bestscore::save(path, 90));
    ASSERT_TRUE(bestscore::save(path, 120));
    std::ifstream in(path);
    EXPECT_EQ("120\n", std::string(std::istreambuf_iterator<char>(in), {}));
    struct stat info {};
    ASSERT_EQ(0, stat(scratch.file("share/pellvane").c_str(), &info));
    EXPECT_EQ(0700u, info.st_mode & 0777u);
    int entries = 0;
    for (const auto& entry : fs::recursive_directory_iterator(scratch.path))
        entries += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(1, entries) << "no temporary file is left behind";
    EXPECT_EQ(120, bestscore::load(path));
}

TEST_F(BestScoreTest, AFailedSaveSaysWhyOnOneLine) {
    writeFile("blocker", "a file where a directory should be");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(bestscore::save(scratch.file("blocker/pellvane/best-score"), 10));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(1, lines(said)) << said;
    EXPECT_NE(std::string::npos, said.find("not saved")) << said;
}

} // namespace
