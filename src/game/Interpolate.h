// Eased interpolation between two floats, shared by the block effects and the background
// particles.
#pragma once

// The easings `interpolate` knows; any other value behaves as linear.
constexpr int kEaseLinear = 0;
constexpr int kEaseSmoothStep = 1;
constexpr int kEaseOutSine = 2;

// (1 - u) * a + u * b with u the eased fraction of t: t itself (linear), t^2 (3 - 2t) (smooth
// step) or sin(t * pi / 2) (ease out). t is not clamped: callers outside 0..1 extrapolate.
float interpolate(float a, float b, float t, int easing);
