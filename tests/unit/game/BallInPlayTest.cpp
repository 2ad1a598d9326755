// The ball in the shipped field, in the situations that once let it through a wall, into a box or
// into an endless bounce in place: the field's corner, an exact landing on the paddle, and a ball
// that starts inside a wall. The play-through test meets the rest (gaps between blocks, the
// paddle against a wall) over many frames.
#include <filesystem>
#include <gtest/gtest.h>

#include "app/Game.h"
#include "PlayThrough.h"
#include "game/GameTestSupport.h"

namespace {

using gametest::GameFixture;

class BallInPlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(PELLVANE_DATA);
        game = std::make_unique<Game>();
        // The capsules come in the same order in every run, so its figures repeat.
        game->setCapsuleSeed(1);
        game->init(800, 600);
        std::filesystem::current_path(previous);
        scene = dynamic_cast<PellvaneGameScene*>(game->getCurrentScene());
        ASSERT_NE(nullptr, scene);
        scene->newGame();
        for (int frame = 0; frame < 100 && scene->getState() != Playing; ++frame)
            scene->update(0.05f); // "GET READY": input is on once the level starts
        ASSERT_TRUE(scene->isInputEnabled());
        ball = GameFixture::firstOf<PellvaneBallEntity>(*scene);
        paddle = GameFixture::firstOf<PellvanePaddleEntity>(*scene);
    }
    void TearDown() override { game.reset(); }

    void fly(Vector2 centre, Vector2 velocity) {
        ball->release();
        ball->setPosition(centre - Vector2{ball->getSize().x * 0.5f, ball->getSize().y * 0.5f});
        ball->setVelocity(velocity);
    }

    // Runs `frames` frames of `dt`, checking after each that a ball in flight is in the field (or
    // below it) and no more than 0.5 px inside any active box.
    void play(int frames, float dt) {
        for (int frame = 0; frame < frames && !ball->isHeld(); ++frame) {
            scene->update(dt);
            const Vector2 c = playthrough::ballCentre(*ball);
            ASSERT_TRUE(playthrough::inField(*scene, *ball)) << "frame " << frame << " at (" << c.x << ", " << c.y << ")";
            ASSERT_LE(playthrough::deepestOverlap(*scene, *ball), playthrough::kMaxOverlap) << "frame " << frame;
        }
    }

    std::unique_ptr<Game> game;
    PellvaneGameScene* scene = nullptr;
    PellvaneBallEntity* ball = nullptr;
    PellvanePaddleEntity* paddle = nullptr;
};

TEST_F(BallInPlayTest, TheFieldsTopRightCornerTurnsTheBallBackIn) {
    fly({756.6f, 80.1f}, {196.0f, -356.0f});
    play(15, 1.0f / 60.0f);
    EXPECT_LT(ball->getVelocity().x, 0.0f);
    EXPECT_GT(ball->getVelocity().y, 0.0f);
}

TEST_F(BallInPlayTest, AnExactLandingOnThePaddleBouncesOnce) {
    for (float dt : {1.0f / 240.0f, 1.0f / 60.0f}) {
        SCOPED_TRACE(dt);
        fly({paddle->getPosition().x + 40.0f, paddle->getPosition().y - ball->radius}, {0.0f, 360.0f});
        play(1, dt);
        EXPECT_LT(ball->getVelocity().y, 0.0f);
        const float y = ball->getPosition().y;
        play(20, dt);
        EXPECT_LT(ball->getPosition().y, y - 20 * dt * 300.0f) << "the ball leaves the paddle";
    }
}

TEST_F(BallInPlayTest, ABallStartingInsideAWallIsMovedOutTheShortWay) {
    const Rect area = scene->getGameArea();
    fly({area.x + 4.0f, 300.0f}, {-300.0f, -100.0f}); // 4 px into the left wall
    play(1, 1.0f / 60.0f);
    EXPECT_GT(ball->getVelocity().x, 0.0f);
    fly({area.x - 2.0f, 330.0f}, {-300.0f, 100.0f}); // centre inside the 16 px wall
    play(30, 1.0f / 60.0f);
    EXPECT_GT(playthrough::ballCentre(*ball).x, area.x + ball->radius - 0.5f);
}

} // namespace
