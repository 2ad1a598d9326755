// The guns a laser capsule arms, as rules: a volley only in play, only while the laser lasts and
// never within the cooldown of the last; and the guns end with their time, the level and the ball.
#include <gtest/gtest.h>
#include <vector>

#include "rules/Match.h"

namespace {

// The volleys among the events since they were last taken, each checked to name the laser.
int volleys(Match& match) {
    int count = 0;
    for (const MatchEvent& event : match.takeEvents()) {
        if (event.kind != MatchEvent::VolleyFired)
            continue;
        EXPECT_EQ(PowerUp::Laser, event.powerUp);
        ++count;
    }
    return count;
}

TEST(GunsTest, TheLaserFiresInPlayNoFasterThanItsCooldownUntilItsTimeTheLevelOrTheBallEnds) {
    MatchSettings settings;
    settings.loadedDelay = 0.0f;
    PowerUpSettings powerUps;
    powerUps.defined.fill(true);
    powerUps.duration.fill(5.0f);
    powerUps.shotCooldown = 0.5f;
    Match match(settings, powerUps, {LevelSettings{}, LevelSettings{}});
    match.newGame(0, 1);
    match.step(0.01f, false);
    match.takeEvents();

    match.fireGuns();
    EXPECT_EQ(0, volleys(match)) << "no guns before the laser";
    match.capsuleCaught(PowerUp::Laser);
    EXPECT_EQ(PowerUp::Laser, match.activeKind(Change::Guns));
    match.takeEvents();
    match.fireGuns();
    EXPECT_EQ(1, volleys(match));
    match.fireGuns();
    match.step(0.49f, false);
    match.fireGuns();
    EXPECT_EQ(0, volleys(match)) << "within the cooldown";
    match.step(0.02f, false);
    match.fireGuns();
    EXPECT_EQ(1, volleys(match));

    // The time runs out: no more volleys, and a new laser fires at once.
    match.step(4.6f, false);
    EXPECT_FALSE(match.activeKind(Change::Guns));
    match.fireGuns();
    EXPECT_EQ(0, volleys(match));
    match.capsuleCaught(PowerUp::Laser);
    match.fireGuns();
    EXPECT_EQ(1, volleys(match));

    // The last ball lost ends them, and so does the level: the next laser is not held back by the
    // cooldown of the last.
    match.lastBallLost();
    match.fireGuns();
    EXPECT_EQ(0, volleys(match));
    match.capsuleCaught(PowerUp::Laser);
    match.fireGuns();
    EXPECT_EQ(1, volleys(match));
    match.step(0.01f, true);
    EXPECT_EQ(LevelLoaded, match.getState()) << "the next level comes in at once";
    match.fireGuns();
    EXPECT_EQ(0, volleys(match)) << "nothing fires before the level starts";
    match.step(0.01f, false);
    match.capsuleCaught(PowerUp::Laser);
    match.fireGuns();
    EXPECT_EQ(1, volleys(match));

    // Over: nothing fires, whatever was in force.
    while (match.getState() != GameOver)
        match.lastBallLost();
    match.fireGuns();
    EXPECT_EQ(0, volleys(match));
}

} // namespace
