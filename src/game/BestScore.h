// The best score kept between runs: one small file under the user's data directory, read at
// start-up and replaced atomically when the score is beaten. Nothing else is ever written, and
// a file that does not hold a score is never replaced.
#pragma once

#include <string>

namespace bestscore {

// The file's name inside the data directory.
constexpr const char* kRelativePath = "pellvane/best-score";

// $XDG_DATA_HOME/pellvane/best-score, or ~/.local/share/pellvane/best-score when XDG_DATA_HOME
// is unset, empty or not an absolute path (the XDG rule for a bad value). Empty when no home
// directory can be found either.
std::string defaultPath();

// What `load` found: the score, and whether the file may be replaced during this run.
struct Stored {
    int score = 0;
    // True only for a missing file (a link that points nowhere names the file to make) and for
    // one that holds a score. Anything else that exists is never replaced: a file that could not
    // be read still holds the player's score, and one that is not a score, not a regular file or
    // larger than a score can be is a file of the player's (a link may name any of them).
    bool writable = true;
};

// The score stored at `path`, with one line on standard error unless it is a plain score (or
// `quiet`: the line was said earlier in the run). A
// score is a decimal number from 0 to INT_MAX, optionally followed by white space, in a regular
// file. Anything else counts as 0: missing, or left alone (see `writable`). Opened without
// blocking, so a FIFO or a device there does not hold start-up. Never an exception.
Stored load(const std::string& path, bool quiet = false);

// Writes `score` to `path` through a temporary file in the same directory and a rename, so a
// crash leaves the old score or the new one, never half a file; the directory is synced after the
// rename so that the new one survives a crash. The file keeps its permissions. When `path` is a
// symbolic link the file it points to is replaced and the link stays. The file is looked at again
// first and left alone, as `load` would leave it, unless it is missing or holds a score. Missing
// directories are made (mode 0700). On failure one line on standard error says why and false
// comes back.
bool save(const std::string& path, int score);

} // namespace bestscore
