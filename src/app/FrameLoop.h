// The frame loop: SDL input translated into named events on the Game, the current scene
// updated by the elapsed time, then cleared, drawn and swapped.
#pragma once

#include <SDL.h>
#include <cstdint>

#include "app/FramePacer.h"
#include "game/GameWorld.h"

class Game;
class IEvent;
class ScreenMode;

// Window and start-up constants.
constexpr int kWindowWidth = static_cast<int>(kViewWidth);
constexpr int kWindowHeight = static_cast<int>(kViewHeight);
constexpr int kWindowBitsPerPixel = 32;
constexpr const char* kWindowCaption = "PELLVANE!";

// Opens the game's 800 x 600 OpenGL window (SDL's video must be started), with `flags` added to
// SDL_OPENGL, or sets another mode of it (full screen, ScreenMode.h); null when it cannot, with
// SDL_GetError() saying why. The display's size is read before the first mode is set. It asks for no depth buffer:
// nothing is depth tested, and without one Mesa's software rasteriser draws axis-aligned quads
// through its rectangle path, which costs a fraction of its triangle path. It sets
// LP_NUM_THREADS to 0 where it is not set (see there).
SDL_Surface* openGameWindow(Uint32 flags = 0, int width = kWindowWidth, int height = kWindowHeight);

// Elapsed milliseconds between two tick readings. Unsigned arithmetic, so a counter that
// wrapped between the readings still gives the true small difference.
inline uint32_t elapsedTicks(uint32_t now, uint32_t last) {
    return now - last;
}

// Seconds in `ticks` milliseconds: the count as a float divided by 1000.0, the quotient rounded
// to float once. Multiplying by a rounded 0.001 instead is one unit in the last place off for
// more than half of all counts (10 ms would give 0.0100000007 instead of 0.0099999998).
inline float ticksToSeconds(uint32_t ticks) {
    return static_cast<float>(static_cast<float>(ticks) / 1000.0);
}

// Translates one SDL event into a new heap event for the Game's dispatcher, or null.
// An Escape release or a quit request clears `running` and produces no event. With a `screen`,
// the pointer's window position is mapped into the view it draws (ScreenMode.h).
IEvent* translateEvent(const SDL_Event& event, bool& running, const ScreenMode* screen = nullptr);

class FrameLoop {
public:
    using TickSource = uint32_t (*)();

    // The tick source is SDL's millisecond counter; tests may pass their own clock.
    explicit FrameLoop(Game& game, TickSource ticks = &SDL_GetTicks);

    // Takes the first tick reading; the first frame's dt runs from here.
    uint32_t start();
    // Runs one frame. False when the loop must end: at once when start-up failed
    // (nothing of the frame runs), or after this frame when a quit was seen.
    bool runFrame();
    // Polls and dispatches every queued SDL event, in arrival order.
    void pumpEvents();

    bool isRunning() const { return running; }
    float getLastDt() const { return lastDt; }

private:
    Game& game;
    TickSource ticks;
    uint32_t lastTick = 0;
    float lastDt = 0.0f;
    bool running = true;
    // The display's refresh rate once read (0: unreadable); below 0 before that.
    int displayRate = -1;
    SDL_Event sdlEvent;
    FramePacer pacer;
};
