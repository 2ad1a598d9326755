// The best score file: where it lives, what counts as a score, and the atomic replacement.
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "game/BestScore.h"

namespace {
// Set by a test: each directory synced while it is set is recorded with what this file then held.
std::string watchedFile;
std::vector<std::pair<ino_t, std::string>> directorySyncs;

std::string contents(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
} // namespace

// The real fsync, watched on the way: short of pulling the plug, the one witness that the
// directory holding a renamed file reached the disk after the rename.
extern "C" int fsync(int fd) {
    struct stat status {};
    if (!watchedFile.empty() && fstat(fd, &status) == 0 && S_ISDIR(status.st_mode))
        directorySyncs.emplace_back(status.st_ino, contents(watchedFile));
    static const auto real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    return real(fd);
}

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

TEST(BestScoreTest, OnlyADecimalNumberIsAScoreAndAnythingElseCountsAsZeroWithOneLineAndIsKept) {
    testsupport::ScratchDir scratch;
    for (const std::string& corrupt :
         std::vector<std::string>{"", "12a\n", "-5\n", "1 2\n", "2147483648\n", "999999999999999999999999",
                                  "# three\nlines of\nsomething else\n", std::string(40, '0') + "7\n"}) {
        testsupport::writeFile("best-score", corrupt);
        testing::internal::CaptureStderr();
        const bestscore::Stored stored = bestscore::load("best-score");
        EXPECT_EQ(0, stored.score) << corrupt;
        EXPECT_FALSE(stored.writable) << corrupt;
        EXPECT_FALSE(bestscore::save("best-score", 1200)) << corrupt;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(2, std::count(said.begin(), said.end(), '\n')) << corrupt << ": " << said;
        EXPECT_EQ(corrupt, contents("best-score"));
    }
    testsupport::writeFile("best-score", "2147483647 \n");
    const bestscore::Stored stored = bestscore::load("best-score");
    EXPECT_EQ(2147483647, stored.score);
    EXPECT_TRUE(stored.writable);
}

TEST(BestScoreTest, SavingReplacesTheFileDurablyKeepingItsModeAndLeavingNothingElseAndAFailureSaysWhy) {
    testsupport::ScratchDir scratch;
    const std::string path = scratch.file("share/pellvane/best-score");
    ASSERT_TRUE(bestscore::save(path, 90));
    ASSERT_EQ(0, chmod(path.c_str(), 0640));
    watchedFile = path;
    directorySyncs.clear();
    const bool saved = bestscore::save(path, 120);
    watchedFile.clear();
    ASSERT_TRUE(saved);
    EXPECT_EQ("120\n", contents(path));
    struct stat file {};
    struct stat directory {};
    ASSERT_EQ(0, stat(path.c_str(), &file));
    ASSERT_EQ(0, stat(scratch.file("share/pellvane").c_str(), &directory));
    EXPECT_EQ(0640u, file.st_mode & 07777u);
    const std::vector<std::pair<ino_t, std::string>> syncedOnceRenamed{{directory.st_ino, "120\n"}};
    EXPECT_EQ(syncedOnceRenamed, directorySyncs);
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(scratch.file("share/pellvane")), {}));

    testing::internal::CaptureStderr();
    EXPECT_FALSE(bestscore::save(scratch.file("share/pellvane/best-score/inside"), 10)); // a file in the way
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("not saved"));
}

TEST(BestScoreTest, OnlyAMissingFileOrAScoreIsReplacedAndAnythingElseIsLeftAloneWithoutWaitingOnIt) {
    testsupport::ScratchDir scratch;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(bestscore::load("missing").writable);
    std::filesystem::create_directory("folder");
    const bestscore::Stored folder = bestscore::load("folder");
    EXPECT_EQ(0, folder.score);
    EXPECT_FALSE(folder.writable);
    EXPECT_FALSE(bestscore::save("folder", 10));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(3, std::count(said.begin(), said.end(), '\n')) << said;
    EXPECT_TRUE(std::filesystem::is_directory("folder"));

    // Each check runs in a child: opening a FIFO to read would wait for a writer that never
    // comes, and the alarm ends a child that waits.
    const auto inChild = [](const std::function<bool()>& check) {
        const pid_t child = fork();
        if (child == 0) {
            std::signal(SIGALRM, SIG_DFL); // SDL, started for the shared window, ignores it
            alarm(10);
            std::freopen("/dev/null", "w", stderr);
            _exit(check() ? 0 : 1);
        }
        int status = -1;
        return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    };
    ASSERT_EQ(0, mkfifo("fifo", 0600));
    EXPECT_TRUE(inChild([] {
        const bestscore::Stored fifo = bestscore::load("fifo");
        return fifo.score == 0 && !fifo.writable && !bestscore::save("fifo", 10);
    }));
    EXPECT_EQ(std::filesystem::file_type::fifo, std::filesystem::symlink_status("fifo").type());

    // Permission denied, as a player who is not root meets it: the scratch directory is the
    // test's own, mode 0700, so another user may not even look inside.
    testsupport::writeFile("kept", "5000\n");
    const std::string kept = scratch.file("kept");
    EXPECT_TRUE(inChild([&] {
        if (geteuid() == 0 && setuid(65534) != 0)
            return false;
        const bestscore::Stored denied = bestscore::load(kept);
        return denied.score == 0 && !denied.writable;
    }));
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

    // A link to a file of the player's that is not a score: read as 0, and never written.
    const std::string profile = "# the shell's\nexport PATH\nalias ll='ls -l'\n";
    testsupport::writeFile("bashrc", profile);
    std::filesystem::create_symlink("bashrc", "to-profile");
    testing::internal::CaptureStderr();
    const bestscore::Stored stored = bestscore::load(scratch.file("to-profile"));
    EXPECT_FALSE(stored.writable);
    EXPECT_FALSE(bestscore::save(scratch.file("to-profile"), 1200));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(2, std::count(said.begin(), said.end(), '\n')) << said;
    EXPECT_EQ(profile, contents("bashrc"));
}

} // namespace
