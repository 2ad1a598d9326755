// Where balls held on the paddle ride along it: side by side, never on one spot, so that several
// balls a sticky paddle holds read as several and each leaves aimed from its own place.
#pragma once

#include <vector>

namespace held {

// The place in [low, high] nearest `wanted` that is at least `spacing` from every place in
// `taken`; with no such place, the one farthest from its nearest neighbour (the nearer to `wanted`
// of equals). `wanted` is first brought within [low, high]; a span with high below low is the
// single place in its middle.
float freePlace(float wanted, const std::vector<float>& taken, float low, float high, float spacing);

// `places`, in ascending order, moved apart within [low, high] until each is at least `spacing`
// from the next, each moving as little as the pushes from its neighbours need; spread evenly over
// the span when it is too short for them all.
void spreadApart(std::vector<float>& places, float low, float high, float spacing);

} // namespace held
