// The engine's diagnostic line output. Lines go to standard error: standard output carries
// the one user-facing start-up message and nothing else.
#pragma once

#include <cstddef>
#include <string>

// Longest text one call writes; a longer result is cut to this many characters.
constexpr std::size_t kDebugLogMaxChars = 2047;

// printf-style: formats into at most kDebugLogMaxChars characters, writes them, then a line break.
void debugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The fatal message that ends a run: `text` and a line break on standard output, and the same
// line through debugLog, unless standard error is the very file standard output is (a terminal
// showing both, or 2>&1), where the reader would get it twice. `text` is written verbatim, never
// used as a format.
void reportFatal(const std::string& text);
