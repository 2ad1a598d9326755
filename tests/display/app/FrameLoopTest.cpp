// The frame loop's event translation and timing, fed with events through SDL's queue and with
// a real click on the test window.
#include <GL/glew.h>
#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/FrameCap.h"
#include "app/FrameLoop.h"
#include "app/Game.h"
#include "events/Events.h"

// Last: Xlib's macros (None, Bool, ...) would clash with names in the headers above.
#include <SDL_syswm.h>

namespace {

uint32_t fakeNow = 0;
uint32_t fakeTicks() {
    return fakeNow;
}

// Records every input event dispatched on the Game.
struct InputRecorder : IEventCallback {
    struct Seen {
        std::string name;
        int32_t key = 0;
        bool pressed = false;
        uint32_t x = 0, y = 0;
        bool left = false, right = false;
        int32_t action = -1;
    };
    std::vector<Seen> seen;
    bool handleEvent(IEvent* event) override {
        Seen s;
        s.name = event->getName();
        if (auto* k = dynamic_cast<KeyboardEvent*>(event)) {
            s.key = k->key;
            s.pressed = k->pressed;
        }
        if (auto* m = dynamic_cast<MouseEvent*>(event)) {
            s.x = m->x;
            s.y = m->y;
            s.left = m->leftButton;
            s.right = m->rightButton;
            s.action = m->action;
        }
        seen.push_back(s);
        return true;
    }
};

struct FrameLoopTest : ::testing::Test {
    std::unique_ptr<Game> owned;
    Game* game = nullptr;
    InputRecorder recorder;
    void SetUp() override {
        SDL_Event drain;
        while (SDL_PollEvent(&drain)) {
        }
        owned = std::make_unique<Game>();
        game = owned.get();
        for (const std::string* name : {&KEYBOARD_KEY_PRESSED_EVENT, &KEYBOARD_KEY_RELEASED_EVENT, &MOUSE_MOVE_EVENT,
                                        &MOUSE_BUTTON_DOWN_EVENT, &MOUSE_BUTTON_UP_EVENT})
            game->registerCallback(*name, &recorder);
    }
    void TearDown() override { owned.reset(); }

    static void pushKey(Uint8 type, SDLKey sym) {
        SDL_Event e{};
        e.type = type;
        e.key.type = type;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = sym;
        ASSERT_EQ(0, SDL_PushEvent(&e));
    }
    static void pushButton(Uint8 type, Uint8 button, Uint16 x, Uint16 y) {
        SDL_Event e{};
        e.type = type;
        e.button.type = type;
        e.button.button = button;
        e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.button.x = x;
        e.button.y = y;
        ASSERT_EQ(0, SDL_PushEvent(&e));
    }
};

TEST_F(FrameLoopTest, KeysAreDispatchedInArrivalOrderAndEscapeReleaseEndsAfterTheFrame) {
    pushKey(SDL_KEYDOWN, SDLK_a);
    pushKey(SDL_KEYUP, SDLK_a);
    pushKey(SDL_KEYDOWN, SDLK_ESCAPE);
    pushKey(SDL_KEYUP, SDLK_ESCAPE);
    FrameLoop loop(*game, &fakeTicks);
    loop.start();
    EXPECT_FALSE(loop.runFrame()); // the frame ran, and asked to end the loop
    ASSERT_EQ(3u, recorder.seen.size());
    EXPECT_EQ(KEYBOARD_KEY_PRESSED_EVENT, recorder.seen[0].name);
    EXPECT_EQ(97, recorder.seen[0].key);
    EXPECT_TRUE(recorder.seen[0].pressed);
    EXPECT_EQ(KEYBOARD_KEY_RELEASED_EVENT, recorder.seen[1].name);
    EXPECT_FALSE(recorder.seen[1].pressed);
    EXPECT_EQ(KEYBOARD_KEY_PRESSED_EVENT, recorder.seen[2].name); // Escape press is an ordinary key
    EXPECT_EQ(27, recorder.seen[2].key);
}

TEST_F(FrameLoopTest, QuitEventEndsTheLoopWithoutAnEvent) {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    ASSERT_EQ(0, SDL_PushEvent(&quit));
    FrameLoop loop(*game, &fakeTicks);
    loop.start();
    EXPECT_FALSE(loop.runFrame());
    EXPECT_TRUE(recorder.seen.empty());
}

TEST_F(FrameLoopTest, MouseEventsCarryPositionAndTheButtonStateAfterTheChange) {
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 120;
    motion.motion.y = 45;
    motion.motion.state = SDL_BUTTON(SDL_BUTTON_LEFT) | SDL_BUTTON(SDL_BUTTON_RIGHT);
    ASSERT_EQ(0, SDL_PushEvent(&motion));
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 300, 200);
    pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 301, 202);
    FrameLoop loop(*game, &fakeTicks);
    loop.start();
    EXPECT_TRUE(loop.runFrame());
    ASSERT_EQ(3u, recorder.seen.size());
    EXPECT_EQ(MOUSE_MOVE_EVENT, recorder.seen[0].name);
    EXPECT_EQ(120u, recorder.seen[0].x);
    EXPECT_EQ(45u, recorder.seen[0].y);
    EXPECT_TRUE(recorder.seen[0].left);
    EXPECT_TRUE(recorder.seen[0].right);
    EXPECT_EQ(4, recorder.seen[0].action);
    EXPECT_EQ(MOUSE_BUTTON_DOWN_EVENT, recorder.seen[1].name);
    EXPECT_EQ(0, recorder.seen[1].action);
    EXPECT_EQ(300u, recorder.seen[1].x);
    EXPECT_EQ(MOUSE_BUTTON_UP_EVENT, recorder.seen[2].name);
    EXPECT_EQ(1, recorder.seen[2].action);
    EXPECT_EQ(202u, recorder.seen[2].y);
    // The button flags of button events come from SDL's own state, which events pushed into its
    // queue never change: they are checked with a real click below.
}

