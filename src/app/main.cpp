// Entry point: the command line and the data directory, SDL and the GL window, the Game, and the
// frame loop.
#include <GL/glew.h>
#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "app/CommandLine.h"
#include "app/FrameLoop.h"
#include "app/Game.h"
#include "app/Joysticks.h"
#include "app/Screenshot.h"
#include "app/WindowIcon.h"
#include "base/DebugLog.h"
#include "base/Exceptions.h"
#include "check/Checker.h"
#include "game/PellvaneGameScene.h"
#include "game/Recordings.h"
#include "graphics/IconImage.h"
#include "sound/SoundManager.h"

namespace {
// SDL's own variable. Set but empty it is no choice, yet SDL 1.2 would look for a driver named ""
// and find none: empty counts as unset here.
constexpr const char* kVideoDriverVariable = "SDL_VIDEODRIVER";

bool videoDriverChosen() {
    const char* driver = std::getenv(kVideoDriverVariable);
    return driver != nullptr && driver[0] != '\0';
}

// Without an X display and with no video driver chosen, SDL 1.2 falls back to a text-mode
// driver that takes the terminal over and then fails to open OpenGL; say what is needed instead.
bool displayAvailable() {
    const char* display = std::getenv("DISPLAY");
    return (display != nullptr && display[0] != '\0') || videoDriverChosen();
}

// SDL 1.2 tries its video drivers in turn and, when the X server cannot be reached, ends with a
// text-mode one that takes the terminal over before it fails to offer OpenGL. X11 is the one
// driver here that gives a GL window, so it is the only one tried unless the user chose another.
void chooseX11UnlessChosen() {
    if (!videoDriverChosen())
        setenv(kVideoDriverVariable, "x11", 1);
}

// Starts SDL's video (and audio, whose failure the sound manager reports). False, with the
// message said, when video did not start: nothing may touch SDL video after that.
bool startSdl() {
    chooseX11UnlessChosen();
    SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO);
    // SDL's entry glue would run SDL_Quit at exit; this build has none.
    std::atexit(SDL_Quit);
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0)
        return true;
    const char* display = std::getenv("DISPLAY");
    reportFatal(std::string("Pellvane needs an X11 display with OpenGL, and cannot open the display \"") +
                (display != nullptr ? display : "") + "\" (" + SDL_GetError() + ").");
    return false;
}
// The recorded game in `file`, if the game's scene can play it back; otherwise none, with one
// line on standard error naming the file and the reason.
std::optional<Recording> readReplay(Game& game, const std::string& file) {
    std::string why = "the scene that runs is not a pellvane_game scene";
    if (const auto* scene = dynamic_cast<PellvaneGameScene*>(game.getCurrentScene()))
        if (std::optional<Recording> recording = scene->playable(file, why))
            return recording;
    std::fprintf(stderr, "pellvane: %s: cannot be replayed: %s\n", file.c_str(), why.c_str());
    return std::nullopt;
}

// After an unexpected error the game in progress is kept, so that it can be played again.
void keepGameAfterFault(Game& game) {
    if (auto* scene = dynamic_cast<PellvaneGameScene*>(game.getCurrentScene()))
        scene->keepGameAfterFault();
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
    // Relative file names are the caller's: name them before the data directory becomes ours.
    // When that cannot be done (the working directory was deleted) a name would land in the data
    // directory, over its files: stop before anything is written.
    for (auto [option, file] : {std::pair{"--shot", &options.shotFile}, std::pair{"--replay", &options.replayFile},
                                std::pair{"--record", &options.recordFile}}) {
        if (file->empty())
            continue;
        std::error_code cwdError;
        const std::filesystem::path absolute = std::filesystem::absolute(*file, cwdError);
        if (cwdError) {
            std::fprintf(stderr, "pellvane: %s %s: cannot find the working directory it is in (%s)\n", option,
                         file->c_str(), cwdError.message().c_str());
            return kExitUsage;
        }
        *file = absolute.string();
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

    if (!startSdl())
        return 1;
    // Vertical sync where the driver offers it; asked before the window opens. Where it is not
    // honoured the frame loop's max_fps cap keeps the frame rate down.
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 1);
    setWindowIcon(kWindowIconPath);
    if (openGameWindow() == nullptr) {
        // Without a window and GL context every GL call that follows would crash.
        reportFatal(std::string("Could not open the 800x600 OpenGL window: ") + SDL_GetError());
        return 1;
    }
    SDL_WM_SetCaption(kWindowCaption, nullptr);
    glewInit();
    // Open for the whole run, and closed after the Game below.
    Joysticks joysticks;

    // Owned here for the whole run; the managers and scenes it owns go with it.
    Game game;
    // A picture is read from the window.
    if (!options.shotFile.empty()) {
        prepareShot(game);
        game.stayInWindow();
    }
    // A game played back is nobody's: nothing of it is kept.
    if (!options.replayFile.empty())
        game.leavePlayerFilesAlone();
    if (!options.recordFile.empty())
        game.recordTo(options.recordFile);
    game.init(kWindowWidth, kWindowHeight);
    if (options.mute && game.getSoundManager() != nullptr)
        game.getSoundManager()->setMuted(true);
    if (options.maxFps >= 0)
        game.maxFps = options.maxFps;
    std::optional<Recording> replay;
    if (!options.replayFile.empty() && !game.quitRequested) {
        replay = readReplay(game, options.replayFile);
        if (!replay)
            return 1;
    }
    if (!options.shotFile.empty())
        return takeShot(game, {options.shotFile, options.level, options.shotTime, options.gameOverScore,
                               options.initials, options.clear, options.afterTime, options.playTime,
                               replay ? &*replay : nullptr, options.replayAt});
    if (replay)
        dynamic_cast<PellvaneGameScene&>(*game.getCurrentScene())
            .watch(std::move(*replay), PellvaneGameScene::Watching::Replay);

    FrameLoop loop(game);
    std::srand(loop.start());

    int status = 0;
    try {
        while (loop.runFrame()) {
        }
        if (game.quitRequested)
            status = game.getEndStatus(); // 1 when start-up failed: the message has been printed
    } catch (const BaseException& error) {
        reportFatal(error.message);
        keepGameAfterFault(game);
        status = 1;
    } catch (const std::exception& error) {
        reportFatal(std::string("Exception: ") + error.what());
        keepGameAfterFault(game);
        status = 1;
    }
    return status;
}
