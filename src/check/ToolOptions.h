// The command-line options of the data tools: `--check [--strict]` checks the data and
// `--shot FILE.png [--level N]` writes a picture of the scene after start-up.
#pragma once

#include <string>

#include "check/Checker.h"

struct ToolOptions {
    bool check = false;
    CheckOptions checkOptions;
    // Empty: no picture.
    std::string shotFile;
    // 1-based; 0: the scene as start-up leaves it.
    unsigned level = 0;
    // A bad option: the message for standard error (the program then exits with status 2).
    std::string error;
};

// Reads the tool options from the command line; other arguments are left alone.
ToolOptions parseToolOptions(int argc, char** argv);
