// The swept circle test. The centres at which a circle of radius r touches a rectangle R form the
// boundary of R widened by r: a rounded rectangle made of three slabs (the left and right strips
// beside R and R stretched up and down by r) and four quarter discs around the corners. The first
// contact along a path is the nearest of its crossings with the slabs' outer sides and its first
// touches of the corners' circles. The scan order and the strictly-smaller rule make ties deterministic.
#include "collision/SweptCircle.h"

#include <algorithm>
#include <cmath>

#include "collision/Geometry.h"

namespace {

// Squared distance that any real candidate beats: 3162 px, beyond the 1000 px diagonal of the
// window, so only a contact farther than any path can reach on screen would fail to replace it.
constexpr float kNoCandidateSquaredDistance = 9999999.0f;

// A path passing closer than this to a corner runs through it as far as float coordinates can tell
// (at hundreds of pixels they resolve only a few 1e-5 px). It counts as touching the corner even
// when the radius is smaller still, and the contact is taken one radius back along the path: the
// first-touch formula of cornerContact at zero height, without the square root of a rounding error.
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

// Where the circle first touches corner k, if its path comes within radius of it.
//
// Q is the path point nearest to k, at distance dist; beyond r the corner is out of reach. Within
// reach, the centre touches the corner where the path's line first comes to distance r from k.
// With u the unit direction of the path and F the foot of the perpendicular from k onto the line
// (at height h = |k - F|), the line meets the circle of radius r around k at F -/+ sqrt(r^2 - h^2) u,
// and the first of the two is
//   P = F - sqrt(r^2 - h^2) * u.
// P lies on the rounded rectangle's boundary, in the corner's own quadrant whenever the start lies
// outside the widened box: the circle touches the corner and does not overlap the box. (Pushing Q
// sideways away from k instead lands up to a whole radius inside the box, off the corner's quadrant,
// and measures the candidate's distance from the start too long.) When the start is already within
// r of k the circle overlaps the corner from the outset, and P lies behind the start: where the
// circle should have stopped.
//
// Below kCornerSnapDistance the path runs through the corner: F = Q, h = 0 and P = Q - r * u.
bool cornerContact(const Edge& path, const Vector2& k, float r, Vector2& contact) {
    const Vector2 q = closestPointOnLine(path, k);
    const float dist = length(k - q);
    Vector2 u = path.end - path.start;
    normalise(u);
    if (dist < kCornerSnapDistance) {
        contact = q - r * u;
        return true;
    }
    if (dist > r)
        return false;
    const Vector2 foot = path.start + dot(k - path.start, u) * u;
    const Vector2 toCorner = k - foot;
    const float back = std::sqrt(std::max(0.0f, r * r - dot(toCorner, toCorner)));
    contact = foot - back * u;
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

    // Early reject: most boxes of a scene fail this one test, before any corner or slab work.
    if (!sweptBoundsOverlap(r, start, end, rect))
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

    // Slabs: the left strip, the right strip, then the rectangle stretched by r above and below. Only
    // their outer sides bound the widened box: the others lie against the rectangle itself or inside
    // a corner's reach, where a path from outside arrives only after a corner contact or an outer
    // crossing, and a hit there would report a face the circle never touched.
    struct Slab {
        Rect area;
        int outerSides[2];
        int outerSideCount;
    };
    const Slab slabs[3] = {
        {{rect.x - r, rect.y, r, rect.height}, {kLeftSide, 0}, 1},
        {{right, rect.y, r, rect.height}, {kRightSide, 0}, 1},
        {{rect.x, rect.y - r, rect.width, rect.height + 2.0f * r}, {kTopSide, kBottomSide}, 2},
    };
    for (const Slab& slab : slabs) {
        const std::array<Edge, 4> slabSides = rectEdges(slab.area);
        for (int i = 0; i < slab.outerSideCount; ++i) {
            const Edge& side = slabSides[slab.outerSides[i]];
            Vector2 crossing;
            if (!segmentIntersection(path, side, crossing))
                continue;
            const float d2 = squaredDistance(start, crossing);
            if (d2 < best) {
                best = d2;
                result.hit = true;
                result.centre = crossing;
                result.normal = side.normal;
            }
        }
    }
    return result;
}
