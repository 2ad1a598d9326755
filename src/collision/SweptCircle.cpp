// The swept circle test. The centres at which a circle of radius r touches a rectangle R form the
// boundary of R widened by r: a rounded rectangle made of three slabs (the left and right strips
// beside R and R stretched up and down by r) and four quarter discs around the corners. The first
// contact along a path is the nearest of its crossings with a slab boundary and its approaches to a
// corner closer than r. The scan order and the strictly-smaller rule below make ties deterministic.
#include "collision/SweptCircle.h"

#include <algorithm>
#include <cmath>

#include "collision/Geometry.h"

namespace {

// Squared distance that any real candidate beats: 3162 px, beyond the 1000 px diagonal of the
// window, so only a contact farther than any path can reach on screen would fail to replace it.
constexpr float kNoCandidateSquaredDistance = 9999999.0f;

// When the path passes closer than this to a corner, the vector from the path to the corner is at
// the level of the rounding of the closest point itself (coordinates of hundreds of pixels carry
// a few 1e-5 px of float resolution), so its direction - used to push the contact away from the
// corner - would be noise, and at zero a division by zero. The path then runs through the corner,
// and the contact is taken on the path instead (see cornerContact).
constexpr float kCornerSnapDistance = 1e-5f;

struct Corner {
    Vector2 point;
    int verticalSide;   // index into rectEdges: left or right
    int horizontalSide; // top or bottom
};

float squaredDistance(const Vector2& a, const Vector2& b) {
    const Vector2 d = b - a;
    return dot(d, d);
}

// Where the circle is taken to touch corner k on the path, if it comes within radius of it.
//
// Q is the path point nearest to k, at distance dist. If dist <= r, the contact is Q pushed away
// from k along (Q - k) until it is exactly r from k:
//   P = Q - (r - dist) * (k - Q) / dist.
// This moves sideways off the path rather than back along it - a cheap stand-in for intersecting
// the path with the corner's circle, good enough to rank the corner against the slab crossings.
//
// If the path passes through the corner (dist below kCornerSnapDistance) there is no sideways
// direction. Going back along the path instead, the centre one radius before the corner,
//   P = Q - r * u   (u the unit direction of the path),
// is exactly where a circle moving along a line through k first touches it: it lies on the rounded
// rectangle's boundary r from the corner, so its distance from the start ranks it fairly against
// the slab crossings. (It may lie behind the start when the start is already within r of k; the
// circle then overlaps the corner from the outset and the contact names where it should have been.)
bool cornerContact(const Edge& path, const Vector2& k, float r, Vector2& contact) {
    const Vector2 q = closestPointOnLine(path, k);
    const Vector2 d = k - q;
    const float dist = length(d);
    if (dist < kCornerSnapDistance) {
        Vector2 u = path.end - path.start;
        normalise(u);
        contact = q - r * u;
        return true;
    }
    if (dist > r)
        return false;
    contact = q - ((r - dist) / dist) * d;
    return true;
}

// The normal of a corner contact P: the side whose line P lies farther outside of. For side i,
// normal_i . (start_i - P) is minus P's distance outside that side's line, so the smaller value
// wins; on a tie the horizontal side (top or bottom) does.
Vector2 cornerNormal(const Edge& verticalSide, const Edge& horizontalSide, const Vector2& p) {
    const float d1 = dot(verticalSide.normal, verticalSide.start - p);
    const float d2 = dot(horizontalSide.normal, horizontalSide.start - p);
    return d1 < d2 ? verticalSide.normal : horizontalSide.normal;
}

} // namespace

SweepResult sweepCircleAgainstRect(float radius, const Vector2& start, const Vector2& end, const Rect& rect) {
    SweepResult result;
    const float r = radius;

    if (start == end) {
        Vector2 nearest;
        if (circleIntersectsRect(start, r, rect, nearest)) {
            result.hit = true;
            result.centre = nearest;
        }
        return result;
    }

    // Early reject: the box the whole sweep stays inside. Most boxes of a scene fail this one test,
    // before any corner or slab work.
    const Rect swept{std::min(start.x, end.x) - r, std::min(start.y, end.y) - r, std::fabs(end.x - start.x) + 2.0f * r,
                     std::fabs(end.y - start.y) + 2.0f * r};
    if (!rectsOverlap(rect, swept))
        return result;

    const std::array<Edge, 4> sides = rectEdges(rect);
    const Edge path{start, end, {0.0f, 0.0f}};
    const float right = rect.x + rect.width;
    const float bottom = rect.y + rect.height;
    float best = kNoCandidateSquaredDistance;

    // Corners: top-left, bottom-left, top-right, bottom-right, each with its vertical side first.
    const Corner corners[4] = {
        {{rect.x, rect.y}, kLeftSide, kTopSide},
        {{rect.x, bottom}, kLeftSide, kBottomSide},
        {{right, rect.y}, kRightSide, kTopSide},
        {{right, bottom}, kRightSide, kBottomSide},
    };
    for (int i = 0; i < 4; ++i) {
        Vector2 contact;
        if (!cornerContact(path, corners[i].point, r, contact))
            continue;
        const float d2 = squaredDistance(start, contact);
        // The first corner is the first candidate whenever it hits; later ones must be strictly nearer.
        if (i == 0 || d2 < best) {
            best = d2;
            result.hit = true;
            result.centre = contact;
            result.normal = cornerNormal(sides[corners[i].verticalSide], sides[corners[i].horizontalSide], contact);
        }
    }

    // Slabs: left strip, right strip, then the rectangle stretched by r above and below.
    const Rect slabs[3] = {
        {rect.x - r, rect.y, r, rect.height},
        {right, rect.y, r, rect.height},
        {rect.x, rect.y - r, rect.width, rect.height + 2.0f * r},
    };
    for (const Rect& slab : slabs) {
        Vector2 crossing;
        Edge side;
        if (!segmentIntersectsRect(slab, path, crossing, side))
            continue;
        const float d2 = squaredDistance(start, crossing);
        if (d2 < best) {
            best = d2;
            result.hit = true;
            result.centre = crossing;
            result.normal = side.normal;
        }
    }
    return result;
}
