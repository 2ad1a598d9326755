// `pellvane --shot FILE.png [--level N]`: plays the started scene for a moment on a fixed clock,
// draws it with the game's own GL path and writes what the window shows as a PNG file.
#pragma once

#include <string>

class Game;

struct ShotOptions {
    std::string file;
    // 1-based level to start a game at before the picture; 0 for the scene as start-up leaves it.
    unsigned level = 0;
};

// Needs a Game whose start-up has run, with its window's GL context current. Returns the exit
// status: 1 when start-up failed (its message is already printed), the picture could not be
// drawn or written; 2 for a level the scene does not have; 0 otherwise.
int takeShot(Game& game, const ShotOptions& options);
