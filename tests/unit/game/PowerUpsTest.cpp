// The rules of power-ups, several balls and the new block kinds that can go wrong: only the last
// ball costs a life, an unbreakable block never holds a level open, a bomb breaks its neighbours,
// and every effect ends with its level, even one caught in the frame the last block breaks.
#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "game/GameTestSupport.h"
#include "game/PellvaneCapsuleEntity.h"

namespace {

using namespace gametest;

const std::string kPowerUps = "<power_ups wide_factor=\"1.5\" max_balls=\"5\">"
                              "<power_up kind=\"wide\" sprite=\"blue\" duration=\"5\"/>"
                              "<power_up kind=\"multi\" sprite=\"blue\"/>"
                              "<power_up kind=\"sticky\" sprite=\"blue\" duration=\"5\"/>"
                              "<power_up kind=\"life\" sprite=\"blue\"/></power_ups>";

class PowerUpsTest : public GameFixture {
protected:
    std::unique_ptr<PellvaneGameScene> start(const std::string& blocks) {
        auto scene = loadGame(gameXml("<level>one.xml</level>", "loaded_delay=\"0\"", "", "", kPowerUps),
                              {{"one.xml", levelXml(blocks)}});
        scene->newGame();
        scene->update(kDt);
        EXPECT_EQ(Playing, scene->getState());
        return scene;
    }
    static void drop(PellvaneBallEntity& ball) { ball.setPosition({100.0f, 400.0f}); }
};

TEST_F(PowerUpsTest, OnlyTheLastBallInPlayCostsALife) {
    auto scene = start(blockXml(0, 0, 4) + blockXml(180, 0, 4));
    releaseKey(kKeySpace);
    scene->update(kDt);
    scene->capsuleCaught(PowerUp::Multi);
    std::vector<PellvaneBallEntity*> balls = scene->getBalls();
    ASSERT_EQ(3u, balls.size());
    EXPECT_EQ(3, scene->getBallsInPlay());
    const int lives = scene->getLives();

    drop(*balls[1]); // an extra ball
    scene->update(kDt);
    EXPECT_EQ(lives, scene->getLives());
    drop(*balls[0]); // the paddle's own, while one more flies: it carries on as that one did
    scene->update(kDt);
    EXPECT_EQ(lives, scene->getLives());
    EXPECT_EQ(1u, scene->getBalls().size());
    EXPECT_EQ(balls[0], scene->getBalls()[0]);
    EXPECT_LT(balls[0]->getPosition().y, 300.0f) << "in the field, where the other ball was";

    drop(*balls[0]); // the last one
    scene->update(kDt);
    EXPECT_EQ(lives - 1, scene->getLives());

    // No more balls than "max_balls", however many capsules are caught.
    releaseKey(kKeySpace);
    scene->update(kDt);
    for (int i = 0; i < 4; ++i)
        scene->capsuleCaught(PowerUp::Multi);
    EXPECT_EQ(5u, scene->getBalls().size());
}

TEST_F(PowerUpsTest, MetalStandsWithoutHoldingTheLevelAndABombBreaksItsNeighbours) {
    auto scene = start("<block sprite=\"green\" x=\"0\" y=\"0\" unbreakable=\"true\"/>" +
                       std::string("<block sprite=\"green\" x=\"30\" y=\"0\" explosive=\"true\"/>") +
                       blockXml(52, 0, 3) + blockXml(30, 12, 2) + blockXml(120, 0, 1));
    auto* metal = dynamic_cast<PellvaneBlockEntity*>(scene->getLevel(0)[0]);
    auto* bomb = dynamic_cast<PellvaneBlockEntity*>(scene->getLevel(0)[1]);
    bomb->breakBlock();
    EXPECT_TRUE(metal->isActive()) << "the blast leaves metal standing";
    for (std::size_t i : {2u, 3u})
        EXPECT_FALSE(scene->getLevel(0)[i]->isActive()) << "neighbour " << i;
    EXPECT_TRUE(scene->getLevel(0)[4]->isActive()) << "out of reach";
    EXPECT_EQ(10 + 30 + 20, scene->getScore());

    // The last breakable block goes: the level is cleared with the metal still there, and a
    // capsule caught in that very frame counts, but its effect ends with the level.
    const int lives = scene->getLives();
    PellvanePaddleEntity* paddle = first<PellvanePaddleEntity>(*scene);
    const float width = paddle->getSize().x;
    SpriteProperties look = metal->getSpriteProperties();
    look.position = paddle->getPosition();
    scene->addEntity(std::make_unique<PellvaneCapsuleEntity>(look, PowerUp::Wide, 10.0f));
    scene->addEntity(std::make_unique<PellvaneCapsuleEntity>(look, PowerUp::Life, 10.0f));
    scene->capsuleCaught(PowerUp::Sticky);
    EXPECT_TRUE(paddle->isSticky());
    dynamic_cast<PellvaneBlockEntity*>(scene->getLevel(0)[4])->breakBlock();
    scene->update(kDt);
    EXPECT_EQ(1, scene->getCaughtCount(PowerUp::Wide));
    EXPECT_EQ(lives + 2, scene->getLives()) << "the life capsule and the cleared level";
    EXPECT_EQ(1, scene->getLevelsCompleted());
    EXPECT_FALSE(scene->getPowerUps().isActive(PowerUp::Wide));
    EXPECT_FLOAT_EQ(width, paddle->getSize().x);
    EXPECT_FALSE(paddle->isSticky());
}

// Balls a sticky paddle holds stay on it when it narrows: a wide paddle running out must not leave
// them hanging past its ends (outside the field at the area's edge).
TEST_F(PowerUpsTest, BallsHeldByAStickyPaddleStayOnItWhenItNarrows) {
    auto scene = start(blockXml(0, 0, 4));
    PellvanePaddleEntity* paddle = first<PellvanePaddleEntity>(*scene);
    scene->capsuleCaught(PowerUp::Wide);
    scene->capsuleCaught(PowerUp::Sticky);
    scene->capsuleCaught(PowerUp::Multi);
    std::vector<PellvaneBallEntity*> balls = scene->getBalls();
    ASSERT_EQ(3u, balls.size());
    // Each extra lands on the wide paddle's right end and sticks there.
    for (std::size_t i = 1; i < balls.size(); ++i) {
        balls[i]->setPosition({paddle->getPosition().x + paddle->getSize().x - 7.0f, 268.0f});
        balls[i]->setVelocity({0.0f, 240.0f});
    }
    for (int frame = 0; frame < 10 && paddle->getHeldExtraCount() < 2; ++frame)
        scene->update(kDt);
    ASSERT_EQ(2u, paddle->getHeldExtraCount());
    for (int frame = 0; frame < 60 * 6; ++frame) // the wide paddle runs out after 5 s
        scene->update(kDt);
    ASSERT_FLOAT_EQ(60.0f, paddle->getSize().x);
    for (PellvaneBallEntity* ball : scene->getBalls()) {
        EXPECT_GE(ball->getCentre().x, paddle->getPosition().x);
        EXPECT_LE(ball->getCentre().x, paddle->getPosition().x + paddle->getSize().x);
    }
}

TEST_F(PowerUpsTest, AWidePaddleKeepsItsCentreAndASecondCapsuleRestartsTheTime) {
    auto scene = start(blockXml(0, 0, 4));
    PellvanePaddleEntity* paddle = first<PellvanePaddleEntity>(*scene);
    const float centre = paddle->getCentre().x;
    scene->capsuleCaught(PowerUp::Wide);
    EXPECT_FLOAT_EQ(90.0f, paddle->getSize().x);
    EXPECT_FLOAT_EQ(centre, paddle->getCentre().x);
    for (int i = 0; i < 180; ++i)
        scene->update(kDt);
    scene->capsuleCaught(PowerUp::Wide);
    EXPECT_NEAR(5.0f, scene->getPowerUps().getRemaining(PowerUp::Wide), 1e-4f) << "extended, never stacked";
    for (int i = 0; i < 310; ++i)
        scene->update(kDt);
    EXPECT_FLOAT_EQ(60.0f, paddle->getSize().x);
}

TEST_F(PowerUpsTest, AfterTheLastLevelAllIsClearedThenTheFirstComesBackFasterAndTheCountGoesOn) {
    auto scene = loadGame(gameXml("<level>one.xml</level><level>two.xml</level>",
                                  "loaded_delay=\"0\" all_cleared_delay=\"1\" lap_speed_up=\"0.5\""),
                          {{"one.xml", "<level ball_speed=\"1.2\">" + blockXml(0, 0, 1) + "</level>"},
                           {"two.xml", levelXml(blockXml(0, 0, 1))}});
    scene->newGameAt(1);
    scene->update(kDt);
    PellvaneBallEntity* ball = first<PellvaneBallEntity>(*scene);
    releaseKey(kKeySpace);
    scene->update(kDt);
    ASSERT_FALSE(ball->isHeld());
    const int lives = scene->getLives();
    dynamic_cast<PellvaneBlockEntity*>(scene->getLevel(1)[0])->breakBlock();
    scene->update(kDt);
    EXPECT_EQ(AllCleared, scene->getState());
    EXPECT_TRUE(ball->isHeld()) << "the ball rests while the lap's end is shown";
    for (int i = 0; i < 50; ++i)
        scene->update(kDt);
    EXPECT_EQ(AllCleared, scene->getState());
    EXPECT_EQ(lives + 1, scene->getLives());
    for (int i = 0; i < 20; ++i)
        scene->update(kDt);
    EXPECT_EQ(0u, scene->getCurrentLevel());
    EXPECT_EQ(1, scene->getLap());
    EXPECT_EQ(2, scene->getLevelsCompleted()) << "the level counter shows 3";
    EXPECT_FLOAT_EQ(1.2f * 1.5f, ball->getSpeedScale());
}

} // namespace

