// What the player sees of the ball's flight: with "chain_colours" the ball's colour says what its
// chain pays and a rise leaves a ring (the "ring_sprite", drawn no larger than its own size);
// bounces off the paddle and the walls carry the point they happened at, and "hit_flash" shows a
// bounded number of flashes there; the balls a sticky paddle holds ride side by side.
#include <gtest/gtest.h>

#include "game/GameTestSupport.h"
#include "game/PellvaneHitFlashEntity.h"

namespace {

using namespace gametest;

// The ball leaves the paddle's centre (100) straight up; a block at x 90 stands in its way.
const std::string kBlockAbove = blockXml(90, 100, 1) + blockXml(90, 60, 1);

// Keeps the place the last event of its name carried.
class PlaceRecorder final : public IEventCallback {
public:
    bool handleEvent(IEvent* event) override {
        const auto* game = dynamic_cast<const PellvaneEvent*>(event);
        where = game != nullptr ? game->where : std::nullopt;
        ++heard;
        return false;
    }
    std::optional<Vector2> where;
    int heard = 0;
};

class LooksTest : public GameFixture {
protected:
    void TearDown() override {
        scene.reset();
        GameFixture::TearDown();
    }
    void start(const std::string& sceneAttributes, const std::string& ballAttributes, const std::string& entities,
               const std::string& blocks, const std::string& children = "") {
        scene = loadGame(gameXml("<level>one.xml</level>", "loaded_delay=\"0\" " + sceneAttributes, ballAttributes,
                                 entities, children),
                         {{"one.xml", levelXml(blocks)}});
        scene->newGame();
        scene->update(kDt);
        ASSERT_EQ(Playing, scene->getState());
        ball = first<PellvaneBallEntity>(*scene);
        paddle = first<PellvanePaddleEntity>(*scene);
    }
    // The effects drawn with `spriteId`.
    std::vector<PellvaneBlockEffect*> effectsOf(const std::string& spriteId) const {
        std::vector<PellvaneBlockEffect*> found;
        Sprite* wanted = game->getSpriteManager()->getSprite(spriteId);
        for (PellvaneBlockEffect* effect : entitiesOf<PellvaneBlockEffect>(*scene))
            if (effect->getSpriteProperties().sprite == wanted)
                found.push_back(effect);
        return found;
    }

