// Entry point: SDL and the GL window, the Game, and the frame loop.
#include <GL/glew.h>
#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "app/DebugLog.h"
#include "app/Exceptions.h"
#include "app/FrameLoop.h"
#include "app/Game.h"

namespace {
// Reports a fatal error the way start-up errors are reported: verbatim on standard output,
// and as a diagnostic line.
void reportFatal(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
    debugLog("%s", text.c_str());
}
} // namespace

int main(int, char**) {
    SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO);
    // SDL's entry glue would run SDL_Quit at exit; this build has none.
    std::atexit(SDL_Quit);
    // Vertical sync where the driver offers it; asked before the window opens. Where it is not
    // honoured the frame loop's max_fps cap keeps the frame rate down. SDL 1.2 dereferences its
    // video device here, so only once video is up (without a display the window's failure below
    // reports it).
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0)
        SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 1);
    if (SDL_SetVideoMode(kWindowWidth, kWindowHeight, kWindowBitsPerPixel, SDL_OPENGL) == nullptr) {
        // Without a window and GL context every GL call that follows would crash.
        reportFatal(std::string("Could not open the 800x600 OpenGL window: ") + SDL_GetError());
        return 1;
    }
    SDL_WM_SetCaption(kWindowCaption, nullptr);
    glewInit();

    Game* game = Game::getInstance();
    game->init(kWindowWidth, kWindowHeight);

    FrameLoop loop(*game);
    std::srand(loop.start());

    int status = 0;
    try {
        while (loop.runFrame()) {
        }
        if (game->quitRequested)
            status = 1; // start-up failed; the message has been printed
    } catch (const BaseException& error) {
        reportFatal(error.message);
        status = 1;
    } catch (const std::exception& error) {
        reportFatal(std::string("Exception: ") + error.what());
        status = 1;
    }
    Game::destroyInstance();
    return status;
}
