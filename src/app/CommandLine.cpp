// Option parsing and the data directory search.
#include "app/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Beyond any level count a scene could hold; keeps the number within unsigned.
constexpr double kMaxLevelNumber = 1000000;
// An hour of game time before a picture is more than any title or message takes to come round.
constexpr double kMaxShotTime = 3600.0;
constexpr double kMaxScore = 2147483647;

// The installed data, relative to the directory the executable is in.
constexpr const char* kInstalledDataPath = "../share/games/pellvane";
constexpr const char* kDataEnvironmentVariable = "PELLVANE_DATA";

bool holdsConfig(const std::string& directory) {
    std::error_code ignored;
    return fs::is_regular_file(fs::path(directory) / "config.xml", ignored);
}

std::string executableDirectory() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.parent_path().string();
}

// The value after option argv[i], stepping i past it; null with `error` set to `missing` when there
// is none or it is empty.
const char* optionValue(int argc, const char* const* argv, int& i, const char* missing, std::string& error) {
    if (i + 1 >= argc || argv[i + 1][0] == '\0') {
        error = missing;
        return nullptr;
    }
    return argv[++i];
}

// The number after option argv[i], stepping i past it: a whole number when `integer`, from `low`
// to `high`, and nothing else; otherwise false with `error` set to `missing`.
bool numberOption(int argc, const char* const* argv, int& i, const char* missing, double low, double high, bool integer,
                  double& number, std::string& error) {
    const char* value = optionValue(argc, argv, i, missing, error);
    if (value == nullptr)
        return false;
    char* end = nullptr;
    errno = 0;
    number = integer ? static_cast<double>(std::strtoll(value, &end, 10)) : std::strtod(value, &end);
    if (end == value || *end != '\0' || errno != 0 || !(number >= low && number <= high)) {
        error = missing;
        return false;
    }
    return true;
}

} // namespace

