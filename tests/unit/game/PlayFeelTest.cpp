// How the shipped game feels at 60 Hz, measured with simple players: one who waits still under
// the landing point and one who lands the ball off-centre on purpose both clear every level, the
// aiming player's returns spread wide, no flight goes long without a block hit, the paddle is
// under the pointer in the frame after it moves, and a click just after a bounce catches the ball.
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

#include "PlayThrough.h"
#include "app/Game.h"
#include "events/Events.h"
#include "game/GameTestSupport.h"
#include "game/PellvaneBallEntity.h"
#include "game/PellvaneGameScene.h"
#include "game/PellvanePaddleEntity.h"

namespace {

using gametest::GameFixture;

constexpr float kDt = 1.0f / 60.0f;
// A flight this long without a block hit reads to a player as a loop that will not end.
constexpr double kLongestBearableFlight = 30.0;

// The shipped game, started in data/ as the play command starts it.
PellvaneGameScene* startShippedGame() {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(PELLVANE_DATA);
    Game::destroyInstance();
    Game* game = Game::getInstance();
    game->init(800, 600);
    std::filesystem::current_path(previous);
    return game->quitRequested ? nullptr : dynamic_cast<PellvaneGameScene*>(game->getCurrentScene());
}

void mouse(const std::string& name, uint32_t x, int32_t action, int32_t button = NoButton) {
    Game::getInstance()->dispatchEvent(new MouseEvent(name, x, 300, false, false, action, button));
}

TEST(PlayFeelTest, StillAndAimingPlayersClearEveryLevelAndNoFlightGoesLongWithoutAHit) {
    for (playthrough::Player player : {playthrough::Player::Still, playthrough::Player::Aiming}) {
        const char* name = player == playthrough::Player::Still ? "still player" : "aiming player";
        PellvaneGameScene* scene = startShippedGame();
        ASSERT_NE(nullptr, scene);
        const int levels = static_cast<int>(scene->getLevelCount());
        const playthrough::Counts counts =
            playthrough::playAs(*scene, player, playthrough::Timing::Fixed60, 60.0 * 60.0, levels, 20261207u,
                                [](const std::string& line) { ADD_FAILURE() << line; });
        std::fprintf(stderr, "%s: %s\n", name, counts.summary().c_str());
        EXPECT_EQ(levels, counts.levelsCleared) << name << ": every level cleared within a simulated hour";
        EXPECT_LT(counts.longestWithoutHit, kLongestBearableFlight) << name;
        EXPECT_EQ(0, counts.faults()) << name;
        if (player == playthrough::Player::Aiming) {
            // Returns from 35 degrees left to 35 degrees right of the vertical and many between.
            int bins = 0, leftmost = 36, rightmost = -1;
            for (int bin = 0; bin < 36; ++bin) {
                if (counts.leavingAngles[bin] == 0)
                    continue;
                ++bins;
                leftmost = std::min(leftmost, bin);
                rightmost = std::max(rightmost, bin);
            }
            EXPECT_GE(bins, 12) << "distinct 5-degree angles off the paddle";
            EXPECT_LE(leftmost * 5 - 90, -35);
            EXPECT_GE(rightmost * 5 - 85, 35);
        }
    }
    Game::destroyInstance();
}

TEST(PlayFeelTest, ThePointerMovesThePaddleAtOnceAndAClickJustAfterABounceCatches) {
    PellvaneGameScene* scene = startShippedGame();
    ASSERT_NE(nullptr, scene);
    auto* paddle = GameFixture::firstOf<PellvanePaddleEntity>(*scene);
    auto* ball = GameFixture::firstOf<PellvaneBallEntity>(*scene);
    ASSERT_TRUE(paddle != nullptr && ball != nullptr);
    scene->newGame();
    for (int frame = 0; frame < 600 && scene->getState() != Playing; ++frame)
        scene->update(kDt);
    ASSERT_EQ(Playing, scene->getState());

    const Rect area = scene->getGameArea();
    const auto centre = [&] { return paddle->position.x + paddle->width * 0.5f; };
    for (uint32_t x : {200u, 640u, 790u, 10u}) {
        mouse(MOUSE_MOVE_EVENT, x, MouseMoved);
        scene->update(kDt);
        const float expected = std::clamp(static_cast<float>(x), area.x + paddle->width * 0.5f,
                                          area.x + area.width - paddle->width * 0.5f);
        EXPECT_NEAR(expected, centre(), 0.01f) << "pointer at " << x;
    }

    // Launch, follow the ball with the pointer, and click on the frame after it bounces.
    mouse(MOUSE_BUTTON_DOWN_EVENT, 400, MouseButtonDown, LeftButton);
    mouse(MOUSE_BUTTON_UP_EVENT, 400, MouseButtonUp, LeftButton);
    float lastVelocityY = 0.0f;
    bool bounced = false;
    for (int frame = 0; frame < 60 * 60 && !bounced; ++frame) {
        const float x = ball->position.x + ball->width * 0.5f;
        mouse(MOUSE_MOVE_EVENT, static_cast<uint32_t>(std::max(0.0f, x)), MouseMoved);
        scene->update(kDt);
        bounced = lastVelocityY > 0.0f && ball->getVelocity().y < 0.0f && !ball->isHeld() &&
                  ball->position.y > paddle->position.y - 3.0f * ball->height;
        lastVelocityY = ball->getVelocity().y;
    }
    ASSERT_TRUE(bounced) << "the ball came back to the paddle";
    scene->update(kDt);
    mouse(MOUSE_BUTTON_DOWN_EVENT, 400, MouseButtonDown, LeftButton);
    mouse(MOUSE_BUTTON_UP_EVENT, 400, MouseButtonUp, LeftButton);
    EXPECT_TRUE(ball->isHeld()) << "a click the frame after a bounce catches the ball";
    Game::destroyInstance();
}

} // namespace
