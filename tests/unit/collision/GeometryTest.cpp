// The geometric queries one by one: edges of a rectangle, closest point and its throw, segment
// crossings at their ends, rectangle crossings and ties, overlap and circle tests at the boundary.
#include <cmath>
#include <gtest/gtest.h>

#include "collision/Geometry.h"

namespace {

const Vector2 kUntouched{-777.0f, -777.0f};

Edge segment(float x0, float y0, float x1, float y1) {
    return {{x0, y0}, {x1, y1}, {0.0f, 0.0f}};
}

} // namespace

TEST(RectEdges, TopBottomLeftRightWithOutwardNormals) {
    const auto e = rectEdges(Rect{10.0f, 20.0f, 30.0f, 40.0f});
    EXPECT_EQ(e[kTopSide].start, (Vector2{10.0f, 20.0f}));
    EXPECT_EQ(e[kTopSide].end, (Vector2{40.0f, 20.0f}));
    EXPECT_EQ(e[kTopSide].normal, (Vector2{0.0f, -1.0f}));
    EXPECT_EQ(e[kBottomSide].start, (Vector2{10.0f, 60.0f}));
    EXPECT_EQ(e[kBottomSide].end, (Vector2{40.0f, 60.0f}));
    EXPECT_EQ(e[kBottomSide].normal, (Vector2{0.0f, 1.0f}));
    EXPECT_EQ(e[kLeftSide].start, (Vector2{10.0f, 20.0f}));
    EXPECT_EQ(e[kLeftSide].end, (Vector2{10.0f, 60.0f}));
    EXPECT_EQ(e[kLeftSide].normal, (Vector2{-1.0f, 0.0f}));
    EXPECT_EQ(e[kRightSide].start, (Vector2{40.0f, 20.0f}));
    EXPECT_EQ(e[kRightSide].end, (Vector2{40.0f, 60.0f}));
    EXPECT_EQ(e[kRightSide].normal, (Vector2{1.0f, 0.0f}));
}

TEST(ClosestPointOnLine, ClampsToTheSegment) {
    const Edge s = segment(0.0f, 0.0f, 10.0f, 0.0f);
    EXPECT_EQ(closestPointOnLine(s, {-5.0f, 3.0f}), (Vector2{0.0f, 0.0f}));
    EXPECT_EQ(closestPointOnLine(s, {15.0f, 3.0f}), (Vector2{10.0f, 0.0f}));
    EXPECT_EQ(closestPointOnLine(s, {4.0f, 3.0f}), (Vector2{4.0f, 0.0f}));
    EXPECT_EQ(closestPointOnLine(s, {10.0f, -7.0f}), (Vector2{10.0f, 0.0f}));
}

TEST(ClosestPointOnLine, WorksAlongAnyDirection) {
    const Vector2 q = closestPointOnLine(segment(10.0f, 10.0f, 0.0f, 0.0f), {0.0f, 10.0f});
    EXPECT_FLOAT_EQ(q.x, 5.0f);
    EXPECT_FLOAT_EQ(q.y, 5.0f);
}

TEST(ClosestPointOnLine, SquaredLengthThresholdIsInclusiveAndBelowItTheStartIsTheAnswer) {
    EXPECT_EQ(closestPointOnLine(segment(3.0f, 4.0f, 3.0f, 4.0f), {0.0f, 0.0f}), (Vector2{3.0f, 4.0f}));
    // The shortest float length whose square reaches the threshold is projected on; the one below
    // answers its start.
    float accepted = 1e-4f;
    while (accepted * accepted < kMinSquaredSegmentLength)
        accepted = std::nextafter(accepted, 1.0f);
    while (std::nextafter(accepted, 0.0f) * std::nextafter(accepted, 0.0f) >= kMinSquaredSegmentLength)
        accepted = std::nextafter(accepted, 0.0f);
    const float rejected = std::nextafter(accepted, 0.0f);

    EXPECT_EQ(closestPointOnLine(segment(0.0f, 0.0f, accepted, 0.0f), {1.0f, 1.0f}), (Vector2{accepted, 0.0f}));
    EXPECT_EQ(closestPointOnLine(segment(0.0f, 0.0f, rejected, 0.0f), {1.0f, 1.0f}), (Vector2{0.0f, 0.0f}));
}

TEST(SegmentIntersection, CrossingInTheMiddle) {
    Vector2 p = kUntouched;
    ASSERT_TRUE(segmentIntersection(segment(0.0f, 0.0f, 10.0f, 0.0f), segment(5.0f, -5.0f, 5.0f, 5.0f), p));
    EXPECT_EQ(p, (Vector2{5.0f, 0.0f}));
}

