// sweepCircleAgainstRect case by case - faces, corners and their normal rule, the degenerate paths
// - and a property check over random paths and boxes against an exact distance computed apart.
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

#include "collision/SweptCircle.h"

namespace {

// The box most cases run against, and the radius of the circle.
const Rect kBox{100.0f, 100.0f, 50.0f, 20.0f};
constexpr float kRadius = 5.0f;

const Vector2 kUp{0.0f, -1.0f};
const Vector2 kDown{0.0f, 1.0f};
const Vector2 kLeft{-1.0f, 0.0f};
const Vector2 kNone{0.0f, 0.0f};

SweepResult sweep(Vector2 start, Vector2 end, float radius = kRadius, const Rect& box = kBox) {
    return sweepCircleAgainstRect(radius, start, end, box);
}

// Exact distances in double precision, computed independently of the code under test.
double pointRectDistance(double px, double py, const Rect& r) {
    const double dx = std::max({r.x - px, 0.0, px - (r.x + r.width)});
    const double dy = std::max({r.y - py, 0.0, py - (r.y + r.height)});
    return std::hypot(dx, dy);
}

double pointSegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    const double t = len2 > 0.0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / len2, 0.0, 1.0) : 0.0;
    return std::hypot(ax + t * dx - px, ay + t * dy - py);
}

// Distance between a segment and a filled rectangle: zero if the segment touches it, otherwise
// the smallest of the end points' distances to the rectangle and the corners' distances to the segment.
double segmentRectDistance(const Vector2& a, const Vector2& b, const Rect& r) {
    // Sample-free crossing check: clip the segment against the rectangle (Liang-Barsky).
    double t0 = 0.0, t1 = 1.0;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - r.x, r.x + r.width - a.x, a.y - r.y, r.y + r.height - a.y};
    bool inside = true;
    for (int i = 0; i < 4 && inside; ++i) {
        if (p[i] == 0.0) {
            inside = q[i] >= 0.0;
        } else {
            const double t = q[i] / p[i];
            if (p[i] < 0.0)
                t0 = std::max(t0, t);
            else
                t1 = std::min(t1, t);
            inside = t0 <= t1;
        }
    }
    if (inside)
        return 0.0;
    double best = std::min(pointRectDistance(a.x, a.y, r), pointRectDistance(b.x, b.y, r));
    const double cx[2] = {r.x, r.x + r.width}, cy[2] = {r.y, r.y + r.height};
    for (double x : cx)
        for (double y : cy)
            best = std::min(best, pointSegmentDistance(x, y, a.x, a.y, b.x, b.y));
    return best;
}

} // namespace

TEST(SweepCircleAgainstRect, FallingOntoAFaceStopsOneRadiusAbove) {
    const SweepResult hit = sweep({125.0f, 50.0f}, {125.0f, 150.0f});
    ASSERT_TRUE(hit.hit);
    EXPECT_EQ(hit.centre, (Vector2{125.0f, 95.0f}));
    EXPECT_EQ(hit.normal, kUp);
}

TEST(SweepCircleAgainstRect, RisingIntoTheUndersideAndArrivingFromTheLeft) {
    const SweepResult below = sweep({110.0f, 200.0f}, {110.0f, 110.0f});
    ASSERT_TRUE(below.hit);
    EXPECT_EQ(below.centre, (Vector2{110.0f, 125.0f}));
    EXPECT_EQ(below.normal, kDown);

    const SweepResult left = sweep({20.0f, 110.0f}, {120.0f, 110.0f});
    ASSERT_TRUE(left.hit);
    EXPECT_EQ(left.centre, (Vector2{95.0f, 110.0f}));
    EXPECT_EQ(left.normal, kLeft);
}

TEST(SweepCircleAgainstRect, DiagonalCornerHitTakesTheFaceItIsFartherOutsideOf) {
    // Down and right past the top-left corner at 0.71 px: the centre first comes r from the corner
    // at (96, 97), on the path, 4 px left of the box and 3 px above it: the left face.
    const SweepResult moreLeft = sweep({79.0f, 80.0f}, {97.0f, 98.0f});
    ASSERT_TRUE(moreLeft.hit);
    EXPECT_NEAR(moreLeft.centre.x, 96.0f, 1e-4f);
    EXPECT_NEAR(moreLeft.centre.y, 97.0f, 1e-4f);
    EXPECT_EQ(moreLeft.normal, kLeft);

    // The mirror image, 4 px above and 3 px left: the top face.
    const SweepResult moreAbove = sweep({80.0f, 79.0f}, {98.0f, 97.0f});
    ASSERT_TRUE(moreAbove.hit);
    EXPECT_NEAR(moreAbove.centre.x, 97.0f, 1e-4f);
    EXPECT_NEAR(moreAbove.centre.y, 96.0f, 1e-4f);
    EXPECT_EQ(moreAbove.normal, kUp);

    // Exactly on the diagonal both faces are equally far: the top wins the tie.
    const SweepResult tie = sweep({80.0f, 80.0f}, {98.0f, 98.0f});
    ASSERT_TRUE(tie.hit);
    EXPECT_FLOAT_EQ(tie.centre.x, tie.centre.y);
    EXPECT_NEAR(tie.centre.x, 100.0f - kRadius / std::sqrt(2.0f), 1e-4f);
    EXPECT_EQ(tie.normal, kUp);
}

