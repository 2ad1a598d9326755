// HighScores: the place a score takes, insertion into the ten places, and the furthest level.
#include "rules/HighScores.h"

#include <algorithm>

bool areInitials(const std::string& text) {
    return text.size() == kInitialsLength &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

std::optional<std::size_t> HighScores::placeFor(int score) const {
    if (score <= 0)
        return std::nullopt;
    // Below every entry of as many points or more.
    const auto place =
        std::find_if(table.begin(), table.end(), [score](const HighScore& e) { return e.score < score; });
    const auto index = static_cast<std::size_t>(place - table.begin());
    if (index >= kHighScorePlaces)
        return std::nullopt;
    return index;
}

std::optional<std::size_t> HighScores::insert(const HighScore& entry) {
    const std::optional<std::size_t> place = placeFor(entry.score);
    if (!place)
        return std::nullopt;
    table.insert(table.begin() + static_cast<std::ptrdiff_t>(*place), entry);
    if (table.size() > kHighScorePlaces)
        table.pop_back();
    return place;
}

bool HighScores::carryOver(int bestScore) {
    if (bestScore <= best())
        return false;
    return insert({kUnknownInitials, bestScore, 0, "", false}).has_value();
}

bool HighScores::reachLevel(unsigned level) {
    if (level <= highest)
        return false;
    highest = level;
    return true;
}
