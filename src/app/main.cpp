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
#include "app/Screenshot.h"
#include "check/ToolOptions.h"

namespace {
// Reports a fatal error the way start-up errors are reported: verbatim on standard output,
// and as a diagnostic line.
void reportFatal(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
    debugLog("%s", text.c_str());
}
} // namespace

int main(int argc, char** argv) {
    // The data tools: --check needs no window and no sound device; --shot starts the game as usual.
    const ToolOptions tools = parseToolOptions(argc, argv);
    if (!tools.error.empty()) {
        std::fprintf(stderr, "pellvane: %s\n", tools.error.c_str());
        return 2;
    }
    if (tools.check)
        return runCheck(tools.checkOptions);

    SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO);
    // SDL's entry glue would run SDL_Quit at exit; this build has none.
    std::atexit(SDL_Quit);
    if (SDL_SetVideoMode(kWindowWidth, kWindowHeight, kWindowBitsPerPixel, SDL_OPENGL) == nullptr) {
        // Without a window and GL context every GL call that follows would crash.
        reportFatal(std::string("Could not open the 800x600 OpenGL window: ") + SDL_GetError());
        return 1;
    }
    SDL_WM_SetCaption(kWindowCaption, nullptr);
    glewInit();

    Game* game = Game::getInstance();
    game->init(kWindowWidth, kWindowHeight);
    if (!tools.shotFile.empty()) {
        const int status = takeShot(*game, {tools.shotFile, tools.level});
        Game::destroyInstance();
        return status;
    }

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