// Settings that would freeze the ball, lose the paddle or flood the field are refused at load with
// the setting's name and range; the edges of each range load.
TEST_F(PowerUpsTest, SettingsOutOfTheirRangeAreRefusedWithTheRange) {
    const std::pair<std::string, std::string> levelCases[] = {
        {"ball_speed=\"0\"", "ball_speed 0 is out of range: it must be from 0.05 to 10!"},
        {"paddle_width=\"nan\"", "paddle_width nan is out of range: it must be from 0.05 to 10!"},
        {"capsule_chance=\"1.5\"", "capsule_chance 1.5 is out of range: it must be from 0 to 1!"},
    };
    for (const auto& [attribute, message] : levelCases) {
        try {
            loadGame(gameXml("<level>bad.xml</level>"), {{"bad.xml", "<level " + attribute + ">" + blockXml(0, 0, 1) +
                                                                        "</level>"}});
            ADD_FAILURE() << attribute << " loaded";
        } catch (const BaseException& e) {
            EXPECT_EQ("Scene Exception: pellvane_game: Level file bad.xml: " + message, e.message) << attribute;
        }
    }
    // The scene's attributes, its children and its entities: (scene attributes, scene child,
    // ball attributes, level blocks) and the message.
    const std::string scene = "Scene Exception: pellvane_game: ";
    const std::string ball = "Entity Exception: PellvaneBallEntity: ";
    struct Case {
        std::string attributes, child, ballAttributes, blocks, message;
    };
    const Case sceneCases[] = {
        {"", "<power_ups wide_factor=\"-1\"/>", "", "", scene + "wide_factor -1 is out of range: it must be from 0.05 to 10!"},
        {"", "<power_ups max_balls=\"0\"/>", "", "", scene + "max_balls 0 is out of range: it must be from 1 to 64!"},
        {"", "<power_ups><power_up kind=\"wide\" sprite=\"blue\" duration=\"1e9\"/></power_ups>", "", "",
         scene + "duration 1e+09 is out of range: it must be from 0 to 3600!"},
        {"", "<debris lifetime=\"0\"/>", "", "", scene + "lifetime 0 is out of range: it must be from 0.01 to 10!"},
        {"", "<debris count=\"200000\"/>", "", "", scene + "count 200000 is out of range: it must be from 0 to 64!"},
        {"lives=\"2147483647\"", "", "", "", scene + "lives 2147483647 is out of range: it must be from 0 to 999!"},
        {"loaded_delay=\"nan\"", "", "", "", scene + "loaded_delay nan is out of range: it must be from 0 to 60!"},
        {"", "", "max_speed=\"0\"", "", ball + "max_speed 0 is out of range: it must be from 1 to 100000!"},
        {"", "", "min_speed=\"600\"", "", ball + "min_speed 600 is above max_speed 500!"},
        {"", "", "", "<block sprite=\"green\" health=\"300000000\"/>",
         "Entity Exception: PellvaneBlockEntity: health 300000000 is out of range: it must be from -999 to 999!"},
    };
    for (const Case& c : sceneCases) {
        try {
            loadGame(gameXml("<level>one.xml</level>", c.attributes, c.ballAttributes, "", c.child),
                     {{"one.xml", levelXml(blockXml(0, 0, 1) + c.blocks)}});
            ADD_FAILURE() << c.message << ": loaded";
        } catch (const BaseException& e) {
            EXPECT_EQ(c.message, e.message);
        }
    }
    auto edges = loadGame(gameXml("<level>one.xml</level>", "loaded_delay=\"0\"", "", "",
                                  "<power_ups chance=\"1\" max_balls=\"64\" slow_factor=\"0.05\"/>"),
                          {{"one.xml", "<level ball_speed=\"10\" capsule_chance=\"0\">" + blockXml(0, 0, 1) +
                                           "</level>"}});
    EXPECT_EQ(64, edges->getMatch().getPowerUpSettings().maxBalls);
    EXPECT_FLOAT_EQ(0.05f, edges->getMatch().getPowerUpSettings().factorOf(PowerUp::Slow));

    // A paddle ten times as wide as its level allows stays within the area, and still.
    auto wide = loadGame(gameXml("<level>one.xml</level>"),
                         {{"one.xml", "<level paddle_width=\"10\">" + blockXml(0, 0, 1) + "</level>"}});
    wide->newGame();
    PellvanePaddleEntity* paddle = first<PellvanePaddleEntity>(*wide);
    for (int frame = 0; frame < 3; ++frame) {
        pressKey(kKeyRight);
        wide->update(kDt);
        EXPECT_FLOAT_EQ(200.0f, paddle->getSize().x);
        EXPECT_FLOAT_EQ(0.0f, paddle->getPosition().x);
    }
    // The score holds at the largest int instead of wrapping round.
    wide->addScore(2147483000);
    wide->addScore(kPointsPerHealth * 999);
    EXPECT_EQ(2147483647, wide->getScore());
}

