// The game's counters: each copies its number from the game scene every frame, before the
// first game, after a new game, a cleared level and game over; the best score kept between runs.
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

#include "app/BestScore.h"
#include "app/Exceptions.h"
#include "game/HudTestSupport.h"
#include "game/PellvaneCounterEntities.h"

namespace {

class PellvaneCounterEntitiesTest : public hudtest::HudFixture {
protected:
    void SetUp() override {
        HudFixture::SetUp();
        std::string set = "<sprites><sprite id='green' texture='green.png' x='0' y='0' width='20' height='10'/>";
        for (int d = 0; d < 10; ++d)
            set += "<sprite id='" + std::to_string(d) + "' texture='red.png' x='" + std::to_string(2 * d) +
                   "' y='0' width='2' height='10'/>";
        testsupport::writeFile("digits.xml", set + "</sprites>");
        game->setSpriteManager(new SpriteManager("digits.xml", *game->getTextureCache()));
        loadGame("<level_counter rate='1000'/><lives_counter rate='1000'/><score_counter rate='1000'/>");
        level = find<PellvaneLevelCounterEntity>();
        lives = find<PellvaneLivesCounterEntity>();
        score = find<PellvaneScoreCounterEntity>();
    }

    PellvaneLevelCounterEntity* level = nullptr;
    PellvaneLivesCounterEntity* lives = nullptr;
    PellvaneScoreCounterEntity* score = nullptr;
};

TEST_F(PellvaneCounterEntitiesTest, BeforeTheFirstGameTheCountersShowLevelOneAndTheStartingLives) {
    ASSERT_TRUE(level && lives && score);
    step();
    EXPECT_EQ(1, level->target);
    EXPECT_EQ("1", level->getDisplayText());
    EXPECT_EQ("3", lives->getDisplayText());
    EXPECT_EQ("0", score->getDisplayText());
}

TEST_F(PellvaneCounterEntitiesTest, TheScoreCounterCountsTowardsTheScore) {
    scene->newGame();
    step(2);
    scene->addScore(500);
    step();
    EXPECT_EQ(500, score->target);
    EXPECT_EQ("250", score->getDisplayText()); // 1000 per second for a quarter second
    step();
    EXPECT_EQ("500", score->getDisplayText());
}

TEST_F(PellvaneCounterEntitiesTest, AClearedLevelRaisesTheLevelAndTheLivesInTheSameFrame) {
    scene->newGame();
    step(2);
    ASSERT_EQ(Playing, scene->getState());
    static_cast<SpriteEntity*>(scene->getLevel(0).at(0))->enabled = false;
    step(); // cleared at the end of this update
    EXPECT_EQ(1, level->target);
    EXPECT_EQ(3, lives->target);
    step();
    EXPECT_EQ(2, level->target);
    EXPECT_EQ(4, lives->target);
}

TEST_F(PellvaneCounterEntitiesTest, AtGameOverTheLivesCounterRunsToMinusOne) {
    scene->newGame();
    step(2);
    for (int i = 0; i < 4; ++i)
        scene->ballLost();
    ASSERT_EQ(GameOver, scene->getState());
    step(2);
    EXPECT_EQ(-1, lives->target);
    EXPECT_EQ("-1", lives->getDisplayText());
    scene->newGame();
    step(2);
    EXPECT_EQ("3", lives->getDisplayText());
}

// A game scene with a best counter, keeping its best score or not; the data home is the
// test's own scratch directory.
class BestCounterTest : public PellvaneCounterEntitiesTest {
protected:
    void SetUp() override {
        PellvaneCounterEntitiesTest::SetUp();
        if (const char* dataHome = std::getenv("XDG_DATA_HOME"))
            savedDataHome = dataHome;
        setenv("XDG_DATA_HOME", dir.file("data-home").c_str(), 1);
    }
    void TearDown() override {
        PellvaneCounterEntitiesTest::TearDown();
        savedDataHome.empty() ? unsetenv("XDG_DATA_HOME") : setenv("XDG_DATA_HOME", savedDataHome.c_str(), 1);
    }
    PellvaneBestCounterEntity* loadBest(bool keep) {
        scene = loadScene<PellvaneGameScene>(std::string("<pellvane_game id='game' lives='0'") +
                                             (keep ? " keep_best_score='true'" : "") +
                                             "><levels><level>level1.xml</level></levels><entities>"
                                             "<best_counter rate='1000'/></entities></pellvane_game>");
        return find<PellvaneBestCounterEntity>();
    }
    void playTo(int points) {
        scene->newGame();
        step(2);
        scene->addScore(points);
        step();
    }
    static bool anyFileIn(const std::string& path) {
        std::error_code ignored;
        for (auto it = std::filesystem::recursive_directory_iterator(path, ignored);
             it != std::filesystem::recursive_directory_iterator(); ++it)
            if (it->is_regular_file())
                return true;
        return false;
    }

    std::string savedDataHome;
};

TEST_F(BestCounterTest, TheKeptBestIsShownAndReplacedOnlyWhenAGameEndsAboveIt) {
    const std::string path = dir.file("data-home/pellvane/best-score");
    ASSERT_TRUE(bestscore::save(path, 120));
    testing::internal::CaptureStderr();
    PellvaneBestCounterEntity* best = loadBest(true);
    EXPECT_EQ("", testing::internal::GetCapturedStderr()) << "a good file is read without a word";
    ASSERT_NE(nullptr, best);
    step();
    EXPECT_EQ(120, best->target);

    playTo(100);
    EXPECT_EQ(120, best->target);
    scene->addScore(50);
    step();
    EXPECT_EQ(150, best->target) << "the score shows once it passes the best";
    EXPECT_EQ(120, bestscore::load(path)) << "nothing is written during the game";
    scene->ballLost();
    ASSERT_EQ(GameOver, scene->getState());
    EXPECT_EQ(150, bestscore::load(path));

    playTo(40);
    scene->ballLost();
    step();
    EXPECT_EQ(150, best->target);
    EXPECT_EQ(150, bestscore::load(path)) << "a lower score leaves the file alone";

    playTo(200);
    scene.reset(); // quitting in the middle of a game
    EXPECT_EQ(200, bestscore::load(path));
}

TEST_F(BestCounterTest, WithoutKeepBestScoreTheBestLastsOnlyForTheRunAndNothingIsWritten) {
    testing::internal::CaptureStderr();
    PellvaneBestCounterEntity* best = loadBest(false);
    EXPECT_EQ("", testing::internal::GetCapturedStderr()) << "nothing is read either";
    playTo(70);
    scene->ballLost();
    playTo(30);
    EXPECT_EQ(70, best->target);
    scene.reset();
    EXPECT_FALSE(anyFileIn(dir.file("data-home")));
}

TEST_F(PellvaneCounterEntitiesTest, ACounterOutsideAGameSceneIsALoadError) {
    BaseScene plain;
    TiXmlDocument document;
    document.Parse("<score_counter/>");
    PellvaneScoreCounterEntity counter;
    try {
        counter.load(TiXmlHandle(document.RootElement()), &plain);
        FAIL() << "no exception";
    } catch (const EntityException& e) {
        EXPECT_EQ("Entity Exception: PellvaneScoreCounterEntity: Entity is not in a pellvane_game scene!", e.message);
    }
}

} // namespace
