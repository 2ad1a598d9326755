// The small files the game keeps for the player between runs (the best score, the high scores),
// all under one set of rules: read without blocking; only a regular file that holds what it should
// is ever replaced, never one that could not be read or is not ours; replaced atomically through a
// temporary file and a rename, its directory synced, its permissions kept, a symbolic link followed
// to the file it names. Each file says what it is (a FileKind); its own format is its own affair.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <sys/types.h>

namespace keptfile {

// What one kind of kept file is, for reading it and for the lines said about it.
struct FileKind {
    // Begins each line said about such a file: "pellvane: <noun> <path>: ...".
    const char* noun;
    // What such a file holds, after "is not" and "is larger than ... can be": "a score".
    const char* holds;
    // No file of the kind is longer; a longer one is not ours.
    std::size_t maxBytes;
    // True when the bytes are a file of the kind. Otherwise `why` may say why it is not (left
    // empty: "is not <holds>").
    std::function<bool(const std::string& bytes, std::string& why)> recognise;
};

// $XDG_DATA_HOME/`relative`, or ~/.local/share/`relative` when XDG_DATA_HOME is unset, empty or
// not an absolute path (the XDG rule for a bad value). Empty when no home directory can be found.
std::string underDataHome(const std::string& relative);

// What lies at a path: nothing, a file of the kind (with its bytes and permissions), or a file to
// keep as it is (with the reason): one that could not be read, is not a regular file, is too
// long or is not of the kind. A kept file is never replaced: it is the player's, or theirs that
// this run could not read.
struct Found {
    enum Kind { kMissing, kOurs, kKept } kind = kMissing;
    std::string bytes;
    mode_t mode = 0;
    std::string why;
};

// Looks at `path` (through any symbolic link) without blocking, so a FIFO or a device there does
// not hold the game. Never an exception.
Found inspect(const FileKind& kind, const std::string& path);

// One line on standard error: "pellvane: <noun> <path>: <what>".
void warn(const FileKind& kind, const std::string& path, const std::string& what);

// Writes `text` to `path` through a temporary file in the same directory and a rename, so a crash
// leaves the old file or the new one, never half of one; the directory is synced after the rename.
// The file keeps its permissions. When `path` is a symbolic link the file it points to is replaced
// and the link stays. The file is looked at again first and left alone, as `inspect` would keep
// it, unless it is missing or of the kind. Missing directories are made (mode 0700). On failure
// one line on standard error says why and false comes back.
bool replace(const FileKind& kind, const std::string& path, const std::string& text);

} // namespace keptfile
