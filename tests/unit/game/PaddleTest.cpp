// The paddle: keys and their order, clamping at the sides, launch on the space bar's release,
// the catch, input switched off, the ball pushed out of the moving paddle, and the ball it must find.
#include <gtest/gtest.h>
#include <string>

#include "base/Exceptions.h"
#include "game/GameTestSupport.h"

namespace {

using namespace gametest;

class PaddleTest : public GameFixture {
protected:
    void SetUp() override {
        GameFixture::SetUp();
        scene = loadGame(gameXml("<level>one.xml</level>"), {{"one.xml", levelXml(blockXml(0, 0, 1))}});
        ball = first<PellvaneBallEntity>(*scene);
        paddle = first<PellvanePaddleEntity>(*scene);
    }
    void TearDown() override {
        scene.reset();
        GameFixture::TearDown();
    }
    // newGame and one frame: the level has started and keys are obeyed.
    void enableInput() {
        scene->newGame();
        scene->update(kDt);
        ASSERT_TRUE(scene->isInputEnabled());
    }
    std::string loadError(const std::string& entities) {
        const std::string text = R"(<pellvane_game id="game"><levels><level>one.xml</level></levels><entities>)" +
                                 entities + "</entities></pellvane_game>";
        try {
            loadGame(text);
        } catch (const BaseException& error) {
            return error.message;
        }
        return "";
    }

