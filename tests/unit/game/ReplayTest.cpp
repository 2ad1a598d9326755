// A game is its seed and its inputs: a game the autopilot played, recorded as it went, plays back in
// a fresh scene to the same end however the frames come; a recording the data cannot play is refused.
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "PlayThrough.h"
#include "game/PellvaneGameScene.h"
#include "game/GameWorld.h"
#include "game/HighScoreKeeper.h"
#include "game/Recordings.h"

namespace {

using playthrough::loadHeadless;

// Plays `recording` back in a fresh scene with frames of `frame` seconds (every third one
// `spike` longer), until the replay gives its verdict; false if it never does.
bool replay(const Recording& recording, float frame, float spike, std::string& verdict) {
    const std::unique_ptr<playthrough::HeadlessGame> game = loadHeadless(PELLVANE_DATA, 99);
    if (game == nullptr)
        return false;
    game->scene->watch(recording, PellvaneGameScene::Watching::Replay);
    const double limit = recording.header.steps / 240.0 + 20.0;
    int frames = 0;
    for (double time = 0.0; time < limit && game->scene->getReplayVerdict().empty(); ++frames) {
        const float dt = frames % 3 == 2 ? frame + spike : frame;
        game->scene->update(dt);
        time += dt;
    }
    verdict = game->scene->getReplayVerdict();
    return game->scene->replayMatched();
}

TEST(ReplayTest, ARecordedGamePlaysBackTheSameAtEveryFrameTiming) {
    const std::unique_ptr<playthrough::HeadlessGame> game = loadHeadless(PELLVANE_DATA, 5);
    ASSERT_NE(nullptr, game);
    // The recorded game is the scene's second: nothing the first left behind may carry into it.
    playthrough::play(*game->scene, playthrough::Timing::Jitter, 40.0, 3u);
    playthrough::play(*game->scene, playthrough::Timing::Real60, 150.0, 4u);
    const std::optional<Recording> recorded = game->scene->gameSoFar();
    ASSERT_TRUE(recorded.has_value());
    EXPECT_GT(recorded->header.score, 0);
    EXPECT_GT(recorded->inputs.size(), 100u);

    // Compact: an hour of such play is well under a megabyte.
    const std::string bytes = encodeRecording(*recorded);
    EXPECT_LT(bytes.size() * 3600.0 * 240.0 / recorded->header.steps, 1.0e6) << bytes.size() << " bytes";
    std::string why;
    const std::optional<Recording> read = decodeRecording(bytes, why);
    ASSERT_TRUE(read.has_value()) << why;

    struct Frames {
        float frame, spike;
    };
    for (const Frames frames :
         {Frames{1.0f / 30, 0.0f}, Frames{1.0f / 60, 0.0f}, Frames{1.0f / 144, 0.0f}, Frames{0.004f, 0.09f}}) {
        std::string verdict;
        EXPECT_TRUE(replay(*read, frames.frame, frames.spike, verdict))
            << "frames of " << frames.frame << " s: " << (verdict.empty() ? "no verdict" : verdict);
    }

    // What this data cannot play is refused before a step is taken.
    RecordingHeader other = read->header;
    other.dataFingerprint ^= 1;
    EXPECT_NE(std::string::npos, game->scene->replayRefusal(other).find("other data"));
    other = read->header;
    other.gameVersion = "0.0.1";
    EXPECT_NE(std::string::npos, game->scene->replayRefusal(other).find("recorded by pellvane 0.0.1"));
    other = read->header;
    other.startLevel = 99;
    EXPECT_NE(std::string::npos, game->scene->replayRefusal(other).find("level 99"));
    EXPECT_EQ("", game->scene->replayRefusal(read->header));
}

TEST(ReplayTest, ASceneMadeAgainKeepsTheRunsTableThatNoFileHolds) {
    std::unique_ptr<playthrough::HeadlessGame> game = loadHeadless(PELLVANE_DATA, 1);
    ASSERT_NE(nullptr, game);
    // A run that writes nothing: its table lasts for the run only.
    PellvaneGameScene* scene = game->scene;
    scene->newGame();
    scene->addScore(4321);
    while (scene->getState() != GameOver)
        scene->ballLost();
    for (const bool pressed : {true, false})
        scene->getGameInput()->dispatchEvent(new KeyboardEvent(
            pressed ? KEYBOARD_KEY_PRESSED_EVENT : KEYBOARD_KEY_RELEASED_EVENT, 13, pressed));
    for (int frame = 0; frame < 240 && scene->getHighScores().isEntering(); ++frame)
        scene->update(1.0f / 60);
    ASSERT_EQ(4321, scene->getHighScores().getScores().best());

    // The title back after a game watched is a scene made again: the table is the run's still.
    // It is made from config.xml as the game finds it, in the data directory.
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(PELLVANE_DATA);
    game->world->remakeScene([](IScene&) {});
    game->world->settleScenes();
    std::filesystem::current_path(before);
    auto* again = dynamic_cast<PellvaneGameScene*>(game->world->getCurrentScene());
    ASSERT_NE(nullptr, again);
    EXPECT_NE(scene, again);
    game->scene = again;
    EXPECT_EQ(4321, again->getHighScores().getScores().best());
}

TEST(ReplayTest, TheShippedDemoPlaysToItsRecordedEndWithNoDisplay) {
    const std::unique_ptr<playthrough::HeadlessGame> game = loadHeadless(PELLVANE_DATA, 1);
    ASSERT_NE(nullptr, game);
    const std::string file = std::string(PELLVANE_DATA) + "/" + game->scene->getSettings().demo;
    std::string why;
    const std::optional<Recording> demo = recordings::load(file, why);
    ASSERT_TRUE(demo.has_value()) << file << ": " << why;
    ASSERT_EQ("", game->scene->replayRefusal(demo->header)) << "record the demo again: ./run.sh demo";
    EXPECT_GE(demo->header.steps, 240u * 60u) << "a demo of a minute or more";
    std::string verdict;
    EXPECT_TRUE(replay(*demo, 1.0f / 60, 0.0f, verdict)) << verdict;
}

} // namespace
