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

// The score stored at `path`. A missing, unreadable or corrupt file (anything but a decimal
// number from 0 to INT_MAX, optionally followed by white space) counts as 0, with one line on
// standard error saying so; never an exception.
int load(const std::string& path);

// Writes `score` to `path` through a temporary file in the same directory and a rename, so a
// crash leaves the old score or the new one, never half a file. Missing directories are made
// (mode 0700). On failure one line on standard error says why and false comes back.
bool save(const std::string& path, int score);

} // namespace bestscore