// A real left click on the real window, through the X server: xdotool sends the press and the
// release to the window, SDL updates its button state as it reads them, and the flags are that
// state while each event is translated. Press and release are sent one at a time, so that SDL
// reads the press before the release exists: the press reports the left button down, the release
// reports it up again.
TEST_F(FrameLoopTest, ARealLeftClickReportsTheButtonDownOnPressAndUpOnRelease) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_EQ(1, SDL_GetWMInfo(&info));
    const std::string window = std::to_string(info.info.x11.window);
    FrameLoop loop(*game, &fakeTicks);
    loop.start();
    auto sendAndWaitFor = [&](const char* action, const std::string& name) -> const InputRecorder::Seen* {
        const std::string command = std::string("xdotool ") + action + " --window " + window + " 1 2>/dev/null";
        EXPECT_EQ(0, std::system(command.c_str())) << command;
        for (int tries = 0; tries < 500; ++tries) {
            loop.pumpEvents();
            for (const InputRecorder::Seen& seen : recorder.seen)
                if (seen.name == name)
                    return &seen;
            SDL_Delay(10);
        }
        return nullptr;
    };
    const InputRecorder::Seen* down = sendAndWaitFor("mousedown", MOUSE_BUTTON_DOWN_EVENT);
    ASSERT_NE(nullptr, down) << "the press never arrived";
    EXPECT_EQ(0, down->action);
    EXPECT_TRUE(down->left);
    EXPECT_FALSE(down->right);
    const InputRecorder::Seen* up = sendAndWaitFor("mouseup", MOUSE_BUTTON_UP_EVENT);
    ASSERT_NE(nullptr, up) << "the release never arrived";
    EXPECT_EQ(1, up->action);
    EXPECT_FALSE(up->left) << "a released left button already reads as up";
    EXPECT_FALSE(up->right);
}

TEST_F(FrameLoopTest, DtIsTheTrueElapsedTimeAcrossATickWrap) {
    FrameLoop loop(*game, &fakeTicks);
    fakeNow = 0xFFFFFFF0u;
    loop.start();
    fakeNow = 0x00000010u; // wrapped: 32 ms later
    EXPECT_TRUE(loop.runFrame());
    EXPECT_EQ(0.032f, loop.getLastDt());
    fakeNow += 1500; // no cap on a long frame
    EXPECT_TRUE(loop.runFrame());
    EXPECT_EQ(1.5f, loop.getLastDt());
    fakeNow += 10;
    EXPECT_TRUE(loop.runFrame());
    EXPECT_EQ(0.01f, loop.getLastDt()) << "0.0099999998, not 0.0100000007";
    EXPECT_EQ(32u, elapsedTicks(0x10u, 0xFFFFFFF0u));
}