TEST(SweepCircleAgainstRect, SkimmingPastACornerReportsTheFaceTouched) {
    // Down and right, 2.83 px inside the corner's reach, onto the top face just right of the corner.
    // The contact is where the circle first touches the corner - r from it, above the box - and not
    // the point where the path later enters the rectangle's own column, which lies inside the circle.
    const SweepResult hit = sweep({80.0f, 76.0f}, {110.0f, 106.0f});
    ASSERT_TRUE(hit.hit);
    EXPECT_NEAR(std::hypot(hit.centre.x - 100.0f, hit.centre.y - 100.0f), kRadius, 1e-4f);
    EXPECT_NEAR(hit.centre.y - hit.centre.x, -4.0f, 1e-4f); // on the path y = x - 4
    EXPECT_LT(hit.centre.x, 100.0f);
    EXPECT_EQ(hit.normal, kUp);
}

TEST(SweepCircleAgainstRect, TheNearestCornerWinsWhateverItsPlaceInTheScan) {
    // Skimming 3 px above the top face reaches both top corners; the one met first along the path
    // is reported, though the top-left is scanned before the top-right.
    const SweepResult fromRight = sweep({200.0f, 97.0f}, {50.0f, 97.0f});
    ASSERT_TRUE(fromRight.hit);
    EXPECT_NEAR(fromRight.centre.x, 154.0f, 1e-4f);
    EXPECT_EQ(fromRight.centre.y, 97.0f);
    EXPECT_EQ(fromRight.normal, (Vector2{1.0f, 0.0f})); // 4 px right of the box, 3 px above it

    const SweepResult fromLeft = sweep({50.0f, 97.0f}, {200.0f, 97.0f});
    ASSERT_TRUE(fromLeft.hit);
    EXPECT_NEAR(fromLeft.centre.x, 96.0f, 1e-4f);
    EXPECT_EQ(fromLeft.normal, kLeft);
}

TEST(SweepCircleAgainstRect, CornerContactDoesNotDependOnHowFarThePathGoes) {
    // Up and left past the bottom-right corner: first touch at (154, 123), farther right than below.
    for (const Vector2 end : {Vector2{149.0f, 118.0f}, Vector2{130.0f, 99.0f}}) {
        const SweepResult hit = sweep({171.0f, 140.0f}, end);
        ASSERT_TRUE(hit.hit);
        EXPECT_NEAR(hit.centre.x, 154.0f, 1e-4f);
        EXPECT_NEAR(hit.centre.y, 123.0f, 1e-4f);
        EXPECT_EQ(hit.normal, (Vector2{1.0f, 0.0f}));
    }
}

TEST(SweepCircleAgainstRect, APathThatEndsShortOfTheBoxMisses) {
    EXPECT_FALSE(sweep({125.0f, 50.0f}, {125.0f, 94.0f}).hit); // rejected by the swept bounds
    // Passes the swept bounds test (they touch the box) but comes no nearer than 7.07 to the corner.
    EXPECT_FALSE(sweep({80.0f, 80.0f}, {95.0f, 95.0f}).hit);
    // Passing beside the box farther than r.
    EXPECT_FALSE(sweep({50.0f, 93.0f}, {200.0f, 93.0f}).hit);
}

