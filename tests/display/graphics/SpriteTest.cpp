// Sprites read from small XML fixtures: single frames, "frame" children, every message, and the
// quads render and renderFrame hand to a batch.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include "graphics/GraphicsTestSupport.h"
#include "TestSupport.h"
#include "base/Exceptions.h"
#include "graphics/Sprite.h"
#include "graphics/SpriteBatch.h"
#include "graphics/TextureCache.h"

using namespace graphicstest;

namespace {

struct SpriteTest : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(writePng("t.png", 64, 32, solidImage(64, 32, {255, 255, 255, 255})));
        ASSERT_TRUE(writePng("odd.png", 100, 100, solidImage(100, 100, {255, 255, 255, 255})));
    }

    // A sprite from the root element of `xml`.
    std::unique_ptr<Sprite> load(const char* xml) {
        document.Clear();
        document.Parse(xml);
        return std::make_unique<Sprite>(TiXmlHandle(document.RootElement()), cache);
    }
    // The message of the SpriteException loading `xml` throws, with its source checked.
    std::string failure(const char* xml, const std::string& source) {
        try {
            load(xml);
        } catch (const SpriteException& e) {
            EXPECT_EQ(source, e.source);
            return e.message;
        }
        return "loaded";
    }

    testsupport::ScratchDir dir;
    TextureCache cache{""};
    TiXmlDocument document;
};

TEST_F(SpriteTest, FourAttributesMakeOneFrame) {
    auto sprite = load("<sprite id='ball' texture='t.png' x='8' y='4' width='16' height='8'/>");
    EXPECT_EQ("ball", sprite->getId());
    ASSERT_EQ(1u, sprite->getFrameCount());
    EXPECT_EQ(cache.getTexture("t.png"), sprite->getTexture());
    TextureRegion& frame = sprite->getFrame(0);
    EXPECT_EQ(0.125f, frame.getLeft());
    EXPECT_EQ(0.125f, frame.getTop());
    EXPECT_EQ(16, frame.getWidth());
    EXPECT_EQ(8, frame.getHeight());
}

TEST_F(SpriteTest, FrameChildrenAreReadInOrder) {
    auto sprite = load("<sprite id='digits' texture='t.png'>"
                       "<frame x='0' y='0' width='8' height='16'/><note/>"
                       "<frame x='8' y='0' width='8' height='16'/>"
                       "<frame x='16' y='16' width='4' height='2'/></sprite>");
    ASSERT_EQ(3u, sprite->getFrameCount());
    EXPECT_EQ(0.0f, sprite->getFrame(0).getLeft());
    EXPECT_EQ(0.125f, sprite->getFrame(1).getLeft());
    EXPECT_EQ(0.5f, sprite->getFrame(2).getTop());
    EXPECT_EQ(4, sprite->getFrame(2).getWidth());
}

TEST_F(SpriteTest, ACompleteSingleFrameWinsOverFrameChildren) {
    auto sprite = load("<sprite id='s' texture='t.png' x='0' y='0' width='2' height='2'>"
                       "<frame x='0' y='0' width='8' height='8'/><frame x='8' y='0' width='8' height='8'/></sprite>");
    ASSERT_EQ(1u, sprite->getFrameCount());
    EXPECT_EQ(2, sprite->getFrame(0).getWidth());
}

TEST_F(SpriteTest, AnIncompleteSingleFrameFallsBackToFrameChildren) {
    auto sprite = load("<sprite id='s' texture='t.png' x='1' y='1' width='2'>"
                       "<frame x='0' y='0' width='8' height='8'/></sprite>");
    ASSERT_EQ(1u, sprite->getFrameCount());
    EXPECT_EQ(8, sprite->getFrame(0).getWidth());
    EXPECT_EQ("Sprite Exception: s: No frames specified or incorrect parameters for a single frame.",
              failure("<sprite id='s' texture='t.png' x='1' y='2' width='3'/>", "s"));
}

