// Event translation and one frame of the main loop.
#include "app/FrameLoop.h"

#include <GL/glew.h>
#include <cstdlib>

#include "app/FrameCap.h"
#include "app/Game.h"
#include "events/Events.h"
#include "scene/BaseScene.h"
#include "scene/IScene.h"

namespace {
constexpr uint8_t kLeftButtonMask = SDL_BUTTON(SDL_BUTTON_LEFT);   // bit 0
constexpr uint8_t kRightButtonMask = SDL_BUTTON(SDL_BUTTON_RIGHT); // bit 2

IEvent* buttonEvent(const std::string& name, const SDL_MouseButtonEvent& button, int32_t action) {
    // The flags are the state after the change: a released button already reads as up.
    uint8_t state = SDL_GetMouseState(nullptr, nullptr);
    return new MouseEvent(name, button.x, button.y, (state & kLeftButtonMask) != 0, (state & kRightButtonMask) != 0,
                          action, button.button);
}
} // namespace

IEvent* translateEvent(const SDL_Event& event, bool& running) {
    switch (event.type) {
    case SDL_KEYDOWN:
        return new KeyboardEvent(KEYBOARD_KEY_PRESSED_EVENT, event.key.keysym.sym, true);
    case SDL_KEYUP:
        if (event.key.keysym.sym == SDLK_ESCAPE) {
            running = false;
            return nullptr;
        }
        return new KeyboardEvent(KEYBOARD_KEY_RELEASED_EVENT, event.key.keysym.sym, false);
    case SDL_MOUSEMOTION:
        return new MouseEvent(MOUSE_MOVE_EVENT, event.motion.x, event.motion.y,
                              (event.motion.state & kLeftButtonMask) != 0, (event.motion.state & kRightButtonMask) != 0,
                              MouseMoved);
    case SDL_MOUSEBUTTONDOWN:
        return buttonEvent(MOUSE_BUTTON_DOWN_EVENT, event.button, MouseButtonDown);
    case SDL_MOUSEBUTTONUP:
        return buttonEvent(MOUSE_BUTTON_UP_EVENT, event.button, MouseButtonUp);
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
        if (IEvent* event = translateEvent(sdlEvent, running))
            game.dispatchEvent(event);
    }
}

SDL_Surface* openGameWindow(Uint32 flags) {
    // Mesa's software rasteriser shares each frame out among threads of its own. Waking them and
    // handing the tiles over costs more CPU than the game's small frame takes to draw on one
    // thread (about 1.5 ms at 800 x 600), so it draws on the game's thread unless the player has
    // set the variable. Other drivers do not read it.
    setenv("LP_NUM_THREADS", "0", 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    return SDL_SetVideoMode(kWindowWidth, kWindowHeight, kWindowBitsPerPixel, SDL_OPENGL | flags);
}

bool FrameLoop::runFrame() {
    if (game.quitRequested)
        return false;
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
    // window, which a software rasteriser would otherwise fill twice a frame.
    const auto* drawn = dynamic_cast<const BaseScene*>(scene);
    if (drawn == nullptr || !drawn->coversView()) {
        const Colour& clear = game.clearColour;
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