namespace {

// A game started in the middle of another, or a lap of one level, starts as clean as the first:
// no lap speed, no effect, capsule or extra ball carried over, and nothing launched before the
// level starts.
TEST_F(PowerUpsTest, ANewGameOrLapOnTheSameLevelStartsCleanAndNothingLaunchesBeforeTheLevelStarts) {
    auto scene = loadGame(gameXml("<level>one.xml</level>", "loaded_delay=\"0.5\" lap_speed_up=\"0.5\"", "", "",
                                  kPowerUps),
                          {{"one.xml", levelXml(blockXml(0, 0, 1) + blockXml(100, 0, 1))}});
    PellvaneBallEntity* ball = first<PellvaneBallEntity>(*scene);
    PellvanePaddleEntity* paddle = first<PellvanePaddleEntity>(*scene);
    const auto play = [&] {
        runUntil(*scene, [&] { return scene->getState() == Playing; });
        releaseKey(kKeySpace);
        scene->update(kDt);
    };
    scene->newGame();
    play();
    for (IEntity* block : scene->getLevel(0))
        dynamic_cast<PellvaneBlockEntity*>(block)->breakBlock();
    scene->update(kDt);
    EXPECT_EQ(1, scene->getLap()) << "the one level is a lap";
    EXPECT_FLOAT_EQ(1.5f, ball->getSpeedScale()) << "a one-level game speeds up too";

    play();
    scene->capsuleCaught(PowerUp::Wide);
    scene->capsuleCaught(PowerUp::Multi);
    SpriteProperties look = paddle->getSpriteProperties();
    look.position = {0.0f, 0.0f};
    scene->addEntity(std::make_unique<PellvaneCapsuleEntity>(look, PowerUp::Life, 10.0f));
    ASSERT_EQ(3u, scene->getBalls().size());
    scene->newGame();
    scene->update(kDt);
    EXPECT_FLOAT_EQ(1.0f, ball->getSpeedScale()) << "no lap speed carried into a new game";
    EXPECT_FALSE(scene->getPowerUps().isActive(PowerUp::Wide));
    EXPECT_FLOAT_EQ(60.0f, paddle->getSize().x);
    EXPECT_EQ(1u, scene->getBalls().size());
    EXPECT_TRUE(entitiesOf<PellvaneCapsuleEntity>(*scene).empty());
    EXPECT_FALSE(scene->isInputEnabled());
    releaseKey(kKeySpace);
    EXPECT_TRUE(ball->isHeld()) << "no launch during the loading delay";
}

// A capsule is caught wherever its fall crosses the paddle within a frame, however long the frame.
TEST_F(PowerUpsTest, ACapsuleFallingThroughThePaddleInOneFrameIsCaught) {
    auto scene = start(blockXml(0, 0, 4));
    PellvanePaddleEntity* paddle = first<PellvanePaddleEntity>(*scene);
    SpriteProperties look = paddle->getSpriteProperties();
    look.width = look.height = 10.0f;
    look.position = {paddle->getCentre().x, paddle->getPosition().y - 20.0f};
    scene->addEntity(std::make_unique<PellvaneCapsuleEntity>(look, PowerUp::Life, 150.0f));
    const int lives = scene->getLives();
    scene->update(0.3f); // 45 px: from above the paddle to below the game area in one step
    EXPECT_EQ(lives + 1, scene->getLives());
    EXPECT_EQ(1, scene->getCaughtCount(PowerUp::Life));
}

// Each game draws its capsules afresh; a fixed seed gives every game the same ones.
TEST_F(PowerUpsTest, EachGameDrawsItsOwnCapsulesUnlessTheSeedIsFixed) {
    std::string blocks;
    for (int i = 0; i < 12; ++i)
        blocks += blockXml(i * 15, 0, 1);
    const auto drawsOfTwoGames = [&] {
        auto scene = loadGame(gameXml("<level>one.xml</level>", "loaded_delay=\"0\"", "", "", kPowerUps),
                              {{"one.xml", "<level capsule_chance=\"1\">" + blocks + "</level>"}});
        std::vector<std::vector<PowerUp>> games;
        for (int game = 0; game < 2; ++game) {
            scene->newGame();
            scene->update(kDt);
            for (IEntity* block : scene->getLevel(0))
                dynamic_cast<PellvaneBlockEntity*>(block)->breakBlock();
            games.emplace_back();
            for (PellvaneCapsuleEntity* capsule : entitiesOf<PellvaneCapsuleEntity>(*scene))
                games.back().push_back(capsule->getKind());
            EXPECT_EQ(12u, games.back().size());
        }
        return games;
    };
    game->setCapsuleSeed(std::nullopt);
    const std::vector<std::vector<PowerUp>> fresh = drawsOfTwoGames();
    EXPECT_NE(fresh[0], fresh[1]) << "one chance in 16 million of a false alarm";
    game->setCapsuleSeed(7);
    const std::vector<std::vector<PowerUp>> fixed = drawsOfTwoGames();
    EXPECT_EQ(fixed[0], fixed[1]);
}

} // namespace

