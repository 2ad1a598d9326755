// Moving a circle out of the rectangles it overlaps before it sweeps: a swept test only finds the
// way in, so a circle that starts a frame inside a box (pushed there by a moving paddle, or placed
// there by data) must first be put back on the outside.
#pragma once

#include <vector>

#include "collision/Rect.h"
#include "collision/Vector2.h"

// The centre moved the shortest way out of every rectangle it overlaps by more than kContactSlop,
// to where the circle just touches it. Of the ways out of one rectangle (straight away from it, or
// past any of its four sides) the shortest that overlaps no other rectangle is taken; when every
// way out lands in another one (a circle squeezed between two boxes) the shortest is taken and the
// next pass moves on from there. Gives up after a few passes; the centre is returned unchanged when
// nothing overlaps. A rectangle of negative size is taken normalised (Rect.h).
Vector2 separateCircleFromRects(Vector2 centre, float radius, const std::vector<Rect>& rects);
