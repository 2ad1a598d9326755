// Where the texels of a frame lie that are more opaque than a given level: the box a blended
// quad may shrink to, since the alpha test drops every fragment of a fainter texel.
#pragma once

#include <cstdint>
#include <vector>

// A box of frame texels; right and bottom are exclusive. Empty when right <= left.
struct TexelBox {
    uint32_t left = 0;
    uint32_t top = 0;
    uint32_t right = 0;
    uint32_t bottom = 0;
    bool empty() const { return right <= left || bottom <= top; }
};

// Built once from the frame's alpha values; a query is one table lookup. Without alpha values
// (a texture uploaded without them) every level gives the whole frame, which is always safe.
class AlphaBounds {
public:
    AlphaBounds(uint32_t width, uint32_t height) : width(width), height(height) {}
    // `alpha` holds one byte per texel of a texture `stride` texels wide; the frame is the
    // width x height texels from (x, y), which the caller has checked lie inside it.
    AlphaBounds(const uint8_t* alpha, uint32_t stride, uint32_t x, uint32_t y, uint32_t width, uint32_t height);

    // The smallest box holding every texel whose alpha is above `level`.
    TexelBox above(uint8_t level) const;
    uint32_t getWidth() const { return width; }
    uint32_t getHeight() const { return height; }

private:
    uint32_t width;
    uint32_t height;
    // Entry a: the box of the texels whose alpha is above a; none when the alpha is unknown.
    std::vector<TexelBox> boxes;
};
