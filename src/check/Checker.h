// The data checker behind `pellvane --check`: loads everything the game loads, in the game's
// order and through the game's own loaders, without a window or a sound device, and reports every
// mistake it finds with its file, line and column.
#pragma once

#include "check/Findings.h"

struct CheckOptions {
    // Warnings fail the check too.
    bool strict = false;
};

// Checks the data in the working directory, adding what it finds to `findings`. Uses the Game
// instance for its managers and destroys it again before returning.
void checkData(Findings& findings);

// Checks, prints one line per finding on standard output and the totals on standard error.
// Returns the exit status: 0 when clean, 1 on any error, and with `strict` on any warning too.
int runCheck(const CheckOptions& options);