TEST(SweepCircleAgainstRect, StandingCircleIsAStaticOverlapTestWithoutNormal) {
    const SweepResult overlap = sweep({95.0f, 110.0f}, {95.0f, 110.0f}, 6.0f);
    ASSERT_TRUE(overlap.hit);
    EXPECT_EQ(overlap.centre, (Vector2{100.0f, 110.0f}));
    EXPECT_EQ(overlap.normal, kNone);

    const SweepResult touching = sweep({95.0f, 110.0f}, {95.0f, 110.0f}, 5.0f);
    ASSERT_TRUE(touching.hit);
    EXPECT_EQ(touching.normal, kNone);

    const SweepResult inside = sweep({120.0f, 110.0f}, {120.0f, 110.0f}, 0.0f);
    ASSERT_TRUE(inside.hit);
    EXPECT_EQ(inside.centre, (Vector2{120.0f, 110.0f}));

    EXPECT_FALSE(sweep({95.0f, 110.0f}, {95.0f, 110.0f}, 4.9f).hit);
}

TEST(SweepCircleAgainstRect, AStartInContactHitsAtTheStartOnlyWhenMovingIn) {
    // Overlapping, moving out through the bottom or about inside: nothing to bounce off.
    EXPECT_FALSE(sweep({125.0f, 115.0f}, {125.0f, 140.0f}).hit);
    EXPECT_FALSE(sweep({110.0f, 105.0f}, {104.0f, 101.0f}).hit);
    // Overlapping and moving further in: the contact is the start, never behind it, with the
    // normal of the nearest way out (the top, 4 px away).
    const SweepResult in = sweep({125.0f, 104.0f}, {125.0f, 110.0f});
    ASSERT_TRUE(in.hit);
    EXPECT_EQ(in.centre, (Vector2{125.0f, 104.0f}));
    EXPECT_EQ(in.normal, kUp);
    EXPECT_EQ(in.fraction, 0.0f);
    // Overlapping a corner from outside and moving into it: the face it is farther outside of.
    const SweepResult corner = sweep({97.0f, 98.0f}, {110.0f, 99.0f});
    ASSERT_TRUE(corner.hit);
    EXPECT_EQ(corner.normal, kLeft);
    // Touching a face and moving along it or away: no contact.
    EXPECT_FALSE(sweep({125.0f, 95.0f}, {135.0f, 95.0f}).hit);
    EXPECT_FALSE(sweep({125.0f, 95.0f}, {125.0f, 90.0f}).hit);
    // A 16 px wall entered from its inner side is hit at once, not passed through.
    const Rect wall{16.0f, 64.0f, 16.0f, 500.0f};
    const SweepResult through = sweepCircleAgainstRect(8.0f, {36.0f, 300.0f}, {0.0f, 300.0f}, wall);
    ASSERT_TRUE(through.hit);
    EXPECT_EQ(through.normal, (Vector2{1.0f, 0.0f}));
}

TEST(SweepCircleAgainstRect, PathThroughACornerGetsTheContactOneRadiusBack) {
    // Exactly through the top-left corner: no sideways direction exists, so the contact is taken
    // on the path one radius before the corner - where the circle first touches it.
    const SweepResult hit = sweep({80.0f, 80.0f}, {110.0f, 110.0f});
    ASSERT_TRUE(hit.hit);
    const float back = kRadius / std::sqrt(2.0f);
    EXPECT_NEAR(hit.centre.x, 100.0f - back, 1e-4f);
    EXPECT_NEAR(hit.centre.y, 100.0f - back, 1e-4f);
    EXPECT_EQ(hit.normal, kUp);

    // Within 1e-5 of a corner but not through it (the path passes 2.8e-6 from (1, 1)).
    const Rect small{1.0f, 1.0f, 4.0f, 4.0f};
    const SweepResult near = sweep({-9.0f, -9.0f + 4e-6f}, {3.0f, 3.0f + 4e-6f}, 2.0f, small);
    ASSERT_TRUE(near.hit);
    EXPECT_NEAR(near.centre.x, 1.0f - std::sqrt(2.0f), 1e-4f);
    EXPECT_NEAR(near.centre.y, 1.0f - std::sqrt(2.0f), 1e-4f);
    EXPECT_NEAR(std::hypot(near.centre.x - 1.0f, near.centre.y - 1.0f), 2.0f, 1e-4f);

    // Through the bottom-right corner from below-right: the contact is still before the corner.
    const SweepResult other = sweep({170.0f, 140.0f}, {140.0f, 110.0f});
    ASSERT_TRUE(other.hit);
    EXPECT_NEAR(other.centre.x, 150.0f + back, 1e-4f);
    EXPECT_NEAR(other.centre.y, 120.0f + back, 1e-4f);
    EXPECT_EQ(other.normal, kDown);
}

TEST(SweepCircleAgainstRect, DegenerateZeroLengthPath) {
    // start == end exactly takes the standing test; far from the box it is a plain miss.
    EXPECT_FALSE(sweep({0.0f, 0.0f}, {0.0f, 0.0f}).hit);
    EXPECT_TRUE(sweep({125.0f, 96.0f}, {125.0f, 96.0f}).hit);
}

