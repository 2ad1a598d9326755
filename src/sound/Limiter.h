// The last stage of the mix: gives back the headroom the channels were mixed with and keeps their
// sum clear of full scale, so that many effects at once are turned down instead of clipped.
#pragma once

#include <cstddef>
#include <cstdint>

// Why it works this way: SDL_mixer adds its channels into 16-bit samples and saturates each sum,
// so a limiter that only saw the finished mix could lower a clipped wave but never unflatten it.
// The channels are therefore mixed kHeadroomDb below their volumes, where even several effects at
// their peaks fit, and this stage multiplies the mix back up. No look-ahead (it would delay every
// effect): a gain rider follows the linked peak of all channels, pulling the gain down within about
// a millisecond when the made-up mix would pass kRideAbove and letting it back up over a fifth of a
// second, and a soft knee rounds off what an attack lets through on its way to kCeiling, which no
// sample can reach. Below kRideAbove the mix only gets its headroom back: quiet play sounds as it
// would without the limiter, only quantised 12 dB coarser (the mixer's own 16 bits).
class Limiter {
public:
    // The mix is made this far below full scale, and this stage makes it up again.
    static constexpr float kHeadroomDb = 12.0f;
    // Linear factor for the channel volumes (about 0.25).
    static float headroomGain();
    // Where the gain starts to ride the peaks and where the soft knee begins, in full scale.
    static constexpr float kRideAbove = 0.7f;
    static constexpr float kKnee = 0.8f;
    // No output sample is larger than this share of full scale (-0.2 dB).
    static constexpr float kCeiling = 0.977f;
    static constexpr float kAttackSeconds = 0.001f;
    static constexpr float kReleaseSeconds = 0.2f;

    explicit Limiter(int sampleRate);

    // Limits `frames` frames of `channels` interleaved samples in place. Allocation-free; it runs
    // on the audio thread. The gain is shared by the channels, so the stereo image holds.
    void process(int16_t* samples, std::size_t frames, int channels);

    // The gain the rider applies now (1 when the mix is quiet), for tests and measurements.
    float currentGain() const;

private:
    float makeUp;
    float attack;
    float release;
    // The followed peak of the made-up mix.
    float envelope = 0.0f;
};
