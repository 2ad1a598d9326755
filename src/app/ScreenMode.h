// The window or full screen, and where the game's 800 x 600 view is drawn in it. Full screen takes
// the display's own resolution and scales the view up to the largest rectangle of its shape that
// fits, centred, with black bars beside or above and below it (letterboxing); the pointer is mapped
// back into the view's coordinates before it becomes an event, so nothing below the application
// knows the view was scaled.
#pragma once

#include <cstdint>

// A rectangle of the window, in window pixels, origin top-left.
struct ViewPort {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ViewPort& other) const {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
};

// The largest rectangle of the view's proportions that fits a `windowWidth` x `windowHeight`
// window, centred in it (whole pixels; the spare pixel of an odd margin goes right or below).
ViewPort letterbox(int windowWidth, int windowHeight, int viewWidth, int viewHeight);

struct ViewPoint {
    uint32_t x = 0;
    uint32_t y = 0;
};

// The point of the view under window pixel (x, y) when the view is drawn in `port`; a pixel on a
// bar is clamped to the view's nearest edge. Drawn unscaled at the origin, every pixel maps to
// itself.
ViewPoint windowToView(const ViewPort& port, int viewWidth, int viewHeight, int x, int y);

// The display's size as it was before the game's first video mode, read once (SDL's video must be
// started). Full screen uses it, so it never changes the display's resolution.
struct DisplaySize {
    int width = 0;
    int height = 0;
};
const DisplaySize& desktopSize();

// Owned by the Game, for a window whose GL context is open.
class ScreenMode {
public:
    ScreenMode(int viewWidth, int viewHeight);

    // Between the window and full screen at the display's resolution. With SDL's X11 driver the
    // window is resized in place and keeps its GL context, and so every texture; another driver
    // switches in place unscaled where it can. When neither can be done nothing changes, one line
    // on standard error says why, and the answer is false.
    bool toggle();
    // The view's point under window point (x, y): the whole window, or the letterbox in full screen.
    ViewPoint toView(int x, int y) const { return windowToView(port, viewWidth, viewHeight, x, y); }
    // Clears the frame: black bars outside the view when it does not fill the window, and the view
    // itself with `red, green, blue` unless `coveredView` (the scene draws over all of it). While
    // there are bars the scissor test stays on, boxed to the view, so no clear reaches them.
    void clear(float red, float green, float blue, bool coveredView) const;

private:
    bool setMode(bool wanted);
    bool hasBars() const { return port.width != windowWidth || port.height != windowHeight; }

    int viewWidth;
    int viewHeight;
    bool fullScreen = false;
    // The window's size now.
    int windowWidth;
    int windowHeight;
    ViewPort port;
};