// dt is the elapsed milliseconds divided by 1000, rounded to float once: exactly the float
// nearest to the decimal number of seconds, for every delta up to 100 s.
TEST_F(FrameLoopTest, DtIsTheNearestFloatToTheMillisecondsOverAThousand) {
    int wrong = 0;
    for (uint32_t ms = 0; ms <= 100000; ++ms) {
        char decimal[32];
        std::snprintf(decimal, sizeof decimal, "%u.%03u", ms / 1000, ms % 1000);
        if (ticksToSeconds(ms) != std::strtof(decimal, nullptr) && ++wrong <= 5)
            ADD_FAILURE() << ms << " ms gave " << ticksToSeconds(ms) << ", not " << decimal;
    }
    EXPECT_EQ(0, wrong);
}

TEST_F(FrameLoopTest, AFailedStartupEndsTheLoopBeforeAnyEventIsPolled) {
    pushKey(SDL_KEYDOWN, SDLK_a);
    game->quitRequested = true;
    FrameLoop loop(*game, &fakeTicks);
    loop.start();
    EXPECT_FALSE(loop.runFrame());
    EXPECT_TRUE(recorder.seen.empty());
    SDL_Event left;
    EXPECT_EQ(1, SDL_PollEvent(&left)); // still queued
}

TEST_F(FrameLoopTest, OtherEventTypesAreIgnored) {
    bool running = true;
    SDL_Event active{};
    active.type = SDL_ACTIVEEVENT;
    EXPECT_EQ(nullptr, translateEvent(active, running));
    SDL_Event user{};
    user.type = SDL_USEREVENT;
    EXPECT_EQ(nullptr, translateEvent(user, running));
    EXPECT_TRUE(running);
}

} // namespace

TEST(FrameCapTest, MaxFpsWinsAndWithoutItTheDisplaysRateOrSixty) {
    EXPECT_EQ(30, chooseFrameCap(30, 144));
    EXPECT_EQ(0, chooseFrameCap(0, 144)) << "0 stays uncapped";
    EXPECT_EQ(144, chooseFrameCap(kMaxFpsOfDisplay, 144));
    EXPECT_EQ(kFallbackRefreshRate, chooseFrameCap(kMaxFpsOfDisplay, 0)) << "unreadable";
    EXPECT_EQ(kFallbackRefreshRate, chooseFrameCap(kMaxFpsOfDisplay, 5000)) << "a misreading";
    // The test window's display: the virtual server's mode, or nothing to read.
    const int rate = readDisplayRefreshRate();
    EXPECT_TRUE(rate == 0 || (rate >= kLowestRefreshRate && rate <= kHighestRefreshRate)) << rate;
    std::fprintf(stderr, "display refresh rate: %d Hz\n", rate);
}

// The test window is opened as the game opens its own. A depth or stencil buffer would turn off
// Mesa's rectangle path for every quad of every frame.
TEST(GameWindowTest, HasEightBitColourAndNoDepthOrStencilBuffer) {
    GLint depth = -1, stencil = -1, red = 0, green = 0, blue = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    glGetIntegerv(GL_RED_BITS, &red);
    glGetIntegerv(GL_GREEN_BITS, &green);
    glGetIntegerv(GL_BLUE_BITS, &blue);
    EXPECT_EQ(0, depth);
    EXPECT_EQ(0, stencil);
    EXPECT_EQ(8, red);
    EXPECT_EQ(8, green);
    EXPECT_EQ(8, blue);
    const SDL_Surface* window = SDL_GetVideoSurface();
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(kWindowWidth, window->w);
    EXPECT_EQ(kWindowHeight, window->h);
    const char* threads = std::getenv("LP_NUM_THREADS");
    EXPECT_TRUE(threads != nullptr) << "llvmpipe is told how many threads to use";
}
