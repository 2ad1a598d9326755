// The ball: attributes and colours, speed limits, bounces with restitution and paddle spin, the
// 70% stop, riding on the paddle, and the loss test on its top-left corner.
#include <gtest/gtest.h>
#include <string>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "collision/SweptCircleCollider.h"
#include "game/GameTestSupport.h"

namespace {

using namespace gametest;

// A floor box 10 px high across the game area at y 200, and a level whose block is out of the way.
const std::string kFloor = R"(<box sprite="green" x="0" y="200" width="200" height="10"/>)";

class BallTest : public GameFixture {
protected:
    void SetUp() override {
        GameFixture::SetUp();
        scene = loadGame(gameXml("<level>one.xml</level>", "loaded_delay=\"0\"", "", kFloor),
                         {{"one.xml", levelXml(blockXml(0, 0, 1))}}, &recorder);
        ball = first<PellvaneBallEntity>(*scene);
        paddle = first<PellvanePaddleEntity>(*scene);
    }
    void TearDown() override {
        scene.reset();
        GameFixture::TearDown();
    }
    // Frees the ball at `at` with `velocity`; the scene stays in Initiated, which moves nothing
    // of its own.
    void fly(Vector2 at, Vector2 velocity) {
        ball->release();
        ball->setPosition(at);
        ball->setVelocity(velocity);
    }
    // A ball loaded on its own from `text`, owned by the test.
    std::unique_ptr<PellvaneBallEntity> loadBall(const std::string& text) {
        TiXmlDocument document;
        document.Parse(text.c_str());
        auto loaded = std::make_unique<PellvaneBallEntity>();
        loaded->load(TiXmlHandle(document.RootElement()), scene.get());
        return loaded;
    }

