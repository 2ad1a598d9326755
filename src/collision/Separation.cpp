// Separation of a circle from overlapping rectangles, one rectangle at a time, deepest first.
#include "collision/Separation.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "collision/SweptCircle.h"

namespace {

// Each pass frees the circle from one rectangle. A circle wedged among more boxes than this
// cannot be placed anywhere sensible by shortest moves; it keeps what the passes reached, and the
// swept test lets it leave towards the open side.
constexpr int kMaxSeparationPasses = 4;

bool overlapsAny(const Vector2& centre, float radius, const std::vector<Rect>& rects) {
    for (const Rect& rect : rects) {
        if (circleRectPenetration(centre, radius, normalised(rect)) > kContactSlop)
            return true;
    }
    return false;
}

// The centres at which the circle just touches rect after the shortest moves out of it: straight
// away from its nearest point when the centre is outside (a corner's quarter disc or beside a
// side), and past each of its four sides. Sorted by the length of the move.
std::array<Vector2, 5> waysOut(const Vector2& centre, float radius, const Rect& rect, int& count) {
    const float right = rect.x + rect.width;
    const float bottom = rect.y + rect.height;
    std::array<Vector2, 5> ways;
    count = 0;
    const Vector2 nearest{std::clamp(centre.x, rect.x, right), std::clamp(centre.y, rect.y, bottom)};
    Vector2 away = centre - nearest;
    const float distance = length(away);
    if (distance > 0.0f)
        ways[count++] = nearest + (radius / distance) * away;
    ways[count++] = {rect.x - radius, centre.y};
    ways[count++] = {right + radius, centre.y};
    ways[count++] = {centre.x, rect.y - radius};
    ways[count++] = {centre.x, bottom + radius};
    auto moveLength = [&centre](const Vector2& to) {
        const Vector2 d = to - centre;
        return dot(d, d);
    };
    std::stable_sort(ways.begin(), ways.begin() + count,
                     [&](const Vector2& a, const Vector2& b) { return moveLength(a) < moveLength(b); });
    return ways;
}

} // namespace

Vector2 separateCircleFromRects(Vector2 centre, float radius, const std::vector<Rect>& rects) {
    // Every rectangle is taken normalised: the clamps of waysOut need each low bound first.
    for (int pass = 0; pass < kMaxSeparationPasses; ++pass) {
        bool overlapping = false;
        Rect deepest;
        float depth = kContactSlop;
        for (const Rect& given : rects) {
            const Rect rect = normalised(given);
            const float penetration = circleRectPenetration(centre, radius, rect);
            if (penetration > depth) {
                depth = penetration;
                deepest = rect;
                overlapping = true;
            }
        }
        if (!overlapping)
            break;
        int count = 0;
        const std::array<Vector2, 5> ways = waysOut(centre, radius, deepest, count);
        Vector2 chosen = ways[0];
        for (int i = 0; i < count; ++i) {
            if (!overlapsAny(ways[i], radius, rects)) {
                chosen = ways[i];
                break;
            }
        }
        centre = chosen;
    }
    return centre;
}
