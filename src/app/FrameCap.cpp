// FrameCap: the display's refresh rate from XRandR, and the choice of the cap.
#include "app/FrameCap.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <cmath>

namespace {

// The refresh rate of a mode: pixels a second over pixels a frame, doubled for interlaced ones.
double modeRate(const XRRModeInfo& mode) {
    if (mode.hTotal == 0 || mode.vTotal == 0)
        return 0.0;
    double rate = static_cast<double>(mode.dotClock) / (static_cast<double>(mode.hTotal) * mode.vTotal);
    if (mode.modeFlags & RR_Interlace)
        rate *= 2.0;
    if (mode.modeFlags & RR_DoubleScan)
        rate /= 2.0;
    return rate;
}

// The rate of the active output whose area holds (x, y), or the first active one; 0 if none.
int outputRate(Display* display, Window root, int x, int y) {
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (resources == nullptr)
        return 0;
    double first = 0.0;
    double found = 0.0;
    for (int i = 0; i < resources->ncrtc && found == 0.0; ++i) {
        XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, resources->crtcs[i]);
        if (crtc == nullptr)
            continue;
        if (crtc->mode != None) {
            for (int m = 0; m < resources->nmode; ++m) {
                if (resources->modes[m].id != crtc->mode)
                    continue;
                const double rate = modeRate(resources->modes[m]);
                if (first == 0.0)
                    first = rate;
                if (x >= crtc->x && y >= crtc->y && x < crtc->x + static_cast<int>(crtc->width) &&
                    y < crtc->y + static_cast<int>(crtc->height))
                    found = rate;
            }
        }
        XRRFreeCrtcInfo(crtc);
    }
    XRRFreeScreenResources(resources);
    return static_cast<int>(std::lround(found != 0.0 ? found : first));
}

} // namespace

int readDisplayRefreshRate() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) != 1 || info.subsystem != SDL_SYSWM_X11 || info.info.x11.display == nullptr)
        return 0;
    Display* display = info.info.x11.display;
    int eventBase = 0;
    int errorBase = 0;
    info.info.x11.lock_func();
    int rate = 0;
    if (XRRQueryExtension(display, &eventBase, &errorBase)) {
        const Window window = info.info.x11.wmwindow != 0 ? info.info.x11.wmwindow : info.info.x11.window;
        XWindowAttributes attributes;
        Window root = DefaultRootWindow(display);
        int x = 0;
        int y = 0;
        if (XGetWindowAttributes(display, window, &attributes) != 0) {
            root = attributes.root;
            Window child = 0;
            XTranslateCoordinates(display, window, root, attributes.width / 2, attributes.height / 2, &x, &y, &child);
        }
        rate = outputRate(display, root, x, y);
        if (rate == 0) {
            // RandR before 1.2, or no output: the screen's own rate.
            if (XRRScreenConfiguration* config = XRRGetScreenInfo(display, root)) {
                rate = XRRConfigCurrentRate(config);
                XRRFreeScreenConfigInfo(config);
            }
        }
    }
    info.info.x11.unlock_func();
    return rate;
}

int chooseFrameCap(int configured, int displayRate) {
    if (configured >= 0)
        return configured;
    if (displayRate >= kLowestRefreshRate && displayRate <= kHighestRefreshRate)
        return displayRate;
    return kFallbackRefreshRate;
}
