// How the shipped game feels at 60 Hz in its window: the paddle is under the pointer in the frame
// after it moves, a click just after a bounce catches the ball, and every event of a game is heard
// and the important ones are seen. (Every level with every player: tests/unit/game/EveryLevelTest.)
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

#include <SDL_mixer.h>
#include <map>
#include <set>

#include "PlayThrough.h"
#include "ShippedGame.h"
#include "TestSupport.h"
#include "app/Game.h"
#include "events/Events.h"
#include "game/GameTestSupport.h"
#include "game/PellvaneBallEntity.h"
#include "game/PellvaneBlockEntity.h"
#include "game/PellvaneEventSoundEntity.h"
#include "game/PellvaneGameScene.h"
#include "game/PellvanePaddleEntity.h"

namespace {

using gametest::GameFixture;
using shippedtest::kDt;
using shippedtest::ShippedGame;

void mouse(Game& game, const std::string& name, uint32_t x, int32_t action, int32_t button = NoButton) {
    game.dispatchEvent(new MouseEvent(name, x, 300, false, false, action, button));
}

TEST(PlayFeelTest, ThePointerMovesThePaddleAtOnceAndAClickJustAfterABounceCatches) {
    ShippedGame shipped;
    ASSERT_TRUE(shipped.started());
    // Plain names, not a structured binding: the lambdas below capture them.
    Game* game = shipped.game.get();
    PellvaneGameScene* scene = shipped.scene;
    PellvanePaddleEntity* paddle = shipped.paddle;
    PellvaneBallEntity* ball = shipped.ball;
    scene->newGame();
    ASSERT_TRUE(shipped.untilPlaying());

    const Rect area = scene->getGameArea();
    const auto centre = [&] { return paddle->getPosition().x + paddle->getSize().x * 0.5f; };
    for (uint32_t x : {200u, 640u, 790u, 10u}) {
        mouse(*game, MOUSE_MOVE_EVENT, x, MouseMoved);
        scene->update(kDt);
        const float expected = std::clamp(static_cast<float>(x), area.x + paddle->getSize().x * 0.5f,
                                          area.x + area.width - paddle->getSize().x * 0.5f);
        EXPECT_NEAR(expected, centre(), 0.01f) << "pointer at " << x;
    }

    // Launch, follow the ball with the pointer, and click on the frame after it bounces.
    mouse(*game, MOUSE_BUTTON_DOWN_EVENT, 400, MouseButtonDown, LeftButton);
    mouse(*game, MOUSE_BUTTON_UP_EVENT, 400, MouseButtonUp, LeftButton);
    float lastVelocityY = 0.0f;
    bool bounced = false;
    for (int frame = 0; frame < 60 * 60 && !bounced; ++frame) {
        const float x = ball->getPosition().x + ball->getSize().x * 0.5f;
        mouse(*game, MOUSE_MOVE_EVENT, static_cast<uint32_t>(std::max(0.0f, x)), MouseMoved);
        scene->update(kDt);
        bounced = lastVelocityY > 0.0f && ball->getVelocity().y < 0.0f && !ball->isHeld() &&
                  ball->getPosition().y > paddle->getPosition().y - 3.0f * ball->getSize().y;
        lastVelocityY = ball->getVelocity().y;
    }
    ASSERT_TRUE(bounced) << "the ball came back to the paddle";
    scene->update(kDt);
    mouse(*game, MOUSE_BUTTON_DOWN_EVENT, 400, MouseButtonDown, LeftButton);
    mouse(*game, MOUSE_BUTTON_UP_EVENT, 400, MouseButtonUp, LeftButton);
    EXPECT_TRUE(ball->isHeld()) << "a click the frame after a bounce catches the ball";
}

// What a frame shows: drawn as the frame loop draws it, read back in window coordinates.
struct Frame {
    std::vector<unsigned char> rgb;
    explicit Frame(PellvaneGameScene& scene) : rgb(800 * 600 * 3) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        scene.render();
        glFinish();
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    }
    const unsigned char* at(int x, int y) const { return &rgb[(static_cast<std::size_t>(599 - y) * 800 + x) * 3]; }
    // Pixels of the box (x, y, width, height) that differ from `other` by more than 40 in a channel.
    int changed(const Frame& other, int x0, int y0, int w, int h) const {
        int count = 0;
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                for (int c = 0; c < 3; ++c)
                    if (std::abs(at(x, y)[c] - other.at(x, y)[c]) > 40) {
                        ++count;
                        break;
                    }
        return count;
    }
};

