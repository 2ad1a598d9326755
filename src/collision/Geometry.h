// The geometric queries the colliders and the game's motion are built on: closest point on a
// segment, segment crossings, rectangle overlap and circle against rectangle.
#pragma once

#include "collision/Rect.h"
#include "collision/Vector2.h"

// Squared length below which a segment has no usable direction (see Geometry.cpp).
constexpr float kMinSquaredSegmentLength = 1e-8f;

// The point of the segment nearest to point. A segment whose squared length is below
// kMinSquaredSegmentLength has no direction to project on: its start is the answer.
Vector2 closestPointOnLine(const Edge& segment, const Vector2& point);

// True when segment a crosses segment b; point is then set to the crossing. Parallel and collinear
// segments never cross. A crossing at the start of either segment counts, one at its end does not.
bool segmentIntersection(const Edge& a, const Edge& b, Vector2& point);

// True when the segment crosses the boundary of rect; point is then the crossing nearest to the
// segment's start and side a copy of the side crossed (with its normal). On a tie of distance the
// side earlier in rectEdges order wins.
bool segmentIntersectsRect(const Rect& rect, const Edge& segment, Vector2& point, Edge& side);

// True when the rectangles share at least one point: touching along an edge or at a corner counts.
// Inline: it is the early reject of every swept test.
inline bool rectsOverlap(const Rect& a, const Rect& b) {
    // Separated only when a gap opens on one axis; equal borders touch, and touching overlaps.
    return !(a.x + a.width < b.x || a.y + a.height < b.y || a.x > b.x + b.width || a.y > b.y + b.height);
}

// True when the circle and the rectangle share at least one point (a circle that just touches
// counts); nearest is then the rectangle point nearest to the centre (the centre itself if inside).
bool circleIntersectsRect(const Vector2& centre, float radius, const Rect& rect, Vector2& nearest);
