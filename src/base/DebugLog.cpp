// debugLog: formatted diagnostic lines on standard error; reportFatal: the run's last word.
#include "base/DebugLog.h"

#include <cstdarg>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {
bool sameFile(int first, int second) {
    struct stat a {};
    struct stat b {};
    return fstat(first, &a) == 0 && fstat(second, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}
} // namespace

void reportFatal(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fputs("\n", stdout);
    std::fflush(stdout);
    if (!sameFile(STDOUT_FILENO, STDERR_FILENO))
        debugLog("%s", text.c_str());
}
