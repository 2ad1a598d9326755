// Texture regions: the fit check in pixels and the normalised edges.
#include "graphics/TextureRegion.h"

#include "base/Exceptions.h"
#include "graphics/Texture.h"

namespace {
// True when [start, start + length) lies within [0, limit]. Written without the sum, so a huge
// start or length cannot wrap around and slip through.
bool fits(uint32_t start, uint32_t length, uint32_t limit) {
    return start <= limit && length <= limit - start;
}
} // namespace

TextureRegion::TextureRegion(Texture* texture, uint32_t x, uint32_t y, uint32_t width, uint32_t height)
    : texture(texture) {
    if (texture == nullptr || !fits(x, width, texture->width) || !fits(y, height, texture->height))
        throw BaseException("TextureRegion supplied with invalid dimensions!");
    // Division in double then stored as float; for sizes below 2^24 this equals the float quotient.
    const double textureWidth = texture->width;
    const double textureHeight = texture->height;
    left = static_cast<float>(x / textureWidth);
    top = static_cast<float>(y / textureHeight);
    right = static_cast<float>((x + width) / textureWidth);
    bottom = static_cast<float>((y + height) / textureHeight);
}

Texture* TextureRegion::getTexture() {
    return texture;
}

int32_t TextureRegion::getWidth() {
    return static_cast<int32_t>((static_cast<double>(right) - static_cast<double>(left)) * texture->width);
}

int32_t TextureRegion::getHeight() {
    return static_cast<int32_t>((static_cast<double>(bottom) - static_cast<double>(top)) * texture->height);
}