TEST(SegmentIntersection, CrossingAtTheFarEndDoesNotCount) {
    Vector2 p = kUntouched;
    // t would be 1 along the first segment.
    EXPECT_FALSE(segmentIntersection(segment(0.0f, 0.0f, 10.0f, 0.0f), segment(10.0f, -5.0f, 10.0f, 5.0f), p));
    // u would be 1 along the second segment.
    EXPECT_FALSE(segmentIntersection(segment(0.0f, 0.0f, 10.0f, 0.0f), segment(5.0f, -5.0f, 5.0f, 0.0f), p));
    EXPECT_EQ(p, kUntouched);
}

TEST(SegmentIntersection, CrossingAtTheStartCounts) {
    Vector2 p = kUntouched;
    ASSERT_TRUE(segmentIntersection(segment(5.0f, 0.0f, 5.0f, 5.0f), segment(0.0f, 0.0f, 10.0f, 0.0f), p));
    EXPECT_EQ(p, (Vector2{5.0f, 0.0f}));
    p = kUntouched;
    ASSERT_TRUE(segmentIntersection(segment(0.0f, 0.0f, 10.0f, 0.0f), segment(5.0f, 0.0f, 5.0f, 5.0f), p));
    EXPECT_EQ(p, (Vector2{5.0f, 0.0f}));
}

TEST(SegmentIntersection, ParallelAndCollinearSegmentsNeverCross) {
    Vector2 p = kUntouched;
    EXPECT_FALSE(segmentIntersection(segment(0.0f, 0.0f, 10.0f, 0.0f), segment(0.0f, 1.0f, 10.0f, 1.0f), p));
    EXPECT_FALSE(segmentIntersection(segment(0.0f, 0.0f, 10.0f, 0.0f), segment(5.0f, 0.0f, 15.0f, 0.0f), p));
    EXPECT_FALSE(segmentIntersection(segment(0.0f, 0.0f, 10.0f, 0.0f), segment(2.0f, 0.0f, 8.0f, 0.0f), p));
    EXPECT_FALSE(segmentIntersection(segment(0.0f, 0.0f, 10.0f, 10.0f), segment(10.0f, 10.0f, 0.0f, 0.0f), p));
    EXPECT_EQ(p, kUntouched);
}

TEST(SegmentIntersection, SegmentsThatMissDoNotCross) {
    Vector2 p = kUntouched;
    EXPECT_FALSE(segmentIntersection(segment(0.0f, 0.0f, 10.0f, 0.0f), segment(5.0f, 1.0f, 5.0f, 5.0f), p));
    EXPECT_FALSE(segmentIntersection(segment(0.0f, 0.0f, 10.0f, 0.0f), segment(12.0f, -5.0f, 12.0f, 5.0f), p));
    EXPECT_EQ(p, kUntouched);
}

TEST(SegmentIntersectsRect, ReportsTheCrossingNearestToTheStart) {
    const Rect r{0.0f, 0.0f, 10.0f, 10.0f};
    Vector2 p;
    Edge side;
    ASSERT_TRUE(segmentIntersectsRect(r, segment(-5.0f, 5.0f, 15.0f, 5.0f), p, side));
    EXPECT_EQ(p, (Vector2{0.0f, 5.0f}));
    EXPECT_EQ(side.normal, (Vector2{-1.0f, 0.0f}));
    EXPECT_EQ(side.start, (Vector2{0.0f, 0.0f}));

    ASSERT_TRUE(segmentIntersectsRect(r, segment(15.0f, 5.0f, -5.0f, 5.0f), p, side));
    EXPECT_EQ(p, (Vector2{10.0f, 5.0f}));
    EXPECT_EQ(side.normal, (Vector2{1.0f, 0.0f}));

    ASSERT_TRUE(segmentIntersectsRect(r, segment(5.0f, 25.0f, 5.0f, -5.0f), p, side));
    EXPECT_EQ(p, (Vector2{5.0f, 10.0f}));
    EXPECT_EQ(side.normal, (Vector2{0.0f, 1.0f}));
}

TEST(SegmentIntersectsRect, CornerEntryReportsTheEarlierSide) {
    const Rect r{0.0f, 0.0f, 10.0f, 10.0f};
    Vector2 p;
    Edge side;
    // Through the top-left corner: top and left tie, top comes first.
    ASSERT_TRUE(segmentIntersectsRect(r, segment(-5.0f, -5.0f, 5.0f, 5.0f), p, side));
    EXPECT_EQ(p, (Vector2{0.0f, 0.0f}));
    EXPECT_EQ(side.normal, (Vector2{0.0f, -1.0f}));
    // Through the bottom-left corner: bottom before left.
    ASSERT_TRUE(segmentIntersectsRect(r, segment(-5.0f, 15.0f, 5.0f, 5.0f), p, side));
    EXPECT_EQ(p, (Vector2{0.0f, 10.0f}));
    EXPECT_EQ(side.normal, (Vector2{0.0f, 1.0f}));
}

