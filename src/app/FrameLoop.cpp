// Event translation and one frame of the main loop.
#include "app/FrameLoop.h"

#include <GL/glew.h>
#include <cstdlib>

#include "app/FrameCap.h"
#include "app/Game.h"
#include "app/ScreenMode.h"
#include "events/Events.h"
#include "scene/BaseScene.h"
#include "scene/IScene.h"

namespace {
constexpr uint8_t kLeftButtonMask = SDL_BUTTON(SDL_BUTTON_LEFT);   // bit 0
constexpr uint8_t kRightButtonMask = SDL_BUTTON(SDL_BUTTON_RIGHT); // bit 2

ViewPoint inView(const ScreenMode* screen, int x, int y) {
    return screen != nullptr ? screen->toView(x, y) : ViewPoint{static_cast<uint32_t>(x), static_cast<uint32_t>(y)};
}

IEvent* buttonEvent(const std::string& name, const SDL_MouseButtonEvent& button, int32_t action,
                    const ScreenMode* screen) {
    // The flags are the state after the change: a released button already reads as up.
    uint8_t state = SDL_GetMouseState(nullptr, nullptr);
    const ViewPoint at = inView(screen, button.x, button.y);
    return new MouseEvent(name, at.x, at.y, (state & kLeftButtonMask) != 0, (state & kRightButtonMask) != 0, action,
                          button.button);
}
} // namespace

IEvent* translateEvent(const SDL_Event& event, bool& running, const ScreenMode* screen) {
    switch (event.type) {
    case SDL_KEYDOWN:
        return new KeyboardEvent(KEYBOARD_KEY_PRESSED_EVENT, event.key.keysym.sym, true);
    case SDL_KEYUP:
        if (event.key.keysym.sym == SDLK_ESCAPE) {
            running = false;
            return nullptr;
        }
        return new KeyboardEvent(KEYBOARD_KEY_RELEASED_EVENT, event.key.keysym.sym, false);
    case SDL_MOUSEMOTION: {
        const ViewPoint at = inView(screen, event.motion.x, event.motion.y);
        return new MouseEvent(MOUSE_MOVE_EVENT, at.x, at.y, (event.motion.state & kLeftButtonMask) != 0,
                              (event.motion.state & kRightButtonMask) != 0, MouseMoved);
    }
    case SDL_MOUSEBUTTONDOWN:
        return buttonEvent(MOUSE_BUTTON_DOWN_EVENT, event.button, MouseButtonDown, screen);
    case SDL_MOUSEBUTTONUP:
        return buttonEvent(MOUSE_BUTTON_UP_EVENT, event.button, MouseButtonUp, screen);
    case SDL_JOYAXISMOTION:
        return new JoystickEvent(JOYSTICK_AXIS_EVENT, event.jaxis.which, event.jaxis.axis, event.jaxis.value);
    case SDL_JOYBUTTONDOWN:
        return new JoystickEvent(JOYSTICK_BUTTON_DOWN_EVENT, event.jbutton.which, event.jbutton.button, 1);
    case SDL_JOYBUTTONUP:
        return new JoystickEvent(JOYSTICK_BUTTON_UP_EVENT, event.jbutton.which, event.jbutton.button, 0);
    case SDL_JOYHATMOTION:
        // SDL's hat bits are HatDirection's.
        return new JoystickEvent(JOYSTICK_HAT_EVENT, event.jhat.which, event.jhat.hat, event.jhat.value);
    case SDL_ACTIVEEVENT:
        // The keyboard focus lost or the window iconified; the pointer merely leaving the window
        // is not reported.
        if (event.active.gain == 0 && (event.active.state & (SDL_APPINPUTFOCUS | SDL_APPACTIVE)) != 0)
            return new Event(WINDOW_FOCUS_LOST_EVENT);
        return nullptr;
    case SDL_QUIT:
        running = false;
        return nullptr;
    default:
        return nullptr;
    }
}

FrameLoop::FrameLoop(Game& game, TickSource ticks) : game(game), ticks(ticks) {}

uint32_t FrameLoop::start() {
    lastTick = ticks();
    running = true;
    return lastTick;
}

void FrameLoop::pumpEvents() {
    while (SDL_PollEvent(&sdlEvent)) {
        if (IEvent* event = translateEvent(sdlEvent, running, game.getScreenMode()))
            game.dispatchEvent(event);
    }
}

SDL_Surface* openGameWindow(Uint32 flags, int width, int height) {
    desktopSize();
    // Mesa's software rasteriser shares each frame out among threads of its own. Waking them and
    // handing the tiles over costs more CPU than the game's small frame takes to draw on one
    // thread (about 1.5 ms at 800 x 600), so it draws on the game's thread unless the player has
    // set the variable. Other drivers do not read it.
    setenv("LP_NUM_THREADS", "0", 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    return SDL_SetVideoMode(width, height, kWindowBitsPerPixel, SDL_OPENGL | flags);
}

bool FrameLoop::runFrame() {
    if (game.quitRequested)
        return false;
    // A scene made afresh (a game to watch, the title back) takes over before any input comes.
    game.settleScenes();
    pumpEvents();
    uint32_t now = ticks();
    lastDt = ticksToSeconds(elapsedTicks(now, lastTick));
    // Until the configuration step has chosen a scene there is nothing to update or draw.
    IScene* scene = game.getCurrentScene();
    if (scene != nullptr)
        scene->update(lastDt);
    lastTick = now;
    scene = game.getCurrentScene();
    // Nothing tests depth. The colour needs no clearing under an opaque backdrop over the whole
    // view, which a software rasteriser would otherwise fill twice a frame.
    const auto* drawn = dynamic_cast<const BaseScene*>(scene);
    const bool covered = drawn != nullptr && drawn->coversView();
    const Colour& clear = game.clearColour;
    if (const ScreenMode* screen = game.getScreenMode()) {
        screen->clear(clear.red, clear.green, clear.blue, covered);
    } else if (!covered) {
        glClearColor(clear.red, clear.green, clear.blue, clear.alpha);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (scene != nullptr)
        scene->render();
    SDL_GL_SwapBuffers();
    // The Game's cap is read every frame: the configuration step sets it after the loop exists.
    // The display's rate is asked for once, when it is first needed: the window is open by then.
    if (game.maxFps < 0 && displayRate < 0)
        displayRate = readDisplayRefreshRate();
    pacer.setMaxFps(chooseFrameCap(game.maxFps, displayRate));
    if (running)
        pacer.endFrame();
    return running;
}