    EventRecorder recorder;
    std::unique_ptr<PellvaneGameScene> scene;
    PellvaneBallEntity* ball = nullptr;
    PellvanePaddleEntity* paddle = nullptr;
};

TEST_F(BallTest, AttributesOverTheirDefaultsAndStartVelocityYAlone) {
    auto plain = loadBall(R"(<ball sprite="blue"/>)");
    EXPECT_FLOAT_EQ(5.0f, plain->radius) << "half the width";
    EXPECT_FLOAT_EQ(50.0f, plain->minSpeed);
    EXPECT_FLOAT_EQ(500.0f, plain->maxSpeed);
    EXPECT_FLOAT_EQ(1.0f, plain->restitution);
    EXPECT_FLOAT_EQ(300.0f, plain->getVelocity().x);
    EXPECT_FLOAT_EQ(-300.0f, plain->getVelocity().y);

    auto onlyY = loadBall(R"(<ball sprite="blue" start_velocity_y="-123"/>)");
    EXPECT_FLOAT_EQ(300.0f, onlyY->getStartVelocity().x);
    EXPECT_FLOAT_EQ(-123.0f, onlyY->getStartVelocity().y);
    EXPECT_FLOAT_EQ(-123.0f, onlyY->getVelocity().y) << "the velocity starts as the start velocity";

    auto custom = loadBall(R"(<ball sprite="blue" radius="7" restitution="0.5" min_speed="80" max_speed="abc"
                                    start_velocity_x=""/>)");
    EXPECT_FLOAT_EQ(7.0f, custom->radius);
    EXPECT_FLOAT_EQ(0.5f, custom->restitution);
    EXPECT_FLOAT_EQ(80.0f, custom->minSpeed);
    EXPECT_FLOAT_EQ(500.0f, custom->maxSpeed) << "a value that does not parse keeps the default";
    EXPECT_FLOAT_EQ(300.0f, custom->getStartVelocity().x) << "an empty value keeps the default";
    auto* collider = dynamic_cast<SweptCircleCollider*>(custom->getCollider());
    ASSERT_NE(nullptr, collider);
    EXPECT_FLOAT_EQ(7.0f, collider->getRadius());
    EXPECT_FLOAT_EQ(5.0f, collider->getOffset().x) << "the circle is centred on the sprite box";
    EXPECT_EQ(custom.get(), collider->getOwner());
}

TEST_F(BallTest, ColoursComeFromTheAttributeThenTheChildrenAndCycleRound) {
    auto ballWithColours = loadBall(R"(<ball sprite="blue" colour="00ff00">
        <colour hex="0000ff"/><colour r="0.5" b="0.25"/></ball>)");
    ASSERT_EQ(3u, ballWithColours->colours.size());
    const Colour green{0, 1, 0, 1}, blue{0, 0, 1, 1}, mixed{0.5f, 1, 0.25f, 1};
    EXPECT_EQ(green, ballWithColours->getColour());
    ballWithColours->cycleColour();
    EXPECT_EQ(blue, ballWithColours->getColour());
    ballWithColours->cycleColour();
    EXPECT_EQ(mixed, ballWithColours->getColour());
    ballWithColours->cycleColour();
    EXPECT_EQ(green, ballWithColours->getColour());
    EXPECT_EQ(3u, entitiesOf<PellvaneBlockEffect>(*scene).size()) << "one copy per change";

    auto childOnly = loadBall(R"(<ball sprite="blue"><colour hex="0000ff"/></ball>)");
    EXPECT_EQ(blue, childOnly->getColour());
}

TEST_F(BallTest, ABallWithoutColoursKeepsItsTintButStillLeavesAnEffect) {
    auto plain = loadBall(R"(<ball sprite="blue"/>)");
    EXPECT_TRUE(plain->colours.empty());
    const Colour white{};
    EXPECT_EQ(white, plain->getColour());
    plain->cycleColour();
    EXPECT_EQ(white, plain->getColour());
    const auto effects = entitiesOf<PellvaneBlockEffect>(*scene);
    ASSERT_EQ(1u, effects.size());
    EXPECT_FLOAT_EQ(5.0f, effects[0]->endScale.x);
    EXPECT_FLOAT_EQ(0.4f, effects[0]->getLifetime());
}

TEST_F(BallTest, SpeedIsKeptBetweenTheLimitsBeforeTheBallMoves) {
    fly({150, 50}, {10, 0});
    scene->update(kDt);
    EXPECT_FLOAT_EQ(50.0f, ball->getVelocity().x) << "sped up to the minimum in its direction";
    EXPECT_FLOAT_EQ(0.0f, ball->getVelocity().y);
    EXPECT_FLOAT_EQ(150.0f + 50.0f * kDt, ball->getPosition().x);

    fly({150, 150}, {0, -1000});
    scene->update(kDt);
    EXPECT_FLOAT_EQ(-500.0f, ball->getVelocity().y) << "slowed to the maximum";

    fly({150, 50}, {30, 40});
    scene->update(kDt);
    EXPECT_FLOAT_EQ(30.0f, ball->getVelocity().x) << "exactly the minimum is within the limits";
    EXPECT_FLOAT_EQ(40.0f, ball->getVelocity().y);

    fly({150, 50}, {0, 0});
    scene->update(kDt);
    EXPECT_FLOAT_EQ(0.0f, ball->getVelocity().x) << "a ball at rest has no direction to speed up in";
    EXPECT_FLOAT_EQ(150.0f, ball->getPosition().x);
}

TEST_F(BallTest, ABounceOffAHorizontalSurfaceFlipsOnlyTheVerticalVelocity) {
    fly({100, 180}, {30, 300});
    runUntil(
        *scene, [&] { return ball->getVelocity().y < 0.0f; }, 10);
    EXPECT_FLOAT_EQ(30.0f, ball->getVelocity().x);
    EXPECT_FLOAT_EQ(-300.0f, ball->getVelocity().y);

    ball->restitution = 0.5f;
    fly({100, 180}, {30, 300});
    runUntil(
        *scene, [&] { return ball->getVelocity().y < 0.0f; }, 10);
    EXPECT_FLOAT_EQ(15.0f, ball->getVelocity().x);
    EXPECT_FLOAT_EQ(-150.0f, ball->getVelocity().y);
}

TEST_F(BallTest, AfterABounceTheBallHasCoveredSeventyPercentOfTheWayToTheContact) {
    fly({100, 150}, {0, 400});
    scene->update(0.25f);
    // Contact when the ball's bottom (top-left + 10) meets the floor at 200.
    EXPECT_NEAR(150.0f + 0.7f * 40.0f, ball->getPosition().y, 1e-3);
    EXPECT_FLOAT_EQ(100.0f, ball->getPosition().x);
    EXPECT_FLOAT_EQ(-400.0f, ball->getVelocity().y);
}

TEST_F(BallTest, TheMovingPaddleLendsItsSpinAndTheRestingOneDoesNot) {
    paddle->speed = 50.0f;
    paddle->spin = 0.3f;
    paddle->direction = 1;
    fly({95, 250}, {0, 200});
    runUntil(
        *scene, [&] { return ball->getVelocity().y < 0.0f; }, 30);
    EXPECT_NEAR(15.0f, ball->getVelocity().x, 1e-4);
    EXPECT_FLOAT_EQ(-200.0f, ball->getVelocity().y);

    paddle->direction = 0;
    fly({paddle->getPosition().x + 25.0f, 250}, {20, 200});
    runUntil(
        *scene, [&] { return ball->getVelocity().y < 0.0f; }, 30);
    EXPECT_FLOAT_EQ(20.0f, ball->getVelocity().x);
}

TEST_F(BallTest, OfTwoCollidersOnThePathTheNearestIsReported) {
    // The floor comes first in the entity list; a second box above it, later in the list, is met
    // first along the path and answers.
    TiXmlDocument document;
    document.Parse(R"(<box sprite="green" x="0" y="195" width="200" height="3"/>)");
    BoxEntity* later = new BoxEntity();
    later->load(TiXmlHandle(document.RootElement()), scene.get());
    scene->addEntity(later);
    fly({100, 150}, {0, 400});
    scene->update(0.25f);
    EXPECT_NEAR(150.0f + 0.7f * 35.0f, ball->getPosition().y, 1e-3) << "the nearer box, not the floor";
}

TEST_F(BallTest, AHeldBallRidesOnItsPaddleAndCannotBeLost) {
    EXPECT_TRUE(ball->isHeld());
    EXPECT_EQ(paddle, ball->getHolder());
    paddle->setPosition({20.0f, paddle->getPosition().y});
    scene->update(kDt);
    EXPECT_FLOAT_EQ(45.0f, ball->getPosition().x) << "paddle x + width / 2 - ball width / 2";
    EXPECT_FLOAT_EQ(267.0f, ball->getPosition().y) << "centre ball_height above the paddle's top";
    paddle->setPosition({paddle->getPosition().x, 400.0f});
    scene->update(kDt);
    EXPECT_EQ(3, scene->getLives()) << "a held ball below the area is not lost";
    ball->release();
    EXPECT_FALSE(ball->isHeld());
    EXPECT_EQ(nullptr, ball->getHolder());
}

TEST_F(BallTest, TheBallIsLostOnlyWhenItsTopLeftCornerIsBelowTheArea) {
    fly({10, 270}, {0, 60});
    scene->update(0.5f);
    EXPECT_FLOAT_EQ(300.0f, ball->getPosition().y);
    EXPECT_EQ(3, scene->getLives()) << "on the bottom edge the ball is still in play";
    scene->update(0.5f);
    EXPECT_EQ(2, scene->getLives());
    EXPECT_EQ(1, recorder.count(PELLVANE_BALL_LOST));
    EXPECT_TRUE(ball->isHeld());
}

} // namespace
