// Alpha bounds against a brute-force box over random frames, and blended sprites drawn from only
// their visible part: the same pixels as the whole quad, from a smaller quad or none.
#include <gtest/gtest.h>
#include <random>
#include <tinyxml.h>

#include "graphics/GraphicsTestSupport.h"
#include "TestSupport.h"
#include "graphics/AlphaBounds.h"
#include "graphics/Sprite.h"
#include "graphics/SpriteBatch.h"
#include "graphics/TextureCache.h"

using namespace graphicstest;

namespace {

bool sameBox(const TexelBox& a, const TexelBox& b) {
    if (a.empty() || b.empty())
        return a.empty() && b.empty();
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(AlphaBoundsTest, EachLevelGivesTheTightBoxOfTheTexelsAboveIt) {
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        const uint32_t stride = 1 + random() % 40, rows = 1 + random() % 30;
        std::vector<uint8_t> alpha(stride * rows, 0);
        // A few blobs of random alpha (some rounds none at all), so boxes shrink level by level.
        const int blobs = static_cast<int>(random() % 5);
        for (int b = 0; b < blobs; ++b) {
            const uint32_t cx = random() % stride, cy = random() % rows, r = random() % 6;
            const uint8_t peak = static_cast<uint8_t>(random());
            for (uint32_t y = 0; y < rows; ++y)
                for (uint32_t x = 0; x < stride; ++x) {
                    const uint32_t d = (x > cx ? x - cx : cx - x) + (y > cy ? y - cy : cy - y);
                    if (d <= r)
                        alpha[y * stride + x] = std::max<uint8_t>(alpha[y * stride + x], peak - d * (peak / 8));
                }
        }
        const uint32_t x0 = random() % stride, y0 = random() % rows;
        const uint32_t width = 1 + random() % (stride - x0), height = 1 + random() % (rows - y0);
        const AlphaBounds bounds(alpha.data(), stride, x0, y0, width, height);
        for (int level = 0; level < 256; ++level) {
            TexelBox expected{width, height, 0, 0};
            for (uint32_t y = 0; y < height; ++y)
                for (uint32_t x = 0; x < width; ++x)
                    if (alpha[(y0 + y) * stride + x0 + x] > level) {
                        expected.left = std::min(expected.left, x);
                        expected.top = std::min(expected.top, y);
                        expected.right = std::max(expected.right, x + 1);
                        expected.bottom = std::max(expected.bottom, y + 1);
                    }
            ASSERT_TRUE(sameBox(expected, bounds.above(static_cast<uint8_t>(level))))
                << "round " << round << " level " << level;
        }
    }
    const AlphaBounds unknown(12, 5);
    EXPECT_TRUE(sameBox(TexelBox{0, 0, 12, 5}, unknown.above(255))) << "no alpha values: the whole frame";
}

// A 64 x 32 picture: transparent but for a block at (20..43, 8..23) whose alpha rises from left to
// right, with a coloured pattern so that any texel out of place shows.
struct VisibleSpriteTest : ::testing::Test {
    void SetUp() override {
        std::vector<uint8_t> rgba(64 * 32 * 4, 0);
        for (uint32_t y = 8; y < 24; ++y)
            for (uint32_t x = 20; x < 44; ++x) {
                uint8_t* p = &rgba[(y * 64 + x) * 4];
                p[0] = static_cast<uint8_t>(x * 9);
                p[1] = static_cast<uint8_t>(y * 13);
                p[2] = static_cast<uint8_t>((x ^ y) * 7);
                p[3] = static_cast<uint8_t>(10 + (x - 20) * 10);
            }
        ASSERT_TRUE(writePng("v.png", 64, 32, rgba));
        document.Parse("<sprite id='v' texture='v.png'><frame x='0' y='0' width='64' height='32'/></sprite>");
        sprite = std::make_unique<Sprite>(TiXmlHandle(document.RootElement()), cache);
    }

    // Draws the frame at (x, y) blended, the whole quad or its visible part, and reads the area back.
    std::vector<uint8_t> drawn(bool visibleOnly, float x, float y, float width, float height, const Colour& tint,
                               bool flipX, bool flipY, uint32_t& quads) {
        prepareFrame({30, 40, 50, 255});
        SpriteBatch batch(sprite->getTexture(), 4);
        batch.begin();
        const Matrix3 at = Matrix3::translation(x, y);
        if (visibleOnly)
            sprite->renderVisible(&batch, at, width, height, tint, 0, flipX, flipY);
        else
            sprite->render(&batch, at, width, height, tint, 0, flipX, flipY);
        quads = batch.getQuadCount();
        area = quads == 1 ? (batch.getVertices()[2].x - batch.getVertices()[0].x) *
                                (batch.getVertices()[2].y - batch.getVertices()[0].y)
                          : 0.0f;
        batch.draw();
        std::vector<uint8_t> pixels(200 * 100 * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, kWindowHeight - 100, 200, 100, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    testsupport::ScratchDir dir;
    TextureCache cache{""};
    TiXmlDocument document;
    std::unique_ptr<Sprite> sprite;
    float area = 0.0f;
};

TEST_F(VisibleSpriteTest, DrawsTheSamePixelsFromOnlyThePartTheAlphaTestCanPass) {
    struct Case {
        float x, y, width, height;
        bool flipX, flipY;
    };
    // 1:1, magnified 2:1 and minified to a half, flipped either way. The halved one lies a quarter
    // pixel off the grid: on it, every pixel centre falls exactly between two texels, and the
    // driver's rounding picks either, for the whole quad as for a part of it.
    const Case cases[] = {{10, 12, 64, 32, false, false},         {7, 3, 128, 64, false, false},
                          {40.25f, 50.25f, 32, 16, false, false}, {11, 5, 64, 32, true, false},
                          {9, 21, 64, 32, false, true},           {3, 8, 128, 64, true, true}};
    for (const Case& c : cases)
        for (float alpha : {1.0f, 0.6f, 0.25f, 0.12f}) {
            const Colour tint{0.9f, 0.8f, 1.0f, alpha};
            uint32_t wholeQuads = 0, visibleQuads = 0;
            const std::vector<uint8_t> whole =
                drawn(false, c.x, c.y, c.width, c.height, tint, c.flipX, c.flipY, wholeQuads);
            const float wholeArea = area;
            const std::vector<uint8_t> visible =
                drawn(true, c.x, c.y, c.width, c.height, tint, c.flipX, c.flipY, visibleQuads);
            SCOPED_TRACE(testing::Message() << "at " << c.x << "," << c.y << " size " << c.width << "x" << c.height
                                            << " flips " << c.flipX << c.flipY << " alpha " << alpha);
            EXPECT_EQ(1u, wholeQuads);
            EXPECT_EQ(1u, visibleQuads);
            EXPECT_LT(area, wholeArea / 2) << "the transparent margin is left out";
            EXPECT_TRUE(whole == visible) << "the same pixels";
        }
    // Too faint for any texel to pass: nothing at all is added.
    uint32_t quads = 1;
    drawn(true, 0, 0, 64, 32, Colour{1, 1, 1, 0.09f}, false, false, quads);
    EXPECT_EQ(0u, quads);
    // The faintest column (alpha 10) only passes at full tint; a fainter tint drops more columns.
    drawn(true, 0, 0, 64, 32, Colour{1, 1, 1, 1.0f}, false, false, quads);
    const float fullTint = area;
    drawn(true, 0, 0, 64, 32, Colour{1, 1, 1, 0.2f}, false, false, quads);
    EXPECT_LT(area, fullTint);
}

} // namespace
