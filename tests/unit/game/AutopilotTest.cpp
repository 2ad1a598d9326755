// A play-through of the shipped data: the real configuration, scene, levels, sprites and sounds,
// driven at a fixed step by an autopilot that only presses keys, as a player would.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

#include "app/Game.h"
#include "game/GameTestSupport.h"

namespace {

using namespace gametest;

// Makes `dir` the working directory for its lifetime, as the play command does with data/.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& dir) : previous(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~WorkingDirectory() { std::filesystem::current_path(previous); }

private:
    std::filesystem::path previous;
};

// Steers the paddle under the ball's predicted landing point with the arrow keys and launches
// with the space bar. Each time the ball starts down it picks a random aim off the paddle's
// centre and swings through to the other side in the last moments, so the paddle is moving at
// contact and lends the ball spin: without that every bounce would mirror the last and the ball
// could circle one path for ever.
class Autopilot {
public:
    Autopilot(PellvaneGameScene& scene, PellvanePaddleEntity& paddle, PellvaneBallEntity& ball)
        : scene(scene), paddle(paddle), ball(ball) {}

    void step() {
        if (ball.isHeld()) {
            // A player takes a moment before launching; at once, the ball would still be where it
            // was lost, below the paddle.
            if (scene.getState() == Playing && ++heldFrames > kLaunchDelayFrames) {
                heldFrames = 0;
                GameFixture::pressKeyOnGame(kKeySpace, true);
                GameFixture::pressKeyOnGame(kKeySpace, false);
            }
            steer(paddle.position.x + paddle.width * 0.5f);
            return;
        }
        heldFrames = 0;
        const Vector2 v = ball.getVelocity();
        if (v.y <= 0.0f) {
            descending = false;
            steer(ball.position.x + ball.width * 0.5f);
            return;
        }
        if (!descending) {
            descending = true;
            const float reach = paddle.width * 0.35f;
            aim = (static_cast<float>(std::rand()) / static_cast<float>(RAND_MAX) * 2.0f - 1.0f) * reach;
        }
        const float ballBottom = ball.position.y + ball.height;
        const float timeToContact = (paddle.position.y - ballBottom) / v.y;
        const float landing = landingX(timeToContact);
        steer(timeToContact > kSwingTime ? landing + aim : landing - aim);
    }

private:
    // Seconds before contact at which the paddle swings through the landing point.
    static constexpr float kSwingTime = 0.12f;
    // Frames the pilot waits with the ball on the paddle before launching it.
    static constexpr int kLaunchDelayFrames = 20;
    // Pixels from the target within which the paddle stops.
    static constexpr float kDeadZone = 6.0f;

    // Where the ball's centre will be after `t` seconds, folded off the side walls.
    float landingX(float t) const {
        const Rect area = scene.getGameArea();
        const float r = ball.radius;
        const float low = area.x + r;
        const float span = area.width - 2.0f * r;
        float x = ball.position.x + ball.width * 0.5f + ball.getVelocity().x * (t > 0.0f ? t : 0.0f) - low;
        x = std::fmod(x, 2.0f * span);
        if (x < 0.0f)
            x += 2.0f * span;
        if (x > span)
            x = 2.0f * span - x;
        return low + x;
    }

    void steer(float target) {
        const float centre = paddle.position.x + paddle.width * 0.5f;
        int want = 0;
        if (target > centre + kDeadZone)
            want = 1;
        else if (target < centre - kDeadZone)
            want = -1;
        if (want == paddle.direction)
            return;
        if (want == 0)
            GameFixture::pressKeyOnGame(paddle.direction < 0 ? kKeyLeft : kKeyRight, false);
        else
            GameFixture::pressKeyOnGame(want < 0 ? kKeyLeft : kKeyRight, true);
    }

    PellvaneGameScene& scene;
    PellvanePaddleEntity& paddle;
    PellvaneBallEntity& ball;
    bool descending = false;
    int heldFrames = 0;
    float aim = 0.0f;
};

// Twenty simulated minutes at the fixed step.
constexpr int kMaxFrames = 20 * 60 * 60;
// Drawing every frame adds nothing the others do not; every tenth keeps rendering in the run.
constexpr int kRenderEvery = 10;

TEST(AutopilotTest, ClearsTheFirstShippedLevelWithTheScoreOfItsBlocks) {
    Game::destroyInstance();
    WorkingDirectory inData(PELLVANE_DATA);
    Game* game = Game::getInstance();
    game->init(800, 600);
    ASSERT_FALSE(game->quitRequested) << "the shipped configuration loads";
    auto* scene = dynamic_cast<PellvaneGameScene*>(game->getCurrentScene());
    ASSERT_NE(nullptr, scene);
    PellvanePaddleEntity* paddle = GameFixture::firstOf<PellvanePaddleEntity>(*scene);
    PellvaneBallEntity* ball = GameFixture::firstOf<PellvaneBallEntity>(*scene);
    ASSERT_TRUE(paddle != nullptr && ball != nullptr);

    int expectedScore = 0;
    for (IEntity* entity : scene->getLevel(0)) {
        auto* block = dynamic_cast<PellvaneBlockEntity*>(entity);
        ASSERT_NE(nullptr, block);
        expectedScore += kPointsPerHealth * block->getInitialHealth();
    }

    std::srand(20261207u);
    Autopilot pilot(*scene, *paddle, *ball);
    scene->newGame();
    int frame = 0;
    int gamesLost = 0;
    int ballsLost = 0;
    int lives = scene->getLives();
    for (; frame < kMaxFrames && scene->getLevelsCompleted() == 0; ++frame) {
        pilot.step();
        ASSERT_NO_THROW(scene->update(kDt)) << "frame " << frame;
        if (frame % kRenderEvery == 0) {
            ASSERT_NO_THROW(scene->render());
        }
        if (scene->getLives() < lives)
            ++ballsLost;
        lives = scene->getLives();
        if (scene->getState() == GameOver) {
            ++gamesLost;
            scene->newGame();
            lives = scene->getLives();
        }
    }
    std::fprintf(stderr, "autopilot: level 1 cleared after %.1f simulated s, %d balls lost, %d games lost\n",
                 frame * kDt, ballsLost, gamesLost);
    EXPECT_EQ(1, scene->getLevelsCompleted()) << "level 1 not cleared in 20 simulated minutes";
    EXPECT_EQ(expectedScore, scene->getScore());
    EXPECT_EQ(1u, scene->getCurrentLevel());
    Game::destroyInstance();
}

} // namespace