// The quiet events of several balls and capsules: an extra ball leaving, a capsule falling past
// the paddle, and each timed effect running out by itself (never when all end with the level).
namespace {
class EventCounter final : public IEventCallback {
public:
    bool handleEvent(IEvent* event) override {
        ++heard[event->getName()];
        return false;
    }
    std::map<std::string, int> heard;
};
} // namespace

TEST_F(PowerUpsTest, AnExtraBallLostACapsuleMissedAndAnEffectRunOutAreEachRaisedOnce) {
    EventCounter counter;
    std::map<std::string, int>& heard = counter.heard;
    auto scene = start(blockXml(0, 0, 4) + blockXml(180, 0, 4));
    for (const std::string* name :
         {&PELLVANE_EXTRA_BALL_LOST, &PELLVANE_CAPSULE_MISSED, &PELLVANE_POWER_UP_ENDED, &PELLVANE_BALL_LOST})
        scene->registerCallback(*name, &counter);
    releaseKey(kKeySpace);
    scene->update(kDt);
    scene->capsuleCaught(PowerUp::Multi);
    std::vector<PellvaneBallEntity*> balls = scene->getBalls();
    ASSERT_EQ(3u, balls.size());
    drop(*balls[1]);
    scene->update(kDt);
    drop(*balls[0]); // the paddle's own: to the player, one of several is gone all the same
    scene->update(kDt);
    EXPECT_EQ(2, heard[PELLVANE_EXTRA_BALL_LOST]);
    EXPECT_EQ(0, heard[PELLVANE_BALL_LOST]);

    SpriteProperties look = first<PellvanePaddleEntity>(*scene)->getSpriteProperties();
    look.width = look.height = 10.0f;
    look.position = {5.0f, 250.0f}; // far from the paddle
    scene->addEntity(std::make_unique<PellvaneCapsuleEntity>(look, PowerUp::Wide, 150.0f));
    scene->capsuleCaught(PowerUp::Wide);
    scene->capsuleCaught(PowerUp::Sticky);
    for (int i = 0; i < 60; ++i)
        scene->update(kDt);
    EXPECT_EQ(1, heard[PELLVANE_CAPSULE_MISSED]);
    EXPECT_EQ(0, heard[PELLVANE_POWER_UP_ENDED]);
    for (int i = 0; i < 260; ++i)
        scene->update(kDt);
    EXPECT_EQ(2, heard[PELLVANE_POWER_UP_ENDED]) << "wide and sticky, each once";
    scene->capsuleCaught(PowerUp::Wide);
    drop(*scene->getBalls()[0]);
    scene->update(kDt);
    EXPECT_EQ(1, heard[PELLVANE_BALL_LOST]);
    for (int i = 0; i < 320; ++i)
        scene->update(kDt);
    EXPECT_EQ(2, heard[PELLVANE_POWER_UP_ENDED]) << "ended with the last ball, not run out";
}

