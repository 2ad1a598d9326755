// The high-score table as rules: the ten best games, which place a score takes, ties, and the
// furthest level any game has reached (where CONTINUE starts). Plain values: the game reads and
// writes them (game/HighScoreFile) and supplies the date; nothing here knows a file or a clock.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// One game of the table.
struct HighScore {
    // Three letters A to Z, or kUnknownInitials for the score carried over from the best score
    // kept before there was a table.
    std::string initials;
    int score = 0;
    // The level number the game had reached when it ended (what the level counter showed); 0 when
    // not known.
    int level = 0;
    // "YYYY-MM-DD", or empty when not known.
    std::string date;
    // The game was begun with CONTINUE, at a level reached before, rather than at the first.
    bool continued = false;

    bool operator==(const HighScore& other) const {
        return initials == other.initials && score == other.score && level == other.level && date == other.date &&
               continued == other.continued;
    }
};

inline constexpr std::size_t kHighScorePlaces = 10;
inline constexpr std::size_t kInitialsLength = 3;
inline constexpr const char* kUnknownInitials = "---";

// Three capital letters A to Z.
bool areInitials(const std::string& text);

class HighScores {
public:
    // The place (0 the first) a game of `score` points takes, or none. Only a score above 0 takes
    // one, and with every place taken only one above the last. A score equal to one in the table
    // goes below it: the game that made it first keeps its place.
    std::optional<std::size_t> placeFor(int score) const;
    // Puts the entry in at its place, the last one falling out of a full table; returns the place,
    // or none when the score takes none (the table is then unchanged).
    std::optional<std::size_t> insert(const HighScore& entry);
    // The best score kept before there was a table: it goes in, with unknown initials, level and
    // date, when it beats every entry (the table already holds it otherwise). True when it went in.
    bool carryOver(int bestScore);

    const std::vector<HighScore>& entries() const { return table; }
    // The first entry's score, or 0 for an empty table.
    int best() const { return table.empty() ? 0 : table.front().score; }

    // The furthest level, counted from 1 in the order the levels are played, that a game has
    // reached by clearing the one before it (or 1, the first). It only ever rises.
    unsigned highestLevel() const { return highest; }
    // True when `level` is further than any before.
    bool reachLevel(unsigned level);

private:
    std::vector<HighScore> table;
    unsigned highest = 1;
};
