// Whole-game scenarios on the real classes at a fixed step: a launched ball breaking blocks of
// each strength, levels cleared and wrapped, the loading delay, and the end of a game.
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "game/GameTestSupport.h"

namespace {

using namespace gametest;

const Colour kYellow{1.0f, 1.0f, 0.0f, 1.0f};
const Colour kOrange{1.0f, 0.5f, 0.0f, 1.0f};
const Colour kRed{1.0f, 0.0f, 0.0f, 1.0f};
const Colour kWhite{1.0f, 1.0f, 1.0f, 1.0f};

class GameScenarioTest : public GameFixture {
protected:
    // newGame, then one frame: with "loaded_delay" 0 the level starts and input is enabled.
    static void startPlaying(PellvaneGameScene& scene) {
        scene.newGame();
        scene.update(kDt);
        ASSERT_EQ(Playing, scene.getState());
    }
    static PellvaneBlockEntity* block(PellvaneGameScene& scene, unsigned level, std::size_t index) {
        return dynamic_cast<PellvaneBlockEntity*>(scene.getLevel(level).at(index));
    }
    // The target block straight above the ball, plus one out of its path so the level stays.
    std::unique_ptr<PellvaneGameScene> oneTarget(int health, EventRecorder* recorder = nullptr) {
        return loadGame(gameXml("<level>one.xml</level>"),
                        {{"one.xml", levelXml(blockXml(90, 100, health) + blockXml(0, 0, 1))}}, recorder);
    }
};

TEST_F(GameScenarioTest, ABallLaunchedStraightUpBreaksAHealthOneBlock) {
    auto scene = oneTarget(1);
    PellvaneBlockEntity* target = block(*scene, 0, 0);
    startPlaying(*scene);
    releaseKey(kKeySpace);
    const int frames = runUntil(*scene, [&] { return scene->getScore() != 0; });
    // 157 px between the held ball's top and the block's bottom edge at 240 px/s.
    EXPECT_NEAR(40, frames, 2);
    EXPECT_EQ(10, scene->getScore());
    EXPECT_FALSE(target->isActive());
    EXPECT_FALSE(target->isVisible());
    EXPECT_EQ(std::vector<std::string>{"yellow.wav"}, playingSounds());
    const std::vector<PellvaneBlockEffect*> effects = entitiesOf<PellvaneBlockEffect>(*scene);
    ASSERT_EQ(1u, effects.size());
    EXPECT_FLOAT_EQ(0.6f, effects[0]->getLifetime());
    EXPECT_FLOAT_EQ(2.0f, effects[0]->endScale.x);
    EXPECT_EQ(kYellow, effects[0]->getColour());
    EXPECT_TRUE(effects[0]->isActive() && effects[0]->isVisible());
    PellvaneBallEntity* ball = first<PellvaneBallEntity>(*scene);
    EXPECT_FLOAT_EQ(240.0f, ball->getVelocity().y) << "the ball bounces back down";
    EXPECT_EQ(Playing, scene->getState()) << "the other block keeps the level going";

    // The effect leaves the scene once its 0.6 s are over.
    runUntil(
        *scene, [&] { return entitiesOf<PellvaneBlockEffect>(*scene).empty(); }, 60);
    EXPECT_TRUE(entitiesOf<PellvaneBlockEffect>(*scene).empty());
}

TEST_F(GameScenarioTest, AHealthThreeBlockGoesRedOrangeYellowAndCyclesTheBallOnce) {
    auto scene = oneTarget(3);
    PellvaneBlockEntity* target = block(*scene, 0, 0);
    PellvaneBallEntity* ball = first<PellvaneBallEntity>(*scene);
    EXPECT_EQ(kRed, target->getColour());
    EXPECT_EQ(kWhite, ball->getColour());
    startPlaying(*scene);
    releaseKey(kKeySpace);

    runUntil(*scene, [&] { return target->getHealth() == 2; });
    ASSERT_EQ(2, target->getHealth());
    EXPECT_EQ(kOrange, target->getColour());
    EXPECT_EQ(std::vector<std::string>{"red.wav"}, playingSounds());
    std::vector<PellvaneBlockEffect*> effects = entitiesOf<PellvaneBlockEffect>(*scene);
    ASSERT_EQ(1u, effects.size());
    EXPECT_EQ(kRed, effects[0]->getColour()) << "the copy shows the tint from before the hit";
    EXPECT_FLOAT_EQ(0.4f, effects[0]->getLifetime());
    EXPECT_FLOAT_EQ(1.5f, effects[0]->endScale.y);
    EXPECT_EQ(kWhite, ball->getColour());

    runUntil(*scene, [&] { return target->getHealth() == 1; });
    ASSERT_EQ(1, target->getHealth());
    EXPECT_EQ(kYellow, target->getColour());
    EXPECT_EQ((std::vector<std::string>{"red.wav", "orange.wav"}), playingSounds());
    EXPECT_EQ(kRed, ball->getColour()) << "the ball moved on to its second colour";
    effects = entitiesOf<PellvaneBlockEffect>(*scene);
    ASSERT_EQ(2u, effects.size()) << "the first hit's effect has gone; the block's and the ball's are new";
    int ballCopies = 0;
    for (PellvaneBlockEffect* effect : effects) {
        if (effect->endScale.x == 5.0f) {
            ++ballCopies;
            EXPECT_EQ(kWhite, effect->getColour());
            EXPECT_FLOAT_EQ(0.4f, effect->getLifetime());
        } else {
            EXPECT_EQ(kOrange, effect->getColour());
        }
    }
    EXPECT_EQ(1, ballCopies);
    EXPECT_EQ(0, scene->getScore());

    runUntil(*scene, [&] { return !target->isActive(); });
    EXPECT_FALSE(target->isActive());
    EXPECT_EQ((std::vector<std::string>{"red.wav", "orange.wav", "yellow.wav"}), playingSounds());
    EXPECT_EQ(30, scene->getScore());
    EXPECT_EQ(kRed, ball->getColour()) << "only the hit at health 2 cycles the colour";
    effects = entitiesOf<PellvaneBlockEffect>(*scene);
    ASSERT_EQ(1u, effects.size()) << "the last hit spawns the break effect only";
    EXPECT_FLOAT_EQ(0.6f, effects[0]->getLifetime());
    EXPECT_EQ(kYellow, effects[0]->getColour());
}

TEST_F(GameScenarioTest, AHealthZeroBlockNeverBreaksAndItsLevelNeverClears) {
    auto scene = loadGame(gameXml("<level>one.xml</level>"), {{"one.xml", levelXml(blockXml(90, 100, 0))}});
    PellvaneBlockEntity* target = block(*scene, 0, 0);
    // Health 0 is index 0xffffffff of the colour cycle: yellow; then red and orange.
    EXPECT_EQ(kYellow, target->getColour());
    startPlaying(*scene);
    releaseKey(kKeySpace);
    const Colour expected[] = {kRed, kOrange, kYellow};
    for (int hit = 1; hit <= 3; ++hit) {
        runUntil(*scene, [&] { return target->getHealth() == -hit; });
        ASSERT_EQ(-hit, target->getHealth());
        EXPECT_TRUE(target->isActive());
        EXPECT_EQ(expected[hit - 1], target->getColour()) << "after hit " << hit;
        EXPECT_EQ(1u, entitiesOf<PellvaneBlockEffect>(*scene).size()) << "every hit spawns a hit effect";
    }
    EXPECT_TRUE(playingSounds().empty());
    EXPECT_EQ(0, scene->getScore());
    EXPECT_EQ(0, scene->getLevelsCompleted());
    EXPECT_EQ(Playing, scene->getState());
}

TEST_F(GameScenarioTest, AClearedLevelBringsTheNextWithALifeAndTheLastWrapsToTheFirst) {
    EventRecorder recorder;
    auto scene =
        loadGame(gameXml("<level>one.xml</level><level>two.xml</level>"),
                 {{"one.xml", levelXml(blockXml(10, 10, 2))}, {"two.xml", levelXml(blockXml(50, 50, 1))}}, &recorder);
    PellvaneBlockEntity* a = block(*scene, 0, 0);
    PellvaneBlockEntity* b = block(*scene, 1, 0);
    auto inScene = [&](IEntity* e) {
        const auto& list = scene->getEntities();
        return std::count(list.begin(), list.end(), e);
    };
    EXPECT_EQ(1, inScene(a));
    EXPECT_EQ(0, inScene(b));
    startPlaying(*scene);
    PellvanePaddleEntity* paddle = first<PellvanePaddleEntity>(*scene);
    PellvaneBallEntity* ball = first<PellvaneBallEntity>(*scene);
    releaseKey(kKeySpace);
    scene->update(kDt);
    paddle->setPosition({10.0f, paddle->getPosition().y});
    recorder.names.clear();

    a->breakBlock();
    EXPECT_EQ(20, scene->getScore());
    scene->update(kDt);
    EXPECT_EQ(1, scene->getLevelsCompleted());
    EXPECT_EQ(1u, scene->getCurrentLevel());
    EXPECT_EQ(4, scene->getLives()) << "three to start with, one for the cleared level";
    EXPECT_EQ(LevelLoaded, scene->getState());
    EXPECT_EQ(std::vector<std::string>{PELLVANE_NEW_LEVEL_LOADED}, recorder.names);
    EXPECT_EQ(0, inScene(a));
    EXPECT_EQ(1, inScene(b));
    EXPECT_FLOAT_EQ(70.0f, paddle->getPosition().x) << "the paddle went back to where it was loaded";
    EXPECT_TRUE(paddle->isHoldingBall());
    EXPECT_TRUE(ball->isHeld());
    EXPECT_TRUE(scene->isInputEnabled()) << "input stays on from the second level on";

    scene->update(kDt);
    EXPECT_EQ(Playing, scene->getState());
    EXPECT_EQ(1, recorder.count(PELLVANE_NEW_LEVEL_STARTED));

    b->breakBlock();
    scene->update(kDt);
    EXPECT_EQ(0u, scene->getCurrentLevel()) << "the last level wraps to the first";
    EXPECT_EQ(2, scene->getLevelsCompleted());
    EXPECT_EQ(5, scene->getLives());
    EXPECT_EQ(30, scene->getScore());
    EXPECT_EQ(1, inScene(a));
    EXPECT_EQ(0, inScene(b));
    EXPECT_TRUE(a->isActive() && a->isVisible());
    EXPECT_EQ(2, a->getHealth());
    EXPECT_EQ(2, recorder.count(PELLVANE_NEW_LEVEL_LOADED));
}

TEST_F(GameScenarioTest, ASingleLevelIsOnlyResetWhenCleared) {
    EventRecorder recorder;
    auto scene = loadGame(gameXml("<level>one.xml</level>"),
                          {{"one.xml", levelXml(blockXml(10, 10, 1) + blockXml(40, 10, 3))}}, &recorder);
    startPlaying(*scene);
    PellvaneBlockEntity* a = block(*scene, 0, 0);
    PellvaneBlockEntity* b = block(*scene, 0, 1);
    const std::size_t entityCount = scene->getEntities().size();
    a->breakBlock();
    scene->update(kDt);
    EXPECT_EQ(Playing, scene->getState()) << "one block is still standing";
    b->breakBlock();
    scene->update(kDt);
    EXPECT_EQ(1, scene->getLevelsCompleted());
    EXPECT_EQ(0u, scene->getCurrentLevel());
    EXPECT_EQ(2, recorder.count(PELLVANE_NEW_LEVEL_LOADED)) << "one from newGame, one from the clear";
    EXPECT_TRUE(a->isActive() && a->isVisible());
    EXPECT_TRUE(b->isActive() && b->isVisible());
    EXPECT_EQ(3, b->getHealth());
    EXPECT_EQ(kRed, b->getColour());
    // The broken blocks came back in place, not a second time: only the two break effects are new.
    EXPECT_EQ(entityCount + 2, scene->getEntities().size());
}

TEST_F(GameScenarioTest, ALevelStartsAfterItsDelayStrictly) {
    EventRecorder recorder;
    auto scene = loadGame(gameXml("<level>one.xml</level>"), {{"one.xml", levelXml(blockXml(10, 10, 1))}}, &recorder);
    scene->newGame();
    scene->update(0.0f);
    EXPECT_EQ(LevelLoaded, scene->getState()) << "a frame of no time does not start it";
    EXPECT_FALSE(scene->isInputEnabled());
    scene->update(kDt);
    EXPECT_EQ(Playing, scene->getState());
    EXPECT_TRUE(scene->isInputEnabled());
    EXPECT_EQ(1, recorder.count(PELLVANE_NEW_LEVEL_STARTED));

    auto delayed = loadGame(gameXml("<level>one.xml</level>", ""));
    EXPECT_FLOAT_EQ(0.1f, delayed->getSettings().match.loadedDelay);
    delayed->newGame();
    delayed->update(0.1f);
    EXPECT_EQ(LevelLoaded, delayed->getState()) << "exactly the delay is not yet past it";
    delayed->update(0.001f);
    EXPECT_EQ(Playing, delayed->getState());
}

TEST_F(GameScenarioTest, LosingTheLastBallEndsTheGameOnceAndLivesStayAtMinusOne) {
    EventRecorder recorder;
    auto scene = loadGame(gameXml("<level>one.xml</level>", "lives=\"1\" loaded_delay=\"0\""),
                          {{"one.xml", levelXml(blockXml(0, 0, 1))}}, &recorder);
    startPlaying(*scene);
    PellvaneBallEntity* ball = first<PellvaneBallEntity>(*scene);
    PellvanePaddleEntity* paddle = first<PellvanePaddleEntity>(*scene);
    // Free the ball and send it down beside the paddle.
    auto dropBall = [&] {
        releaseKey(kKeySpace);
        ASSERT_FALSE(ball->isHeld());
        ball->setPosition(Vector2{10.0f, 250.0f});
        ball->setVelocity(Vector2{0.0f, 300.0f});
    };
    dropBall();
    runUntil(*scene, [&] { return recorder.count(PELLVANE_BALL_LOST) > 0; });
    EXPECT_EQ(1, recorder.count(PELLVANE_BALL_LOST));
    EXPECT_EQ(0, scene->getLives());
    EXPECT_TRUE(ball->isHeld()) << "the paddle took the ball back inside the loss";
    EXPECT_GT(ball->getPosition().y, 300.0f) << "in the frame of the loss the ball stays below the area";
    scene->update(kDt);
    EXPECT_FLOAT_EQ(paddle->getPosition().x + 25.0f, ball->getPosition().x) << "from the next frame it rides the paddle";
    EXPECT_FLOAT_EQ(267.0f, ball->getPosition().y);

    dropBall();
    runUntil(*scene, [&] { return recorder.count(PELLVANE_GAME_OVER) > 0; });
    ASSERT_EQ(1, recorder.count(PELLVANE_GAME_OVER));
    for (int i = 0; i < 120; ++i)
        scene->update(kDt);
    EXPECT_EQ(1, recorder.count(PELLVANE_GAME_OVER)) << "the falling ball is not reported again";
    EXPECT_EQ(1, recorder.count(PELLVANE_BALL_LOST));
    EXPECT_EQ(-1, scene->getLives());
    EXPECT_EQ(GameOver, scene->getState());
    EXPECT_FALSE(scene->isInputEnabled());
    EXPECT_FALSE(ball->isHeld());

    // A new game brings everything back.
    scene->newGame();
    EXPECT_EQ(1, scene->getLives());
    EXPECT_EQ(LevelLoaded, scene->getState());
    EXPECT_TRUE(ball->isHeld());
}

TEST_F(GameScenarioTest, ALaunchInTheFrameOfALossLeavesFromThePaddle) {
    EventRecorder recorder;
    auto scene = loadGame(gameXml("<level>one.xml</level>"), {{"one.xml", levelXml(blockXml(0, 0, 1))}}, &recorder);
    startPlaying(*scene);
    PellvaneBallEntity* ball = first<PellvaneBallEntity>(*scene);
    releaseKey(kKeySpace);
    ball->setPosition(Vector2{10.0f, 250.0f});
    ball->setVelocity(Vector2{0.0f, 300.0f});
    runUntil(*scene, [&] { return recorder.count(PELLVANE_BALL_LOST) > 0; });
    ASSERT_TRUE(ball->isHeld());
    ASSERT_GT(ball->getPosition().y, 300.0f);
    releaseKey(kKeySpace); // before the next update has put the ball on the paddle
    EXPECT_FLOAT_EQ(95.0f, ball->getPosition().x);
    EXPECT_FLOAT_EQ(267.0f, ball->getPosition().y);
    for (int i = 0; i < 10; ++i)
        scene->update(kDt);
    EXPECT_FLOAT_EQ(267.0f - 40.0f, ball->getPosition().y) << "ten frames up at 240 px/s";
    EXPECT_EQ(1, recorder.count(PELLVANE_BALL_LOST));
}

// A ball that bounced off the paddle and dropped out of the field within the catch window is
// lost: a click then neither catches nor launches it, and the next ball is served as usual.
TEST_F(GameScenarioTest, ALostBallCannotBeCaughtWithinTheCatchWindow) {
    auto scene = loadGame(gameXml("<level>one.xml</level>", "loaded_delay=\"0\" lost_delay=\"0.5\"", "", "", "",
                                  "catch_window=\"0.12\""),
                          {{"one.xml", levelXml(blockXml(0, 0, 1))}});
    startPlaying(*scene);
    PellvaneBallEntity* ball = first<PellvaneBallEntity>(*scene);
    PellvanePaddleEntity* paddle = first<PellvanePaddleEntity>(*scene);
    releaseKey(kKeySpace);
    ball->setPosition({paddle->getPosition().x + 25.0f, 268.0f});
    ball->setVelocity({0.0f, 240.0f});
    runUntil(*scene, [&] { return ball->getVelocity().y < 0.0f; }, 10);
    ASSERT_LT(ball->getVelocity().y, 0.0f) << "bounced off the paddle";
    ball->setPosition({100.0f, 310.0f});
    scene->update(kDt);
    ASSERT_TRUE(ball->isParked());
    releaseKey(kKeySpace);
    EXPECT_FALSE(ball->isHeld());
    EXPECT_TRUE(ball->isParked());
    runUntil(*scene, [&] { return ball->isHeld(); }, 60);
    EXPECT_TRUE(ball->isHeld()) << "served after the delay";
    EXPECT_EQ(2, scene->getLives());
}

TEST_F(GameScenarioTest, NewGameResetsTheCountsAndRaisesItsEventsInOrder) {
    EventRecorder recorder;
    auto scene =
        loadGame(gameXml("<level>one.xml</level><level>two.xml</level>", "lives=\"5\""),
                 {{"one.xml", levelXml(blockXml(10, 10, 1))}, {"two.xml", levelXml(blockXml(10, 10, 1))}}, &recorder);
    EXPECT_EQ(std::vector<std::string>{PELLVANE_INITIATED}, recorder.names);
    EXPECT_EQ(Initiated, scene->getState());
    EXPECT_EQ(5, scene->getLives()) << "before the first game the lives are the initial lives";
    EXPECT_EQ(0, scene->getScore());
    EXPECT_TRUE(first<PellvaneBallEntity>(*scene)->isHeld());

    scene->addScore(70);
    scene->loadLevel(1);
    recorder.names.clear();
    scene->newGame();
    EXPECT_EQ((std::vector<std::string>{PELLVANE_GAME_STARTED, PELLVANE_NEW_LEVEL_LOADED}), recorder.names);
    EXPECT_EQ(0, scene->getScore());
    EXPECT_EQ(5, scene->getLives());
    EXPECT_EQ(0, scene->getLevelsCompleted());
    EXPECT_EQ(0u, scene->getCurrentLevel());
    EXPECT_EQ(LevelLoaded, scene->getState());
    EXPECT_FALSE(scene->isInputEnabled()) << "newGame alone does not enable input";
}

} // namespace
