// The swept circle test. The centres at which a circle of radius r touches a rectangle R form the
// boundary of R widened by r: a rounded rectangle made of three slabs (the left and right strips
// beside R and R stretched up and down by r) and four quarter discs around the corners. The first
// contact along a path is the nearest of its crossings with the slabs' outer sides and its first
// touches of the corners' circles. The scan order and the strictly-smaller rule make ties deterministic.
//
// Only contacts that move the circle into the rectangle count. A circle that starts in contact or
// overlapping is answered at its start, before any crossing is looked for: from inside, the slab
// sides and corner circles it would cross are ways out, and a contact computed there can lie behind
// the start. The caller (the ball) moves overlapping circles out first; this keeps the test sound
// for any input all the same.
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

// The normal of a contact with the circle's centre at p, for a circle moving along d, or false when
// the circle is not moving into the rectangle there. Away from the rectangle, p lies outside one or
// two of its sides; the normal is the one of the side p lies farther outside of (on a tie the top
// or bottom one), unless only the other opposes d. A centre inside the rectangle takes the nearest
// side's. Either way a normal is given only if it opposes d: reflecting off a surface the circle is
// already leaving would turn it back in, and a circle resting on a contact line would reflect in
// place for ever.
bool contactNormal(const Vector2& d, const Vector2& p, const Rect& rect, Vector2& normal) {
    const float right = rect.x + rect.width;
    const float bottom = rect.y + rect.height;
    const float dx = p.x < rect.x ? p.x - rect.x : (p.x > right ? p.x - right : 0.0f);
    const float dy = p.y < rect.y ? p.y - rect.y : (p.y > bottom ? p.y - bottom : 0.0f);
    Vector2 preferred, other;
    if (dx == 0.0f && dy == 0.0f) {
        // Inside: the side with the shortest way out, earlier sides winning ties.
        const float toSide[4] = {p.y - rect.y, bottom - p.y, p.x - rect.x, right - p.x};
        const Vector2 normals[4] = {{0.0f, -1.0f}, {0.0f, 1.0f}, {-1.0f, 0.0f}, {1.0f, 0.0f}};
        int nearest = 0;
        for (int i = 1; i < 4; ++i)
            nearest = toSide[i] < toSide[nearest] ? i : nearest;
        preferred = normals[nearest];
    } else {
        const Vector2 horizontalSide{0.0f, dy < 0.0f ? -1.0f : (dy > 0.0f ? 1.0f : 0.0f)};
        const Vector2 verticalSide{dx < 0.0f ? -1.0f : (dx > 0.0f ? 1.0f : 0.0f), 0.0f};
        const bool vertical = std::fabs(dx) > std::fabs(dy);
        preferred = vertical ? verticalSide : horizontalSide;
        other = vertical ? horizontalSide : verticalSide;
    }
    if (dot(d, preferred) < 0.0f) {
        normal = preferred;
        return true;
    }
    if (dot(d, other) < 0.0f) {
        normal = other;
        return true;
    }
    return false;
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

    const Vector2 d = end - start;
    // Already in contact (or overlapping): the contact is the start itself if the circle moves
    // further in, and there is none if it moves out or along. The crossings below are only looked
    // for from outside, where the first one met is always a way in.
    if (circleRectPenetration(start, r, rect) > -kContactSlop) {
        result.hit = contactNormal(d, start, rect, result.normal);
        result.centre = start;
        return result;
    }
    // From at least kContactSlop away, a path shorter than the slop reaches nothing; it is also too
    // short to have a direction for the corner test (a ball slowed to almost nothing by a
    // restitution below 1 and no minimum speed).
    if (dot(d, d) < kContactSlop * kContactSlop)
        return result;

    const Edge path{start, end, {0.0f, 0.0f}};
    const float right = rect.x + rect.width;
    const float bottom = rect.y + rect.height;
    float best = kNoCandidateSquaredDistance;
    // A candidate replaces the kept one only when strictly nearer, so ties go to the earlier in the scan.
    auto consider = [&](const Vector2& contact) {
        const float d2 = squaredDistance(start, contact);
        if (d2 >= best)
            return;
        Vector2 normal;
        if (!contactNormal(d, contact, rect, normal))
            return;
        best = d2;
        result.hit = true;
        result.centre = contact;
        result.normal = normal;
    };

    // Corners: top-left, bottom-left, top-right, bottom-right.
    const Vector2 corners[4] = {{rect.x, rect.y}, {rect.x, bottom}, {right, rect.y}, {right, bottom}};
    for (const Vector2& corner : corners) {
        Vector2 contact;
        if (cornerContact(path, corner, r, contact))
            consider(contact);
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
            Vector2 crossing;
            if (segmentIntersection(path, slabSides[slab.outerSides[i]], crossing))
                consider(crossing);
        }
    }
    if (result.hit)
        result.fraction = std::clamp(dot(result.centre - start, d) / dot(d, d), 0.0f, 1.0f);
    return result;
}

float circleRectPenetration(const Vector2& centre, float radius, const Rect& rect) {
    const float right = rect.x + rect.width;
    const float bottom = rect.y + rect.height;
    const float dx = std::max({rect.x - centre.x, 0.0f, centre.x - right});
    const float dy = std::max({rect.y - centre.y, 0.0f, centre.y - bottom});
    if (dx > 0.0f || dy > 0.0f)
        return radius - std::sqrt(dx * dx + dy * dy);
    return radius + std::min({centre.x - rect.x, right - centre.x, centre.y - rect.y, bottom - centre.y});
}