    std::unique_ptr<PellvaneGameScene> scene;
    PellvaneBallEntity* ball = nullptr;
    PellvanePaddleEntity* paddle = nullptr;
};

TEST_F(PaddleTest, AttributesAndDefaults) {
    EXPECT_FLOAT_EQ(100.0f, paddle->speed);
    EXPECT_FLOAT_EQ(8.0f, paddle->ballHeight);
    EXPECT_FLOAT_EQ(0.3f, paddle->spin) << "the default";
    EXPECT_FLOAT_EQ(70.0f, paddle->startPosition.x);
    EXPECT_EQ(0, paddle->direction);
    EXPECT_EQ(ball, paddle->getBall());
    EXPECT_TRUE(paddle->isHoldingBall()) << "the paddle took the ball at initiation";
}

TEST_F(PaddleTest, TheLastDirectionKeyPressedWinsUntilItIsReleased) {
    enableInput();
    pressKey(kKeyLeft);
    EXPECT_EQ(-1, paddle->direction);
    pressKey(kKeyRight);
    EXPECT_EQ(1, paddle->direction);
    releaseKey(kKeyLeft);
    EXPECT_EQ(1, paddle->direction) << "releasing the other key changes nothing";
    releaseKey(kKeyRight);
    EXPECT_EQ(0, paddle->direction);
    pressKey(kKeyD);
    pressKey(kKeyA);
    EXPECT_EQ(-1, paddle->direction);
    releaseKey(kKeyA);
    EXPECT_EQ(0, paddle->direction);

    EXPECT_TRUE(paddle->handleKey(KeyboardEvent(KEYBOARD_KEY_PRESSED_EVENT, kKeyD, true)));
    EXPECT_FALSE(paddle->handleKey(KeyboardEvent(KEYBOARD_KEY_PRESSED_EVENT, 'w', true)));
    EXPECT_EQ(1, paddle->direction) << "other keys change nothing";
}

TEST_F(PaddleTest, ASideOfTheGameAreaStopsThePaddleWhileTheKeyIsStillDown) {
    enableInput();
    pressKey(kKeyA);
    const int frames = runUntil(*scene, [&] { return paddle->direction == 0; });
    EXPECT_NEAR(42, frames, 1) << "70 px at 100 px/s";
    EXPECT_FLOAT_EQ(0.0f, paddle->getPosition().x);
    EXPECT_FLOAT_EQ(280.0f, paddle->getPosition().y);
    scene->update(kDt);
    EXPECT_FLOAT_EQ(0.0f, paddle->getPosition().x);
    EXPECT_FLOAT_EQ(25.0f, ball->getPosition().x) << "the held ball rides along";

    pressKey(kKeyD);
    runUntil(*scene, [&] { return paddle->direction == 0; });
    EXPECT_FLOAT_EQ(140.0f, paddle->getPosition().x) << "area width 200 less the paddle's 60";
}

TEST_F(PaddleTest, TheSpaceBarLaunchesOnlyWhenReleased) {
    enableInput();
    pressKey(kKeySpace);
    EXPECT_TRUE(ball->isHeld());
    ball->setVelocity({1, 1});
    releaseKey(kKeySpace);
    EXPECT_FALSE(ball->isHeld());
    EXPECT_FALSE(paddle->isHoldingBall());
    EXPECT_FLOAT_EQ(0.0f, ball->getVelocity().x) << "launched with the start velocity";
    EXPECT_FLOAT_EQ(-240.0f, ball->getVelocity().y);
    scene->update(kDt);
    EXPECT_FLOAT_EQ(267.0f - 4.0f, ball->getPosition().y);
}

TEST_F(PaddleTest, ReleasingSpaceWhileTheFreeBallTouchesThePaddleCatchesIt) {
    enableInput();
    releaseKey(kKeySpace);
    scene->update(kDt);
    ball->setPosition({150.0f, 100.0f});
    releaseKey(kKeySpace);
    EXPECT_FALSE(ball->isHeld()) << "a ball away from the paddle is not caught";

    ball->setPosition({paddle->getPosition().x + 10.0f, 275.0f}); // its circle touches the paddle's top
    ball->setVelocity({0, 240});
    releaseKey(kKeySpace);
    EXPECT_TRUE(ball->isHeld());
    EXPECT_TRUE(paddle->isHoldingBall());
    EXPECT_FLOAT_EQ(240.0f, ball->getVelocity().y) << "the catch leaves the velocity alone";
    scene->update(kDt);
    EXPECT_FLOAT_EQ(paddle->getPosition().x + 25.0f, ball->getPosition().x);
    EXPECT_FLOAT_EQ(267.0f, ball->getPosition().y);
    releaseKey(kKeySpace);
    EXPECT_FLOAT_EQ(-240.0f, ball->getVelocity().y) << "the next launch uses the start velocity";
}

TEST_F(PaddleTest, KeysAreIgnoredWhileInputIsDisabled) {
    EXPECT_FALSE(scene->isInputEnabled());
    EXPECT_FALSE(paddle->handleKey(KeyboardEvent(KEYBOARD_KEY_PRESSED_EVENT, kKeyLeft, true)));
    pressKey(kKeyLeft);
    EXPECT_EQ(0, paddle->direction);
    releaseKey(kKeySpace);
    EXPECT_TRUE(ball->isHeld());

    // A direction set before game over stays: its release is not heard.
    enableInput();
    pressKey(kKeyRight);
    for (int lost = 0; lost <= scene->getSettings().match.initialLives; ++lost)
        scene->ballLost();
    ASSERT_EQ(GameOver, scene->getState());
    releaseKey(kKeyRight);
    EXPECT_EQ(1, paddle->direction);
}

TEST_F(PaddleTest, TheBallNeverHoldsThePaddleStillAndIsPushedOutOfIt) {
    enableInput();
    releaseKey(kKeySpace);
    ball->setPosition({131.0f, 280.0f}); // the circle's left edge 1 px right of the paddle
    ball->setVelocity({0, 0});
    ball->minSpeed = 0.0f;
    pressKey(kKeyRight);
    for (int frame = 0; frame < 30; ++frame) {
        scene->update(kDt);
        const float ballLeft = ball->getPosition().x + ball->getSize().x * 0.5f - ball->radius;
        ASSERT_GE(ballLeft, paddle->getPosition().x + paddle->getSize().x - 1e-3f) << "frame " << frame;
    }
    EXPECT_NEAR(70.0f + 30 * kDt * 100.0f, paddle->getPosition().x, 1e-3f);

    // With ball_height below the ball's radius the held ball overlaps the paddle; it moves all the same.
    paddle->ballHeight = 3.0f;
    releaseKey(kKeyRight);
    scene->newGame();
    scene->update(kDt);
    pressKey(kKeyLeft);
    scene->update(kDt);
    EXPECT_LT(paddle->getPosition().x, 70.0f);
}

TEST_F(PaddleTest, NewLevelLoadedResetsThePositionButNotTheFlags) {
    paddle->setPosition({5.0f, paddle->getPosition().y});
    paddle->setVisible(false);
    scene->newGame();
    EXPECT_FLOAT_EQ(70.0f, paddle->getPosition().x);
    EXPECT_FALSE(paddle->isVisible());
    EXPECT_TRUE(paddle->isHoldingBall());
}

TEST_F(PaddleTest, TheSceneMustHoldExactlyOneBall) {
    testsupport::writeFile("one.xml", levelXml(blockXml(0, 0, 1)));
    const std::string paddleXml = R"(<paddle sprite="red" x="70" y="280"/>)";
    EXPECT_EQ("Entity Exception: PellvanePaddleEntity: No ball found in scene!", loadError(paddleXml));
    EXPECT_EQ("Entity Exception: PellvanePaddleEntity: More than one ball at initiation",
              loadError(paddleXml + R"(<ball sprite="blue"/><ball sprite="blue"/>)"));
}

TEST_F(PaddleTest, CallbacksAreRegisteredOnBothDispatchersAndUnregisteredOnDestruction) {
    IEventCallback* input = paddle->getInputCallback();
    IEventCallback* events = paddle->getGameCallback();
    // The scene hands the Game's input on to its entities on a dispatcher of its own.
    EventDispatcher* sceneInput = scene->getContext().input;
    ASSERT_NE(static_cast<EventDispatcher*>(game), sceneInput);
    EXPECT_TRUE(sceneInput->isCallbackRegistered(KEYBOARD_KEY_PRESSED_EVENT, input));
    EXPECT_TRUE(sceneInput->isCallbackRegistered(KEYBOARD_KEY_RELEASED_EVENT, input));
    for (const std::string* name : {&PELLVANE_INITIATED, &PELLVANE_BALL_LOST, &PELLVANE_NEW_LEVEL_LOADED})
        EXPECT_TRUE(scene->isCallbackRegistered(*name, events)) << *name;
    EXPECT_FALSE(scene->isCallbackRegistered(PELLVANE_GAME_OVER, events));
    scene.reset();
    pressKey(kKeyLeft); // nothing left to call
}

} // namespace

