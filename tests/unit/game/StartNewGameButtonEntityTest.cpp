// The new-game button: clickable only when fully shown, borders included, starting a new game
// at once even during play, and registered on the Game's dispatcher for its whole life.
#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "game/GameEvents.h"
#include "game/HudTestSupport.h"
#include "game/StartNewGameButtonEntity.h"

namespace {

// Counts the game-started events of a scene.
struct StartCounter : IEventCallback {
    bool handleEvent(IEvent*) override {
        ++count;
        return false;
    }
    int count = 0;
};

class StartNewGameButtonEntityTest : public hudtest::HudFixture {
protected:
    // A 20 x 10 button at (100, 200) scaled by 2: it covers x 100..140 and y 200..220.
    StartNewGameButtonEntity* loadButton() {
        loadGame("<new_game_button sprite='red' x='100' y='200' scale_x='2' scale_y='2'>"
                 "<duration in='1' out='1'/><trigger in='SCENE_STARTED' out='PELLVANE_GAME_STARTED'/>"
                 "</new_game_button>");
        scene->registerCallback(PELLVANE_GAME_STARTED, &started);
        return find<StartNewGameButtonEntity>();
    }

    StartCounter started;
};

TEST_F(StartNewGameButtonEntityTest, ClicksWhileFadingInAreIgnoredAndCountOnceShown) {
    StartNewGameButtonEntity* button = loadButton();
    ASSERT_NE(nullptr, button);
    release(120, 210); // waiting
    step(2);
    ASSERT_EQ(FadeState::FadingIn, button->getState());
    release(120, 210);
    EXPECT_EQ(0, started.count);
    EXPECT_EQ(Initiated, scene->getState());
    step(4);
    ASSERT_EQ(FadeState::Shown, button->getState());
    release(120, 210);
    EXPECT_EQ(1, started.count);
    EXPECT_EQ(LevelLoaded, scene->getState());
    // The game-started event faded the button out: a second click does nothing.
    EXPECT_EQ(FadeState::FadingOut, button->getState());
    release(120, 210);
    EXPECT_EQ(1, started.count);
}

TEST_F(StartNewGameButtonEntityTest, TheRightAndBottomBordersCountAsOverTheButton) {
    StartNewGameButtonEntity* button = loadButton();
    EXPECT_TRUE(button->isOver(100, 200));
    EXPECT_TRUE(button->isOver(140, 220));
    EXPECT_FALSE(button->isOver(140.5f, 210));
    EXPECT_FALSE(button->isOver(120, 220.5f));
    EXPECT_FALSE(button->isOver(99.5f, 210));
    step(6);
    ASSERT_EQ(FadeState::Shown, button->getState());
    release(141, 220);
    release(140, 221);
    release(99, 199);
    EXPECT_EQ(0, started.count);
    release(140, 220);
    EXPECT_EQ(1, started.count);
}

TEST_F(StartNewGameButtonEntityTest, AClickDuringPlayStartsANewGameAtOnce) {
    // A button that stays shown whatever the game does.
    loadGame("<new_game_button sprite='red' x='100' y='200'><trigger out='NEVER'/></new_game_button>");
    auto* button = find<StartNewGameButtonEntity>();
    step(2);
    ASSERT_EQ(FadeState::Shown, button->getState());
    release(110, 205);
    step(2);
    ASSERT_EQ(Playing, scene->getState());
    scene->addScore(120);
    scene->ballLost();
    static_cast<SpriteEntity*>(scene->getLevel(0).at(0))->setEnabled(false);
    step(); // the level is cleared
    ASSERT_EQ(1, scene->getLevelsCompleted());
    release(110, 205);
    EXPECT_EQ(0, scene->getScore());
    EXPECT_EQ(0, scene->getLevelsCompleted());
    EXPECT_EQ(3, scene->getLives());
    EXPECT_EQ(LevelLoaded, scene->getState());
}

TEST_F(StartNewGameButtonEntityTest, WhichMouseButtonWasReleasedIsNotLookedAtButOtherEventsAre) {
    loadGame("<new_game_button sprite='red'><trigger out='NEVER'/></new_game_button>");
    scene->registerCallback(PELLVANE_GAME_STARTED, &started);
    step(2);
    game->dispatchEvent(new MouseEvent(MOUSE_BUTTON_UP_EVENT, 5, 5, false, true, MouseButtonUp));
    EXPECT_EQ(1, started.count);
    auto* button = find<StartNewGameButtonEntity>();
    auto* callback = const_cast<StartNewGameButtonCallback*>(button->getMouseCallback());
    Event plain(MOUSE_BUTTON_UP_EVENT); // not a mouse event: no coordinates to test
    EXPECT_FALSE(callback->handleEvent(&plain));
}

TEST_F(StartNewGameButtonEntityTest, TheMouseCallbackLivesFromLoadToDestruction) {
    StartNewGameButtonEntity* button = loadButton();
    auto* callback = const_cast<StartNewGameButtonCallback*>(button->getMouseCallback());
    ASSERT_NE(nullptr, callback);
    EXPECT_TRUE(scene->getContext().input->isCallbackRegistered(MOUSE_BUTTON_UP_EVENT, callback));
    scene.reset();
    release(120, 210); // would reach a destroyed button otherwise
}

TEST_F(StartNewGameButtonEntityTest, AButtonOutsideAGameSceneIsALoadError) {
    BaseScene plain(game->sceneContext());
    TiXmlDocument document;
    document.Parse("<new_game_button sprite='red'/>");
    StartNewGameButtonEntity button;
    try {
        button.load(TiXmlHandle(document.RootElement()), &plain);
        FAIL() << "no exception";
    } catch (const EntityException& e) {
        EXPECT_EQ("Entity Exception: StartNewGameButtonEntity: Entity is not in a pellvane_game scene!", e.message);
    }
    EXPECT_EQ(nullptr, button.getMouseCallback());
}

} // namespace
