// The sprite batch: vertex contents straight from its array, the GL state a draw leaves, and
// pixels read back from the real window (tint, flips, blending, alpha test, order, overflow).
#include <gtest/gtest.h>

#include "graphics/GraphicsTestSupport.h"
#include "TestSupport.h"
#include "base/Exceptions.h"
#include "graphics/SpriteBatch.h"
#include "graphics/TextureRegion.h"

using namespace graphicstest;
using testsupport::readPixel;

namespace {

constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kGreen{0, 255, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kBlack{0, 0, 0, 255};
const Colour kOpaque{1.0f, 1.0f, 1.0f, 1.0f};

// A 2 x 2 texture with a different colour in each corner: red top-left, green top-right,
// blue bottom-left, white bottom-right.
std::vector<uint8_t> cornersImage() {
    std::vector<uint8_t> pixels;
    for (const Rgba& c : {kRed, kGreen, kBlue, kWhite})
        pixels.insert(pixels.end(), c.begin(), c.end());
    return pixels;
}

struct SpriteBatchTest : ::testing::Test {
    void SetUp() override { prepareFrame(); }

    TestTexture corners{2, 2, cornersImage()};
    TestTexture white{1, 1, solidImage(1, 1, kWhite)};
    TextureRegion cornersRegion{corners.get(), 0, 0, 2, 2};
    TextureRegion whiteRegion{white.get(), 0, 0, 1, 1};
};

void expectVertex(const Vertex& v, float x, float y, float u, float tv) {
    EXPECT_EQ(x, v.x);
    EXPECT_EQ(y, v.y);
    EXPECT_EQ(u, v.u);
    EXPECT_EQ(tv, v.v);
}

TEST_F(SpriteBatchTest, IdentityTransformSpansTheSize) {
    SpriteBatch batch(corners.get(), 4);
    batch.begin();
    const Colour colour{0.25f, 0.5f, 0.75f, 1.0f};
    batch.addQuad(cornersRegion, Matrix3::identity(), 32, 16, colour, false, false);
    ASSERT_EQ(32u, batch.getFloatCount());
    const Vertex* v = batch.getVertices();
    expectVertex(v[0], 0, 0, 0, 0);
    expectVertex(v[1], 0, 16, 0, 1);
    expectVertex(v[2], 32, 16, 1, 1);
    expectVertex(v[3], 32, 0, 1, 0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(0.25f, v[i].red);
        EXPECT_EQ(0.5f, v[i].green);
        EXPECT_EQ(0.75f, v[i].blue);
        EXPECT_EQ(1.0f, v[i].alpha);
    }
    EXPECT_TRUE(batch.isDirty());
}

TEST_F(SpriteBatchTest, FlipsSwapTextureCoordinatesNotPositions) {
    SpriteBatch batch(corners.get(), 4);
    batch.begin();
    batch.addQuad(cornersRegion, Matrix3::identity(), 32, 16, kOpaque, true, false);
    batch.addQuad(cornersRegion, Matrix3::identity(), 32, 16, kOpaque, false, true);
    const Vertex* v = batch.getVertices();
    expectVertex(v[0], 0, 0, 1, 0);
    expectVertex(v[1], 0, 16, 1, 1);
    expectVertex(v[2], 32, 16, 0, 1);
    expectVertex(v[3], 32, 0, 0, 0);
    expectVertex(v[4], 0, 0, 0, 1);
    expectVertex(v[5], 0, 16, 0, 0);
    expectVertex(v[6], 32, 16, 1, 0);
    expectVertex(v[7], 32, 0, 1, 1);
}

TEST_F(SpriteBatchTest, ScaleAndTranslateMoveTheTwoCorners) {
    SpriteBatch batch(corners.get(), 4);
    batch.begin();
    const Matrix3 m{{{2, 0, 100}, {0, 2, 50}, {0, 0, 1}}};
    TextureRegion half(corners.get(), 1, 0, 1, 2);
    batch.addQuad(half, m, 10, 7, kOpaque, false, false);
    const Vertex* v = batch.getVertices();
    expectVertex(v[0], 100, 50, 0.5f, 0);
    expectVertex(v[1], 100, 64, 0.5f, 1);
    expectVertex(v[2], 120, 64, 1, 1);
    expectVertex(v[3], 120, 50, 1, 0);
}

// A rotation moves the far corner but the quad stays the axis-aligned box between the two.
TEST_F(SpriteBatchTest, RotationDoesNotTurnTheQuad) {
    SpriteBatch batch(corners.get(), 4);
    batch.begin();
    const Matrix3 quarterTurn{{{0, -1, 200}, {1, 0, 100}, {0, 0, 1}}};
    batch.addQuad(cornersRegion, quarterTurn, 30, 20, kOpaque, false, false);
    const Vertex* v = batch.getVertices();
    // M*(0,0) = (200, 100); M*(30,20) = (180, 130).
    expectVertex(v[0], 200, 100, 0, 0);
    expectVertex(v[1], 200, 130, 0, 1);
    expectVertex(v[2], 180, 130, 1, 1);
    expectVertex(v[3], 180, 100, 1, 0);
}

TEST_F(SpriteBatchTest, IndicesFollowTheTwoTrianglePattern) {
    SpriteBatch batch(corners.get(), 3);
    ASSERT_EQ(18u, batch.getIndexCount());
    const uint16_t expected[] = {0, 1, 2, 2, 3, 0, 4, 5, 6, 6, 7, 4, 8, 9, 10, 10, 11, 8};
    for (int i = 0; i < 18; ++i)
        EXPECT_EQ(expected[i], batch.getIndices()[i]) << i;
    GLint bytes = 0;
    glGetBufferParameteriv(GL_ELEMENT_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
    EXPECT_EQ(3 * 12, bytes);
}

TEST_F(SpriteBatchTest, BeginEmptiesOnlyAnIdleBatch) {
    SpriteBatch batch(corners.get(), 4);
    EXPECT_FALSE(batch.isBegun());
    batch.begin();
    batch.addQuad(cornersRegion, Matrix3::identity(), 1, 1, kOpaque, false, false);
    batch.begin();
    EXPECT_EQ(32u, batch.getFloatCount()) << "a second begin in the same frame keeps the quads";
    batch.draw();
    EXPECT_FALSE(batch.isBegun());
    EXPECT_EQ(0u, batch.getFloatCount());
    EXPECT_FALSE(batch.isDirty());
}

TEST_F(SpriteBatchTest, DrawLeavesArraysAndTexturingOffAndBuffersBound) {
    SpriteBatch batch(corners.get(), 8);
    batch.begin();
    batch.addQuad(cornersRegion, Matrix3::identity(), 4, 4, kOpaque, false, false);
    batch.draw();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
    GLint arrayBuffer = 0, elementBuffer = 0, bytes = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer);
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &elementBuffer);
    EXPECT_NE(0, arrayBuffer);
    EXPECT_NE(0, elementBuffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
    EXPECT_EQ(128, bytes) << "only the quad drawn is uploaded, not the capacity of 8";
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}

TEST_F(SpriteBatchTest, EmptyOrUnbegunBatchesDrawNothing) {
    SpriteBatch batch(corners.get(), 8);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    batch.begin();
    batch.draw();
    batch.draw();
    EXPECT_TRUE(batch.isBegun()) << "a begun batch without quads stays begun";
    GLint arrayBuffer = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer);
    EXPECT_EQ(0, arrayBuffer) << "an empty draw makes no GL calls";

    SpriteBatch unbegun(white.get(), 8);
    unbegun.addQuad(whiteRegion, Matrix3::translation(10, 10), 20, 20, kOpaque, false, false);
    unbegun.draw();
    EXPECT_EQ(32u, unbegun.getFloatCount());
    EXPECT_TRUE(near(readPixel(15, 15), kBlack));
}

TEST_F(SpriteBatchTest, QuadLandsOnTheExpectedPixels) {
    SpriteBatch batch(corners.get(), 4);
    batch.begin();
    batch.addQuad(cornersRegion, Matrix3::translation(100, 200), 64, 32, kOpaque, false, false);
    batch.draw();
    // Each texel covers a 32 x 16 block, the origin at the top-left of the window.
    EXPECT_TRUE(near(readPixel(100, 200), kRed));
    EXPECT_TRUE(near(readPixel(131, 215), kRed));
    EXPECT_TRUE(near(readPixel(132, 200), kGreen));
    EXPECT_TRUE(near(readPixel(163, 215), kGreen));
    EXPECT_TRUE(near(readPixel(100, 216), kBlue));
    EXPECT_TRUE(near(readPixel(163, 231), kWhite));
    // Just outside the quad.
    EXPECT_TRUE(near(readPixel(99, 200), kBlack));
    EXPECT_TRUE(near(readPixel(164, 200), kBlack));
    EXPECT_TRUE(near(readPixel(100, 199), kBlack));
    EXPECT_TRUE(near(readPixel(100, 232), kBlack));
}

TEST_F(SpriteBatchTest, FlipsMirrorTheTexture) {
    SpriteBatch batch(corners.get(), 4);
    batch.begin();
    batch.addQuad(cornersRegion, Matrix3::translation(0, 0), 40, 40, kOpaque, true, false);
    batch.addQuad(cornersRegion, Matrix3::translation(50, 0), 40, 40, kOpaque, false, true);
    batch.addQuad(cornersRegion, Matrix3::translation(100, 0), 40, 40, kOpaque, true, true);
    batch.draw();
    EXPECT_TRUE(near(readPixel(5, 5), kGreen));
    EXPECT_TRUE(near(readPixel(35, 5), kRed));
    EXPECT_TRUE(near(readPixel(5, 35), kWhite));
    EXPECT_TRUE(near(readPixel(55, 5), kBlue));
    EXPECT_TRUE(near(readPixel(85, 35), kGreen));
    EXPECT_TRUE(near(readPixel(105, 5), kWhite));
    EXPECT_TRUE(near(readPixel(135, 35), kRed));
}

TEST_F(SpriteBatchTest, NegativeScaleMirrorsTheQuad) {
    SpriteBatch batch(corners.get(), 4);
    batch.begin();
    const Matrix3 mirrored = Matrix3::translation(140, 0) * Matrix3::scaling(-1, 1);
    batch.addQuad(cornersRegion, mirrored, 40, 40, kOpaque, false, false);
    batch.draw();
    EXPECT_TRUE(near(readPixel(105, 5), kGreen));
    EXPECT_TRUE(near(readPixel(135, 5), kRed));
}

TEST_F(SpriteBatchTest, ColourMultipliesTheTexture) {
    SpriteBatch batch(white.get(), 4);
    batch.begin();
    batch.addQuad(whiteRegion, Matrix3::translation(10, 10), 20, 20, Colour{1.0f, 0.5f, 0.25f, 1.0f}, false, false);
    batch.addQuad(cornersRegion, Matrix3::translation(40, 10), 20, 20, Colour{0.5f, 1.0f, 1.0f, 1.0f}, false, false);
    batch.draw();
    EXPECT_TRUE(near(readPixel(15, 15), {255, 128, 64, 255}));
    // The second quad uses the white texture too (regions are not checked against the batch),
    // so its colour shows unchanged.
    EXPECT_TRUE(near(readPixel(45, 15), {128, 255, 255, 255}));

    SpriteBatch tinted(corners.get(), 4);
    tinted.begin();
    tinted.addQuad(cornersRegion, Matrix3::translation(100, 10), 20, 20, Colour{0.5f, 0.5f, 0.5f, 1.0f}, false, false);
    tinted.draw();
    EXPECT_TRUE(near(readPixel(102, 12), {128, 0, 0, 255}));
    EXPECT_TRUE(near(readPixel(117, 27), {128, 128, 128, 255}));
    EXPECT_TRUE(near(readPixel(117, 17), {0, 128, 0, 255}));
}

TEST_F(SpriteBatchTest, TranslucentQuadsBlendWithWhatIsBelow) {
    SpriteBatch batch(white.get(), 4);
    batch.begin();
    batch.addQuad(whiteRegion, Matrix3::translation(10, 10), 40, 40, Colour{0.0f, 0.0f, 1.0f, 1.0f}, false, false);
    batch.addQuad(whiteRegion, Matrix3::translation(30, 10), 40, 40, Colour{1.0f, 0.0f, 0.0f, 0.5f}, false, false);
    batch.draw();
    EXPECT_TRUE(near(readPixel(40, 20), {128, 0, 128, 255}));
    EXPECT_TRUE(near(readPixel(60, 20), {128, 0, 0, 255}));
    EXPECT_TRUE(near(readPixel(20, 20), kBlue));
}

// The game's alpha test drops fragments with alpha 0.1 or less; the checks stay well away from
// the reference value, which the software renderer quantises.
TEST_F(SpriteBatchTest, NearlyTransparentFragmentsAreDiscarded) {
    std::vector<uint8_t> halves = solidImage(2, 1, kWhite);
    halves[3] = 0; // the left texel fully transparent
    TestTexture texture(2, 1, halves);
    TextureRegion region(texture.get(), 0, 0, 2, 1);
    SpriteBatch batch(white.get(), 4);
    batch.begin();
    batch.addQuad(whiteRegion, Matrix3::translation(10, 10), 20, 20, Colour{1.0f, 1.0f, 1.0f, 0.05f}, false, false);
    batch.addQuad(whiteRegion, Matrix3::translation(40, 10), 20, 20, Colour{1.0f, 1.0f, 1.0f, 0.2f}, false, false);
    batch.draw();
    EXPECT_TRUE(near(readPixel(15, 15), kBlack, 0)) << "alpha 0.05 leaves no trace";
    EXPECT_TRUE(near(readPixel(45, 15), {51, 51, 51, 255}));

    SpriteBatch textured(texture.get(), 4);
    textured.begin();
    textured.addQuad(region, Matrix3::translation(100, 10), 40, 20, kOpaque, false, false);
    textured.draw();
    EXPECT_TRUE(near(readPixel(105, 15), kBlack, 0));
    EXPECT_TRUE(near(readPixel(135, 15), kWhite));
}

TEST_F(SpriteBatchTest, QuadsOfOneBatchAreDrawnInSubmissionOrder) {
    SpriteBatch batch(white.get(), 4);
    batch.begin();
    batch.addQuad(whiteRegion, Matrix3::translation(10, 10), 30, 30, Colour{1, 0, 0, 1}, false, false);
    batch.addQuad(whiteRegion, Matrix3::translation(20, 20), 30, 30, Colour{0, 1, 0, 1}, false, false);
    batch.addQuad(whiteRegion, Matrix3::translation(30, 30), 30, 30, Colour{0, 0, 1, 1}, false, false);
    batch.draw();
    EXPECT_TRUE(near(readPixel(15, 15), kRed));
    EXPECT_TRUE(near(readPixel(25, 25), kGreen));
    EXPECT_TRUE(near(readPixel(35, 35), kBlue));
    EXPECT_TRUE(near(readPixel(45, 45), kBlue));
}

// Capacity 200, 400 quads in one frame: the batch grows instead of writing past its array.
// Quad i is 2 pixels wide at x = 10 + i and overlaps quad i - 1, so column 10 + i shows quad i
// only if every quad was drawn, in order.
TEST_F(SpriteBatchTest, MoreQuadsThanCapacityAreAllDrawnInOrder) {
    constexpr uint32_t kQuads = 400;
    SpriteBatch batch(white.get(), 200);
    batch.begin();
    auto colourOf = [](uint32_t i) { return Rgba{uint8_t(i % 20 * 12), uint8_t(i / 20 * 12), 200, 255}; };
    for (uint32_t i = 0; i < kQuads; ++i) {
        const Rgba c = colourOf(i);
        batch.addQuad(whiteRegion, Matrix3::translation(10.0f + i, 100), 2, 4,
                      Colour{c[0] / 255.0f, c[1] / 255.0f, c[2] / 255.0f, 1.0f}, false, false);
    }
    EXPECT_EQ(kQuads * 32, batch.getFloatCount());
    EXPECT_GE(batch.getCapacity(), kQuads);
    EXPECT_EQ(uint16_t(4 * (kQuads - 1)), batch.getIndices()[6 * (kQuads - 1)]);
    batch.draw();
    std::vector<uint8_t> row(kQuads * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(10, kWindowHeight - 1 - 101, kQuads, 1, GL_RGBA, GL_UNSIGNED_BYTE, row.data());
    for (uint32_t i = 0; i < kQuads; ++i) {
        const Rgba actual{row[4 * i], row[4 * i + 1], row[4 * i + 2], 255};
        ASSERT_TRUE(near(actual, colourOf(i))) << "column of quad " << i;
    }
    EXPECT_TRUE(near(readPixel(10 + kQuads, 101), colourOf(kQuads - 1)));
    EXPECT_TRUE(near(readPixel(12 + kQuads, 101), kBlack));

    // The grown arrays are kept: the next frame of the same size draws without growing again.
    const uint32_t grown = batch.getCapacity();
    batch.begin();
    for (uint32_t i = 0; i < kQuads; ++i)
        batch.addQuad(whiteRegion, Matrix3::translation(10.0f + i, 200), 1, 1, kOpaque, false, false);
    EXPECT_EQ(grown, batch.getCapacity());
    batch.draw();
    EXPECT_TRUE(near(readPixel(10 + kQuads - 1, 200), kWhite));
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}

// A spike of 20,000 quads grows the batch for good; a one-quad frame after it must still upload
// one quad (128 bytes), not the grown capacity, and draw it where it belongs.
TEST_F(SpriteBatchTest, AOneQuadFrameAfterASpikeUploadsOnlyThatQuad) {
    SpriteBatch batch(white.get(), 200);
    batch.begin();
    for (uint32_t i = 0; i < 20000; ++i)
        batch.addQuad(whiteRegion, Matrix3::translation(float(i % 100), 300), 1, 1, kOpaque, false, false);
    batch.draw();
    ASSERT_GE(batch.getCapacity(), 20000u);
    GLint bytes = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
    EXPECT_EQ(20000 * 128, bytes);

    prepareFrame();
    batch.begin();
    batch.addQuad(whiteRegion, Matrix3::translation(40, 40), 8, 8, Colour{0, 1, 0, 1}, false, false);
    batch.draw();
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
    EXPECT_EQ(128, bytes);
    EXPECT_TRUE(near(readPixel(44, 44), kGreen));
    EXPECT_TRUE(near(readPixel(50, 300), kBlack)) << "nothing of the spike is drawn again";
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}

// Past 65536 vertices the 16-bit indices cannot reach: the batch draws runs of 16384 quads.
// One-pixel quads fill rows of the window; the last quad covers the first one again in red.
TEST_F(SpriteBatchTest, QuadsBeyondTheIndexRangeAreDrawnInSeveralRuns) {
    constexpr uint32_t kPixels = 2 * kMaxQuadsPerDraw + 5;
    SpriteBatch batch(white.get(), kMaxQuadsPerDraw);
    batch.begin();
    for (uint32_t k = 0; k < kPixels; ++k)
        batch.addQuad(whiteRegion, Matrix3::translation(float(k % kWindowWidth), float(k / kWindowWidth)), 1, 1,
                      kOpaque, false, false);
    batch.addQuad(whiteRegion, Matrix3::identity(), 1, 1, Colour{1, 0, 0, 1}, false, false);
    EXPECT_EQ(kMaxQuadsPerDraw, batch.getIndexCount() / 6) << "the index pattern stops at the 16-bit limit";
    batch.draw();
    EXPECT_TRUE(near(readPixel(0, 0), kRed)) << "the last run is drawn last";
    for (uint32_t k :
         {1u, kMaxQuadsPerDraw - 1, kMaxQuadsPerDraw, 2 * kMaxQuadsPerDraw - 1, 2 * kMaxQuadsPerDraw, kPixels - 1})
        EXPECT_TRUE(near(readPixel(k % kWindowWidth, k / kWindowWidth), kWhite)) << "quad " << k;
    EXPECT_TRUE(near(readPixel(kPixels % kWindowWidth, kPixels / kWindowWidth), kBlack));
    EXPECT_EQ(GL_NO_ERROR, glGetError());
}

TEST_F(SpriteBatchTest, InvalidTexturesAndCapacitiesAreRefused) {
    try {
        SpriteBatch batch(nullptr, 10);
        ADD_FAILURE() << "a batch without a texture was made";
    } catch (const BaseException& e) {
        EXPECT_EQ("Exception: SpriteBatch supplied with invalid source texture!", e.message);
    }
    Texture unloaded;
    EXPECT_THROW(SpriteBatch(&unloaded, 10), BaseException);
    EXPECT_THROW(SpriteBatch(white.get(), 0), BaseException);
    EXPECT_THROW(SpriteBatch(white.get(), kMaxQuadsPerDraw + 1), BaseException);
    EXPECT_NO_THROW(SpriteBatch(white.get(), 1));
}

} // namespace
