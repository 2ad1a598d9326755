// FramePacer: a deadline per frame, slept up to with the steady clock.
#include "app/FramePacer.h"

#include <thread>

void FramePacer::setMaxFps(int fps) {
    if (fps == maxFps)
        return;
    maxFps = fps > 0 ? fps : 0;
    budget = maxFps > 0 ? std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / maxFps))
                        : Clock::duration{0};
    scheduled = false;
}

void FramePacer::endFrame() {
    if (maxFps == 0)
        return;
    const Clock::time_point now = Clock::now();
    if (!scheduled) {
        next = now;
        scheduled = true;
    }
    // Deadlines advance by whole budgets, so the sleep's own overshoot is taken back from the
    // next frame and the average rate is the cap.
    next += budget;
    if (next <= now)
        next = now;
    else
        std::this_thread::sleep_until(next);
}
