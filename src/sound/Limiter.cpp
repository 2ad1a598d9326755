// The limiter: the made-up mix, the linked peak follower that rides its gain, the soft knee.
#include "sound/Limiter.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kFullScale = 32768.0f;

// The one-pole smoothing factor that covers about 63% of a step in `seconds`.
float follow(float seconds, int sampleRate) {
    return 1.0f - std::exp(-1.0f / (seconds * static_cast<float>(std::max(sampleRate, 1))));
}

// Above the knee a magnitude bends smoothly towards the ceiling: tanh leaves the knee at the slope
// 1 the straight part has, and never reaches 1, so no input, however large, reaches the ceiling.
float softKnee(float magnitude) {
    if (magnitude <= Limiter::kKnee)
        return magnitude;
    constexpr float room = Limiter::kCeiling - Limiter::kKnee;
    return Limiter::kKnee + room * std::tanh((magnitude - Limiter::kKnee) / room);
}
} // namespace

float Limiter::headroomGain() {
    return std::pow(10.0f, -kHeadroomDb / 20.0f);
}

Limiter::Limiter(int sampleRate)
    : makeUp(1.0f / headroomGain()), attack(follow(kAttackSeconds, sampleRate)),
      release(follow(kReleaseSeconds, sampleRate)) {}

float Limiter::currentGain() const {
    return envelope > kRideAbove ? kRideAbove / envelope : 1.0f;
}

void Limiter::process(int16_t* samples, std::size_t frames, int channels) {
    if (channels <= 0)
        return;
    const std::size_t width = static_cast<std::size_t>(channels);
    const float scale = makeUp / kFullScale;
    for (std::size_t frame = 0; frame < frames; ++frame) {
        int16_t* at = samples + frame * width;
        float peak = 0.0f;
        for (std::size_t c = 0; c < width; ++c)
            peak = std::max(peak, std::fabs(static_cast<float>(at[c]) * scale));
        envelope += (peak - envelope) * (peak > envelope ? attack : release);
        const float gain = scale * currentGain();
        for (std::size_t c = 0; c < width; ++c) {
            const float value = static_cast<float>(at[c]) * gain;
            const float shaped = std::copysign(softKnee(std::fabs(value)), value);
            at[c] = static_cast<int16_t>(std::lround(shaped * kFullScale));
        }
    }
}
