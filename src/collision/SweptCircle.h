// The swept test of a moving circle against a rectangle: the first contact along the path and
// the surface normal there. A pure function; SweptCircleCollider is its one user in the engine.
#pragma once

#include <algorithm>
#include <cmath>

#include "collision/Geometry.h"
#include "collision/Rect.h"
#include "collision/Vector2.h"

struct SweepResult {
    bool hit = false;
    // The circle's centre at contact.
    Vector2 centre;
    // Outward unit normal of the surface hit; stays (0, 0) when the circle did not move.
    Vector2 normal;
};

// A circle of the given radius whose centre moves from start to end, against rect. A circle that
// does not move (start == end exactly) is a static overlap test whose contact is the rectangle
// point nearest to its centre. A path shorter than 1e-4 px but not zero throws BaseException when it
// comes near the rectangle (the corner test asks for a closest point on it); movers keep above that.
SweepResult sweepCircleAgainstRect(float radius, const Vector2& start, const Vector2& end, const Rect& rect);

// The early reject: false when rect lies outside the box that the whole sweep stays inside, so
// no contact is possible. Inline because most boxes of a scene end here, before any other work.
inline bool sweptBoundsOverlap(float radius, const Vector2& start, const Vector2& end, const Rect& rect) {
    const Rect swept{std::min(start.x, end.x) - radius, std::min(start.y, end.y) - radius,
                     std::fabs(end.x - start.x) + 2.0f * radius, std::fabs(end.y - start.y) + 2.0f * radius};
    return rectsOverlap(rect, swept);
}
