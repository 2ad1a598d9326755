// The limiter on synthetic mixes: quiet play gets its headroom back unchanged, a sum far past
// full scale is ridden down smoothly and never reaches it, the gain comes back after a loud
// passage, and both channels share one gain.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

#include "sound/Limiter.h"

namespace {

constexpr int kRate = 44100;
constexpr std::size_t kChunk = 1024;
constexpr double kPi = 3.14159265358979;

// `seconds` of a stereo sine at `amplitude` of full scale as the mixer, `headroom` below, sums it:
// left at `frequency`, right at 1.5 times it.
std::vector<int16_t> mixedSine(double seconds, double amplitude, double frequency = 440.0) {
    const std::size_t frames = static_cast<std::size_t>(seconds * kRate);
    std::vector<int16_t> samples(frames * 2);
    const double level = amplitude * Limiter::headroomGain() * 32768.0;
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        // The mixer saturates its sum, so an input past its 16 bits arrives clipped.
        samples[2 * i] = static_cast<int16_t>(std::clamp(level * std::sin(2 * kPi * frequency * t), -32768.0, 32767.0));
        samples[2 * i + 1] =
            static_cast<int16_t>(std::clamp(level * std::sin(3 * kPi * frequency * t), -32768.0, 32767.0));
    }
    return samples;
}

// Runs the limiter over `samples` in the mixer's chunks, as the audio thread would.
void limit(Limiter& limiter, std::vector<int16_t>& samples) {
    for (std::size_t frame = 0; frame < samples.size() / 2; frame += kChunk)
        limiter.process(samples.data() + 2 * frame, std::min(kChunk, samples.size() / 2 - frame), 2);
}

int peakOf(const std::vector<int16_t>& samples, std::size_t from, std::size_t to) {
    int peak = 0;
    for (std::size_t i = from; i < to; ++i)
        peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    return peak;
}

} // namespace

TEST(LimiterTest, QuietPlayGetsItsHeadroomBackUnchanged) {
    Limiter limiter(kRate);
    std::vector<int16_t> samples = mixedSine(0.5, 0.5);
    const std::vector<int16_t> mixed = samples;
    limit(limiter, samples);
    EXPECT_FLOAT_EQ(1.0f, limiter.currentGain());
    int worst = 0;
    for (std::size_t i = 0; i < samples.size(); ++i)
        worst =
            std::max(worst, std::abs(samples[i] - static_cast<int>(std::lround(mixed[i] / Limiter::headroomGain()))));
    EXPECT_LE(worst, 1) << "below the ride the limiter only makes up the headroom";
    EXPECT_NEAR(0.5 * 32768, peakOf(samples, 0, samples.size()), 0.5 * 32768 * 0.01);
}

TEST(LimiterTest, ASumFarPastFullScaleIsRiddenDownAndNeverReachesIt) {
    Limiter limiter(kRate);
    // Eight effects at their peaks at once: eight times full scale before the headroom, more than
    // the mixer's 16 bits can hold even with it.
    std::vector<int16_t> samples = mixedSine(1.0, 8.0, 220.0);
    limit(limiter, samples);
    EXPECT_LT(peakOf(samples, 0, samples.size()), static_cast<int>(Limiter::kCeiling * 32768) + 1);
    EXPECT_LT(peakOf(samples, 0, samples.size()), 32767) << "no sample at full scale";
    // Once the rider has settled, the peaks sit at the level it rides to, not squashed below it.
    const int settled = peakOf(samples, samples.size() / 2, samples.size());
    EXPECT_NEAR(Limiter::kRideAbove * 32768, settled, 0.08 * 32768);
    EXPECT_LT(limiter.currentGain(), 0.25f);
}

TEST(LimiterTest, TheGainComesBackAfterALoudPassageAndTheChannelsShareIt) {
    Limiter limiter(kRate);
    std::vector<int16_t> loud = mixedSine(0.3, 3.0);
    limit(limiter, loud);
    const float ridden = limiter.currentGain();
    EXPECT_LT(ridden, 0.5f);
    // Only the left channel is loud: the right is turned down with it, so the image holds.
    std::vector<int16_t> oneSided = mixedSine(0.05, 3.0);
    for (std::size_t i = 1; i < oneSided.size(); i += 2)
        oneSided[i] = 1000;
    limit(limiter, oneSided);
    const float shared = limiter.currentGain();
    EXPECT_NEAR(1000 * shared / Limiter::headroomGain(), oneSided.back(), 2.0);
    // A fifth of a second is its release: after a second of quiet the gain is all but back.
    std::vector<int16_t> quiet = mixedSine(1.0, 0.1);
    limit(limiter, quiet);
    EXPECT_GT(limiter.currentGain(), 0.99f);
    // And it came back smoothly: no step between two frames of the quiet sine larger than the
    // sine's own steepest one.
    int largestStep = 0;
    for (std::size_t i = 2; i < quiet.size(); i += 2)
        largestStep = std::max(largestStep, std::abs(quiet[i] - quiet[i - 2]));
    EXPECT_LE(largestStep, static_cast<int>(0.1 * 32768 * 2 * kPi * 440.0 / kRate) + 3);
}