// Each level plays the track its list element names, or the one before it, and the start-up
// track before the first that names one; a track the sound set lacks is refused where it is named.
TEST_F(PowerUpsTest, EachLevelPlaysTheTrackNamedOnItOrBeforeIt) {
    testsupport::copyFile(std::string(PELLVANE_DATA) + "/sounds/music.ogg", "music.ogg");
    testsupport::copyFile("music.ogg", "fast.ogg");
    testsupport::writeFile("sounds.xml", "<sounds><sfx>red.wav</sfx><sfx>orange.wav</sfx><sfx>yellow.wav</sfx>"
                                         "<music>music.ogg</music><music>fast.ogg</music></sounds>");
    game->setSoundManager(std::make_unique<SoundManager>("sounds.xml"));
    const std::map<std::string, std::string> files = {{"one.xml", levelXml(blockXml(0, 0, 1))},
                                                      {"two.xml", levelXml(blockXml(0, 0, 1))}};
    auto named = loadGame(gameXml("<level>one.xml</level><level music='fast.ogg'>two.xml</level>"
                                  "<level>one.xml</level><level music='music.ogg'>two.xml</level>"),
                          files);
    EXPECT_EQ((std::vector<std::string>{"music.ogg", "fast.ogg", "fast.ogg", "music.ogg"}),
              (std::vector<std::string>{named->getLevelMusic(0), named->getLevelMusic(1), named->getLevelMusic(2),
                                        named->getLevelMusic(3)}));
    game->getSoundManager()->playMusic("music.ogg");
    named->newGame();
    named->loadLevel(1);
    EXPECT_EQ("fast.ogg", game->getSoundManager()->getMusic());
    named->loadLevel(2);
    EXPECT_EQ("fast.ogg", game->getSoundManager()->getMusic());
    named->loadLevel(3);
    EXPECT_EQ("music.ogg", game->getSoundManager()->getMusic());

    auto unnamed = loadGame(gameXml("<level>one.xml</level><level>two.xml</level>"), files);
    unnamed->loadLevel(1);
    EXPECT_EQ("", unnamed->getLevelMusic(1)) << "no level names a track: the music is left alone";
    EXPECT_EQ("music.ogg", game->getSoundManager()->getMusic());

    try {
        loadGame(gameXml("<level music='slow.ogg'>one.xml</level>"), files);
        ADD_FAILURE() << "a track the sound set lacks loads";
    } catch (const SoundException& error) {
        EXPECT_EQ("Sound Exception: slow.ogg: No music with that ID to play!", error.message);
    }
}
