// Message composition of the exception classes, debugLog output and start-up error reporting.
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>

#include "TestSupport.h"
#include "app/Game.h"
#include "base/DebugLog.h"
#include "base/Exceptions.h"

TEST(Exceptions, MessagesAreComposedWithTheirPrefixes) {
    EXPECT_EQ("Exception: bad", BaseException("bad").message);
    EXPECT_EQ("", BaseException().message);
    EntityException entity("PellvanePaddleEntity", "Invalid element!");
    EXPECT_EQ("Entity Exception: PellvanePaddleEntity: Invalid element!", entity.message);
    EXPECT_EQ("PellvanePaddleEntity", entity.source);
    EXPECT_EQ("Scene Exception: game: x", SceneException("game", "x").message);
    EXPECT_EQ("Sound Exception: s: x", SoundException("s", "x").message);
    EXPECT_EQ("Sprite Exception: No ID: x", SpriteException("No ID", "x").message);
    EXPECT_EQ("Resource Exception: a.png: x", ResourceException("a.png", "x").message);
}

TEST(Exceptions, EmptySourceKeepsTheSeparator) {
    EXPECT_EQ("Scene Exception: : text", SceneException("", "text").message);
}

TEST(Exceptions, SubclassCaughtAsBaseCarriesTheFullMessage) {
    try {
        throw SceneException("level", "Missing file!");
    } catch (const BaseException& caught) {
        EXPECT_EQ("Scene Exception: level: Missing file!", caught.message);
        return;
    }
    FAIL() << "not caught as BaseException";
}

TEST(DebugLog, WritesTheLineToStandardErrorOnly) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    debugLog("value %d%%", 42);
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    EXPECT_EQ("value 42%\n", testing::internal::GetCapturedStderr());
}

TEST(DebugLog, CutsALongResultAt2047Characters) {
    const std::string longText(5000, 'x');
    testing::internal::CaptureStderr();
    debugLog("%s", longText.c_str());
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::string(kDebugLogMaxChars, 'x') + "\n", written);
}

TEST(StartupReporting, TheMessageIsOneVerbatimLineOnBothOutputs) {
    auto owned = std::make_unique<Game>();
    Game* game = owned.get();
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    game->failStartup("100% broken %s %d");
    EXPECT_EQ("100% broken %s %d\n", testing::internal::GetCapturedStdout());
    EXPECT_EQ("100% broken %s %d\n", testing::internal::GetCapturedStderr());
    EXPECT_TRUE(game->quitRequested);
}

TEST(StartupReporting, TheMessageShowsOnceWhereBothOutputsAreOneFile) {
    testsupport::ScratchDir scratch;
    std::fflush(stdout);
    std::fflush(stderr);
    const int savedOut = dup(STDOUT_FILENO), savedErr = dup(STDERR_FILENO);
    const int both = open("both", O_WRONLY | O_CREAT | O_TRUNC, 0600); // as 2>&1, or a terminal, gives
    dup2(both, STDOUT_FILENO);
    dup2(both, STDERR_FILENO);
    close(both);
    Game().failStartup("No scenes defined");
    dup2(savedOut, STDOUT_FILENO);
    dup2(savedErr, STDERR_FILENO);
    close(savedOut);
    close(savedErr);
    std::ifstream in("both");
    EXPECT_EQ("No scenes defined\n", std::string(std::istreambuf_iterator<char>(in), {}));
}

TEST(StartupReporting, EmptyTextPrintsNothingButStillEndsTheRun) {
    auto owned = std::make_unique<Game>();
    Game* game = owned.get();
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    game->failStartup("");
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
    EXPECT_TRUE(game->quitRequested);
}
