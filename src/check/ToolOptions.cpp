// Reading the data tools' options.
#include "check/ToolOptions.h"

#include <cstdlib>
#include <cstring>

ToolOptions parseToolOptions(int argc, char** argv) {
    ToolOptions options;
    bool levelGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--check") {
            options.check = true;
        } else if (argument == "--strict") {
            options.checkOptions.strict = true;
        } else if (argument == "--shot") {
            if (!hasValue || std::strlen(argv[i + 1]) == 0) {
                options.error = "--shot needs the name of the PNG file to write";
                return options;
            }
            options.shotFile = argv[++i];
        } else if (argument == "--level") {
            char* end = nullptr;
            const long level = hasValue ? std::strtol(argv[i + 1], &end, 10) : 0;
            if (!hasValue || *end != '\0' || level < 1 || level > 100000) {
                options.error = "--level needs a level number from 1";
                return options;
            }
            options.level = static_cast<unsigned>(level);
            levelGiven = true;
            ++i;
        }
    }
    if (levelGiven && options.shotFile.empty())
        options.error = "--level goes with --shot FILE.png";
    else if (options.check && !options.shotFile.empty())
        options.error = "--check and --shot do not go together";
    else if (options.checkOptions.strict && !options.check)
        options.error = "--strict goes with --check";
    return options;
}
