// FadeEntity: the fade timeline, the shown time, triggers on the scene's dispatcher, pulsing,
// auto-remove with its unregistering, reset, and ranges whose two ends are equal.
#include <cmath>
#include <gtest/gtest.h>
#include <string>

#include "base/Exceptions.h"
#include "scene/FadeEntity.h"
#include "scene/SceneTestSupport.h"

namespace {

class FadeEntityTest : public scenetest::SceneFixture {
protected:
    // A scene holding one fade made from the element's attributes and children.
    FadeEntity* loadFade(const std::string& attributes, const std::string& children = "") {
        scene = loadScene("<s id='main'><entities><fade sprite='red' " + attributes + ">" + children +
                          "</fade></entities></s>");
        return static_cast<FadeEntity*>(scene->getEntities().at(0));
    }
    void raise(const std::string& name) { scene->dispatchEvent(new Event(name)); }
    // Updates the scene n times with dt 0.25 (exact in binary, so timers add up exactly).
    void step(int n = 1) {
        for (int i = 0; i < n; ++i)
            scene->update(0.25f);
    }

    std::unique_ptr<BaseScene> scene;
};

TEST_F(FadeEntityTest, AOneSecondInAndOutFadeFollowsItsTimeline) {
    FadeEntity* fade = loadFade("", "<duration in='1' out='1'/>");
    EXPECT_EQ(FadeState::Delay, fade->getState());
    const float expected[] = {
        1.0f,                     // delay 0 passes: the loaded alpha is kept
        0.25f, 0.5f, 0.75f,       // fading in
        1.0f,                     // enters Shown
        1.0f,                     // enters FadingOut with timer 0
        0.75f, 0.5f, 0.25f, 0.0f, // fading out, then Done
        0.0f,
    };
    const FadeState states[] = {FadeState::FadingIn,  FadeState::FadingIn,  FadeState::FadingIn,  FadeState::FadingIn,
                                FadeState::Shown,     FadeState::FadingOut, FadeState::FadingOut, FadeState::FadingOut,
                                FadeState::FadingOut, FadeState::Done,      FadeState::Done};
    for (int i = 0; i < 11; ++i) {
        step();
        EXPECT_FLOAT_EQ(expected[i], fade->getColour().alpha) << "update " << i + 1;
        EXPECT_EQ(states[i], fade->getState()) << "update " << i + 1;
    }
}

TEST_F(FadeEntityTest, TheDelayHoldsTheFadeBackAndTheAlphaStartsFromAlphaStart) {
    FadeEntity* fade = loadFade("delay='0.5'", "<duration in='1'/><alpha min='0.2' max='0.8' start='0.1'/>");
    EXPECT_FLOAT_EQ(0.1f, fade->getColour().alpha);
    step(2);
    EXPECT_EQ(FadeState::Delay, fade->getState()); // 0.5 is not past 0.5
    step();
    EXPECT_EQ(FadeState::FadingIn, fade->getState());
    EXPECT_FLOAT_EQ(0.1f, fade->getColour().alpha);
    step(2);
    EXPECT_FLOAT_EQ(0.5f, fade->getColour().alpha); // halfway from 0.2 to 0.8
}

TEST_F(FadeEntityTest, ActiveTwoWithoutAnOutTriggerStaysShownUntilMoreThanTwoSecondsHavePassed) {
    FadeEntity* fade = loadFade("", "<duration in='0' out='1' active='2'/>");
    step(2); // Delay -> FadingIn -> Shown
    ASSERT_EQ(FadeState::Shown, fade->getState());
    step(8); // exactly two seconds shown
    EXPECT_EQ(FadeState::Shown, fade->getState());
    step();
    EXPECT_EQ(FadeState::FadingOut, fade->getState());
    step(); // continues from the present alpha, which is the top: a quarter of the second out
    EXPECT_FLOAT_EQ(0.75f, fade->getColour().alpha);
}

TEST_F(FadeEntityTest, SceneStartedAsTheInTriggerStartsTheFadeInTheScenesFirstUpdate) {
    FadeEntity* fade = loadFade("", "<duration in='1'/><trigger in='SCENE_STARTED'/>");
    EXPECT_EQ(FadeState::Waiting, fade->getState());
    EXPECT_TRUE(scene->isCallbackRegistered("SCENE_STARTED", fade->getCallback()));
    step();
    EXPECT_EQ(FadeState::FadingIn, fade->getState());
}

TEST_F(FadeEntityTest, AFadeWithAnInTriggerWaitsForItsEvent) {
    FadeEntity* fade = loadFade("", "<duration in='1'/><trigger in='GO'/>");
    step(4);
    EXPECT_EQ(FadeState::Waiting, fade->getState());
    EXPECT_FLOAT_EQ(1.0f, fade->getColour().alpha);
    raise("OTHER");
    step();
    EXPECT_EQ(FadeState::Waiting, fade->getState());
    raise("GO");
    EXPECT_EQ(FadeState::Delay, fade->getState());
}

TEST_F(FadeEntityTest, AnOutEventWhileFadingInIsIgnoredAndTheOutTriggerOverridesActive) {
    FadeEntity* fade = loadFade("", "<duration in='1' out='1' active='0'/><trigger in='IN' out='OUT'/>");
    raise("IN");
    step(2);
    ASSERT_EQ(FadeState::FadingIn, fade->getState());
    raise("OUT");
    EXPECT_EQ(FadeState::FadingIn, fade->getState());
    step(3);
    ASSERT_EQ(FadeState::Shown, fade->getState());
    step(20); // active 0 is ignored while an out trigger exists
    EXPECT_EQ(FadeState::Shown, fade->getState());
    raise("OUT");
    EXPECT_EQ(FadeState::FadingOut, fade->getState());
    step(4);
    EXPECT_EQ(FadeState::Waiting, fade->getState()); // back to waiting for its in event
    EXPECT_FLOAT_EQ(0.0f, fade->getColour().alpha);
}

TEST_F(FadeEntityTest, BothTriggersOnOneEventStartWhenWaitingAndFadeOutWhenShown) {
    FadeEntity* fade = loadFade("", "<duration in='0.25' out='0.25'/><trigger in='TOGGLE' out='TOGGLE'/>");
    raise("TOGGLE");
    EXPECT_EQ(FadeState::Delay, fade->getState());
    step(3);
    ASSERT_EQ(FadeState::Shown, fade->getState());
    raise("TOGGLE");
    EXPECT_EQ(FadeState::FadingOut, fade->getState());
    step(2);
    EXPECT_EQ(FadeState::Waiting, fade->getState());
    raise("TOGGLE");
    EXPECT_EQ(FadeState::Delay, fade->getState());
}

TEST_F(FadeEntityTest, InterruptLetsEachTriggerTurnAFadeBackFromTheAlphaItReached) {
    FadeEntity* fade = loadFade("", "<duration in='1' out='0.5'/><alpha start='0'/>"
                                    "<trigger in='IN' out='OUT' interrupt='true'/>");
    raise("IN");
    raise("OUT"); // still in its delay: nothing to fade from
    step();
    EXPECT_EQ(FadeState::Waiting, fade->getState());
    EXPECT_FLOAT_EQ(0.0f, fade->getColour().alpha);

    raise("IN");
    step(3); // delay, then half of the fade-in
    ASSERT_FLOAT_EQ(0.5f, fade->getColour().alpha);
    raise("OUT");
    EXPECT_EQ(FadeState::FadingOut, fade->getState());
    step(); // half of the 0.5 s fade-out was left
    EXPECT_EQ(FadeState::Waiting, fade->getState());
    EXPECT_FLOAT_EQ(0.0f, fade->getColour().alpha);

    raise("IN");
    step(5);
    ASSERT_EQ(FadeState::Shown, fade->getState());
    raise("OUT");
    step();
    ASSERT_FLOAT_EQ(0.5f, fade->getColour().alpha); // half of the way out
    raise("IN");
    EXPECT_EQ(FadeState::FadingIn, fade->getState()) << "no delay again";
    step();
    EXPECT_FLOAT_EQ(0.75f, fade->getColour().alpha);
}

TEST_F(FadeEntityTest, AutoRemoveDestroysTheEntityAndUnregistersItsCallback) {
    FadeEntity* fade = loadFade("auto_remove='true'", "<duration in='0.25' out='0.5'/><trigger in='GO' out='GONE'/>");
    const auto* callback = static_cast<const FadeEntityCallback*>(fade->getCallback());
    raise("GO");
    step(3);
    ASSERT_EQ(FadeState::Shown, fade->getState());
    raise("GONE");
    step();
    EXPECT_EQ(1u, scene->getEntities().size());
    step(); // the fade-out completes: removed at the end of this update
    EXPECT_TRUE(scene->getEntities().empty());
    EXPECT_FALSE(scene->isCallbackRegistered("GO", const_cast<FadeEntityCallback*>(callback)));
    EXPECT_FALSE(scene->isCallbackRegistered("GONE", const_cast<FadeEntityCallback*>(callback)));
    raise("GO"); // would reach freed memory if the callback were still registered
    raise("GONE");
}

TEST_F(FadeEntityTest, ResetWithoutAnAlphaChildSetsTheAlphaToZeroAndRestarts) {
    FadeEntity* fade = loadFade("enabled='false'", "<duration in='1'/><trigger in='GO'/>");
    EXPECT_FLOAT_EQ(1.0f, fade->getColour().alpha);
    raise("GO");
    fade->setEnabled(true);
    fade->update(0.5f);
    fade->update(0.5f);
    ASSERT_EQ(FadeState::FadingIn, fade->getState());
    fade->reset();
    EXPECT_FLOAT_EQ(0.0f, fade->getColour().alpha);
    EXPECT_EQ(FadeState::Waiting, fade->getState());
    EXPECT_TRUE(fade->isActive()); // a fade's reset leaves the flags alone
}

TEST_F(FadeEntityTest, APulseStartsFromItsBottomAfterTheFadeInAndSwingsBetweenItsBounds) {
    FadeEntity* fade =
        loadFade("", "<duration in='0.25'/><pulse duration='1'/><alpha min='0' max='1'/><trigger out='NEVER'/>");
    step(2); // Delay, then FadingIn reaches its end: Shown
    ASSERT_EQ(FadeState::Shown, fade->getState());
    EXPECT_FLOAT_EQ(1.0f, fade->getColour().alpha);
    step(); // past the falling half at once: turns and rises from the bottom
    EXPECT_FLOAT_EQ(0.0f, fade->getColour().alpha);
    step();
    EXPECT_FLOAT_EQ(0.25f, fade->getColour().alpha);
    step(3);
    EXPECT_FLOAT_EQ(1.0f, fade->getColour().alpha);
    step(2); // turns and falls
    EXPECT_FLOAT_EQ(0.75f, fade->getColour().alpha);
}

TEST_F(FadeEntityTest, APulseWhoseMinEqualsItsMaxHoldsTheAlphaAtThatValue) {
    FadeEntity* fade = loadFade("", "<duration in='0'/><pulse min='0.5' max='0.5'/><trigger out='NEVER'/>");
    step(2);
    ASSERT_EQ(FadeState::Shown, fade->getState());
    for (int i = 0; i < 10; ++i) {
        step();
        EXPECT_FLOAT_EQ(0.5f, fade->getColour().alpha);
    }
}

TEST_F(FadeEntityTest, AnAlphaRangeWhoseMinEqualsItsMaxFadesOutWithoutDividingByZero) {
    FadeEntity* fade = loadFade("", "<duration in='1' out='1'/><alpha min='0.6' max='0.6' start='0.6'/>");
    for (int i = 0; i < 12; ++i) {
        step();
        EXPECT_FLOAT_EQ(0.6f, fade->getColour().alpha) << "update " << i + 1;
    }
    EXPECT_EQ(FadeState::Done, fade->getState());
}

TEST_F(FadeEntityTest, APulseOfNoDurationHoldsTheAlphaAtItsMaxInsteadOfStrobing) {
    FadeEntity* fade =
        loadFade("", "<duration in='0'/><pulse duration='0' min='0.25' max='0.75'/><trigger out='NEVER'/>");
    step(2); // delay, then the fade-in of no length
    ASSERT_EQ(FadeState::Shown, fade->getState());
    for (int i = 0; i < 6; ++i) {
        step();
        EXPECT_FLOAT_EQ(0.75f, fade->getColour().alpha) << "step " << i;
    }
}

TEST_F(FadeEntityTest, TheFadeIsDrawnWithItsAnimatedAlpha) {
    FadeEntity* fade = loadFade("x='10' y='10'", "<duration in='1'/><trigger out='NEVER'/>");
    step(3); // halfway through the fade-in
    ASSERT_FLOAT_EQ(0.5f, fade->getColour().alpha);
    graphicstest::prepareFrame();
    scene->render();
    EXPECT_TRUE(graphicstest::near(testsupport::readPixel(15, 15), {128, 0, 0, 255}, 3));
}

} // namespace