bool parseCommandLine(int argc, const char* const* argv, CommandLineOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            options.help = true;
        } else if (std::strcmp(argument, "--version") == 0) {
            options.version = true;
        } else if (std::strcmp(argument, "--data") == 0) {
            const char* value = optionValue(argc, argv, i, "option --data needs a directory", error);
            if (value == nullptr)
                return false;
            options.dataDirectory = value;
        } else if (std::strncmp(argument, "--data=", 7) == 0 && argument[7] != '\0') {
            options.dataDirectory = argument + 7;
        } else if (std::strcmp(argument, "--mute") == 0) {
            options.mute = true;
        } else if (std::strcmp(argument, "--check") == 0) {
            options.check = true;
        } else if (std::strcmp(argument, "--strict") == 0) {
            options.strict = true;
        } else if (std::strcmp(argument, "--shot") == 0) {
            const char* value =
                optionValue(argc, argv, i, "option --shot needs the name of the PNG file to write", error);
            if (value == nullptr)
                return false;
            options.shotFile = value;
        } else if (std::strcmp(argument, "--level") == 0) {
            double level = 0;
            if (!numberOption(argc, argv, i, "option --level needs a level number from 1", 1, kMaxLevelNumber, true,
                              level, error))
                return false;
            options.level = static_cast<unsigned>(level);
        } else if (std::strcmp(argument, "--time") == 0) {
            double seconds = 0;
            if (!numberOption(argc, argv, i, "option --time needs a number of seconds from 0 to 3600", 0, kMaxShotTime,
                              false, seconds, error))
                return false;
            options.shotTime = static_cast<float>(seconds);
        } else if (std::strcmp(argument, "--after") == 0) {
            double seconds = 0;
            if (!numberOption(argc, argv, i, "option --after needs a number of seconds from 0 to 3600", 0, kMaxShotTime,
                              false, seconds, error))
                return false;
            options.afterTime = static_cast<float>(seconds);
        } else if (std::strcmp(argument, "--play") == 0) {
            double seconds = 0;
            if (!numberOption(argc, argv, i, "option --play needs a number of seconds from 0 to 3600", 0, kMaxShotTime,
                              false, seconds, error))
                return false;
            options.playTime = static_cast<float>(seconds);
        } else if (std::strcmp(argument, "--replay") == 0 || std::strcmp(argument, "--record") == 0) {
            const bool replay = argument[3] == 'e' && argument[4] == 'p';
            const char* value = optionValue(argc, argv, i,
                                            replay ? "option --replay needs the recording to play"
                                                   : "option --record needs the file to record to",
                                            error);
            if (value == nullptr)
                return false;
            (replay ? options.replayFile : options.recordFile) = value;
        } else if (std::strcmp(argument, "--at") == 0) {
            double seconds = 0;
            if (!numberOption(argc, argv, i, "option --at needs a number of seconds from 0 to 86400", 0, 86400.0, false,
                              seconds, error))
                return false;
            options.replayAt = static_cast<float>(seconds);
        } else if (std::strcmp(argument, "--max-fps") == 0) {
            double fps = 0;
            if (!numberOption(argc, argv, i, "option --max-fps needs a whole number of frames a second from 0 to 1000",
                              0, 1000.0, true, fps, error))
                return false;
            options.maxFps = static_cast<int>(fps);
        } else if (std::strcmp(argument, "--clear") == 0) {
            options.clear = true;
        } else if (std::strcmp(argument, "--game-over") == 0) {
            double score = 0;
            if (!numberOption(argc, argv, i, "option --game-over needs a score from 0 to 2147483647", 0, kMaxScore,
                              true, score, error))
                return false;
            options.gameOverScore = static_cast<long>(score);
        } else if (std::strcmp(argument, "--initials") == 0) {
            const char* missing = "option --initials needs three letters";
            const char* value = optionValue(argc, argv, i, missing, error);
            if (value == nullptr)
                return false;
            options.initials = value;
            if (options.initials.size() != 3 ||
                !std::all_of(options.initials.begin(), options.initials.end(),
                             [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; })) {
                error = missing;
                return false;
            }
        } else {
            error = std::string(argument[0] == '-' ? "unknown option " : "unexpected argument ") + argument;
            return false;
        }
    }
    if (options.strict && !options.check)
        error = "option --strict goes with --check";
    else if (options.level > 0 && options.shotFile.empty())
        error = "option --level goes with --shot";
    else if (options.shotTime >= 0.0f && options.shotFile.empty())
        error = "option --time goes with --shot";
    else if (options.gameOverScore >= 0 && options.shotFile.empty())
        error = "option --game-over goes with --shot";
    else if (options.clear && options.shotFile.empty())
        error = "option --clear goes with --shot";
    else if (options.playTime >= 0.0f && options.shotFile.empty())
        error = "option --play goes with --shot";
    else if (options.clear && options.gameOverScore >= 0)
        error = "options --clear and --game-over do not go together";
    else if (options.playTime >= 0.0f && (options.clear || options.gameOverScore >= 0))
        error = "option --play goes with neither --clear nor --game-over";
    else if (options.afterTime >= 0.0f && options.level == 0 && !options.clear && options.gameOverScore < 0 &&
             options.playTime < 0.0f)
        error = "option --after goes with --level, --clear, --game-over or --play";
    else if (!options.initials.empty() && options.gameOverScore < 0)
        error = "option --initials goes with --game-over";
    else if (options.mute && options.check)
        error = "options --mute and --check do not go together";
    else if (options.check && !options.shotFile.empty())
        error = "options --check and --shot do not go together";
    else if (!options.replayFile.empty() && options.check)
        error = "options --check and --replay do not go together";
    else if (options.replayAt >= 0.0f && (options.replayFile.empty() || options.shotFile.empty()))
        error = "option --at goes with --replay and --shot";
    else if (!options.replayFile.empty() && !options.shotFile.empty() &&
             (options.level > 0 || options.gameOverScore >= 0 || options.clear || options.playTime >= 0.0f ||
              options.shotTime >= 0.0f))
        error = "option --replay goes with --shot and --at only";
    else if (!options.recordFile.empty() && (options.check || !options.shotFile.empty() || !options.replayFile.empty()))
        error = "option --record goes with none of --check, --shot and --replay";
    return error.empty();
}

