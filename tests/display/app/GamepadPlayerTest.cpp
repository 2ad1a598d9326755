// A player with nothing but a gamepad, on the shipped game: joystick events pushed into SDL's queue
// (as a plugged-in pad's would arrive; SDL 1.2 takes them with no joystick opened) go through the
// frame loop's translation to the game. One game, started, steered, paused, launched, ended, its
// initials entered, and the next one started, all from the pad.
#include <SDL.h>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "TestSupport.h"
#include "app/FrameLoop.h"
#include "app/Game.h"
#include "game/PellvaneBallEntity.h"
#include "game/PellvaneGameScene.h"
#include "game/PellvanePaddleEntity.h"

namespace {

uint32_t fakeNow = 0;
uint32_t fakeTicks() {
    return fakeNow;
}

// The shipped data's pad: button 7 pauses, every button but 7 and 3 launches.
constexpr Uint8 kLaunch = 0;
constexpr Uint8 kStart = 7;
constexpr float kPaddleSpeed = 380.0f; // the shipped paddle's

void push(SDL_Event event) {
    ASSERT_EQ(0, SDL_PushEvent(&event));
}
void pushButton(Uint8 button, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
    e.jbutton.type = e.type;
    e.jbutton.which = 0;
    e.jbutton.button = button;
    e.jbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
    push(e);
}
void pushAxis(Uint8 axis, Sint16 value) {
    SDL_Event e{};
    e.type = SDL_JOYAXISMOTION;
    e.jaxis.type = e.type;
    e.jaxis.axis = axis;
    e.jaxis.value = value;
    push(e);
}
void pushHat(Uint8 value) {
    SDL_Event e{};
    e.type = SDL_JOYHATMOTION;
    e.jhat.type = e.type;
    e.jhat.value = value;
    push(e);
}

class GamepadPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        SDL_Event drain;
        while (SDL_PollEvent(&drain)) {
        }
        // The shipped game, with no ball in reserve and no frame cap, keeping its table here.
        std::filesystem::copy(PELLVANE_DATA, dir.path, std::filesystem::copy_options::recursive);
        std::stringstream config;
        config << std::ifstream("config.xml").rdbuf();
        std::string text = config.str();
        text.replace(text.find("lives=\"3\""), 9, "lives=\"0\"");
        text.replace(text.find("<config "), 8, "<config max_fps=\"0\" ");
        testsupport::writeFile("config.xml", text);
        const char* home = std::getenv("XDG_DATA_HOME");
        previousHome = home != nullptr ? home : "";
        setenv("XDG_DATA_HOME", dir.path.c_str(), 1);
    }
    void TearDown() override { setenv("XDG_DATA_HOME", previousHome.c_str(), 1); }

    // Runs the frame loop for `seconds` of game time at 60 frames a second.
    void play(float seconds) {
        for (int i = 0; i < static_cast<int>(std::lround(seconds * 60.0f)); ++i) {
            fakeNow += 16;
            ASSERT_TRUE(loop->runFrame());
        }
    }
    void press(Uint8 button) {
        pushButton(button, true);
        pushButton(button, false);
        play(0.05f);
    }
    // How far the paddle goes in `seconds`, as a share of its full speed over the time the frames
    // took (16 ms each, a little short of a sixtieth of a second).
    float shareOfFullSpeed(float seconds) {
        const float from = paddle->getPosition().x;
        const uint32_t start = fakeNow;
        play(seconds);
        return (paddle->getPosition().x - from) / (kPaddleSpeed * static_cast<float>(fakeNow - start) / 1000.0f);
    }

    testsupport::ScratchDir dir;
    std::string previousHome;
    FrameLoop* loop = nullptr;
    PellvaneGameScene* scene = nullptr;
    PellvanePaddleEntity* paddle = nullptr;
};

