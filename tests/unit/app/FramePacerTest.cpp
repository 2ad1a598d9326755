// The frame-rate cap: frames that finish early are held to the cap, late frames start a new
// schedule instead of a catch-up burst, and 0 never sleeps.
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

#include "app/FramePacer.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsFor(FramePacer& pacer, int frames) {
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < frames; ++i)
        pacer.endFrame();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

TEST(FramePacerTest, EmptyFramesAreHeldToTheCap) {
    FramePacer pacer;
    pacer.setMaxFps(200); // 5 ms a frame
    EXPECT_GE(millisecondsFor(pacer, 20), 95.0);
}

TEST(FramePacerTest, ALateFrameIsNotMadeUpForByABurst) {
    FramePacer pacer;
    pacer.setMaxFps(100); // 10 ms a frame
    pacer.endFrame();
    std::this_thread::sleep_for(std::chrono::milliseconds(60)); // six frames late
    // A catch-up schedule would let the next five frames through at once.
    EXPECT_GE(millisecondsFor(pacer, 6), 48.0);
}

TEST(FramePacerTest, ZeroOrLessLeavesFramesUnthrottled) {
    FramePacer pacer;
    pacer.setMaxFps(-5);
    EXPECT_EQ(0, pacer.getMaxFps());
    pacer.setMaxFps(0);
    EXPECT_LT(millisecondsFor(pacer, 10000), 50.0);
}

} // namespace
