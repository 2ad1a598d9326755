// debugLog: formatted diagnostic lines on standard error.
#include "base/DebugLog.h"

#include <cstdarg>
#include <cstdio>

namespace {
// Stands in for a debugger output channel: one call per piece, text first, then the line break.
void writeDebugOutput(const char* text) {
    std::fputs(text, stderr);
    std::fflush(stderr);
}
} // namespace

void debugLog(const char* format, ...) {
    char buffer[kDebugLogMaxChars + 1];
    va_list args;
    va_start(args, format);
    // vsnprintf cuts safely and always terminates, which is the cut at 2047 characters.
    int written = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (written < 0)
        buffer[0] = '\0';
    writeDebugOutput(buffer);
    writeDebugOutput("\n");
}
