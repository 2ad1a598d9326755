// The game's counters: each copies its number from the game scene every frame, before the
// first game, after a new game, a cleared level and game over; the best score kept between runs.
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

#include "game/BestScore.h"
#include "base/Exceptions.h"
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
        game->setSpriteManager(std::make_unique<SpriteManager>("digits.xml", *game->getTextureCache()));
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
    EXPECT_EQ(1, level->getTarget());
    EXPECT_EQ("1", level->getDisplayText());
    EXPECT_EQ("3", lives->getDisplayText());
    EXPECT_EQ("0", score->getDisplayText());
}

TEST_F(PellvaneCounterEntitiesTest, TheScoreCounterCountsTowardsTheScore) {
    scene->newGame();
    step(2);
    scene->addScore(500);
    step();
    EXPECT_EQ(500, score->getTarget());
    EXPECT_EQ("250", score->getDisplayText()); // 1000 per second for a quarter second
    step();
    EXPECT_EQ("500", score->getDisplayText());
}

TEST_F(PellvaneCounterEntitiesTest, AClearedLevelRaisesTheLevelAndTheLivesInTheSameFrame) {
    scene->newGame();
    step(2);
    ASSERT_EQ(Playing, scene->getState());
    static_cast<SpriteEntity*>(scene->getLevel(0).at(0))->setEnabled(false);
    step(); // cleared at the end of this update
    EXPECT_EQ(1, level->getTarget());
    EXPECT_EQ(3, lives->getTarget());
    step();
    EXPECT_EQ(2, level->getTarget());
    EXPECT_EQ(4, lives->getTarget());
}

TEST_F(PellvaneCounterEntitiesTest, AtGameOverTheLivesCounterRunsToMinusOne) {
    scene->newGame();
    step(2);
    for (int i = 0; i < 4; ++i)
        scene->ballLost();
    ASSERT_EQ(GameOver, scene->getState());
    step(2);
    EXPECT_EQ(-1, lives->getTarget());
    EXPECT_EQ("-1", lives->getDisplayText());
    scene->newGame();
    step(2);
    EXPECT_EQ("3", lives->getDisplayText());
}

TEST_F(PellvaneCounterEntitiesTest, TheBestCounterShowsTheBestAndItIsWrittenOnlyWhenAGameEndsAboveIt) {
    // The test run's own data home (TestMain); a kept best of 120 is there.
    const std::string path = bestscore::defaultPath();
    ASSERT_TRUE(bestscore::save(path, 120));
    scene = loadScene<PellvaneGameScene>("<pellvane_game id='game' lives='0' keep_best_score='true'><levels>"
                                         "<level>level1.xml</level></levels><entities><best_counter rate='1000'/>"
                                         "</entities></pellvane_game>");
    auto* best = find<PellvaneBestCounterEntity>();
    auto play = [&](int points) {
        scene->newGame();
        scene->addScore(points);
        step();
    };
    play(150);
    EXPECT_EQ(150, best->getTarget()) << "the score shows once it passes the best";
    EXPECT_EQ(120, bestscore::load(path).score) << "nothing is written during a game";
    scene->ballLost(); // game over
    EXPECT_EQ(150, bestscore::load(path).score);
    play(40);
    scene->ballLost();
    EXPECT_EQ(150, best->getTarget());
    play(200);
    scene.reset(); // quitting in the middle of a game keeps its score
    EXPECT_EQ(200, bestscore::load(path).score);
    std::filesystem::remove(path);

    // Without keep_best_score the best lasts for the run: nothing is read or written.
    loadGame("<best_counter/>");
    play(70);
    scene.reset();
    EXPECT_FALSE(std::filesystem::exists(path));

    // A file that cannot be read is said once and never replaced: no attempt, no second line.
    std::filesystem::create_directories(path);
    testing::internal::CaptureStderr();
    scene = loadScene<PellvaneGameScene>("<pellvane_game id='game' lives='0' keep_best_score='true'><levels>"
                                         "<level>level1.xml</level></levels><entities><best_counter/>"
                                         "</entities></pellvane_game>");
    play(90);
    scene->ballLost();
    scene.reset();
    const std::string said = testing::internal::GetCapturedStderr();
    std::filesystem::remove(path);
    EXPECT_EQ(1, std::count(said.begin(), said.end(), '\n')) << said;
}

TEST_F(PellvaneCounterEntitiesTest, ACounterOutsideAGameSceneIsALoadError) {
    BaseScene plain(game->sceneContext());
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
