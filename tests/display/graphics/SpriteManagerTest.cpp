// The sprite manager: sprite sets from a file and from the configuration's "sprite" elements,
// lookup by id, and the manager's own messages.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include "graphics/GraphicsTestSupport.h"
#include "TestSupport.h"
#include "base/Exceptions.h"
#include "graphics/SpriteManager.h"
#include "graphics/TextureCache.h"

using namespace graphicstest;

namespace {

struct SpriteManagerTest : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(writePng("tex/t.png", 8, 8, solidImage(8, 8, {255, 255, 255, 255}))); }

    std::string failure(const std::string& fileName) {
        try {
            SpriteManager manager(fileName, cache);
        } catch (const SpriteException& e) {
            EXPECT_EQ("SpriteManager", e.source);
            return e.message;
        }
        return "loaded";
    }

    testsupport::ScratchDir dir;
    // ScratchDir is made first, so the directory exists before the PNG is written into it.
    bool made = std::filesystem::create_directory("tex");
    TextureCache cache{"tex"};
};

TEST_F(SpriteManagerTest, FileSpritesComeFromTheContainerInOrder) {
    testsupport::writeFile("set.xml", "<sprites><sprite id='a' texture='t.png' x='0' y='0' width='1' height='1'/>"
                                      "<comment/><sprite id='b' texture='t.png' x='1' y='0' width='2' height='1'/>"
                                      "<sprite id='a' texture='t.png' x='2' y='0' width='3' height='1'/></sprites>");
    SpriteManager manager("set.xml", cache);
    ASSERT_EQ(3u, manager.getSprites().size());
    EXPECT_EQ("b", manager.getSprites()[1]->getId());
    EXPECT_EQ(1, manager.getSprite("a")->getFrame(0).getWidth()) << "the first of two equal ids wins";
    EXPECT_EQ(2, manager.getSprite("b")->getFrame(0).getWidth());
    EXPECT_EQ(nullptr, manager.getSprite("c"));
    EXPECT_EQ(nullptr, manager.getSprite("A"));
}

TEST_F(SpriteManagerTest, TheContainerIsTheFirstTopLevelElementWithSprites) {
    testsupport::writeFile("set.xml", "<?xml version='1.0'?><info><note/></info>"
                                      "<anything><sprite id='x' texture='t.png' x='0' y='0' width='8' height='8'/>"
                                      "</anything><later><sprite id='y' texture='t.png' x='0' y='0' width='1' "
                                      "height='1'/></later>");
    SpriteManager manager("set.xml", cache);
    ASSERT_EQ(1u, manager.getSprites().size());
    EXPECT_NE(nullptr, manager.getSprite("x"));
    EXPECT_EQ(nullptr, manager.getSprite("y"));
}

TEST_F(SpriteManagerTest, FileErrorsNameTheFile) {
    EXPECT_EQ("Sprite Exception: SpriteManager: Failed to load file: none.xml", failure("none.xml"));
    testsupport::writeFile("broken.xml", "<sprites><sprite id='a'");
    EXPECT_EQ("Sprite Exception: SpriteManager: Failed to load file: broken.xml", failure("broken.xml"));
    testsupport::writeFile("empty.xml", "<sprites><image id='a'/></sprites>");
    EXPECT_EQ("Sprite Exception: SpriteManager: No root container element with sprites found in file: empty.xml",
              failure("empty.xml"));
}

TEST_F(SpriteManagerTest, TheFirstBadSpriteStopsLoading) {
    testsupport::writeFile("set.xml", "<s><sprite id='a' texture='t.png' x='0' y='0' width='1' height='1'/>"
                                      "<sprite id='b' x='0' y='0' width='1' height='1'/>"
                                      "<sprite id='c' texture='missing.png' x='0' y='0' width='1' height='1'/></s>");
    try {
        SpriteManager manager("set.xml", cache);
        ADD_FAILURE() << "a bad sprite set loaded";
    } catch (const SpriteException& e) {
        EXPECT_EQ("Sprite Exception: b: No texture name specified!", e.message);
    }
    EXPECT_EQ(0u, cache.getTextures().count("missing.png"));
}

TEST_F(SpriteManagerTest, ConfigurationSpritesStartAtTheGivenElement) {
    TiXmlDocument document;
    document.Parse("<config textures='tex'><scenes/>"
                   "<sprite id='one' texture='t.png' x='0' y='0' width='1' height='1'/><scenes/>"
                   "<sprite id='two' texture='t.png'><frame x='0' y='0' width='2' height='2'/></sprite></config>");
    TiXmlHandle config(document.RootElement());
    SpriteManager manager(config.FirstChildElement("sprite"), cache);
    ASSERT_EQ(2u, manager.getSprites().size());
    EXPECT_EQ("one", manager.getSprites()[0]->getId());
    EXPECT_EQ(2, manager.getSprite("two")->getFrame(0).getWidth());

    // Started from the second, the first is not read.
    SpriteManager fromSecond(TiXmlHandle(document.RootElement()->LastChild("sprite")), cache);
    ASSERT_EQ(1u, fromSecond.getSprites().size());
    EXPECT_EQ("two", fromSecond.getSprites()[0]->getId());
}

TEST_F(SpriteManagerTest, ConfigurationHandlesMustBeSpriteElements) {
    TiXmlDocument document;
    document.Parse("<config><scenes/>text</config>");
    const std::string expected =
        "Sprite Exception: SpriteManager: Constructor passed handle to a non-element or non-sprite element.";
    for (TiXmlNode* node : {static_cast<TiXmlNode*>(nullptr), document.RootElement()->FirstChild("scenes"),
                            document.RootElement()->LastChild()}) {
        try {
            SpriteManager manager(TiXmlHandle(node), cache);
            ADD_FAILURE() << "a manager was made from a non-sprite handle";
        } catch (const SpriteException& e) {
            EXPECT_EQ(expected, e.message);
        }
    }
}

} // namespace