    std::unique_ptr<PellvaneGameScene> scene;
    PellvaneBallEntity* ball = nullptr;
    PellvanePaddleEntity* paddle = nullptr;
};

TEST_F(LooksTest, WithChainColoursTheBallShowsWhatItsChainPaysAndARiseLeavesItsRing) {
    start("chain_step=\"1\" chain_most=\"3\"", "chain_colours=\"true\" ring_sprite=\"halves\"", "", kBlockAbove);
    const Colour white{1, 1, 1, 1}, red{1, 0, 0, 1};
    EXPECT_EQ(white, ball->getColour());
    releaseKey(kKeySpace);
    runUntil(*scene, [&] { return scene->getMatch().getMultiplier() == 2; });
    ASSERT_EQ(2, scene->getMatch().getMultiplier());
    scene->update(kDt); // the ball's second pass after the hit
    EXPECT_EQ(red, ball->getColour()) << "the second colour at x2";
    const std::vector<PellvaneBlockEffect*> rings = effectsOf("halves");
    ASSERT_EQ(1u, rings.size()) << "one ring for the rise";
    // The 20 x 10 ring starts at the 10 x 10 ball's size and ends five times that: its own size
    // times 2.5 across, 5 down; it grows about its centre, in the new colour.
    EXPECT_FLOAT_EQ(0.5f, rings[0]->startScale.x);
    EXPECT_FLOAT_EQ(1.0f, rings[0]->startScale.y);
    EXPECT_FLOAT_EQ(2.5f, rings[0]->endScale.x);
    EXPECT_FLOAT_EQ(5.0f, rings[0]->endScale.y);
    EXPECT_FLOAT_EQ(1.0f, rings[0]->getColour().red);
    EXPECT_FLOAT_EQ(0.0f, rings[0]->getColour().green) << "in the new colour";
    EXPECT_NEAR(100.0f, rings[0]->startPosition.x + 5.0f, 0.01f) << "centred on the ball";

    // The second block: x3 shows the last colour again, without a ring of the same colour... the
    // list has two, so the colour stays; back on the paddle the chain ends: white, and no ring.
    runUntil(*scene, [&] { return ball->getVelocity().y < 0.0f && ball->getCentre().y > 250.0f; });
    scene->update(kDt);
    EXPECT_EQ(white, ball->getColour()) << "the paddle ended the chain";
    EXPECT_EQ(0, scene->getMatch().getChain());
    EXPECT_LE(effectsOf("halves").size(), 1u) << "a fall leaves no ring";

    // Without "chain_colours" a hit on a block of health 2 turns the colour as before, whatever
    // the chain; the ring sprite still replaces the copy of the ball.
    start("chain_step=\"1\" chain_most=\"3\"", "ring_sprite=\"halves\"", "", blockXml(90, 100, 2));
    releaseKey(kKeySpace);
    runUntil(
        *scene, [&] { return !(ball->getColour() == white); }, 120);
    EXPECT_EQ(red, ball->getColour());
    ASSERT_EQ(1u, effectsOf("halves").size());
    EXPECT_FLOAT_EQ(1.0f, effectsOf("halves")[0]->getColour().green) << "the ring shows the colour from before";
}

TEST_F(LooksTest, BouncesCarryTheirPlaceAndHitFlashesShowThereInABoundedPool) {
    start("", "",
          "<box sprite=\"green\" x=\"200\" y=\"0\" width=\"10\" height=\"300\"/>"
          "<hit_flash sprite=\"red\" event=\"PELLVANE_WALL_BOUNCE\" lifetime=\"0.1\" most=\"2\"/>",
          blockXml(0, 0, 4));
    PlaceRecorder wall, bounce;
    scene->registerCallback(PELLVANE_WALL_BOUNCE, &wall);
    scene->registerCallback(PELLVANE_PADDLE_BOUNCE, &bounce);
    auto* flashes = first<PellvaneHitFlashEntity>(*scene);
    ASSERT_NE(nullptr, flashes);
    EXPECT_EQ(PELLVANE_WALL_BOUNCE, flashes->getEvent());

    // Up and to the right from (100, 272) to the wall at x 200: the place is on the wall.
    releaseKey(kKeySpace);
    scene->update(kDt);
    ball->setVelocity({240.0f, -240.0f});
    runUntil(
        *scene, [&] { return wall.heard > 0; }, 120);
    ASSERT_TRUE(wall.where.has_value());
    EXPECT_NEAR(200.0f, wall.where->x, 0.5f) << "on the wall, not at the ball's centre";
    EXPECT_GT(wall.where->y, 100.0f);
    EXPECT_LT(wall.where->y, 272.0f);
    EXPECT_EQ(1, flashes->getShowing());
    runUntil(
        *scene, [&] { return flashes->getShowing() == 0; }, 12);
    EXPECT_EQ(0, flashes->getShowing()) << "out after its lifetime";

    // Many at once: no more than "most"; an event that carries no place shows nothing.
    for (int i = 0; i < 5; ++i)
        flashes->flashAt({10.0f * static_cast<float>(i), 50.0f});
    EXPECT_EQ(2, flashes->getShowing());
    scene->update(0.2f);
    scene->raise(PELLVANE_WALL_BOUNCE);
    EXPECT_EQ(0, flashes->getShowing());

    // Off the paddle: the place is on its top edge, under the ball.
    ball->setPosition({paddle->getCentre().x - 15.0f, 240.0f});
    ball->setVelocity({0.0f, 240.0f});
    runUntil(
        *scene, [&] { return bounce.heard > 0; }, 60);
    ASSERT_TRUE(bounce.where.has_value());
    EXPECT_NEAR(280.0f, bounce.where->y, 0.5f);
    EXPECT_NEAR(paddle->getCentre().x - 10.0f, bounce.where->x, 0.5f);
    scene->unregisterCallback(PELLVANE_WALL_BOUNCE, &wall);
    scene->unregisterCallback(PELLVANE_PADDLE_BOUNCE, &bounce);

    // The flash needs its event.
    EXPECT_THROW(start("", "", "<hit_flash sprite=\"red\"/>", blockXml(0, 0, 4)), EntityException);
}

TEST_F(LooksTest, BallsAStickyPaddleHoldsRideSideBySideAndStaySoWhenItNarrows) {
    const std::string powerUps = "<power_ups wide_factor=\"1.5\" max_balls=\"5\">"
                                 "<power_up kind=\"wide\" sprite=\"blue\" duration=\"1\"/>"
                                 "<power_up kind=\"multi\" sprite=\"blue\"/>"
                                 "<power_up kind=\"sticky\" sprite=\"blue\" duration=\"9\"/></power_ups>";
    start("", "", "", blockXml(0, 0, 4), powerUps);
    scene->capsuleCaught(PowerUp::Wide);
    scene->capsuleCaught(PowerUp::Sticky);
    releaseKey(kKeySpace);
    scene->update(kDt);
    scene->capsuleCaught(PowerUp::Multi);
    std::vector<PellvaneBallEntity*> balls = scene->getBalls();
    ASSERT_EQ(3u, balls.size());
    // All three come down on one spot of the paddle.
    for (PellvaneBallEntity* each : balls) {
        each->setPosition({paddle->getCentre().x - 5.0f, 250.0f});
        each->setVelocity({0.0f, 240.0f});
    }
    runUntil(
        *scene, [&] { return paddle->getHeldExtraCount() == 2 && paddle->isHoldingBall(); }, 60);
    ASSERT_EQ(2u, paddle->getHeldExtraCount());
    ASSERT_TRUE(paddle->isHoldingBall());
    auto apart = [&] {
        std::vector<float> xs;
        for (PellvaneBallEntity* each : balls) {
            scene->update(0.0f);
            xs.push_back(each->getCentre().x);
            EXPECT_GE(each->getCentre().x, paddle->getPosition().x);
            EXPECT_LE(each->getCentre().x, paddle->getPosition().x + paddle->getSize().x);
        }
        std::sort(xs.begin(), xs.end());
        float closest = 1e9f;
        for (std::size_t i = 1; i < xs.size(); ++i)
            closest = std::min(closest, xs[i] - xs[i - 1]);
        return closest;
    };
    EXPECT_GE(apart(), 10.0f) << "a ball's width apart at least";
    // The wide paddle (90 px) runs out: 60 px still holds three 10 px balls apart.
    runUntil(
        *scene, [&] { return paddle->getSize().x < 61.0f; }, 120);
    ASSERT_FLOAT_EQ(60.0f, paddle->getSize().x);
    EXPECT_GE(apart(), 10.0f);
}

} // namespace
