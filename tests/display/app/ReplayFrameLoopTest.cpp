// The shipped demo through the real frame loop: at 30, 60 and about 144 frames a second the same
// recording ends in the same state, the watcher's F key (pushed into SDL's queue, as a key press
// arrives) playing it eight times as fast, and the run ends with status 0 and nothing written.
#include <SDL.h>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "app/FrameLoop.h"
#include "app/Game.h"
#include "game/PellvaneGameScene.h"
#include "game/Recordings.h"

namespace {

uint32_t fakeNow = 0;
uint32_t fakeTicks() {
    return fakeNow;
}

void pushKey(SDLKey key) {
    for (const Uint8 type : {SDL_KEYDOWN, SDL_KEYUP}) {
        SDL_Event event{};
        event.type = type;
        event.key.type = type;
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = key;
        ASSERT_EQ(0, SDL_PushEvent(&event));
    }
}

TEST(ReplayFrameLoopTest, TheDemoEndsTheSameAtThirtySixtyAndAHundredAndFortyFourFramesASecond) {
    SDL_Event drain;
    while (SDL_PollEvent(&drain)) {
    }
    testsupport::ScratchDir dir;
    std::filesystem::copy(PELLVANE_DATA, dir.path, std::filesystem::copy_options::recursive);
    const std::string home = dir.file("home");
    const char* previousHome = std::getenv("XDG_DATA_HOME");
    const std::string restore = previousHome != nullptr ? previousHome : "";
    setenv("XDG_DATA_HOME", home.c_str(), 1);

    std::string firstVerdict;
    for (const uint32_t frameMs : {33u, 16u, 7u}) {
        Game game;
        game.init(800, 600);
        ASSERT_FALSE(game.quitRequested);
        game.maxFps = 0; // the fake clock paces the frames
        auto* scene = dynamic_cast<PellvaneGameScene*>(game.getCurrentScene());
        ASSERT_NE(nullptr, scene);
        std::string why;
        std::optional<Recording> demo = recordings::load(scene->getSettings().demo, why);
        ASSERT_TRUE(demo.has_value()) << why;
        ASSERT_EQ("", scene->replayRefusal(demo->header)) << "record the demo again: ./run.sh demo";
        scene->watch(*demo, PellvaneGameScene::Watching::Replay);

        FrameLoop frames(game, &fakeTicks);
        frames.start();
        for (int press = 0; press < 3; ++press)
            pushKey(SDLK_f);
        const int most = static_cast<int>(demo->header.steps / 240.0 * 1000.0 / frameMs) + 1000;
        int frame = 0;
        while (frame++ < most && frames.runFrame())
            fakeNow += frameMs;
        EXPECT_TRUE(game.quitRequested) << frameMs << " ms frames: the replay never ended";
        EXPECT_EQ(0, game.getEndStatus()) << scene->getReplayVerdict();
        EXPECT_TRUE(scene->replayMatched()) << frameMs << " ms frames: " << scene->getReplayVerdict();
        EXPECT_LT(frame, static_cast<int>(demo->header.steps / 240.0 * 1000.0 / frameMs / 6)) << "F played it faster";
        if (firstVerdict.empty())
            firstVerdict = scene->getReplayVerdict();
        EXPECT_EQ(firstVerdict, scene->getReplayVerdict());
    }
    EXPECT_FALSE(std::filesystem::exists(home + "/pellvane/last.rec")) << "a game watched is not kept";
    setenv("XDG_DATA_HOME", restore.c_str(), 1);
}

} // namespace