TEST_F(SpriteTest, NumbersReadLikeAPercentDScan) {
    auto sprite = load("<sprite id='s' texture='t.png' x='8abc' y=' 4' width='+16' height='8px'/>");
    EXPECT_EQ(0.125f, sprite->getFrame(0).getLeft());
    EXPECT_EQ(0.125f, sprite->getFrame(0).getTop());
    EXPECT_EQ(16, sprite->getFrame(0).getWidth());
    EXPECT_EQ(8, sprite->getFrame(0).getHeight());
}

TEST_F(SpriteTest, UnreadableSingleFrameValuesAreReportedByName) {
    EXPECT_EQ("Sprite Exception: s: Attribute query failed on single frame x.",
              failure("<sprite id='s' texture='t.png' x='abc' y='0' width='1' height='1'/>", "s"));
    EXPECT_EQ("Sprite Exception: s: Attribute query failed on single frame y.",
              failure("<sprite id='s' texture='t.png' x='0' y='' width='1' height='1'/>", "s"));
    EXPECT_EQ("Sprite Exception: s: Attribute query failed on single frame width.",
              failure("<sprite id='s' texture='t.png' x='0' y='0' width='w' height='1'/>", "s"));
    EXPECT_EQ("Sprite Exception: s: Attribute query failed on single frame height.",
              failure("<sprite id='s' texture='t.png' x='0' y='0' width='1' height='-'/>", "s"));
    // The first bad value in reading order is the one reported.
    EXPECT_EQ("Sprite Exception: s: Attribute query failed on single frame y.",
              failure("<sprite id='s' texture='t.png' x='0' y='a' width='b' height='c'/>", "s"));
}

TEST_F(SpriteTest, FrameAttributesMissingOrUnreadableAreReportedWithTheFrameNumber) {
    EXPECT_EQ("Sprite Exception: f: Attribute query failed on height on frame: 2",
              failure("<sprite id='f' texture='t.png'><frame x='0' y='0' width='1' height='1'/>"
                      "<frame x='0' y='0' width='1' height='1'/><frame x='0' y='0' width='1'/></sprite>",
                      "f"));
    EXPECT_EQ("Sprite Exception: f: Attribute query failed on x on frame: 0",
              failure("<sprite id='f' texture='t.png'><frame y='0' width='1' height='1'/></sprite>", "f"));
    EXPECT_EQ("Sprite Exception: f: Attribute query failed on y on frame: 1",
              failure("<sprite id='f' texture='t.png'><frame x='0' y='0' width='1' height='1'/>"
                      "<frame x='0' y='z' width='1' height='1'/></sprite>",
                      "f"));
    EXPECT_EQ("Sprite Exception: f: Attribute query failed on width on frame: 0",
              failure("<sprite id='f' texture='t.png'><frame x='0' y='0' width='abc' height='1'/></sprite>", "f"));
}

TEST_F(SpriteTest, MissingIdTextureOrElementAreSpriteErrors) {
    EXPECT_EQ("Sprite Exception: No ID: Sprite element has no \"id\" attribute!",
              failure("<sprite texture='t.png' x='0' y='0' width='1' height='1'/>", "No ID"));
    EXPECT_EQ("Sprite Exception: s: No texture name specified!",
              failure("<sprite id='s' x='0' y='0' width='1' height='1'/>", "s"));
    try {
        Sprite sprite(TiXmlHandle(static_cast<TiXmlNode*>(nullptr)), cache);
        ADD_FAILURE() << "a sprite was built from nothing";
    } catch (const SpriteException& e) {
        EXPECT_EQ("No ID", e.source);
        EXPECT_EQ("Sprite Exception: No ID: Sprite passed invalid xml handle, does not resolve to an element.",
                  e.message);
    }
}

TEST_F(SpriteTest, TextureAndRectangleErrorsPassThroughUnchanged) {
    try {
        load("<sprite id='s' texture='none.png' x='0' y='0' width='1' height='1'/>");
        ADD_FAILURE() << "a sprite loaded with a missing texture";
    } catch (const ResourceException& e) {
        EXPECT_EQ("Resource Exception: none.png: File not found!", e.message);
    }
    try {
        load("<sprite id='s' texture='t.png'><frame x='60' y='0' width='8' height='8'/></sprite>");
        ADD_FAILURE() << "a frame outside its texture was accepted";
    } catch (const SpriteException&) {
        ADD_FAILURE() << "the region's own exception must pass through";
    } catch (const BaseException& e) {
        EXPECT_EQ("Exception: TextureRegion supplied with invalid dimensions!", e.message);
    }
    // A negative value reads as a huge unsigned pixel value and is refused, not wrapped.
    EXPECT_THROW(load("<sprite id='s' texture='t.png' x='-1' y='0' width='2' height='1'/>"), BaseException);
}

