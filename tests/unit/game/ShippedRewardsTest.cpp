// The shipped game's rewards and the end of its lap, driven through the scene's own operations and
// input with no display: balls come with points and light their counter, a cleared level's banner
// counts its bonus while the counters hold still, and the last level's figures wait for a click
// before the next lap is announced.
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "PlayThrough.h"
#include "events/Events.h"
#include "game/GameEvents.h"
#include "game/GameTestSupport.h"
#include "game/PellvaneBlockEntity.h"
#include "game/PellvaneCounterEntities.h"
#include "game/PellvaneGameScene.h"
#include "scene/TextEntity.h"

namespace {

using gametest::EventRecorder;
constexpr float kStep = 1.0f / 60.0f;

void run(PellvaneGameScene& scene, float seconds) {
    for (float t = 0.0f; t < seconds; t += kStep)
        scene.update(kStep);
}

// Every block that holds the level open takes hits until it breaks, as from a ball.
void clearLevel(PellvaneGameScene& scene) {
    const std::vector<IEntity*> entities = scene.getEntities();
    for (IEntity* entity : entities)
        if (auto* block = dynamic_cast<PellvaneBlockEntity*>(entity))
            while (block->holdsLevelOpen() && block->takeHit()) {
            }
}

// The line of text in the scene that reads `text`, or null when none is in it now.
TextEntity* textShown(PellvaneGameScene& scene, const std::string& text) {
    for (IEntity* entity : scene.getEntities())
        if (auto* line = dynamic_cast<TextEntity*>(entity); line != nullptr && line->getText() == text)
            return line;
    return nullptr;
}

// How many of the scene's figure counters are drawn now with `value` as their target.
int figuresShowing(PellvaneGameScene& scene, int value) {
    int found = 0;
    for (IEntity* entity : scene.getEntities())
        if (auto* counter = dynamic_cast<PellvaneFigureCounterEntity*>(entity))
            found += counter->isVisible() && counter->getTarget() == value ? 1 : 0;
    return found;
}

TEST(ShippedRewardsTest, BallsComeWithPointsBannersHoldTheCountersAndTheLapEndWaitsForAClick) {
    const std::unique_ptr<playthrough::HeadlessGame> game = playthrough::loadHeadless(PELLVANE_DATA, 1);
    ASSERT_NE(nullptr, game);
    PellvaneGameScene& scene = *game->scene;
    EventRecorder recorder;
    for (const std::string* name : {&PELLVANE_LEVEL_CLEARED, &PELLVANE_LIFE_EARNED, &PELLVANE_ALL_CLEARED,
                                    &PELLVANE_LAP_STARTED, &PELLVANE_NEW_LEVEL_LOADED})
        scene.registerCallback(*name, &recorder);

    scene.newGameAt(0);
    run(scene, 2.0f);
    const int lives = scene.getLives();

    // A cleared level: no ball for it, and under its banner the bonus counts while the level
    // and the score wait for the next level.
    clearLevel(scene);
    run(scene, 0.5f);
    EXPECT_EQ(1, recorder.count(PELLVANE_LEVEL_CLEARED));
    EXPECT_EQ(lives, scene.getLives()) << "balls come with points, not with levels";
    const int bonus = scene.getMatch().getBonus();
    EXPECT_GT(bonus, 0);
    EXPECT_NE(nullptr, textShown(scene, "BONUS"));
    EXPECT_EQ(1, scene.getMatch().getLevelNumber());
    const int scoreUnderBanner = scene.getScore();
    run(scene, 2.0f);
    EXPECT_EQ(2, scene.getMatch().getLevelNumber());
    EXPECT_EQ(scoreUnderBanner + bonus, scene.getScore());
    EXPECT_EQ(nullptr, textShown(scene, "BONUS")) << "the banner went with its level";

    // Points past the mark bring a ball, heard and lit up on the lives counter.
    const int every = scene.getMatch().getSettings().extraLifeEvery;
    ASSERT_GT(every, 0);
    scene.addScore(every - scene.getScore());
    run(scene, 0.1f);
    EXPECT_EQ(1, recorder.count(PELLVANE_LIFE_EARNED));
    EXPECT_EQ(lives + 1, scene.getLives());
    const TextEntity* extraBall = textShown(scene, "EXTRA BALL!");
    ASSERT_NE(nullptr, extraBall);
    EXPECT_NE(FadeState::Waiting, extraBall->getState());

    // The last level: its figures come up and stay, the bonus joins the score once the delay is
    // over, and only a click brings the first level back, announced as lap 2.
    scene.newGameAt(static_cast<unsigned>(scene.getLevelCount() - 1));
    run(scene, 2.0f);
    clearLevel(scene);
    run(scene, 0.5f);
    EXPECT_EQ(1, recorder.count(PELLVANE_ALL_CLEARED));
    for (const char* label : {"TIME", "BLOCKS", "BEST CHAIN", "BALLS LOST", "BONUS", "SCORE"})
        EXPECT_NE(nullptr, textShown(scene, label)) << label;
    const int lastBonus = scene.getMatch().getBonus();
    const int scoreAtTheEnd = scene.getScore();
    run(scene, 30.0f);
    EXPECT_EQ(AllCleared, scene.getState()) << "the end of the lap waits for the player";
    EXPECT_EQ(scoreAtTheEnd + lastBonus, scene.getScore());
    ASSERT_NE(nullptr, textShown(scene, "CLICK TO GO ON"));
    EXPECT_EQ(0, figuresShowing(scene, 2)) << "no lap shown in the first";
    const int loadsBefore = recorder.count(PELLVANE_NEW_LEVEL_LOADED);
    game->world->dispatchEvent(
        new MouseEvent(MOUSE_BUTTON_UP_EVENT, 400, 300, false, false, MouseButtonUp, LeftButton));
    run(scene, 0.1f);
    EXPECT_EQ(loadsBefore + 1, recorder.count(PELLVANE_NEW_LEVEL_LOADED));
    EXPECT_EQ(1, recorder.count(PELLVANE_LAP_STARTED));
    EXPECT_EQ(nullptr, textShown(scene, "CLICK TO GO ON"));
    EXPECT_NE(nullptr, textShown(scene, "LAP"));
    EXPECT_EQ(2, figuresShowing(scene, 2)) << "the lap in the HUD and on its banner";
}

} // namespace