std::string usageText() {
    return "Usage: pellvane [--data DIR] [--mute]\n"
           "       pellvane [--data DIR] --check [--strict]\n"
           "       pellvane [--data DIR] [--mute] --shot FILE.png [--time S] [--level N]\n"
           "                [--clear | --game-over SCORE [--initials ABC] | --play S] [--after S]\n"
           "       pellvane [--data DIR] [--mute] [--max-fps N] --replay FILE [--shot FILE.png --at S]\n"
           "       pellvane --help | --version\n"
           "\n"
           "A brick-and-ball arcade game. Click NEW GAME, or press Space or Enter, to start.\n"
           "\n"
           "Options:\n"
           "  --data DIR        play the game data in DIR (the directory holding config.xml)\n"
           "  --mute            start with all sound off (M turns it on)\n"
           "  --check           check the data without playing: one line per mistake, with its\n"
           "                    file, line and column; no display or sound device needed\n"
           "  --strict          with --check, fail on warnings too\n"
           "  --shot FILE.png   start the game, let it run two seconds and write the frame to FILE.png\n"
           "  --time S          with --shot, run S seconds instead of two before anything else\n"
           "  --level N         with --shot, then start a game at level N and run two seconds more\n"
           "  --game-over SCORE with --shot, then start a game (at level N, or the first), end it with\n"
           "                    SCORE points and run two seconds more; nothing the game keeps is written\n"
           "  --initials ABC    with --game-over, then type ABC and Enter and run two seconds more\n"
           "  --clear           with --shot, then start a game (at level N, or the first), break every\n"
           "                    block of the level as a ball would and run one second more\n"
           "  --play S          with --shot, then start a game (at level N, or the first), launch the\n"
           "                    ball and play S seconds, the paddle under the ball (or a capsule)\n"
           "  --after S         with --level, --clear, --game-over or --play: run S seconds after the\n"
           "                    last of them instead of the two (or one, or no) seconds above\n"
           "  --replay FILE     play back the recorded game in FILE (P pauses, F goes faster, Q quits)\n"
           "                    and say on standard error whether it ended as it was recorded; exit 1\n"
           "                    when it did not, or when FILE cannot be played on this data\n"
           "  --at S            with --replay and --shot, the picture of the game S seconds in\n"
           "  --record FILE     record every game of the run to FILE too (the last one stays)\n"
           "  --max-fps N       at most N frames a second (0: no cap), whatever config.xml says\n"
           "  --help            print this help and exit\n"
           "  --version         print the version and exit\n"
           "\n"
           "Keys and mouse:\n"
           "  Space or Enter, or a click          NEW GAME on the title and after a game\n"
           "  C                                   CONTINUE, where it is offered\n"
           "  Mouse                               the paddle follows the pointer\n"
           "  Click (left or right)               launch the ball, catch it or fire, like Space\n"
           "  Left arrow or A, Right arrow or D   move the paddle (hold)\n"
           "  Space (on release)                  launch the ball; catch it just before or after a bounce;\n"
           "                                      with the laser's guns on, fire\n"
           "  P                                   pause or go on (a click goes on too)\n"
           "  M                                   all sound off or on\n"
           "  F11                                 full screen (scaled to the display) or window\n"
           "  W (on the title or after a game)    watch the best game again: P pauses, F goes faster,\n"
           "                                      any other key or a click gives the title back\n"
           "  Escape (on release)                 quit\n"
           "On the title, after a while with no input, a demo plays; any key or click ends it.\n"
           "After the last level:\n"
           "  A click, Space or Enter             the next lap, once its figures are shown\n"
           "After a game that makes the high-score table:\n"
           "  A to Z, Up and Down                 the current initial\n"
           "  Left or Backspace, Right            the initial before, the next\n"
           "  Enter (or a click)                  enter the initials\n"
           "Gamepad or joystick (plugged in before the game starts):\n"
           "  Stick or d-pad                      move the paddle (the stick as far as it is pushed)\n"
           "  Button 7 (Start on Xbox-style pads) pause or go on; NEW GAME\n"
           "  Button 3 (Y)                        CONTINUE, where it is offered\n"
           "  Any other button (A, B, ...)        launch, catch or fire; NEW GAME; enter the initials\n"
           "  D-pad in the initials               Up and Down the letter, Left and Right move\n"
           "\n"
           "Data: the first of these that is given is the only place looked in: --data DIR, then\n"
           "$PELLVANE_DATA. With neither, the working directory if it holds config.xml, then the\n"
           "installed data (" +
           std::string(kInstalledDataPath) +
           " from the executable's directory).\n"
           "\n"
           "Exit status: 0 after a game that was quit, or after --help or --version; 1 when the\n"
           "game could not start (the reason is printed); 2 for a bad command line. --check: 0 when\n"
           "the data is clean, 1 on an error (with --strict, on a warning too). --shot: 2 for a\n"
           "level the game does not have, or a relative FILE when the working directory is gone.\n";
}

std::vector<DataCandidate> dataDirectoryCandidates(const CommandLineOptions& options, const char* environment,
                                                   const std::string& workingDirectory, const std::string& executable) {
    if (!options.dataDirectory.empty())
        return {{options.dataDirectory, "given with --data"}};
    if (environment != nullptr && environment[0] != '\0')
        return {{environment, "from $PELLVANE_DATA"}};
    std::vector<DataCandidate> candidates{{workingDirectory, "the working directory"}};
    if (!executable.empty())
        candidates.push_back(
            {(fs::path(executable) / kInstalledDataPath).lexically_normal().string(), "the installed data"});
    return candidates;
}

bool enterDataDirectory(const CommandLineOptions& options, std::string& message) {
    std::error_code error;
    const std::string here = fs::current_path(error).string();
    std::string tried;
    for (const DataCandidate& candidate :
         dataDirectoryCandidates(options, std::getenv(kDataEnvironmentVariable), here, executableDirectory())) {
        if (holdsConfig(candidate.directory) && chdir(candidate.directory.c_str()) == 0)
            return true;
        tried += "\n  " + candidate.directory + " (" + candidate.origin + ")";
    }
    // The first sentence is the loader's own message for a config.xml it cannot load.
    message = "Failed to load config file. There is no config.xml in" + tried +
              "\nUse --data DIR to name the directory that holds config.xml.";
    return false;
}
