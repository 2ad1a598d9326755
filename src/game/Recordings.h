// The game's recordings as files: the player's last games and best game kept under their data
// directory, a recording read for a replay or the title's demo, and what makes one playable here
// (the same program, the same data, the same step).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rules/Recording.h"

namespace recordings {

// The player's recordings, under the data home (KeptFile.h): the last game, the one before it,
// and the game that holds the top of the high-score table.
inline constexpr const char* kLast = "pellvane/last.rec";
inline constexpr const char* kPrevious = "pellvane/previous.rec";
inline constexpr const char* kBest = "pellvane/best.rec";
// A game in progress when the program met an unexpected error.
inline constexpr const char* kFault = "pellvane/fault.rec";
// Larger than any recording of ours: a day of play is about 20 MB.
inline constexpr std::size_t kMaxFileBytes = 64u << 20;

// The path of one of the above; empty without a home directory.
std::string keptPath(const char* relative);

// Writes `recording` to `path` atomically, leaving alone a file there that is not a recording
// (KeptFile.h's rules). False, with one line on standard error, when it cannot.
bool save(const std::string& path, const Recording& recording);
// The game just ended as the last one; the last becomes the previous; with `best`, it is the best
// game too.
void keep(const Recording& recording, bool best);

// The recording in the file at `path`, or none with `why`: the file cannot be read, is too large,
// or what decodeRecording says of it.
std::optional<Recording> load(const std::string& path, std::string& why);

// Why `header` cannot be replayed here, or empty when it can: recorded by another version of the
// program, on other data (`fingerprint`), or at another step rate.
std::string refusal(const RecordingHeader& header, uint64_t fingerprint, uint32_t stepRate);

// The fingerprint of the data a game plays on: the bytes of each file in turn (config.xml and the
// level files), with their order; a file that cannot be read counts as empty.
uint64_t fingerprintOf(const std::vector<std::string>& files);

// This program's version, as recordings carry it.
const char* programVersion();

} // namespace recordings
