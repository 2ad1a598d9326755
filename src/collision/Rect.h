// Axis-aligned rectangles and directed edges: the shapes the geometric queries and the colliders
// work on. Rectangles have a top-left origin with y growing downwards; both borders belong to them.
#pragma once

#include <array>

#include "collision/Vector2.h"

// Covers x .. x + width and y .. y + height, both ends included.
struct Rect {
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
};

// The same rectangle with a width and height of zero or more: a negative size spans back from x
// or y. The queries take such rectangles (clamping into a box whose far side lies before its near
// side has no meaning); the box collider hands them nothing else, whatever size data gives it.
inline Rect normalised(const Rect& r) {
    Rect n = r;
    if (n.width < 0.0f) {
        n.x += n.width;
        n.width = -n.width;
    }
    if (n.height < 0.0f) {
        n.y += n.height;
        n.height = -n.height;
    }
    return n;
}

// A segment from start to end. normal is the outward unit normal of the rectangle side the edge
// belongs to, or (0, 0) for a plain segment such as a movement path.
struct Edge {
    Vector2 start;
    Vector2 end;
    Vector2 normal;
};

// Where each side sits in the array rectEdges returns. The order is part of the contract: scans
// that meet two sides at the same distance report the earlier one.
enum RectSide : int { kTopSide = 0, kBottomSide = 1, kLeftSide = 2, kRightSide = 3 };

// The four sides of r, always in the order top, bottom, left, right. Horizontal sides run left to
// right and vertical sides top to bottom, so "start" is the top or left end of each.
inline std::array<Edge, 4> rectEdges(const Rect& r) {
    const float right = r.x + r.width;
    const float bottom = r.y + r.height;
    return {{
        {{r.x, r.y}, {right, r.y}, {0.0f, -1.0f}},      // top
        {{r.x, bottom}, {right, bottom}, {0.0f, 1.0f}}, // bottom
        {{r.x, r.y}, {r.x, bottom}, {-1.0f, 0.0f}},     // left
        {{right, r.y}, {right, bottom}, {1.0f, 0.0f}},  // right
    }};
}
