// A rectangle of a texture, given in pixels and kept as normalised texture coordinates
// (0,0 = the image's top-left corner). Sprite frames are regions; the batch reads the four edges.
#pragma once

#include <cstdint>

struct Texture;

// Lifetime: the region does not own its texture, which the texture cache owns; a region must
// not outlive the cache. The class has virtual operations but no virtual destructor, so it is
// final: nothing can derive from it and deleting it through its own pointer type is sound.
class TextureRegion final {
public:
    // (x, y) is the region's top-left pixel. Throws BaseException when the rectangle does not lie
    // inside the texture; a far edge exactly on the texture's edge is inside.
    TextureRegion(Texture* texture, uint32_t x, uint32_t y, uint32_t width, uint32_t height);

    virtual Texture* getTexture();
    // The size in pixels worked out again from the stored coordinates: on a texture whose size
    // is not a power of two the truncation can give one less than the size asked for.
    virtual int32_t getWidth();
    virtual int32_t getHeight();

    float getLeft() const { return left; }
    float getTop() const { return top; }
    float getRight() const { return right; }
    float getBottom() const { return bottom; }

private:
    Texture* texture;
    float left = 0.0f;
    float top = 0.0f;
    // Right and bottom edges are exclusive.
    float right = 0.0f;
    float bottom = 0.0f;
};