TEST_F(GamepadPlayerTest, AGamepadAloneStartsPlaysPausesEndsAndEntersInitials) {
    Game game;
    game.init(800, 600);
    ASSERT_FALSE(game.quitRequested);
    FrameLoop frames(game, &fakeTicks);
    loop = &frames;
    frames.start();
    scene = dynamic_cast<PellvaneGameScene*>(game.getCurrentScene());
    ASSERT_NE(nullptr, scene);
    paddle = scene->getPaddle();
    ASSERT_NE(nullptr, paddle);

    // The title: a press before NEW GAME has faded in starts nothing, one after it does.
    press(kLaunch);
    EXPECT_FALSE(scene->isGameInPlay());
    play(2.0f);
    press(kLaunch);
    ASSERT_TRUE(scene->isGameInPlay()) << "the launch button presses NEW GAME";
    play(1.5f); // the level's loading delay
    ASSERT_TRUE(paddle->isHoldingBall());

    // The stick steers in proportion to how far it is pushed beyond the dead zone (0.2 of its travel).
    pushAxis(0, -32767);
    play(0.6f);
    pushAxis(0, 16384); // half way: (0.5 - 0.2) / 0.8 of full speed
    const float half = shareOfFullSpeed(0.25f);
    EXPECT_NEAR(0.375f, half, 0.04f);
    pushAxis(0, 32767);
    EXPECT_NEAR(1.0f, shareOfFullSpeed(0.25f), 0.04f);
    pushAxis(0, 3000); // inside the dead zone: the stick is let go
    EXPECT_EQ(0.0f, shareOfFullSpeed(0.2f));
    pushAxis(1, 32767); // the other axis steers nothing
    EXPECT_EQ(0.0f, shareOfFullSpeed(0.2f));
    // The d-pad steers at full speed, and stops when let go.
    pushHat(SDL_HAT_LEFT);
    EXPECT_NEAR(-1.0f, shareOfFullSpeed(0.25f), 0.04f);
    pushHat(SDL_HAT_CENTERED);
    EXPECT_EQ(0.0f, shareOfFullSpeed(0.2f));

    // Start pauses and resumes; nothing moves in between, and a launch press while paused resumes
    // without launching.
    press(kStart);
    ASSERT_TRUE(scene->isPaused());
    pushHat(SDL_HAT_RIGHT);
    EXPECT_EQ(0.0f, shareOfFullSpeed(0.3f));
    press(kStart);
    EXPECT_FALSE(scene->isPaused());
    press(kStart);
    press(kLaunch);
    EXPECT_FALSE(scene->isPaused());
    EXPECT_TRUE(paddle->isHoldingBall());

    // The launch button launches on its release.
    pushButton(kLaunch, true);
    play(0.05f);
    EXPECT_TRUE(paddle->isHoldingBall());
    pushButton(kLaunch, false);
    play(0.05f);
    EXPECT_FALSE(paddle->isHoldingBall());

    // The game ends with points enough for the table (how it is lost is not the pad's business).
    scene->addScore(1234);
    scene->ballLost();
    play(0.1f);
    ASSERT_TRUE(scene->isEnteringInitials());
    // The launch button pressed at once may be meant for the lost ball: it confirms nothing.
    press(kLaunch);
    EXPECT_TRUE(scene->isEnteringInitials());
    // The d-pad turns the letter and moves along; a diagonal does neither.
    const std::string before = scene->getHighScores().getEntry().getInitials();
    pushHat(SDL_HAT_UP);
    pushHat(SDL_HAT_CENTERED);
    pushHat(SDL_HAT_RIGHT);
    pushHat(SDL_HAT_CENTERED);
    pushHat(SDL_HAT_DOWN);
    pushHat(SDL_HAT_CENTERED);
    pushHat(SDL_HAT_DOWN);
    pushHat(SDL_HAT_CENTERED);
    pushHat(SDL_HAT_RIGHTUP);
    pushHat(SDL_HAT_CENTERED);
    play(0.05f);
    const auto turned = [](char c, int by) { return static_cast<char>('A' + (c - 'A' + 26 + by) % 26); };
    const std::string expected{turned(before[0], 1), turned(before[1], -2), before[2]};
    EXPECT_EQ(expected, scene->getHighScores().getEntry().getInitials());
    play(1.0f);
    pushButton(kLaunch, true);
    play(0.05f);
    ASSERT_FALSE(scene->isEnteringInitials()) << "the launch button enters the initials";
    EXPECT_EQ(expected, scene->getHighScores().getScores().entries().at(0).initials);
    pushButton(kLaunch, false);
    play(2.5f);
    EXPECT_FALSE(scene->isGameInPlay()) << "the press that entered the initials starts no game";

    // NEW GAME is shown again: Start presses it.
    press(kStart);
    EXPECT_TRUE(scene->isGameInPlay());
}

} // namespace