TEST_F(PaddleTest, WithMouseThePaddleHeadsForThePointerAtDirectionTimesSpeedAndKeysTakeItBack) {
    std::string text = gameXml("<level>one.xml</level>");
    scene = loadGame(text.replace(text.find("ball_height"), 0, "mouse=\"true\" "));
    paddle = first<PellvanePaddleEntity>(*scene);
    enableInput();
    auto pointTo = [this](uint32_t x) {
        game->dispatchEvent(new MouseEvent(MOUSE_MOVE_EVENT, x, 100, false, false, MouseMoved));
    };
    pointTo(190); // past the side: full speed, then clamped
    scene->update(kDt);
    EXPECT_FLOAT_EQ(1.0f, paddle->direction);
    EXPECT_FLOAT_EQ(70.0f + 100.0f * kDt, paddle->getPosition().x);
    // Half a pixel away the paddle ends the frame under the pointer, and direction x speed is the
    // velocity it really had, which the ball takes its spin from.
    pointTo(130);
    paddle->setPosition({99.5f, paddle->getPosition().y});
    scene->update(kDt);
    EXPECT_FLOAT_EQ(100.0f, paddle->getPosition().x);
    EXPECT_FLOAT_EQ(0.5f / (100.0f * kDt), paddle->direction);

    pressKey(kKeyLeft);
    scene->update(kDt);
    EXPECT_LT(paddle->getPosition().x, 100.0f) << "a key takes over from the pointer";
    pointTo(190);
    scene->update(kDt);
    EXPECT_FLOAT_EQ(1.0f, paddle->direction) << "until the pointer moves again";
}
