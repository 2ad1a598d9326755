// Texture regions: the fit check, the normalised edges and the truncating size arithmetic.
#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "graphics/Texture.h"
#include "graphics/TextureRegion.h"

namespace {

// Regions only read the record's size: no GL texture is needed.
Texture textureOfSize(uint32_t width, uint32_t height) {
    Texture texture;
    texture.loaded = true;
    texture.width = width;
    texture.height = height;
    return texture;
}

void expectInvalid(Texture& texture, uint32_t x, uint32_t y, uint32_t width, uint32_t height) {
    try {
        TextureRegion region(&texture, x, y, width, height);
        ADD_FAILURE() << "region (" << x << ", " << y << ", " << width << ", " << height << ") was accepted";
    } catch (const BaseException& e) {
        EXPECT_EQ("Exception: TextureRegion supplied with invalid dimensions!", e.message);
    }
}

TEST(TextureRegionTest, WholeTextureSpansZeroToOne) {
    Texture texture = textureOfSize(64, 32);
    TextureRegion region(&texture, 0, 0, 64, 32);
    EXPECT_EQ(&texture, region.getTexture());
    EXPECT_EQ(0.0f, region.getLeft());
    EXPECT_EQ(0.0f, region.getTop());
    EXPECT_EQ(1.0f, region.getRight());
    EXPECT_EQ(1.0f, region.getBottom());
    EXPECT_EQ(64, region.getWidth());
    EXPECT_EQ(32, region.getHeight());
}

TEST(TextureRegionTest, EdgesAreFractionsOfTheTextureSize) {
    Texture texture = textureOfSize(64, 32);
    TextureRegion region(&texture, 16, 8, 32, 16);
    EXPECT_EQ(0.25f, region.getLeft());
    EXPECT_EQ(0.25f, region.getTop());
    EXPECT_EQ(0.75f, region.getRight());
    EXPECT_EQ(0.75f, region.getBottom());
}

TEST(TextureRegionTest, RectanglesReachingPastTheTextureAreRejected) {
    Texture texture = textureOfSize(64, 32);
    expectInvalid(texture, 1, 0, 64, 32);
    expectInvalid(texture, 0, 1, 64, 32);
    expectInvalid(texture, 65, 0, 0, 0);
    expectInvalid(texture, 0, 33, 0, 0);
    expectInvalid(texture, 0, 0, 65, 1);
}

// A negative "x" in a sprite set arrives as a huge unsigned value; its sum with the width
// wraps around to a small number, which must not let the rectangle through.
TEST(TextureRegionTest, HugeValuesThatWrapAroundAreRejected) {
    Texture texture = textureOfSize(64, 32);
    expectInvalid(texture, 0xFFFFFFFFu, 0, 2, 1);
    expectInvalid(texture, 0, 0xFFFFFFF0u, 1, 0x20u);
    expectInvalid(texture, 1, 0, 0xFFFFFFFFu, 1);
}

TEST(TextureRegionTest, EmptyRegionsOnTheFarEdgeAreValid) {
    Texture texture = textureOfSize(64, 32);
    TextureRegion corner(&texture, 64, 32, 0, 0);
    EXPECT_EQ(0, corner.getWidth());
    EXPECT_EQ(0, corner.getHeight());
    EXPECT_EQ(1.0f, corner.getLeft());
    TextureRegion line(&texture, 10, 0, 0, 32);
    EXPECT_EQ(0, line.getWidth());
    EXPECT_EQ(32, line.getHeight());
}

TEST(TextureRegionTest, PowerOfTwoSizesGiveBackTheExactSize) {
    Texture texture = textureOfSize(64, 64);
    for (uint32_t x = 0; x <= 64; ++x)
        for (uint32_t width = 0; x + width <= 64; ++width) {
            TextureRegion region(&texture, x, x / 2, width, width / 2);
            ASSERT_EQ(int32_t(width), region.getWidth()) << "x " << x;
            ASSERT_EQ(int32_t(width / 2), region.getHeight()) << "x " << x;
        }
}

// The size is worked out again from the stored floats and truncated, so on a 100-pixel
// texture some sizes come back one short.
TEST(TextureRegionTest, SizesOnA100PixelTextureAreTruncated) {
    Texture texture = textureOfSize(100, 100);
    EXPECT_EQ(0, TextureRegion(&texture, 0, 0, 1, 1).getWidth());
    EXPECT_EQ(0, TextureRegion(&texture, 0, 0, 1, 1).getHeight());
    EXPECT_EQ(2, TextureRegion(&texture, 0, 0, 3, 3).getWidth());
    EXPECT_EQ(2, TextureRegion(&texture, 0, 0, 3, 3).getHeight());
    EXPECT_EQ(100, TextureRegion(&texture, 0, 0, 100, 100).getWidth());
    // The same arithmetic by hand for every width at x = 0.
    for (uint32_t width = 0; width <= 100; ++width) {
        const float right = static_cast<float>(width / 100.0);
        const int32_t expected = static_cast<int32_t>((double(right) - 0.0) * 100);
        EXPECT_EQ(expected, TextureRegion(&texture, 0, 0, width, 1).getWidth()) << width;
    }
}

TEST(TextureRegionTest, NullTextureIsRejected) {
    try {
        TextureRegion region(nullptr, 0, 0, 0, 0);
        ADD_FAILURE() << "a region without a texture was accepted";
    } catch (const BaseException& e) {
        EXPECT_EQ("Exception: TextureRegion supplied with invalid dimensions!", e.message);
    }
}

} // namespace
