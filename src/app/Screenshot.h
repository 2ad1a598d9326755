// `pellvane --shot FILE.png [--time S] [--level N] [--clear | --game-over SCORE [--initials ABC] |
// --play S] [--after S]`: plays the started scene for a moment on a fixed clock (a game started,
// its level cleared, played for a while or the game ended and its initials typed on the way,
// through the scene's own operations and input), draws it with the game's own GL path and writes
// what the window shows as a PNG file.
// The player's files are read but never written.
#pragma once

#include <string>

#include "rules/Recording.h"

class Game;

struct ShotOptions {
    std::string file;
    // 1-based level to start a game at before the picture; 0 for the scene as start-up leaves it.
    unsigned level = 0;
    // Seconds the scene runs first; below 0, two.
    float startSeconds = -1.0f;
    // Then a game (at `level`, or the first) ended with this score; below 0, none.
    long gameOverScore = -1;
    // Then typed, and Enter.
    std::string initials;
    // Instead of a game over, every block of the level broken: its banner (the lap's end after
    // the last level).
    bool clear = false;
    // Seconds after the last step; below 0, two (one after a clear, none after play).
    float afterSeconds = -1.0f;
    // Instead of a clear or a game over, seconds of play with the paddle under the ball (the
    // level's start, then the launch); below 0, none.
    float playSeconds = -1.0f;
    // Instead of all of those, this recording played back (checked already), and the picture
    // taken `replaySeconds` into its game (below 0, two).
    const Recording* replay = nullptr;
    float replaySeconds = -1.0f;
};

// Readies a Game for a picture before its start-up: the scenes it makes take their services as
// they are then, so the capsules are made the same every time here.
void prepareShot(Game& game);

// Needs a Game whose start-up has run (after prepareShot), with its window's GL context current. Returns the exit
// status: 1 when start-up failed (its message is already printed), the picture could not be
// drawn or written; 2 for a level the scene does not have; 0 otherwise.
int takeShot(Game& game, const ShotOptions& options);
