// The swept test of a moving circle against a rectangle: the first contact along the path and
// the surface normal there. A pure function; SweptCircleCollider is its one user in the engine.
#pragma once

#include <algorithm>
#include <cmath>

#include "collision/Geometry.h"
#include "collision/Rect.h"
#include "collision/Vector2.h"

// A circle whose centre lies within this distance of touching a rectangle is in contact with it:
// farther in counts as overlapping, and a circle placed exactly at contact (which float rounding
// leaves a few 1e-5 px either side) must neither slip through nor be pushed about.
constexpr float kContactSlop = 1e-3f;

struct SweepResult {
    bool hit = false;
    // The circle's centre at contact.
    Vector2 centre;
    // Outward unit normal of the surface hit; stays (0, 0) when the circle did not move.
    Vector2 normal;
    // How far along the path the contact lies: 0 at its start, towards 1 at its end.
    float fraction = 0.0f;
};

// A circle of the given radius whose centre moves from start to end, against rect: the first
// contact along the path at which the circle moves into the rectangle. A circle that does not move
// (start == end exactly) is a static overlap test whose contact is the rectangle point nearest to
// its centre. A contact whose normal does not oppose the motion is no contact: a circle touching
// or overlapping the rectangle at its start hits there only if it moves further in, and leaves
// freely otherwise; no contact lies behind the start. A path shorter than kContactSlop that does
// not start in contact reaches nothing.
SweepResult sweepCircleAgainstRect(float radius, const Vector2& start, const Vector2& end, const Rect& rect);

// How deep a circle reaches into a rectangle: the radius less the distance from the centre to the
// rectangle, or, for a centre inside it, the radius plus the distance to its nearest side. Zero or
// less when they do not overlap.
float circleRectPenetration(const Vector2& centre, float radius, const Rect& rect);

// The early reject: false when rect lies outside the box that the whole sweep stays inside, so
// no contact is possible. Inline because most boxes of a scene end here, before any other work.
inline bool sweptBoundsOverlap(float radius, const Vector2& start, const Vector2& end, const Rect& rect) {
    const Rect swept{std::min(start.x, end.x) - radius, std::min(start.y, end.y) - radius,
                     std::fabs(end.x - start.x) + 2.0f * radius, std::fabs(end.y - start.y) + 2.0f * radius};
    return rectsOverlap(rect, swept);
}
