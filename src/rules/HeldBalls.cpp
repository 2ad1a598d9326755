// The places of held balls along the paddle: a new one finds a free place, a narrower paddle
// pushes its balls apart again.
#include "rules/HeldBalls.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace held {

namespace {
// Distances within this of the spacing count as the spacing: places computed as a neighbour's
// plus the spacing must not be refused for a rounding error.
constexpr float kSlack = 1e-3f;

// The distance from `place` to its nearest neighbour in `taken` (infinite with none).
float room(float place, const std::vector<float>& taken) {
    float nearest = std::numeric_limits<float>::infinity();
    for (float other : taken)
        nearest = std::min(nearest, std::fabs(place - other));
    return nearest;
}
} // namespace

float freePlace(float wanted, const std::vector<float>& taken, float low, float high, float spacing) {
    if (high < low)
        low = high = (low + high) * 0.5f;
    // The nearest free place is `wanted` itself or hard against a neighbour, on either side; the
    // roomiest when none is free lies at an end of the span or halfway between two neighbours.
    std::vector<float> candidates{std::clamp(wanted, low, high), low, high};
    std::vector<float> sorted = taken;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        candidates.push_back(std::clamp(sorted[i] - spacing, low, high));
        candidates.push_back(std::clamp(sorted[i] + spacing, low, high));
        if (i + 1 < sorted.size())
            candidates.push_back(std::clamp((sorted[i] + sorted[i + 1]) * 0.5f, low, high));
    }
    auto nearer = [wanted](float a, float b) { return std::fabs(a - wanted) < std::fabs(b - wanted); };
    std::optional<float> nearestFree;
    for (float candidate : candidates)
        if (room(candidate, taken) >= spacing - kSlack && (!nearestFree || nearer(candidate, *nearestFree)))
            nearestFree = candidate;
    if (nearestFree)
        return *nearestFree;
    float roomiest = candidates.front();
    for (float candidate : candidates) {
        const float more = room(candidate, taken) - room(roomiest, taken);
        if (more > kSlack || (more > -kSlack && nearer(candidate, roomiest)))
            roomiest = candidate;
    }
    return roomiest;
}

void spreadApart(std::vector<float>& places, float low, float high, float spacing) {
    if (places.empty())
        return;
    if (high < low)
        low = high = (low + high) * 0.5f;
    const std::size_t n = places.size();
    if (n == 1) {
        places[0] = std::clamp(places[0], low, high);
        return;
    }
    if (static_cast<float>(n - 1) * spacing > high - low) {
        for (std::size_t i = 0; i < n; ++i)
            places[i] = low + (high - low) * static_cast<float>(i) / static_cast<float>(n - 1);
        return;
    }
    // Left to right each is pushed clear of the one before, then right to left back within the
    // span; as they all fit, the second pass pushes none below `low`.
    places[0] = std::max(places[0], low);
    for (std::size_t i = 1; i < n; ++i)
        places[i] = std::max(places[i], places[i - 1] + spacing);
    places[n - 1] = std::min(places[n - 1], high);
    for (std::size_t i = n - 1; i-- > 0;)
        places[i] = std::min(places[i], places[i + 1] - spacing);
}

} // namespace held
