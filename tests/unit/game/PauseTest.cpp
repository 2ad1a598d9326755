// Pausing the game scene: only a game in play pauses; then only the pause overlay moves, the
// music is turned down and the pointer shows; P, a lost focus and a whole click drive it.
#include <SDL.h>
#include <gtest/gtest.h>
#include <string>

#include "game/GameTestSupport.h"
#include "scene/FadeEntity.h"

namespace {

using namespace gametest;

class PauseTest : public GameFixture {
protected:
    void SetUp() override {
        GameFixture::SetUp();
        std::string text = gameXml("<level>one.xml</level>", "loaded_delay=\"0\"", "", "",
                                   "<pause_overlay><fade sprite=\"red\" x=\"0\" y=\"0\"><duration in=\"0.5\"/>"
                                   "<alpha start=\"0\"/><trigger in=\"PELLVANE_GAME_PAUSED\" "
                                   "out=\"PELLVANE_GAME_RESUMED\"/></fade></pause_overlay>");
        text.replace(text.find("ball_height"), 0, "mouse=\"true\" ");
        scene = loadGame(text, {{"one.xml", levelXml(blockXml(0, 0, 1))}});
        for (const std::string* name : {&PELLVANE_GAME_PAUSED, &PELLVANE_GAME_RESUMED})
            scene->registerCallback(*name, &recorder);
        ball = first<PellvaneBallEntity>(*scene);
        overlay = static_cast<FadeEntity*>(scene->getPauseOverlay().at(0));
    }
    void TearDown() override {
        scene.reset();
        GameFixture::TearDown();
    }
    void startPlaying() {
        scene->newGame();
        runUntil(*scene, [&] { return scene->getState() == Playing; });
        scene->update(kDt);
    }
    static void click(int32_t button) {
        for (const std::string* name : {&MOUSE_BUTTON_DOWN_EVENT, &MOUSE_BUTTON_UP_EVENT})
            Game::getInstance()->dispatchEvent(
                new MouseEvent(*name, 100, 100, false, false, name == &MOUSE_BUTTON_UP_EVENT, button));
    }
    static bool musicQuiet() { return Game::getInstance()->getSoundManager()->isMusicQuiet(); }

    std::unique_ptr<PellvaneGameScene> scene;
    PellvaneBallEntity* ball = nullptr;
    FadeEntity* overlay = nullptr;
    EventRecorder recorder;
};

TEST_F(PauseTest, POnlyPausesAGameInPlayAndThenOnlyThePauseOverlayMoves) {
    pressKey(kKeyPause);
    scene->update(kDt);
    EXPECT_FALSE(scene->isPaused()) << "the title screen does not pause";
    EXPECT_EQ(SDL_ENABLE, SDL_ShowCursor(SDL_QUERY));

    startPlaying();
    releaseKey(kKeySpace);
    scene->update(kDt);
    EXPECT_EQ(SDL_DISABLE, SDL_ShowCursor(SDL_QUERY)) << "the pointer hides in play";
    pressKey(kKeyPause);
    ASSERT_TRUE(scene->isPaused());
    EXPECT_EQ(std::vector<std::string>{PELLVANE_GAME_PAUSED}, recorder.names);
    EXPECT_TRUE(musicQuiet());
    EXPECT_EQ(SDL_ENABLE, SDL_ShowCursor(SDL_QUERY));

    const Vector2 frozen = ball->position;
    for (int i = 0; i < 40; ++i) // past the overlay's half-second fade-in
        scene->update(kDt);
    EXPECT_FLOAT_EQ(frozen.y, ball->position.y) << "nothing moves";
    EXPECT_EQ(FadeState::Shown, overlay->state) << "but the overlay's fade ran";
    pressKey(kKeyRight);
    EXPECT_EQ(0.0f, first<PellvanePaddleEntity>(*scene)->direction) << "keys wait for the game";

    pressKey(kKeyPause);
    EXPECT_FALSE(scene->isPaused());
    EXPECT_FALSE(musicQuiet());
    EXPECT_EQ(PELLVANE_GAME_RESUMED, recorder.names.back());
    scene->update(kDt);
    EXPECT_LT(ball->position.y, frozen.y);
    EXPECT_EQ(SDL_DISABLE, SDL_ShowCursor(SDL_QUERY));
}

TEST_F(PauseTest, LosingTheFocusPausesAndOnlyAWholeClickResumesWithoutLaunching) {
    startPlaying();
    ASSERT_TRUE(ball->isHeld());
    Game::getInstance()->dispatchEvent(new Event(WINDOW_FOCUS_LOST_EVENT));
    ASSERT_TRUE(scene->isPaused());
    Game::getInstance()->dispatchEvent(new MouseEvent(MOUSE_BUTTON_UP_EVENT, 1, 1, false, false, 1, LeftButton));
    EXPECT_TRUE(scene->isPaused()) << "a release without its press";
    click(4); // the wheel
    EXPECT_TRUE(scene->isPaused());
    click(LeftButton);
    EXPECT_FALSE(scene->isPaused());
    EXPECT_TRUE(ball->isHeld()) << "the click that resumed did not launch";
    click(LeftButton);
    EXPECT_FALSE(ball->isHeld());

    Game::getInstance()->dispatchEvent(new Event(WINDOW_FOCUS_LOST_EVENT));
    scene->newGame();
    EXPECT_FALSE(scene->isPaused()) << "a new game is never paused";
}

} // namespace
