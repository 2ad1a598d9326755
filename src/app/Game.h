// The application object: the game's world (GameWorld: managers, scenes, settings) in a window,
// with the fixed GL state, the system's pointer and the mute and full-screen keys. main owns the
// one the game runs; all input events are dispatched on it.
#pragma once

#include <cstdint>
#include <memory>

#include "base/Colour.h"
#include "game/GameServices.h"
#include "game/GameWorld.h"

class ScreenMode;
class SystemKeys;

// PointerDisplay first: the world is handed this object's pointer display while it is made.
class Game : public PointerDisplay, public GameWorld {
public:
    Game();
    ~Game() override;

    // Stores the window size, sets the GL state and runs the configuration step (Configuration.h).
    // Never throws: failures are reported and leave quitRequested set.
    void init(uint32_t width, uint32_t height);
    void initGL();

    // Shows or hides the system's pointer over the window; asks SDL only when that changes.
    void setCursorVisible(bool visible) override;

    // The window or full screen and where the view is drawn in it; null until init has set the GL
    // state.
    ScreenMode* getScreenMode() const { return screenMode.get(); }
    // Stays in the window even when config.xml asks for full screen (a picture is read from it).
    // Call before init.
    void stayInWindow() { windowOnly = true; }

    // The colour each frame is cleared with; fixed, not configurable.
    const Colour clearColour{0.4f, 0.4f, 0.7f, 1.0f};

private:
    bool cursorVisible = true;
    bool windowOnly = false;
    std::unique_ptr<ScreenMode> screenMode;
    // Mute and full screen; made once start-up has succeeded.
    std::unique_ptr<SystemKeys> systemKeys;
};

// The fixed GL state every frame is drawn with: the viewport and a pixel projection of `width` x
// `height` (origin top-left, y down), blending, the alpha test and byte-aligned unpacking.
void initGlState(uint32_t width, uint32_t height);
