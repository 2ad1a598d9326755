// The engine's diagnostic line output. Lines go to standard error: standard output carries
// the one user-facing start-up message and nothing else.
#pragma once

#include <cstddef>

// Longest text one call writes; a longer result is cut to this many characters.
constexpr std::size_t kDebugLogMaxChars = 2047;

// printf-style: formats into at most kDebugLogMaxChars characters, writes them, then a line break.
void debugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
