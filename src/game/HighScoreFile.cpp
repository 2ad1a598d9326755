// The high-score file: its text format, read strictly, and kept under the kept files' rules.
#include "game/HighScoreFile.h"

#include <climits>
#include <sstream>
#include <vector>

#include "game/KeptFile.h"

namespace highscorefile {

namespace {

constexpr const char* kMagic = "pellvane-high-scores";
constexpr const char* kHighestLevel = "highest-level";
constexpr const char* kContinued = "continued";
constexpr const char* kNone = "-";
// No level list is longer (the command line's --level has the same bound).
constexpr long long kMaxLevel = 1000000;
// The header and ten entries of at most 45 bytes take under 600 bytes.
constexpr std::size_t kMaxFileBytes = 1024;

// The words of a line, split at runs of spaces.
std::vector<std::string> wordsOf(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// A decimal number from `low` to `high`, digits only.
bool readNumber(const std::string& word, long long low, long long high, long long& value) {
    if (word.empty() || word.size() > 10)
        return false;
    value = 0;
    for (char c : word) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return value >= low && value <= high;
}

// YYYY-MM-DD with a month of 1 to 12 and a day of 1 to 31.
bool isDate(const std::string& word) {
    long long year = 0, month = 0, day = 0;
    return word.size() == 10 && word[4] == '-' && word[7] == '-' && readNumber(word.substr(0, 4), 0, 9999, year) &&
           readNumber(word.substr(5, 2), 1, 12, month) && readNumber(word.substr(8, 2), 1, 31, day);
}

bool parseEntry(const std::vector<std::string>& words, HighScore& entry) {
    if (words.size() != 4 && !(words.size() == 5 && words[4] == kContinued))
        return false;
    long long score = 0, level = 0;
    if (!(areInitials(words[0]) || words[0] == kUnknownInitials) || !readNumber(words[1], 1, INT_MAX, score))
        return false;
    if (words[2] != kNone && !readNumber(words[2], 1, kMaxLevel, level))
        return false;
    if (words[3] != kNone && !isDate(words[3]))
        return false;
    entry = {words[0], static_cast<int>(score), static_cast<int>(level), words[3] == kNone ? "" : words[3],
             words.size() == 5};
    return true;
}

const keptfile::FileKind kHighScores{"high scores", "a high-score table", kMaxFileBytes,
                                     [](const std::string& bytes, std::string& why) {
                                         HighScores ignored;
                                         return parse(bytes, ignored, why);
                                     }};

} // namespace

std::string defaultPath() {
    return keptfile::underDataHome(kRelativePath);
}

std::string format(const HighScores& scores) {
    std::string text = std::string(kMagic) + " " + std::to_string(kVersion) + "\n" + kHighestLevel + " " +
                       std::to_string(scores.highestLevel()) + "\n";
    for (const HighScore& entry : scores.entries()) {
        text += entry.initials + " " + std::to_string(entry.score) + " " +
                (entry.level > 0 ? std::to_string(entry.level) : kNone) + " " +
                (entry.date.empty() ? kNone : entry.date) + (entry.continued ? std::string(" ") + kContinued : "") +
                "\n";
    }
    return text;
}

bool parse(const std::string& text, HighScores& scores, std::string& why) {
    why.clear();
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(wordsOf(line));
    long long version = 0;
    if (lines.empty() || lines[0].size() != 2 || lines[0][0] != kMagic || !readNumber(lines[0][1], 1, INT_MAX, version))
        return false;
    if (version != kVersion) {
        why = "is a table of version " + lines[0][1] + ", which a later game writes";
        return false;
    }
    HighScores read;
    long long highest = 0;
    if (lines.size() < 2 || lines[1].size() != 2 || lines[1][0] != kHighestLevel ||
        !readNumber(lines[1][1], 1, kMaxLevel, highest)) {
        why = "is a damaged table: no highest level on its second line";
        return false;
    }
    read.reachLevel(static_cast<unsigned>(highest));
    if (lines.size() - 2 > kHighScorePlaces) {
        why = "is a damaged table: more than " + std::to_string(kHighScorePlaces) + " entries";
        return false;
    }
    for (std::size_t i = 2; i < lines.size(); ++i) {
        HighScore entry;
        if (!parseEntry(lines[i], entry)) {
            why = "is a damaged table: line " + std::to_string(i + 1) + " is not an entry";
            return false;
        }
        // In a table in order, each entry goes in below those before it.
        if (read.insert(entry) != i - 2) {
            why = "is a damaged table: line " + std::to_string(i + 1) + " is out of order";
            return false;
        }
    }
    scores = read;
    return true;
}

Stored load(const std::string& path, bool quiet) {
    if (path.empty()) {
        if (!quiet)
            keptfile::warn(kHighScores, "(no home directory)", "not kept; the table lasts for this run");
        return {HighScores{}, false};
    }
    const keptfile::Found found = keptfile::inspect(kHighScores, path);
    switch (found.kind) {
    case keptfile::Found::kMissing:
        return {};
    case keptfile::Found::kOurs: {
        Stored stored;
        std::string ignored;
        parse(found.bytes, stored.scores, ignored);
        return stored;
    }
    case keptfile::Found::kKept:
        break;
    }
    if (!quiet)
        keptfile::warn(kHighScores, path, found.why + "; left as it is, and this run's table lasts for the run only");
    return {HighScores{}, false};
}

bool save(const std::string& path, const HighScores& scores) {
    return keptfile::replace(kHighScores, path, format(scores));
}

} // namespace highscorefile