TEST_F(SpriteTest, RenderFrameAddsAQuadOfTheFramesSize) {
    auto sprite = load("<sprite id='s' texture='t.png'><frame x='0' y='0' width='16' height='8'/>"
                       "<frame x='16' y='0' width='32' height='32'/></sprite>");
    SpriteBatch batch(sprite->getTexture(), 4);
    batch.begin();
    const Colour colour{0.5f, 0.5f, 0.5f, 1.0f};
    sprite->renderFrame(&batch, Matrix3::translation(10, 20), colour, 1, true, false);
    ASSERT_EQ(32u, batch.getFloatCount());
    const Vertex* v = batch.getVertices();
    EXPECT_EQ(10.0f, v[0].x);
    EXPECT_EQ(20.0f, v[0].y);
    EXPECT_EQ(42.0f, v[2].x);
    EXPECT_EQ(52.0f, v[2].y);
    EXPECT_EQ(0.75f, v[0].u) << "flipX swaps the frame's edges";
    EXPECT_EQ(0.5f, v[0].red);

    sprite->render(&batch, Matrix3::identity(), 5, 6, colour, 0, false, false);
    EXPECT_EQ(5.0f, v[6].x);
    EXPECT_EQ(6.0f, v[6].y);
    EXPECT_EQ(0.25f, v[6].u);
}

TEST_F(SpriteTest, RenderFrameUsesTheTruncatedSizeOnOddTextures) {
    auto sprite = load("<sprite id='s' texture='odd.png' x='0' y='0' width='3' height='1'/>");
    SpriteBatch batch(sprite->getTexture(), 4);
    batch.begin();
    sprite->renderFrame(&batch, Matrix3::identity(), Colour{}, 0, false, false);
    EXPECT_EQ(2.0f, batch.getVertices()[2].x);
    EXPECT_EQ(0.0f, batch.getVertices()[2].y);
}

TEST_F(SpriteTest, RenderingAnInvalidFrameOrIntoNoBatchThrows) {
    auto sprite = load("<sprite id='one' texture='t.png' x='0' y='0' width='4' height='4'/>");
    SpriteBatch batch(sprite->getTexture(), 4);
    batch.begin();
    auto message = [](auto&& call) {
        try {
            call();
        } catch (const SpriteException& e) {
            return e.message;
        }
        return std::string("no exception");
    };
    EXPECT_EQ("Sprite Exception: one: Cannot render with invalid frame.",
              message([&] { sprite->renderFrame(&batch, Matrix3::identity(), Colour{}, 1, false, false); }));
    EXPECT_EQ("Sprite Exception: one: Cannot render with invalid frame.",
              message([&] { sprite->render(&batch, Matrix3::identity(), 1, 1, Colour{}, 7, false, false); }));
    EXPECT_EQ("Sprite Exception: one: Cannot render with null SpriteBatch",
              message([&] { sprite->render(nullptr, Matrix3::identity(), 1, 1, Colour{}, 0, false, false); }));
    EXPECT_EQ("Sprite Exception: one: Cannot render with null SpriteBatch",
              message([&] { sprite->renderFrame(nullptr, Matrix3::identity(), Colour{}, 0, false, false); }));
    EXPECT_EQ(0u, batch.getFloatCount());
}

TEST_F(SpriteTest, SpritesShareTheCachedTexture) {
    auto a = load("<sprite id='a' texture='t.png' x='0' y='0' width='4' height='4'/>");
    auto b = load("<sprite id='b' texture='t.png' x='4' y='0' width='4' height='4'/>");
    EXPECT_EQ(a->getTexture(), b->getTexture());
    EXPECT_EQ(1u, cache.getTextures().size());
    IRenderable* renderable = a.get();
    EXPECT_EQ(cache.getTexture("t.png"), renderable->getTexture());
}

} // namespace
