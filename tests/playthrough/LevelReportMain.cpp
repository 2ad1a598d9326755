// The level report: plays the game in the working directory headless (no window: textures are
// decoded, never drawn) and prints, in Markdown,
//   - every level as a new game started there by the soak's autopilot: the time to clear it, the
//     balls lost, the capsules caught, the longest flight without a block hit;
//   - every level as the still, aiming and following players and the modelled person play it: the
//     time each takes and the longest flight without a hit (none may reach 30 s);
//   - whole games from the first level as the modelled person plays them: the spare lives at
//     levels 5, 10 and 20, the balls lost per level, where and when each game ended.
// tools/make_level_pictures.py (./run.sh levels) puts it in docs/levels.md.
//   pellvane_level_report [seconds allowed per level, default 600] [seed] [person's games, default 8]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include "PlayThrough.h"
#include "game/PellvaneGameScene.h"

namespace {

// A whole game may last an evening; past an hour it is not a game a person plays in one go.
constexpr double kLongestGame = 3600.0;
// A flight this long without a block hit reads to a player as a loop that will not end.
constexpr double kLongestBearableFlight = 30.0;

double median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

void quiet(const std::string& line) {
    std::fprintf(stderr, "  %s\n", line.c_str());
}

} // namespace

int main(int argc, char** argv) {
    using namespace playthrough;
    const double allowed = argc > 1 ? std::atof(argv[1]) : 600.0;
    const uint32_t seed = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 20261207u;
    const int games = argc > 3 ? std::atoi(argv[3]) : 8;
    if (!(allowed > 0.0) || games < 0) {
        std::fprintf(stderr, "usage: pellvane_level_report [seconds per level] [seed] [person's games]\n");
        return 2;
    }
    // The autopilot's games must not reach the player's best score.
    char dataHome[] = "/tmp/pellvane-report-data-XXXXXX";
    if (mkdtemp(dataHome) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    setenv("XDG_DATA_HOME", dataHome, 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::unique_ptr<HeadlessGame> game = loadHeadless(".", 1);
    if (game == nullptr)
        return 1;
    // Every run plays a game of its own, freshly loaded: what one run leaves behind (where the
    // pointer was, the ball's colour) must not change the next one's figures.
    const unsigned levels = static_cast<unsigned>(game->scene->getLevelCount());
    game.reset();
    int unfinished = 0;

    std::printf("| Level | Cleared in | Balls lost | Capsules caught | Longest flight without a hit |\n");
    std::printf("|---|---|---|---|---|\n");
    for (unsigned level = 0; level < levels; ++level) {
        const Counts counts =
            playLevel(*loadHeadless(".", 1)->scene, level, Player::Swinging, Timing::Fixed60, allowed, seed + level, quiet);
        long capsules = 0;
        for (long caught : counts.powerUpsCaught)
            capsules += caught;
        char cleared[32];
        if (counts.levelsCleared > 0)
            std::snprintf(cleared, sizeof cleared, "%.0f s", counts.simulatedSeconds);
        else
            std::snprintf(cleared, sizeof cleared, "not in %.0f s", counts.simulatedSeconds);
        unfinished += counts.levelsCleared > 0 ? 0 : 1;
        std::printf("| %u | %s | %ld | %ld | %.1f s |\n", level + 1, cleared, counts.ballsLost, capsules,
                    counts.longestWithoutHit);
        std::fflush(stdout);
    }

    const Player players[] = {Player::Still, Player::Aiming, Player::Following, Player::Person};
    std::printf("\n## Every player, level by level\n\n");
    std::printf("Each level as a new game started there: the time each player took to clear it, and in brackets "
                "the longest flight without a block hit.\n\n");
    std::printf("| Level | Still | Aiming | Following | Person |\n|---|---|---|---|---|\n");
    double longest = 0.0;
    for (unsigned level = 0; level < levels; ++level) {
        std::printf("| %u |", level + 1);
        for (Player player : players) {
            const Counts counts =
                playLevel(*loadHeadless(".", 1)->scene, level, player, Timing::Fixed60, allowed, seed + level, quiet);
            longest = std::max(longest, counts.longestWithoutHit);
            unfinished += counts.levelsCleared > 0 ? 0 : 1;
            if (counts.levelsCleared > 0)
                std::printf(" %.0f s (%.1f s) |", counts.simulatedSeconds, counts.longestWithoutHit);
            else
                std::printf(" not in %.0f s (%.1f s) |", counts.simulatedSeconds, counts.longestWithoutHit);
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    std::printf("\nThe longest flight without a block hit of any player on any level: %.1f s (at most %.0f s).\n",
                longest, kLongestBearableFlight);

    std::printf("\n## A person's games\n\n");
    std::printf("Whole games from the first level as the modelled person plays them (it sees the ball %.2f s late, "
                "moves the pointer at most %.0f px/s, meets the ball at a random place on the paddle and leaves "
                "capsules alone), each until game over or an hour.\n\n",
                PointerPilot::kPersonSight, PointerPilot::kPersonReach);
    std::printf("| Game | Spare lives at level 5 | at 10 | at 20 | Reached level | Ended | Score |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    std::map<int, std::vector<double>> spare;
    // Balls lost and plays of each level number, over every game.
    std::map<int, std::pair<int, int>> lostOnLevel;
    int gamesOver = 0;
    for (int g = 0; g < games; ++g) {
        std::unique_ptr<HeadlessGame> fresh = loadHeadless(".", seed + 1000u + static_cast<uint32_t>(g));
        const GameRecord record =
            playGame(*fresh->scene, Player::Person, Timing::Fixed60, kLongestGame, seed + 1000u + static_cast<uint32_t>(g));
        std::map<int, int> livesAt;
        for (const GameRecord::Level& level : record.levels) {
            livesAt[level.number] = level.livesAtStart;
            auto& [lost, plays] = lostOnLevel[(level.number - 1) % static_cast<int>(levels) + 1];
            lost += level.ballsLost;
            ++plays;
        }
        std::printf("| %d |", g + 1);
        for (int at : {5, 10, 20}) {
            if (livesAt.count(at) != 0) {
                spare[at].push_back(livesAt[at]);
                std::printf(" %d |", livesAt[at]);
            } else {
                std::printf(" - |");
            }
        }
        gamesOver += record.gameOver ? 1 : 0;
        std::printf(" %d | %s after %.0f min | %d |\n", record.levels.empty() ? 0 : record.levels.back().number,
                    record.gameOver ? "game over" : "still playing", record.seconds / 60.0, record.score);
        std::fflush(stdout);
        unfinished += record.faults > 0 ? 1 : 0;
    }
    std::printf("\nMedian spare lives: %.1f at level 5, %.1f at level 10, %.1f at level 20. %d of %d games ended "
                "in game over within the hour.\n\n",
                median(spare[5]), median(spare[10]), median(spare[20]), gamesOver, games);
    std::printf("| Levels | Balls lost per play |\n|---|---|\n");
    for (int first = 1; first <= static_cast<int>(levels); first += 8) {
        int lost = 0, plays = 0;
        for (int number = first; number < first + 8 && number <= static_cast<int>(levels); ++number) {
            lost += lostOnLevel[number].first;
            plays += lostOnLevel[number].second;
        }
        if (plays > 0)
            std::printf("| %d to %d | %.2f (%d plays) |\n", first, std::min(first + 7, static_cast<int>(levels)),
                        static_cast<double>(lost) / plays, plays);
    }
    std::error_code ignored;
    std::filesystem::remove_all(dataHome, ignored);
    return unfinished == 0 ? 0 : 1;
}
