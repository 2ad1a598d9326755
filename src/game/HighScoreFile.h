// The high-score table kept between runs: a small versioned text file beside the best score, read
// and replaced under the same rules (KeptFile.h). It also keeps the furthest level reached, which
// changes at the same moments (the end of a game) and belongs to the same record of the player's
// games: one file, one format to check and one decision about a file that is not ours.
//
//     pellvane-high-scores 1
//     highest-level 12
//     KEN 48210 12 2024-05-01 continued
//     ANN 30550 9 2024-04-28
//     --- 12000 - -
//
// After the two header lines, one line per entry from the first place down: three initials (or
// "---" for the best score carried over from before the table), the score, the level reached (or
// "-") and the date (or "-"), then "continued" for a game begun with CONTINUE.
#pragma once

#include <string>

#include "rules/HighScores.h"

namespace highscorefile {

// The file's name inside the data directory.
constexpr const char* kRelativePath = "pellvane/high-scores";
// The version this game writes and reads; a file of a later one is left alone.
constexpr int kVersion = 1;

// $XDG_DATA_HOME/pellvane/high-scores, as for the best score (KeptFile.h); empty without a home.
std::string defaultPath();

// The file's text for `scores`.
std::string format(const HighScores& scores);
// Reads a file's text strictly: true with the table, or false with why it is not one of ours
// (empty when it is simply not a table).
bool parse(const std::string& text, HighScores& scores, std::string& why);

// What `load` found: the table (empty when none could be read) and whether the file may be
// replaced during this run: only a missing file or a table of ours may.
struct Stored {
    HighScores scores;
    bool writable = true;
};

// The table at `path`. A missing file is an empty table, silently (the first run, or the first
// with a table); anything else that is not a table of this version (a file that could not be read,
// a damaged one, one of a later version, a file of the player's a link names) is reported on one
// line of standard error (unless `quiet`: it was said earlier in the run) and left as it is: the
// table then lasts for the run only. Never an
// exception, and never waits on a FIFO.
Stored load(const std::string& path, bool quiet = false);

// Replaces the file atomically with `scores` (KeptFile.h: links followed, permissions kept, a file
// that is not ours left alone). On failure one line on standard error says why and false comes
// back.
bool save(const std::string& path, const HighScores& scores);

} // namespace highscorefile