TEST(SegmentIntersectsRect, StartInsideReportsTheWayOut) {
    Vector2 p;
    Edge side;
    ASSERT_TRUE(segmentIntersectsRect(Rect{0.0f, 0.0f, 10.0f, 10.0f}, segment(5.0f, 5.0f, 5.0f, -5.0f), p, side));
    EXPECT_EQ(p, (Vector2{5.0f, 0.0f}));
    EXPECT_EQ(side.normal, (Vector2{0.0f, -1.0f}));
}

TEST(SegmentIntersectsRect, MissesAndInteriorPathsLeaveOutputsAlone) {
    const Rect r{0.0f, 0.0f, 10.0f, 10.0f};
    Vector2 p = kUntouched;
    Edge side{kUntouched, kUntouched, kUntouched};
    EXPECT_FALSE(segmentIntersectsRect(r, segment(-5.0f, -1.0f, 15.0f, -1.0f), p, side));
    EXPECT_FALSE(segmentIntersectsRect(r, segment(2.0f, 2.0f, 8.0f, 8.0f), p, side));
    // Ends exactly on the boundary: not a crossing yet.
    EXPECT_FALSE(segmentIntersectsRect(r, segment(5.0f, -5.0f, 5.0f, 0.0f), p, side));
    EXPECT_EQ(p, kUntouched);
    EXPECT_EQ(side.normal, kUntouched);
}

TEST(RectsOverlap, TouchingCounts) {
    const Rect a{0.0f, 0.0f, 10.0f, 10.0f};
    EXPECT_TRUE(rectsOverlap(a, Rect{10.0f, 0.0f, 5.0f, 5.0f}));
    EXPECT_TRUE(rectsOverlap(a, Rect{10.0f, 10.0f, 5.0f, 5.0f}));
    EXPECT_TRUE(rectsOverlap(a, Rect{-5.0f, -5.0f, 5.0f, 5.0f}));
    EXPECT_TRUE(rectsOverlap(a, Rect{2.0f, 2.0f, 1.0f, 1.0f}));
    EXPECT_TRUE(rectsOverlap(Rect{2.0f, 2.0f, 1.0f, 1.0f}, a));
}

TEST(RectsOverlap, AGapOnEitherAxisSeparates) {
    const Rect a{0.0f, 0.0f, 10.0f, 10.0f};
    EXPECT_FALSE(rectsOverlap(a, Rect{10.5f, 0.0f, 5.0f, 5.0f}));
    EXPECT_FALSE(rectsOverlap(a, Rect{0.0f, 10.5f, 5.0f, 5.0f}));
    EXPECT_FALSE(rectsOverlap(a, Rect{-6.0f, 0.0f, 5.0f, 5.0f}));
    EXPECT_FALSE(rectsOverlap(a, Rect{0.0f, -6.0f, 5.0f, 5.0f}));
}

TEST(CircleIntersectsRect, CentreInsideIsItsOwnNearestPoint) {
    const Rect r{0.0f, 0.0f, 10.0f, 10.0f};
    for (float radius : {0.0f, 0.5f, 100.0f}) {
        Vector2 n = kUntouched;
        ASSERT_TRUE(circleIntersectsRect({3.0f, 7.0f}, radius, r, n));
        EXPECT_EQ(n, (Vector2{3.0f, 7.0f}));
    }
}

TEST(CircleIntersectsRect, NearestPointIsClampedAndTouchingCounts) {
    const Rect r{0.0f, 0.0f, 10.0f, 10.0f};
    Vector2 n = kUntouched;
    ASSERT_TRUE(circleIntersectsRect({13.0f, 5.0f}, 3.0f, r, n));
    EXPECT_EQ(n, (Vector2{10.0f, 5.0f}));
    ASSERT_TRUE(circleIntersectsRect({13.0f, 14.0f}, 5.0f, r, n));
    EXPECT_EQ(n, (Vector2{10.0f, 10.0f}));

    n = kUntouched;
    EXPECT_FALSE(circleIntersectsRect({13.0f, 5.0f}, 2.9f, r, n));
    EXPECT_FALSE(circleIntersectsRect({13.0f, 14.0f}, 4.9f, r, n));
    EXPECT_EQ(n, kUntouched);
}
