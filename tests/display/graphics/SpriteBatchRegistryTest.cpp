// The batch registry: one batch per texture in use, a new one only when all are full, refused
// textures and batch sizes, and the frame protocol drawing textures in first-use order.
#include <gtest/gtest.h>

#include "graphics/GraphicsTestSupport.h"
#include "TestSupport.h"
#include "base/Exceptions.h"
#include "graphics/SpriteBatchRegistry.h"
#include "graphics/TextureRegion.h"

using namespace graphicstest;
using testsupport::readPixel;

namespace {

struct SpriteBatchRegistryTest : ::testing::Test {
    void SetUp() override { prepareFrame(); }

    TestTexture first{1, 1, solidImage(1, 1, {255, 255, 255, 255})};
    TestTexture second{1, 1, solidImage(1, 1, {255, 255, 255, 255})};
};

std::string batchSizeFailure(int32_t batchSize) {
    try {
        SpriteBatchRegistry registry(batchSize);
    } catch (const BaseException& e) {
        return e.message;
    }
    return "accepted";
}

TEST_F(SpriteBatchRegistryTest, BatchSizesOutsideTheIndexRangeAreRejected) {
    EXPECT_EQ(200, SpriteBatchRegistry().getBatchSize());
    EXPECT_EQ("Exception: Invalid batchsize 0: it must be from 1 to 16384!", batchSizeFailure(0));
    EXPECT_EQ("Exception: Invalid batchsize -5: it must be from 1 to 16384!", batchSizeFailure(-5));
    EXPECT_EQ("Exception: Invalid batchsize 16385: it must be from 1 to 16384!", batchSizeFailure(16385));
    EXPECT_EQ("accepted", batchSizeFailure(1));
    EXPECT_EQ("accepted", batchSizeFailure(16384));
}

TEST_F(SpriteBatchRegistryTest, ATextureKeepsItsBatch) {
    SpriteBatchRegistry registry(64);
    SpriteBatch* batch = registry.getBatch(first.get());
    ASSERT_NE(nullptr, batch);
    EXPECT_EQ(64u, batch->getCapacity());
    EXPECT_EQ(first.get(), batch->getTexture());
    EXPECT_EQ(batch, registry.getBatch(first.get()));
    SpriteBatch* other = registry.getBatch(second.get());
    EXPECT_NE(batch, other);
    EXPECT_EQ(1u, registry.getBatches(first.get()).size());
    EXPECT_EQ(1u, registry.getBatches(second.get()).size());
}

TEST_F(SpriteBatchRegistryTest, AFullBatchGetsASiblingUntilItIsDrawn) {
    SpriteBatchRegistry registry(2);
    TextureRegion region(first.get(), 0, 0, 1, 1);
    SpriteBatch* batch = registry.getBatch(first.get());
    batch->begin();
    batch->addQuad(region, Matrix3::identity(), 1, 1, Colour{}, false, false);
    EXPECT_EQ(batch, registry.getBatch(first.get()));
    batch->addQuad(region, Matrix3::identity(), 1, 1, Colour{}, false, false);
    SpriteBatch* sibling = registry.getBatch(first.get());
    EXPECT_NE(batch, sibling);
    EXPECT_EQ(2u, registry.getBatches(first.get()).size());
    batch->draw();
    EXPECT_EQ(batch, registry.getBatch(first.get()));
}

TEST_F(SpriteBatchRegistryTest, MissingOrUnloadedTexturesAreRefusedAndUntexturedBatchesAskedForByName) {
    SpriteBatchRegistry registry(8);
    try {
        registry.getBatch(nullptr);
        ADD_FAILURE() << "a batch for no texture was made";
    } catch (const BaseException& e) {
        EXPECT_EQ("Exception: SpriteBatch supplied with invalid source texture!", e.message);
    }
    EXPECT_TRUE(registry.getBatches(nullptr).empty());
    Texture unloaded;
    EXPECT_THROW(registry.getBatch(&unloaded), BaseException);
    EXPECT_TRUE(registry.getBatches(&unloaded).empty());
    // Untextured batches are asked for by name, never by a missing texture.
    SpriteBatch* colours = registry.getColourBatch();
    EXPECT_EQ(nullptr, colours->getTexture());
    EXPECT_EQ(colours, registry.getColourBatch());
    EXPECT_NE(colours, registry.getOpaqueColourBatch());
    EXPECT_THROW(registry.getOpaqueBatch(nullptr), BaseException);
}

// Entities A, B and C in that order, A and C on texture T1, B on T2, overlapping: the scene
// takes one batch per texture and draws them in first-use order, so C ends up under B.
TEST_F(SpriteBatchRegistryTest, TexturesAreDrawnInTheOrderTheyFirstCameUp) {
    SpriteBatchRegistry registry(8);
    TextureRegion t1(first.get(), 0, 0, 1, 1);
    TextureRegion t2(second.get(), 0, 0, 1, 1);
    std::vector<SpriteBatch*> used;
    auto batchFor = [&](Texture* texture) {
        for (SpriteBatch* b : used)
            if (b->getTexture() == texture)
                return b;
        SpriteBatch* b = registry.getBatch(texture);
        b->begin();
        used.push_back(b);
        return b;
    };
    batchFor(first.get())->addQuad(t1, Matrix3::translation(10, 10), 20, 20, Colour{1, 0, 0, 1}, false, false);
    batchFor(second.get())->addQuad(t2, Matrix3::translation(20, 10), 20, 20, Colour{0, 1, 0, 1}, false, false);
    batchFor(first.get())->addQuad(t1, Matrix3::translation(30, 10), 20, 20, Colour{0, 0, 1, 1}, false, false);
    ASSERT_EQ(2u, used.size());
    for (SpriteBatch* b : used)
        b->draw();
    EXPECT_TRUE(near(readPixel(15, 15), {255, 0, 0, 255}));
    EXPECT_TRUE(near(readPixel(35, 15), {0, 255, 0, 255})) << "B is drawn over C";
    EXPECT_TRUE(near(readPixel(45, 15), {0, 0, 255, 255}));
}

} // namespace
