// Colours as four floats in 0..1 and their hexadecimal text form RRGGBB or RRGGBBAA.
#pragma once

#include <string>

struct Colour {
    float red = 1.0f;
    float green = 1.0f;
    float blue = 1.0f;
    float alpha = 1.0f;
};

inline bool operator==(const Colour& a, const Colour& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

// Throws BaseException for a text of any length other than 6 or 8.
Colour parseColour(const std::string& text);
