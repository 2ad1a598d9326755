// The best score kept between runs: one small file under the user's data directory, read at
// start-up and replaced atomically when the score is beaten. Nothing else is ever written.
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
    // False when a file exists that could not be read (permission denied, an I/O error):
    // replacing it would lose a score the player still has. A missing or corrupt file is
    // replaced as usual.
    bool writable = true;
};

// The score stored at `path`, with one line on standard error unless it is a plain score. A
// missing file or a corrupt one (anything but a decimal number from 0 to INT_MAX, optionally
// followed by white space) counts as 0; a file that cannot be read counts as 0 and is left
// alone. Never an exception.
Stored load(const std::string& path);

// Writes `score` to `path` through a temporary file in the same directory and a rename, so a
// crash leaves the old score or the new one, never half a file. When `path` is a symbolic link
// the file it points to is replaced and the link stays. Missing directories are made (mode
// 0700). On failure one line on standard error says why and false comes back.
bool save(const std::string& path, int score);

} // namespace bestscore
