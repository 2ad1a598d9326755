// The ball's flight rules as plain geometry: the limits it keeps, the paddle's aim, and the turn
// that breaks a loop of misses, with the degenerate cases each one must survive.
#include <cmath>
#include <gtest/gtest.h>

#include "rules/Flight.h"

namespace {

constexpr float kDegree = kDegreesToRadians;

float angleFromVertical(const Vector2& v) {
    return std::atan2(std::fabs(v.x), std::fabs(v.y));
}

TEST(FlightTest, SpeedAndAngleLimitsKeepTheDirectionsSignsAndLeaveZeroAlone) {
    const Vector2 slow = flight::withinSpeeds({3.0f, 4.0f}, 50.0f, 100.0f);
    EXPECT_NEAR(50.0f, length(slow), 1e-3f);
    EXPECT_NEAR(30.0f, slow.x, 1e-3f);
    EXPECT_NEAR(80.0f, length(flight::withinSpeeds({60.0f, 80.0f}, 10.0f, 80.0f)), 1e-3f);
    EXPECT_EQ(0.0f, length(flight::withinSpeeds({0.0f, 0.0f}, 0.0f, 10.0f)));

    for (const Vector2 v : {Vector2{1.0f, -100.0f}, Vector2{-100.0f, 1.0f}, Vector2{0.0f, 50.0f}}) {
        const Vector2 limited = flight::limitAngle(v, 15.0f * kDegree);
        EXPECT_NEAR(length(v), length(limited), 1e-3f);
        EXPECT_GE(angleFromVertical(limited), 15.0f * kDegree - 1e-4f);
        EXPECT_LE(angleFromVertical(limited), 75.0f * kDegree + 1e-4f);
        EXPECT_EQ(std::signbit(v.y), std::signbit(limited.y));
    }
    EXPECT_EQ((Vector2{1.0f, -100.0f}), flight::limitAngle({1.0f, -100.0f}, 0.0f)) << "no minimum, no change";
    // A ball aimed steeply at a block keeps its steepness; it is still never flat.
    const Vector2 steep = flight::limitAngle({1.0f, -100.0f}, 15.0f * kDegree, true);
    EXPECT_NEAR(1.0f, steep.x, 1e-4f);
    EXPECT_NEAR(-100.0f, steep.y, 1e-4f);
    EXPECT_LE(angleFromVertical(flight::limitAngle({-100.0f, 1.0f}, 15.0f * kDegree, true)), 75.0f * kDegree + 1e-4f);

    EXPECT_EQ((Vector2{0.0f, -10.0f}), flight::reflected({0.0f, 10.0f}, {0.0f, -1.0f}, 1.0f));
    EXPECT_NEAR(-5.0f, flight::reflected({0.0f, 10.0f}, {0.0f, -1.0f}, 0.5f).y, 1e-6f);
    EXPECT_NEAR(20.0f + 0.5f * (100.0f - 20.0f), flight::withSpin({20.0f, -1.0f}, 0.5f, 100.0f).x, 1e-4f);
    EXPECT_EQ(20.0f, flight::withSpin({20.0f, -1.0f}, 0.5f, 0.0f).x) << "a paddle at rest lends no spin";
    EXPECT_NEAR(105.0f, length(flight::spedUp({0.0f, 100.0f}, 5.0f, 200.0f)), 1e-3f);
    EXPECT_NEAR(200.0f, length(flight::spedUp({0.0f, 198.0f}, 5.0f, 200.0f)), 1e-3f) << "never past the top";
    EXPECT_NEAR(300.0f, length(flight::spedUp({0.0f, 300.0f}, 5.0f, 200.0f)), 1e-3f) << "nor slowed to it";
}

TEST(FlightTest, ThePaddleAimsByWhereTheBallMeetsItAndItsMotionWithinTheLimit) {
    EXPECT_EQ(-1.0f, flight::offsetAlong(-50.0f, 0.0f, 60.0f));
    EXPECT_EQ(0.0f, flight::offsetAlong(30.0f, 0.0f, 60.0f));
    EXPECT_EQ(1.0f, flight::offsetAlong(60.0f, 0.0f, 60.0f));
    EXPECT_EQ(0.0f, flight::offsetAlong(10.0f, 0.0f, 0.0f)) << "a paddle of no width has no ends";

    const float limit = 60.0f * kDegree;
    const Vector2 centre = flight::aimedVelocity(0.0f, 0.0f, 300.0f, limit, 0.3f);
    EXPECT_NEAR(0.0f, centre.x, 1e-4f);
    EXPECT_NEAR(-300.0f, centre.y, 1e-3f);
    const Vector2 end = flight::aimedVelocity(1.0f, 0.0f, 300.0f, limit, 0.3f);
    EXPECT_NEAR(limit, angleFromVertical(end), 1e-5f);
    EXPECT_GT(end.x, 0.0f);
    const Vector2 pushed = flight::aimedVelocity(0.9f, 500.0f, 300.0f, limit, 0.3f);
    EXPECT_NEAR(limit, angleFromVertical(pushed), 1e-5f) << "the paddle's motion bends it, never past the limit";
    EXPECT_LT(flight::aimedVelocity(0.0f, -200.0f, 300.0f, limit, 0.3f).x, 0.0f)
        << "a paddle moving left sends it left";
}

TEST(FlightTest, AStalledBallTurnsTowardsABlockItCanReachAndNoFurtherThanItsAllowance) {
    const flight::StallField open{{0.0f, 0.0f, 400.0f, 400.0f}, {{300.0f, 100.0f}}, {}};
    const Vector2 up{0.0f, -100.0f};
    const Vector2 centre{100.0f, 300.0f};
    const Vector2 once = flight::turnedTowardsBlock(up, centre, 5.0f, flight::stallAllowance(1, false), open);
    EXPECT_NEAR(flight::kStallDeflectionDegrees * kDegree, angleFromVertical(once), 1e-4f);
    EXPECT_GT(once.x, 0.0f) << "towards the block, on the right";
    EXPECT_NEAR(100.0f, length(once), 1e-3f);
    const Vector2 many = flight::turnedTowardsBlock(up, centre, 5.0f, flight::stallAllowance(100, false), open);
    EXPECT_NEAR(flight::kMaxStallTurns * flight::kStallDeflectionDegrees * kDegree, angleFromVertical(many), 1e-4f);
    EXPECT_EQ(up, flight::turnedTowardsBlock(up, centre, 5.0f, flight::stallAllowance(3, false), {open.area, {}, {}}))
        << "nothing to aim at";

    // A nearer block behind metal (shut off from the walls too) is passed over for one in sight.
    flight::StallField walled{{0.0f, 0.0f, 400.0f, 400.0f}, {{60.0f, 200.0f}, {300.0f, 100.0f}}, {}};
    walled.metal.push_back({0.0f, 230.0f, 100.0f, 10.0f});
    EXPECT_GT(flight::turnedTowardsBlock(up, centre, 5.0f, flight::stallAllowance(1, false), walled).x, 0.0f);
}

} // namespace
