// Entry point: the command line and the data directory, SDL and the GL window, the Game, and the
// frame loop.
#include <GL/glew.h>
#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "app/CommandLine.h"
#include "app/DebugLog.h"
#include "app/Exceptions.h"
#include "app/FrameLoop.h"
#include "app/Game.h"
#include "app/Screenshot.h"
#include "app/WindowIcon.h"
#include "check/Checker.h"

namespace {
// Reports a fatal error the way start-up errors are reported: verbatim on standard output,
// and as a diagnostic line.
void reportFatal(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
    debugLog("%s", text.c_str());
}

// The window icon, in the data directory.
constexpr const char* kIconPath = "icons/pellvane-64.png";

// Without an X display and with no video driver chosen, SDL 1.2 falls back to a text-mode
// driver that takes the terminal over and then fails to open OpenGL; say what is needed instead.
bool displayAvailable() {
    const char* display = std::getenv("DISPLAY");
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return (display != nullptr && display[0] != '\0') || (driver != nullptr && driver[0] != '\0');
}
} // namespace

int main(int argc, char** argv) {
    CommandLineOptions options;
    std::string error;
    if (!parseCommandLine(argc, argv, options, error)) {
        std::fprintf(stderr, "pellvane: %s\n\n%s", error.c_str(), usageText().c_str());
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(usageText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("pellvane %s\n", PELLVANE_VERSION);
        return 0;
    }
    if (!enterDataDirectory(options, error)) {
        reportFatal(error);
        return 1;
    }
    // The data checker needs no window and no sound device.
    if (options.check)
        return runCheck({options.strict});
    if (!displayAvailable()) {
        reportFatal("Pellvane needs an X11 display with OpenGL, and DISPLAY is not set (pellvane --check needs none).");
        return 1;
    }

    SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO);
    // SDL's entry glue would run SDL_Quit at exit; this build has none.
    std::atexit(SDL_Quit);
    // Vertical sync where the driver offers it; asked before the window opens. Where it is not
    // honoured the frame loop's max_fps cap keeps the frame rate down. SDL 1.2 dereferences its
    // video device here, so only once video is up (without a display the window's failure below
    // reports it).
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0)
        SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 1);
    setWindowIcon(kIconPath);
    if (SDL_SetVideoMode(kWindowWidth, kWindowHeight, kWindowBitsPerPixel, SDL_OPENGL) == nullptr) {
        // Without a window and GL context every GL call that follows would crash.
        reportFatal(std::string("Could not open the 800x600 OpenGL window: ") + SDL_GetError());
        return 1;
    }
    SDL_WM_SetCaption(kWindowCaption, nullptr);
    glewInit();

    Game* game = Game::getInstance();
    game->init(kWindowWidth, kWindowHeight);
    if (!options.shotFile.empty()) {
        const int status = takeShot(*game, {options.shotFile, options.level});
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