int playingChannels() {
    return Mix_Playing(-1);
}

// Every event of a game is heard (an effect starts on it) and the ones a player must notice are
// seen: the hint while the ball waits, the banner of a cleared level, the debris of the last
// block, the flash of a lost ball.
TEST(PlayFeelTest, EveryEventOfAGameIsHeardAndTheImportantOnesAreSeen) {
    ShippedGame shipped;
    ASSERT_TRUE(shipped.started());
    // Plain names, not a structured binding: the lambdas below capture them.
    Game* game = shipped.game.get();
    PellvaneGameScene* scene = shipped.scene;
    PellvaneBallEntity* ball = shipped.ball;
    std::set<std::string> sounding;
    for (IEntity* entity : scene->getEntities())
        if (auto* sound = dynamic_cast<PellvaneEventSoundEntity*>(entity))
            sounding.insert(sound->getEvent());
    for (const std::string* event : {&PELLVANE_PADDLE_BOUNCE, &PELLVANE_WALL_BOUNCE, &PELLVANE_BALL_LAUNCHED,
                                     &PELLVANE_BALL_LOST, &PELLVANE_LEVEL_CLEARED, &PELLVANE_GAME_OVER,
                                     &PELLVANE_GAME_STARTED})
        EXPECT_EQ(1u, sounding.count(*event)) << *event << " has an effect";

    // The title screen, as a player meets it before clicking NEW GAME.
    for (int frame = 0; frame < 120; ++frame)
        scene->update(kDt);
    // Each effect is heard: a channel starts playing on the event; the last ones are stopped
    // first.
    const auto heard = [&](const std::function<void()>& action) {
        Mix_HaltChannel(-1);
        action();
        return playingChannels() > 0;
    };
    EXPECT_TRUE(heard([&] { scene->newGame(); })) << "a new game";
    shipped.untilPlaying();
    for (int frame = 0; frame < 30; ++frame)
        scene->update(kDt);
    const Frame waiting(*scene);
    EXPECT_TRUE(heard([&] {
        GameFixture::pressKeyOn(*game, kKeySpace, true);
        GameFixture::pressKeyOn(*game, kKeySpace, false);
    })) << "a launch";
    for (int frame = 0; frame < 30; ++frame)
        scene->update(kDt);
    const Frame flying(*scene);
    EXPECT_GT(flying.changed(waiting, 266, 500, 268, 28), 500) << "the CLICK TO LAUNCH hint went with the launch";

    // The last block breaks: its debris flies, and the banner comes up over the level at rest.
    std::vector<PellvaneBlockEntity*> blocks;
    for (IEntity* entity : scene->getLevel(scene->getCurrentLevel()))
        if (auto* block = dynamic_cast<PellvaneBlockEntity*>(entity))
            blocks.push_back(block);
    for (std::size_t i = 0; i + 1 < blocks.size(); ++i)
        blocks[i]->breakBlock();
    scene->update(kDt);
    const Frame beforeLast(*scene);
    PellvaneBlockEntity* last = blocks.back();
    EXPECT_TRUE(heard([&] {
        last->breakBlock();
        scene->update(kDt);
    })) << "a cleared level";
    EXPECT_EQ(LevelCleared, scene->getState());
    for (int frame = 0; frame < 12; ++frame)
        scene->update(kDt);
    const Frame cleared(*scene);
    EXPECT_GT(cleared.changed(beforeLast, 194, 300, 412, 63), 412 * 63 / 5) << "the LEVEL CLEARED banner";
    const int bx = static_cast<int>(last->getPosition().x), by = static_cast<int>(last->getPosition().y);
    const int around = cleared.changed(beforeLast, std::max(32, bx - 60), by + 30, 180, 60);
    EXPECT_GT(around, 20) << "debris below the block that broke";

    // The next level; a lost ball flashes along the bottom and is heard.
    shipped.untilPlaying();
    GameFixture::pressKeyOn(*game, kKeySpace, true);
    GameFixture::pressKeyOn(*game, kKeySpace, false);
    scene->update(kDt);
    const Frame inPlay(*scene);
    EXPECT_TRUE(heard([&] {
        ball->setPosition({ball->getPosition().x, 700.0f});
        scene->update(kDt);
    })) << "a lost ball";
    for (int frame = 0; frame < 6; ++frame)
        scene->update(kDt);
    const Frame flash(*scene);
    EXPECT_GT(flash.changed(inPlay, 40, 530, 720, 60), 720 * 60 / 5) << "the flash of a lost ball";
}

} // namespace
