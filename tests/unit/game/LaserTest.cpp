// The laser on the field: its capsule arms the paddle's guns and their look, a click launches a
// held ball or fires a volley of two shots (never within the cooldown), a shot breaks a block as
// a ball's hit does however long the frame, steel rings and stops it, and the guns end with their
// time and with the last ball.
#include <algorithm>
#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "game/GameTestSupport.h"
#include "game/PellvaneShotEntity.h"
#include "graphics/SpriteManager.h"

namespace {

using namespace gametest;

class LaserTest : public GameFixture {
protected:
    void click() {
        for (const auto& [name, action] :
             {std::pair{&MOUSE_BUTTON_DOWN_EVENT, MouseButtonDown}, std::pair{&MOUSE_BUTTON_UP_EVENT, MouseButtonUp}})
            game->dispatchEvent(new MouseEvent(*name, 100, 200, false, false, action, LeftButton));
    }
};

TEST_F(LaserTest, TheGunsFireVolleysThatHitBlocksAsABallDoesUntilTheyEnd) {
    // A block above the left gun and steel above the right one; the guns sit 1/16 of the paddle's
    // width in from its ends (70 + 3.75 and 130 - 3.75).
    const std::string powerUps = "<power_ups shot_sprite=\"blue\" shot_speed=\"600\" shot_cooldown=\"0.5\">"
                                 "<power_up kind=\"laser\" sprite=\"blue\" duration=\"5\"/>"
                                 "<power_up kind=\"wide\" sprite=\"blue\" duration=\"20\"/></power_ups>"
                                 "<block_sounds unbreakable=\"red.wav\"/>";
    EventRecorder fired;
    auto scene =
        loadGame(gameXml("<level>one.xml</level>", "loaded_delay=\"0\"", "", "", powerUps,
                         "mouse=\"true\" wide_sprite=\"blue\" laser_sprite=\"green\""),
                 {{"one.xml", levelXml(blockXml(64, 100, 1) + blockXml(0, 0, 1) +
                                       "<block sprite=\"green\" x=\"116\" y=\"100\" unbreakable=\"true\"/>")}});
    scene->registerCallback(PELLVANE_LASER_FIRED, &fired);
    scene->newGame();
    scene->update(kDt);
    PellvanePaddleEntity* paddle = first<PellvanePaddleEntity>(*scene);
    PellvaneBallEntity* ball = first<PellvaneBallEntity>(*scene);
    Sprite* guns = game->sceneContext().sprites->getSprite("green");
    const auto shots = [&] { return entitiesOf<PellvaneShotEntity>(*scene).size(); };

    scene->capsuleCaught(PowerUp::Laser);
    EXPECT_TRUE(paddle->hasGuns());
    EXPECT_EQ(guns, paddle->getSpriteProperties().sprite);
    click();
    EXPECT_FALSE(ball->isHeld()) << "a held ball is launched first";
    EXPECT_EQ(0u, shots());
    click();
    click();
    EXPECT_EQ(2u, shots()) << "one volley: the second click came within the cooldown";
    EXPECT_EQ(1, fired.count(PELLVANE_LASER_FIRED));

    // Frames of 150 px of flight: the shots leap over the blocks' 10 px between two frames.
    auto* block = dynamic_cast<PellvaneBlockEntity*>(scene->getLevel(0)[0]);
    auto* steel = dynamic_cast<PellvaneBlockEntity*>(scene->getLevel(0)[2]);
    for (int frame = 0; frame < 3; ++frame)
        scene->update(0.25f);
    EXPECT_FALSE(block->isActive()) << "broken by the left shot";
    EXPECT_EQ(kPointsPerHealth, scene->getScore());
    EXPECT_TRUE(steel->isActive());
    const std::vector<std::string> playing = playingSounds();
    EXPECT_EQ(1, std::count(playing.begin(), playing.end(), "yellow.wav")) << "the block's hit at health 1";
    EXPECT_EQ(1, std::count(playing.begin(), playing.end(), "red.wav")) << "the steel rang";
    EXPECT_EQ(0u, shots()) << "both stopped where they hit";
    click();
    EXPECT_EQ(2u, shots()) << "the cooldown is over";

    // A wide paddle keeps the gun look at its width; the guns end with their time.
    scene->capsuleCaught(PowerUp::Wide);
    EXPECT_EQ(guns, paddle->getSpriteProperties().sprite);
    EXPECT_FLOAT_EQ(78.0f, paddle->getSize().x);
    runUntil(*scene, [&] { return !paddle->hasGuns(); });
    EXPECT_FALSE(scene->getPowerUps().isActive(PowerUp::Laser));
    EXPECT_EQ(game->sceneContext().sprites->getSprite("blue"), paddle->getSpriteProperties().sprite);
    click();
    EXPECT_EQ(0u, shots());
    EXPECT_EQ(2, fired.count(PELLVANE_LASER_FIRED));

    // They end with the last ball too, and the shots in flight with them.
    scene->capsuleCaught(PowerUp::Laser);
    scene->update(kDt);
    click();
    ASSERT_EQ(2u, shots());
    ball->setPosition({100.0f, 400.0f});
    scene->update(kDt);
    EXPECT_FALSE(paddle->hasGuns());
    EXPECT_EQ(game->sceneContext().sprites->getSprite("red"), paddle->getSpriteProperties().sprite);
    EXPECT_EQ(0u, shots());

    // A laser needs its shots' picture.
    try {
        loadGame(gameXml("<level>one.xml</level>", "", "", "",
                         "<power_ups><power_up kind=\"laser\" sprite=\"blue\"/></power_ups>"));
        ADD_FAILURE() << "loaded";
    } catch (const BaseException& e) {
        EXPECT_EQ("Scene Exception: pellvane_game: No shot_sprite for the power-up \"laser\"!", e.message);
    }
}

} // namespace
