// The easing curves behind interpolate.
#include "game/Interpolate.h"

#include <cmath>

namespace {
// Pi as a float, so the ease-out curve is computed in float precision throughout.
constexpr float kPi = 3.1415927f;
} // namespace

float interpolate(float a, float b, float t, int easing) {
    float u = t;
    if (easing == kEaseSmoothStep)
        u = t * t * (3.0f - 2.0f * t);
    else if (easing == kEaseOutSine)
        u = std::sin(t * kPi / 2.0f);
    return (1.0f - u) * a + u * b;
}
