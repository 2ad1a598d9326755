// Alpha bounds: one pass over the frame for the box of each exact alpha value, then a running
// union from the most opaque level down.
#include "graphics/AlphaBounds.h"

#include <algorithm>

AlphaBounds::AlphaBounds(const uint8_t* alpha, uint32_t stride, uint32_t x, uint32_t y, uint32_t width, uint32_t height)
    : width(width), height(height), boxes(256) {
    // The box of each exact alpha value, empty (left > right) until a texel has it.
    std::vector<TexelBox> exact(256, TexelBox{width, height, 0, 0});
    for (uint32_t row = 0; row < height; ++row) {
        const uint8_t* line = alpha + static_cast<std::size_t>(y + row) * stride + x;
        for (uint32_t column = 0; column < width; ++column) {
            TexelBox& box = exact[line[column]];
            box.left = std::min(box.left, column);
            box.top = std::min(box.top, row);
            box.right = std::max(box.right, column + 1);
            box.bottom = std::max(box.bottom, row + 1);
        }
    }
    // boxes[a] = the union of exact[a + 1 .. 255]; boxes[255] holds nothing.
    TexelBox running{width, height, 0, 0};
    for (int level = 255; level >= 0; --level) {
        boxes[static_cast<std::size_t>(level)] = running;
        const TexelBox& box = exact[static_cast<std::size_t>(level)];
        if (!box.empty()) {
            running.left = std::min(running.left, box.left);
            running.top = std::min(running.top, box.top);
            running.right = std::max(running.right, box.right);
            running.bottom = std::max(running.bottom, box.bottom);
        }
    }
}

TexelBox AlphaBounds::above(uint8_t level) const {
    if (boxes.empty())
        return TexelBox{0, 0, width, height};
    const TexelBox& box = boxes[level];
    return box.empty() ? TexelBox{} : box;
}
