// The geometric queries. All arithmetic is single-precision on window pixels; each tolerance is
// named below with the reasoning that fixes its value. Out parameters are written only on true.
#include "collision/Geometry.h"

#include <cmath>


namespace {

// A projection of P onto the segment direction below this is rounding noise of the dot product
// around the start point; answering A itself keeps the result exactly on the segment there.
// (Only the near end is snapped; a projection equal to the length falls through to A + len * u.)
constexpr float kProjectionEpsilon = 1e-8f;

// Segment a is p + t r and segment b is q + u s, t and u in [0, 1]. Where they meet,
//   p + t r = q + u s.
// Crossing both sides with s removes u (s x s = 0): t (r x s) = (q - p) x s.
// Crossing both sides with r removes t:             u (r x s) = (q - p) x r.
// So both fractions share the denominator r x s = |r||s| sin(angle). When it is this small the
// segments are parallel (or collinear, or one has no length) for all practical purposes, and
// dividing by it would turn rounding into arbitrary fractions: such pairs never cross. That also
// means collinear segments that overlap report nothing; the rectangle scans meet the other sides.
constexpr float kParallelEpsilon = 1e-8f;

// Fractions are accepted in the open range (-kFractionEpsilon, 1). The lower bound lets a
// crossing exactly at a segment's start count even when rounding puts it a hair before 0; the
// upper bound is strict and unpadded, so a path that ends exactly on a boundary does not cross it
// yet - the next path, which starts there, does.
constexpr float kFractionEpsilon = 1e-8f;

float clampTo(float value, float low, float high) {
    if (value < low)
        return low;
    if (value > high)
        return high;
    return value;
}

} // namespace

Vector2 closestPointOnLine(const Edge& segment, const Vector2& point) {
    const Vector2 d = segment.end - segment.start;
    const float squaredLength = dot(d, d);
    // A segment shorter than 1e-4 px (squared length 1e-8) is below the float resolution of
    // window coordinates (one ulp at 1000 px is about 6e-5 px): its direction would be noise, and
    // the segment is as good as its start point.
    if (squaredLength < kMinSquaredSegmentLength)
        return segment.start;

    const float len = std::sqrt(squaredLength);
    Vector2 unit = d;
    normalise(unit);
    const float proj = dot(point - segment.start, unit);
    if (proj < kProjectionEpsilon)
        return segment.start;
    if (proj > len)
        return segment.end;
    return segment.start + proj * unit;
}

bool segmentIntersection(const Edge& a, const Edge& b, Vector2& point) {
    const Vector2 p = a.start;
    const Vector2 r = a.end - a.start;
    const Vector2 q = b.start;
    const Vector2 s = b.end - b.start;

    const float den = cross(r, s);
    if (std::fabs(den) < kParallelEpsilon)
        return false;

    const Vector2 qp = q - p;
    const float t = cross(qp, s) / den;
    const float u = cross(qp, r) / den;
    if (!(-kFractionEpsilon < u && u < 1.0f && -kFractionEpsilon < t && t < 1.0f))
        return false;
    point = p + t * r;
    return true;
}

bool segmentIntersectsRect(const Rect& rect, const Edge& segment, Vector2& point, Edge& side) {
    const std::array<Edge, 4> edges = rectEdges(rect);
    bool found = false;
    float bestSquared = 0.0f;
    Vector2 bestPoint;
    int bestSide = 0;
    for (int i = 0; i < 4; ++i) {
        Vector2 crossing;
        if (!segmentIntersection(segment, edges[i], crossing))
            continue;
        const Vector2 toCrossing = crossing - segment.start;
        const float squared = dot(toCrossing, toCrossing);
        // Strictly nearer only: through a corner two sides tie and the earlier one is kept.
        if (!found || squared < bestSquared) {
            found = true;
            bestSquared = squared;
            bestPoint = crossing;
            bestSide = i;
        }
    }
    if (!found)
        return false;
    point = bestPoint;
    side = edges[bestSide];
    return true;
}

bool circleIntersectsRect(const Vector2& centre, float radius, const Rect& rect, Vector2& nearest) {
    const Vector2 n{clampTo(centre.x, rect.x, rect.x + rect.width), clampTo(centre.y, rect.y, rect.y + rect.height)};
    const Vector2 gap = n - centre;
    // Written as "not within" so that a NaN distance is a miss rather than a hit.
    if (!(dot(gap, gap) <= radius * radius))
        return false;
    nearest = n;
    return true;
}
