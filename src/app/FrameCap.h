// The frame-rate cap the frame loop paces at: what "max_fps" asks for, or without it the refresh
// rate of the display the window is on, read from the X server through XRandR.
#pragma once

// The rate assumed where the display's cannot be read (no RandR, a virtual screen reporting 0).
constexpr int kFallbackRefreshRate = 60;
// Refresh rates outside this range are taken as misreadings.
constexpr int kLowestRefreshRate = 20;
constexpr int kHighestRefreshRate = 1000;

// The refresh rate in Hz of the display under the game's window (SDL's X11 window): the mode of
// the output whose area holds the window's centre, else the screen's current rate; 0 when it
// cannot be read. Needs the window to be open.
int readDisplayRefreshRate();

// `configured` ("max_fps": 0 for no cap, a positive cap) wins; kMaxFpsOfDisplay (below 0) takes
// `displayRate` when it is a plausible refresh rate, else kFallbackRefreshRate.
int chooseFrameCap(int configured, int displayRate);
