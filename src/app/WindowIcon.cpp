// The window icon: our PNG decoder, an SDL surface over its pixels and a one-bit mask from alpha.
#include "app/WindowIcon.h"

#include <SDL.h>
#include <vector>

#include "base/DebugLog.h"
#include "graphics/IconImage.h"

namespace {
// Pixels at least this opaque are part of the icon's shape; SDL 1.2 icons have no partial alpha.
constexpr unsigned char kMaskAlphaThreshold = 128;
} // namespace

void setWindowIcon(const std::string& path) {
    // The icon is optional data: without it, or with one that cannot serve, the window keeps
    // the default icon.
    IconImage icon;
    std::string reason;
    const IconStatus status = loadIconImage(path, icon, reason);
    if (status == IconStatus::Unusable)
        debugLog("pellvane: no window icon: %s cannot serve as one: %s", path.c_str(), reason.c_str());
    if (status != IconStatus::Loaded)
        return;
    std::vector<unsigned char>& pixels = icon.pixels;
    const int width = static_cast<int>(icon.width);
    const int height = static_cast<int>(icon.height);
    // The decoder's bytes are R, G, B, A in memory, whatever the byte order of the machine.
    const bool little = SDL_BYTEORDER == SDL_LIL_ENDIAN;
    SDL_Surface* surface = SDL_CreateRGBSurfaceFrom(
        pixels.data(), width, height, 32, width * 4, little ? 0x000000ffu : 0xff000000u,
        little ? 0x0000ff00u : 0x00ff0000u, little ? 0x00ff0000u : 0x0000ff00u, little ? 0xff000000u : 0x000000ffu);
    if (surface == nullptr) {
        debugLog("No window icon: %s", SDL_GetError());
        return;
    }
    // One bit a pixel, rows padded to whole bytes, the leftmost pixel in the highest bit.
    const int rowBytes = (width + 7) / 8;
    std::vector<Uint8> mask(static_cast<std::size_t>(rowBytes) * height, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (pixels[(static_cast<std::size_t>(y) * width + x) * 4 + 3] >= kMaskAlphaThreshold)
                mask[static_cast<std::size_t>(y) * rowBytes + x / 8] |= static_cast<Uint8>(0x80u >> (x % 8));
        }
    }
    SDL_WM_SetIcon(surface, mask.data());
    SDL_FreeSurface(surface);
}
