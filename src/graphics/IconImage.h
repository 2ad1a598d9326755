// The window icon's picture: where it lives in the data and what makes a PNG usable as one.
// Shared by the window, which sets it, and the data checker, which reports an unusable one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The window icon, in the data directory.
constexpr const char* kWindowIconPath = "icons/pellvane-64.png";
// An icon is a few dozen pixels on a side; anything larger is not meant as one.
constexpr uint32_t kMaxIconSide = 512;

struct IconImage {
    // R, G, B, A bytes, row by row from the top.
    std::vector<unsigned char> pixels;
    uint32_t width = 0;
    uint32_t height = 0;
};

enum class IconStatus { Loaded, Missing, Unusable };

// Reads the icon at `path`. Missing when there is no such file (the icon is optional); Unusable,
// with `reason` saying why, when the file does not decode or has a side of 0 or more than
// kMaxIconSide pixels (a window system refuses an empty picture).
IconStatus loadIconImage(const std::string& path, IconImage& image, std::string& reason);
