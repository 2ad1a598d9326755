// The frame-rate cap: sleeps away the rest of a frame that finished early, so that where the
// buffer swap does not wait for vertical sync the game does not spin a core on unseen frames.
#pragma once

#include <chrono>

class FramePacer {
public:
    using Clock = std::chrono::steady_clock;

    // Frames per second at most; 0 or less leaves frames unthrottled.
    void setMaxFps(int fps);
    int getMaxFps() const { return maxFps; }

    // Called once per frame, after the swap: sleeps until a frame's share of a second has passed
    // since the previous frame's deadline. A late frame is not made up for by a burst of short
    // ones: the schedule starts again from the late frame.
    void endFrame();

private:
    int maxFps = 0;
    Clock::duration budget{0};
    Clock::time_point next{};
    bool scheduled = false;
};
