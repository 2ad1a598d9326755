// The game's command line and where it finds its data: options, the usage text, and the search
// for the directory holding config.xml, which the game then makes its working directory so that
// everything else is read relative to it as before.
#pragma once

#include <string>
#include <vector>

struct CommandLineOptions {
    bool help = false;
    bool version = false;
    // --mute: all sound off from the start, as M turns it off.
    bool mute = false;
    // --data DIR; empty when not given.
    std::string dataDirectory;
    // --check [--strict]: check the data instead of playing (check/Checker.h).
    bool check = false;
    bool strict = false;
    // --shot FILE.png [--time S] [--level N] [--clear | --game-over SCORE [--initials ABC] |
    // --play S] [--after S]: write a picture of the started scene instead of playing (app/Screenshot.h);
    // level 0 when not given.
    std::string shotFile;
    unsigned level = 0;
    // Seconds the scene runs before anything else; -1 when not given (the picture's own default).
    float shotTime = -1.0f;
    // The score a game is ended with before the picture; -1 when not given.
    long gameOverScore = -1;
    // Typed after that game over, then Enter.
    std::string initials;
    // Every block of the level in play broken before the picture.
    bool clear = false;
    // Seconds the scene runs after the last of those steps; -1 when not given.
    float afterTime = -1.0f;
    // Seconds of play, the paddle under the ball, before the picture; -1 when not given.
    float playTime = -1.0f;
    // --replay FILE [--at S]: play a recorded game back instead (with --shot, the picture of its
    // moment S seconds into the game); -1 when --at is not given.
    std::string replayFile;
    float replayAt = -1.0f;
    // --record FILE: every game of the run is recorded to FILE as well.
    std::string recordFile;
    // --max-fps N: frames a second at most, instead of config.xml's cap; -1 when not given.
    int maxFps = -1;
};

// Exit statuses beside 0 (played, or --help/--version printed) and 1 (start-up failed).
constexpr int kExitUsage = 2;

// Reads argv into `options`. An unknown option, a stray argument or an option without its value
// gives false with `error` saying which.
bool parseCommandLine(int argc, const char* const* argv, CommandLineOptions& options, std::string& error);

// The --help text: usage, options, keys, where the data is looked for, exit statuses.
std::string usageText();

// Where the data is looked for, in order: --data DIR and $PELLVANE_DATA are explicit choices and,
// when given, the only place tried (the first of them that is given); otherwise the working
// directory, then the installed data directory beside the executable (../share/games/pellvane
// from its bin/ or games/ directory). `executableDirectory` may be empty when unknown.
struct DataCandidate {
    std::string directory;
    // Where the candidate comes from, for the message when none holds the data.
    const char* origin;
};
std::vector<DataCandidate> dataDirectoryCandidates(const CommandLineOptions& options, const char* environment,
                                                   const std::string& workingDirectory,
                                                   const std::string& executableDirectory);

// Makes the first candidate holding a config.xml file the working directory. When none does, or
// it cannot be entered, false with `message` naming every place tried.
bool enterDataDirectory(const CommandLineOptions& options, std::string& message);
