// The window icon: our PNG decoder, an SDL surface over its pixels and a one-bit mask from alpha.
#include "app/WindowIcon.h"

#include <SDL.h>
#include <vector>

#include "app/DebugLog.h"
#include "graphics/PngDecoder.h"

namespace {
// Pixels at least this opaque are part of the icon's shape; SDL 1.2 icons have no partial alpha.
constexpr unsigned char kMaskAlphaThreshold = 128;
// An icon is a few dozen pixels on a side; anything larger is not meant as one.
constexpr uint32_t kMaxIconSide = 512;
} // namespace

void setWindowIcon(const std::string& path) {
    // The icon is optional data: without the file the window keeps the default icon.
    std::vector<unsigned char> file;
    loadFile(file, path);
    if (file.empty())
        return;
    std::vector<unsigned char> pixels;
    PngDecoder decoder;
    decoder.decode(pixels, file.data(), file.size());
    if (decoder.error != kPngOk || decoder.width == 0 || decoder.width > kMaxIconSide ||
        decoder.height > kMaxIconSide) {
        debugLog("No window icon: %s could not be read as a PNG of at most %u pixels a side (error %u)", path.c_str(),
                 kMaxIconSide, decoder.error);
        return;
    }
    const int width = static_cast<int>(decoder.width);
    const int height = static_cast<int>(decoder.height);
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