TEST(SweepCircleAgainstRect, DegenerateTinyPathHitsOnlyFromContact) {
    // Not zero, but shorter than 1e-4 px: too short for the corner test, and too short to reach
    // the box from outside; in contact and moving in, it hits at its start.
    const Rect box{0.0f, 0.0f, 10.0f, 10.0f};
    EXPECT_FALSE(sweep({-2.5f, -2.5f}, {-2.5f, -2.5f + 1e-5f}, 3.0f, box).hit);
    EXPECT_FALSE(sweep({50.0f, -20.0f}, {50.0f, -20.0f + 1e-5f}, 3.0f, box).hit);
    EXPECT_TRUE(sweep({5.0f, -3.0f}, {5.0f, -3.0f + 1e-5f}, 3.0f, box).hit);
}

TEST(SweepCircleAgainstRect, DegenerateEndingExactlyOnTheBoundary) {
    // t = 1 on the widened top face: not a hit yet ...
    EXPECT_FALSE(sweep({125.0f, 50.0f}, {125.0f, 95.0f}).hit);
    // ... and the next path, starting there, hits at its start.
    const SweepResult next = sweep({125.0f, 95.0f}, {125.0f, 100.0f});
    ASSERT_TRUE(next.hit);
    EXPECT_EQ(next.centre, (Vector2{125.0f, 95.0f}));
    EXPECT_EQ(next.normal, kUp);
}

TEST(SweepCircleAgainstRect, DegenerateParallelToAFace) {
    // Along the widened top face the circle grazes the box without moving into it: no bounce.
    EXPECT_FALSE(sweep({0.0f, 95.0f}, {200.0f, 95.0f}).hit);
    EXPECT_FALSE(sweep({0.0f, 94.0f}, {200.0f, 94.0f}).hit);
    // A hair lower it does move in, at the corner, and the top face turns it.
    const SweepResult hit = sweep({0.0f, 95.0f}, {200.0f, 95.5f});
    ASSERT_TRUE(hit.hit);
    EXPECT_EQ(hit.normal, kUp);
}

TEST(SweepCircleAgainstRect, RandomPathsHitExactlyWhenTheyComeWithinRadiusAndStopOutside) {
    std::mt19937 rng(20240607u);
    std::uniform_real_distribution<float> coord(-100.0f, 500.0f);
    std::uniform_real_distribution<float> size(1.0f, 120.0f);
    std::uniform_real_distribution<float> radiusOf(0.5f, 25.0f);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    constexpr double kTolerance = 1e-3;
    int hits = 0, farMisses = 0;
    for (int i = 0; i < 200000; ++i) {
        const Rect box{coord(rng), coord(rng), size(rng), size(rng)};
        const float r = radiusOf(rng);
        const Vector2 s{coord(rng), coord(rng)};
        // Half the paths wander (mostly far from the box), half aim at points around it.
        const Vector2 wander{s.x + (coord(rng) - 200.0f) * 0.3f, s.y + (coord(rng) - 200.0f) * 0.3f};
        const Vector2 aim{box.x - 2.0f * r + unit(rng) * (box.width + 4.0f * r),
                          box.y - 2.0f * r + unit(rng) * (box.height + 4.0f * r)};
        const Vector2 e = i % 2 == 0 ? wander : aim;
        if (pointRectDistance(s.x, s.y, box) <= r + kTolerance)
            continue; // starts inside the widened box: covered by the case tests above
        const SweepResult res = sweepCircleAgainstRect(r, s, e, box);
        const double pathDistance = segmentRectDistance(s, e, box);
        if (pathDistance > r + kTolerance) {
            ++farMisses;
            ASSERT_FALSE(res.hit) << "case " << i;
        }
        if (pathDistance < r - kTolerance) {
            ASSERT_TRUE(res.hit) << "case " << i << ": the path comes within r but nothing was reported";
        }
        if (res.hit) {
            ++hits;
            ASSERT_GE(pointRectDistance(res.centre.x, res.centre.y, box), r - kTolerance)
                << "case " << i << ": contact centre inside the widened box";
            ASSERT_LE(pointSegmentDistance(res.centre.x, res.centre.y, s.x, s.y, e.x, e.y), kTolerance)
                << "case " << i << ": contact centre off the path";
        }
    }
    // The sample must exercise both outcomes to mean anything.
    EXPECT_GT(hits, 20000);
    EXPECT_GT(farMisses, 50000);
}
