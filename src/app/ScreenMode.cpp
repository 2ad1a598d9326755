// ScreenMode: the letterbox, the pointer's way back into the view, and the switch between the
// window and full screen.
#include "app/ScreenMode.h"

#include <GL/glew.h>
#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/FrameLoop.h"

ViewPort letterbox(int windowWidth, int windowHeight, int viewWidth, int viewHeight) {
    if (windowWidth <= 0 || windowHeight <= 0 || viewWidth <= 0 || viewHeight <= 0)
        return {0, 0, std::max(windowWidth, 0), std::max(windowHeight, 0)};
    // Compared as cross products, so no rounding decides which side the bars go.
    const int64_t wide = static_cast<int64_t>(windowWidth) * viewHeight;
    const int64_t tall = static_cast<int64_t>(windowHeight) * viewWidth;
    int width = windowWidth;
    int height = windowHeight;
    if (wide >= tall)
        width = static_cast<int>(tall / viewHeight);
    else
        height = static_cast<int>(wide / viewWidth);
    return {(windowWidth - width) / 2, (windowHeight - height) / 2, width, height};
}

ViewPoint windowToView(const ViewPort& port, int viewWidth, int viewHeight, int x, int y) {
    // The view's pixel whose area holds the window pixel's centre.
    const auto axis = [](int at, int start, int portSize, int viewSize) {
        if (portSize <= 0 || viewSize <= 0)
            return 0u;
        const double scaled = std::floor((at - start + 0.5) * viewSize / portSize);
        return static_cast<uint32_t>(std::clamp(scaled, 0.0, static_cast<double>(viewSize - 1)));
    };
    return {axis(x, port.x, port.width, viewWidth), axis(y, port.y, port.height, viewHeight)};
}

const DisplaySize& desktopSize() {
    // SDL 1.2 reports the display's mode until the first video mode is set, and that mode after.
    static const DisplaySize size = [] {
        const SDL_VideoInfo* info = SDL_GetVideoInfo();
        if (info != nullptr && info->current_w > 0 && info->current_h > 0)
            return DisplaySize{info->current_w, info->current_h};
        return DisplaySize{kWindowWidth, kWindowHeight};
    }();
    return size;
}

ScreenMode::ScreenMode(int viewWidth, int viewHeight)
    : viewWidth(viewWidth), viewHeight(viewHeight), windowWidth(viewWidth),
      windowHeight(viewHeight), port{0, 0, viewWidth, viewHeight} {}

bool ScreenMode::toggle() {
    char driver[32] = "none";
    SDL_VideoDriverName(driver, sizeof driver);
    // SDL's X11 driver resizes the open window for a new mode of the same depth, with OpenGL
    // both times, and keeps its GL context; other drivers would make a new context and lose
    // every texture with the old one.
    if (std::strcmp(driver, "x11") == 0)
        return setMode(!fullScreen);
    SDL_Surface* screen = SDL_GetVideoSurface();
    if (screen != nullptr && SDL_WM_ToggleFullScreen(screen) != 0) {
        fullScreen = !fullScreen;
        return true;
    }
    std::fprintf(stderr,
                 "pellvane: full screen is not available: the video driver \"%s\" cannot switch an open "
                 "OpenGL window in place\n",
                 driver);
    return false;
}

bool ScreenMode::setMode(const bool wanted) {
    bool full = wanted;
    const DisplaySize& display = desktopSize();
    SDL_Surface* screen =
        full ? openGameWindow(SDL_FULLSCREEN, display.width, display.height) : openGameWindow(0, viewWidth, viewHeight);
    if (screen == nullptr) {
        std::fprintf(stderr, "pellvane: cannot switch to %s: %s\n", full ? "full screen" : "the window",
                     SDL_GetError());
        // Whatever the failure left, the window the game began with is the way back.
        screen = openGameWindow(0, viewWidth, viewHeight);
        full = false;
        if (screen == nullptr)
            return false;
    }
    fullScreen = full;
    windowWidth = screen->w;
    windowHeight = screen->h;
    port = full ? letterbox(windowWidth, windowHeight, viewWidth, viewHeight) : ViewPort{0, 0, viewWidth, viewHeight};
    // GL counts rows from the bottom. With bars, the scissor box keeps every clear of the frame
    // (the scene may lay its backdrop by clearing) inside the view.
    const int bottom = windowHeight - port.y - port.height;
    glViewport(port.x, bottom, port.width, port.height);
    glScissor(port.x, bottom, port.width, port.height);
    if (hasBars())
        glEnable(GL_SCISSOR_TEST);
    else
        glDisable(GL_SCISSOR_TEST);
    return fullScreen == wanted;
}

void ScreenMode::clear(float red, float green, float blue, bool coveredView) const {
    if (hasBars()) {
        // Every frame: after a swap the back buffer's bars hold whatever the driver left.
        glDisable(GL_SCISSOR_TEST);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
    }
    if (coveredView)
        return;
    glClearColor(red, green, blue, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}
