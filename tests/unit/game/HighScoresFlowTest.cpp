// The high scores through the game scene: the title's turns, the initials entered with the keys
// or a click after a game that takes a place, the table kept between runs, the old best score
// carried into it, a damaged table left alone, and CONTINUE from the furthest level reached.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

#include "game/GameTestSupport.h"
#include "game/HighScoreEntities.h"
#include "game/HighScoreFile.h"

namespace {

using namespace gametest;

constexpr int32_t kKeyBackspace = 8;
constexpr int32_t kKeyReturn = 13;
constexpr int32_t kKeyUp = 273;

std::string contents(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const char* const kHighScores = R"(<high_scores logo_time="1" table_time="2" click_delay="0.5"/>)";

class HighScoresFlowTest : public GameFixture {
protected:
    void SetUp() override {
        GameFixture::SetUp();
        // The scene keeps its files under XDG_DATA_HOME: this test's own.
        const char* run = std::getenv("XDG_DATA_HOME");
        savedDataHome = run != nullptr ? run : "";
        setenv("XDG_DATA_HOME", scratchPath("home").c_str(), 1);
        // The fixture's sprites, and every glyph the table and the entry draw (any picture will do).
        std::string set = "<sprites><sprite id='red' texture='red.png' x='0' y='0' width='20' height='10'/>"
                          "<sprite id='green' texture='green.png' x='0' y='0' width='20' height='10'/>"
                          "<sprite id='blue' texture='blue.png' x='0' y='0' width='10' height='10'/>";
        for (char c : std::string("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ.-*_"))
            set += std::string("<sprite id='") + c + "' texture='blue.png' x='0' y='0' width='10' height='10'/>";
        testsupport::writeFile("glyphs.xml", set + "</sprites>");
        game->setSpriteManager(std::make_unique<SpriteManager>("glyphs.xml", *game->getTextureCache()));
    }
    void TearDown() override {
        setenv("XDG_DATA_HOME", savedDataHome.c_str(), 1);
        GameFixture::TearDown();
    }
    static std::string scratchPath(const std::string& name) {
        return (std::filesystem::current_path() / name).string();
    }
    static std::string tableFile() { return scratchPath("home/pellvane/high-scores"); }

    // Two levels of one block each; no life in reserve, so one lost ball ends a game.
    std::unique_ptr<PellvaneGameScene> load(const std::string& highScores = kHighScores,
                                            const std::string& entities = "") {
        auto scene =
            loadGame(gameXml("<level>one.xml</level><level>two.xml</level>",
                             "loaded_delay=\"0\" lives=\"0\" keep_best_score=\"true\"", "", entities, highScores),
                     {{"one.xml", levelXml(blockXml(0, 0, 1))}, {"two.xml", levelXml(blockXml(0, 30, 1))}});
        for (const std::string* name : {&PELLVANE_TITLE_LOGO, &PELLVANE_TITLE_TABLE, &PELLVANE_TITLE_TURN_OVER,
                                        &PELLVANE_HIGH_SCORE, &PELLVANE_INITIALS_EDITED, &PELLVANE_INITIALS_ENTERED,
                                        &PELLVANE_SCORES_SHOWN, &PELLVANE_CONTINUE_OFFERED, &PELLVANE_GAME_OVER})
            scene->registerCallback(*name, &recorder);
        return scene;
    }
    // A game at the present level ended with `score` points: every ball in reserve lost.
    void endGame(PellvaneGameScene& scene, int score) {
        scene.addScore(score);
        while (scene.getState() != GameOver)
            scene.ballLost();
    }
    // The events since the last call.
    std::vector<std::string> heard() {
        std::vector<std::string> names;
        names.swap(recorder.names);
        return names;
    }
    void type(std::initializer_list<int32_t> keys) {
        for (int32_t key : keys) {
            pressKey(key);
            releaseKey(key);
        }
    }
    void click() {
        game->dispatchEvent(new MouseEvent(MOUSE_BUTTON_UP_EVENT, 5, 5, false, false, MouseButtonUp, LeftButton));
    }

    EventRecorder recorder;
    std::string savedDataHome;
};

TEST_F(HighScoresFlowTest, TheTitleTurnsAndAGameThatTakesAPlaceHasItsInitialsTypedThenShowsTheTableMarked) {
    auto scene = load();
    scene->update(kDt);
    EXPECT_EQ((std::vector<std::string>{PELLVANE_TITLE_LOGO}), heard());
    runUntil(
        *scene, [&] { return !recorder.names.empty(); }, 200);
    EXPECT_EQ((std::vector<std::string>{PELLVANE_TITLE_TURN_OVER, PELLVANE_TITLE_TABLE}), heard())
        << "after the logo's second, the table's turn";
    runUntil(
        *scene, [&] { return !recorder.names.empty(); }, 200);
    EXPECT_EQ((std::vector<std::string>{PELLVANE_TITLE_TURN_OVER, PELLVANE_TITLE_LOGO}), heard());

    scene->newGame();
    EXPECT_EQ((std::vector<std::string>{PELLVANE_TITLE_TURN_OVER}), heard()) << "the turns end with the title";
    scene->update(kDt);
    endGame(*scene, 1234);
    EXPECT_EQ((std::vector<std::string>{PELLVANE_GAME_OVER, PELLVANE_HIGH_SCORE}), heard());
    EXPECT_TRUE(scene->isEnteringInitials());
    type({'k', 'e', 'n', kKeyUp, kKeyBackspace, 'm'});
    EXPECT_EQ(6u, heard().size()) << "each change is heard";
    EXPECT_EQ("KMO", scene->getHighScores().getEntry().getInitials()) << "N turned to O, then M typed over E";
    type({kKeyReturn});
    EXPECT_EQ((std::vector<std::string>{PELLVANE_INITIALS_ENTERED, PELLVANE_SCORES_SHOWN}), heard())
        << "no CONTINUE: no game has got past the first level";
    EXPECT_FALSE(scene->isEnteringInitials());
    const HighScore& first = scene->getHighScores().getScores().entries().at(0);
    EXPECT_EQ("KMO", first.initials);
    EXPECT_EQ(1234, first.score);
    EXPECT_EQ(1, first.level);
    EXPECT_EQ(10u, first.date.size());
    EXPECT_FALSE(first.continued);
    EXPECT_EQ(std::optional<std::size_t>(0), scene->getHighScores().getMarked());
    EXPECT_NE(std::string::npos, contents(tableFile()).find("\nKMO 1234 1 " + first.date + "\n"));
    type({'z'});
    EXPECT_TRUE(heard().empty()) << "the keys are the game's again";

    // The next game's entry starts from these initials; a click confirms it, but only once the
    // entry has been up for "click_delay".
    scene->newGame();
    scene->update(kDt);
    endGame(*scene, 900);
    heard();
    click();
    EXPECT_TRUE(scene->isEnteringInitials()) << "a click at once is the one that lost the ball";
    runUntil(
        *scene, [] { return false; }, 40);
    click();
    EXPECT_FALSE(scene->isEnteringInitials());
    EXPECT_EQ("KMO", scene->getHighScores().getScores().entries().at(1).initials);
    EXPECT_EQ(std::optional<std::size_t>(1), scene->getHighScores().getMarked());

    // A score of 0 takes no place: the table shows at once.
    scene->newGame();
    scene->update(kDt);
    EXPECT_FALSE(scene->getHighScores().getMarked()) << "the mark goes with the next game";
    heard();
    endGame(*scene, 0);
    EXPECT_EQ((std::vector<std::string>{PELLVANE_GAME_OVER, PELLVANE_SCORES_SHOWN}), heard());
}

TEST_F(HighScoresFlowTest, ContinueStartsAtTheFurthestLevelReachedAndTheTableAndTheNextRunRememberIt) {
    {
        auto scene = load(kHighScores, R"(<high_score_table mark="CONT"/><initials_entry/><continue_counter/>)");
        auto* table = first<HighScoreTableEntity>(*scene);
        auto* counter = first<ContinueLevelCounterEntity>(*scene);
        ASSERT_NE(nullptr, table);
        ASSERT_NE(nullptr, first<InitialsEntryEntity>(*scene));
        ASSERT_EQ(6u, table->getColumns().size()) << "rank, initials, score, level, date and mark";
        scene->update(kDt);
        scene->newGame();
        scene->update(kDt);
        dynamic_cast<PellvaneBlockEntity*>(scene->getLevel(0)[0])->breakBlock();
        scene->update(kDt);
        ASSERT_EQ(1u, scene->getCurrentLevel()) << "the first level cleared";
        heard();
        endGame(*scene, 500);
        type({'a', 'b', 'c', kKeyReturn});
        const std::vector<std::string> after = heard();
        EXPECT_EQ(PELLVANE_CONTINUE_OFFERED, after.back()) << "the second level was reached";
        EXPECT_EQ(2, scene->getHighScores().getScores().entries().at(0).level);

        scene->continueGame();
        EXPECT_EQ(1u, scene->getCurrentLevel());
        EXPECT_EQ(2, scene->getLevelsCompleted() + 1) << "the level counter shows where it began";
        EXPECT_EQ(0, scene->getScore());
        EXPECT_EQ(0, scene->getLives());
        scene->update(kDt);
        endGame(*scene, 700);
        type({kKeyReturn});
        const HighScore& continued = scene->getHighScores().getScores().entries().at(0);
        using Field = HighScoreTableEntity::Field;
        EXPECT_EQ("1.", table->cell(Field::Rank, 0));
        EXPECT_EQ("700", table->cell(Field::Score, 0));
        EXPECT_EQ("2", table->cell(Field::Level, 0));
        EXPECT_EQ(continued.date, table->cell(Field::Date, 0));
        EXPECT_EQ("CONT", table->cell(Field::Mark, 0)) << "the game began with CONTINUE";
        EXPECT_EQ("", table->cell(Field::Mark, 1));
        EXPECT_EQ("...", table->cell(Field::Initials, 2)) << "a place no game has taken";
        EXPECT_EQ("", table->cell(Field::Score, 2));
        EXPECT_EQ("10.", table->cell(Field::Rank, 9));
        scene->update(kDt);
        EXPECT_EQ(2, counter->getTarget()) << "the level CONTINUE starts at";
        EXPECT_EQ("ABC", continued.initials);
        EXPECT_EQ(700, continued.score);
        EXPECT_TRUE(continued.continued);
        EXPECT_FALSE(scene->getHighScores().getScores().entries().at(1).continued);

        // A new game still starts at the first level, and a game started by hand further on (a
        // picture of a level) reaches nothing.
        scene->newGameAt(1);
        EXPECT_EQ(1u, scene->getCurrentLevel());
        scene->newGame();
        EXPECT_EQ(0u, scene->getCurrentLevel());
    }
    EXPECT_NE(std::string::npos, contents(tableFile()).find("highest-level 2\n"));
    EXPECT_NE(std::string::npos, contents(tableFile()).find("ABC 700 2 ")) << "and ends with \"continued\"";

    // The next run remembers where CONTINUE starts, and offers it on the title.
    heard();
    auto again = load();
    again->update(kDt);
    EXPECT_EQ((std::vector<std::string>{PELLVANE_TITLE_LOGO, PELLVANE_CONTINUE_OFFERED}), heard());
    EXPECT_EQ(2u, again->getHighScores().continueLevel(again->getLevelCount()));
    again->continueGame();
    EXPECT_EQ(1u, again->getCurrentLevel());
}

TEST_F(HighScoresFlowTest, TheOldBestScoreIsTheFirstEntryAndADamagedTableIsSaidOnceAndLeftAlone) {
    testsupport::writeFile("home/pellvane/best-score", "5000\n");
    {
        auto scene = load();
        const std::vector<HighScore>& entries = scene->getHighScores().getScores().entries();
        ASSERT_EQ(1u, entries.size());
        EXPECT_EQ((HighScore{kUnknownInitials, 5000, 0, "", false}), entries[0]);
        EXPECT_EQ(5000, scene->getBestScore());
        // Quitting during an entry keeps the game, with the initials as they stand.
        scene->newGame();
        scene->update(kDt);
        endGame(*scene, 300);
        type({'q'});
    }
    EXPECT_NE(std::string::npos, contents(tableFile()).find("--- 5000 - -\nQAA 300 1 "));

    const std::string damaged = "pellvane-high-scores 1\nhighest-level 1\nKEN lots 1 -\n";
    testsupport::writeFile(tableFile(), damaged);
    testing::internal::CaptureStderr();
    auto scene = load();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, said.find("high scores")) << said;
    EXPECT_EQ(1, std::count(said.begin(), said.end(), '\n')) << said;
    ASSERT_EQ(1u, scene->getHighScores().getScores().entries().size()) << "the best score, for the run";
    scene->newGame();
    scene->update(kDt);
    endGame(*scene, 9000);
    type({kKeyReturn});
    EXPECT_EQ(9000, scene->getHighScores().getScores().best()) << "the table still lasts for the run";
    EXPECT_EQ(damaged, contents(tableFile()));

    // Without "high_scores" there is no table: a game over shows nothing more.
    auto plain = load("");
    plain->update(kDt);
    plain->newGame();
    plain->update(kDt);
    heard();
    endGame(*plain, 100);
    EXPECT_EQ((std::vector<std::string>{PELLVANE_GAME_OVER}), heard());
    EXPECT_FALSE(plain->isEnteringInitials());
}

} // namespace
