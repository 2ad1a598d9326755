// The best score file: a strict decimal number, kept under the rules of the kept files.
#include "game/BestScore.h"

#include <climits>

#include "game/KeptFile.h"

namespace bestscore {

namespace {

// Strict: a decimal number from 0 to INT_MAX, optionally followed by white space.
bool parseScore(const std::string& bytes, int& score) {
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    long long value = 0;
    while (i < size && bytes[i] >= '0' && bytes[i] <= '9' && value <= INT_MAX)
        value = value * 10 + (bytes[i++] - '0');
    const std::size_t digits = i;
    while (i < size && (bytes[i] == '\n' || bytes[i] == '\r' || bytes[i] == ' ' || bytes[i] == '\t'))
        ++i;
    if (digits == 0 || i != size || value > INT_MAX)
        return false;
    score = static_cast<int>(value);
    return true;
}

// A best score is at most ten digits and a line break; anything longer is not one.
const keptfile::FileKind kBestScore{"best score", "a score", 32, [](const std::string& bytes, std::string&) {
                                        int score = 0;
                                        return parseScore(bytes, score);
                                    }};

} // namespace

std::string defaultPath() {
    return keptfile::underDataHome(kRelativePath);
}

Stored load(const std::string& path, bool quiet) {
    if (path.empty()) {
        if (!quiet)
            keptfile::warn(kBestScore, "(no home directory)", "not kept; starting from 0");
        return {0, false};
    }
    const keptfile::Found found = keptfile::inspect(kBestScore, path);
    switch (found.kind) {
    case keptfile::Found::kMissing:
        if (!quiet)
            keptfile::warn(kBestScore, path, "none yet; starting from 0");
        return {};
    case keptfile::Found::kOurs: {
        Stored stored;
        parseScore(found.bytes, stored.score);
        return stored;
    }
    case keptfile::Found::kKept:
        break;
    }
    if (!quiet)
        keptfile::warn(kBestScore, path, found.why + "; counted as 0 and left as it is during this run");
    return {0, false};
}

bool save(const std::string& path, int score) {
    return keptfile::replace(kBestScore, path, std::to_string(score) + "\n");
}

} // namespace bestscore
