// TextEntity: a line drawn glyph by glyph, each the sprite named after its character, placed by
// its alignment, spaced, faded like a fade; and what it says about a character it cannot draw.
#include <gtest/gtest.h>
#include <string>

#include "base/Exceptions.h"
#include "scene/SceneTestSupport.h"
#include "scene/TextEntity.h"

namespace {

using graphicstest::near;
using graphicstest::Rgba;
using scenetest::kBlue;
using scenetest::kRed;
using testsupport::readPixel;

const Rgba kBlack{0, 0, 0, 255};

class TextEntityTest : public scenetest::SceneFixture {
protected:
    void SetUp() override {
        SceneFixture::SetUp();
        // "A" is the red half of one texture, "B" its blue half, 10 x 10 each; "0" the whole, so a
        // space is 10 wide.
        testsupport::writeFile("glyphs.xml", R"(<sprites>
            <sprite id="A" texture="halves.png" x="0" y="0" width="10" height="10"/>
            <sprite id="B" texture="halves.png" x="10" y="0" width="10" height="10"/>
            <sprite id="0" texture="halves.png" x="0" y="0" width="20" height="10"/>
        </sprites>)");
        game->setSpriteManager(std::make_unique<SpriteManager>("glyphs.xml", *game->getTextureCache()));
    }
    TextEntity* loadText(const std::string& attributes, const std::string& children = "") {
        scene = loadScene("<s id='main'><entities><text " + attributes + ">" + children + "</text></entities></s>");
        return static_cast<TextEntity*>(scene->getEntities().at(0));
    }
    void draw() {
        graphicstest::prepareFrame();
        scene->render();
    }
    std::string loadError(const std::string& attributes) {
        try {
            loadText(attributes);
        } catch (const EntityException& error) {
            return error.message;
        }
        return "";
    }

    std::unique_ptr<BaseScene> scene;
};

TEST_F(TextEntityTest, GlyphsFollowOneAnotherFromWhereTheAlignmentPutsTheLine) {
    TextEntity* text = loadText("text='A BA' x='100' y='50' spacing='2'");
    EXPECT_FLOAT_EQ(10 + 2 + 10 + 2 + 10 + 2 + 10, text->getTextWidth());
    EXPECT_EQ(game->getSpriteManager()->getSprite("A"), text->getRenderable());
    draw();
    EXPECT_TRUE(near(readPixel(100, 55), kRed));
    EXPECT_TRUE(near(readPixel(109, 55), kRed));
    EXPECT_TRUE(near(readPixel(111, 55), kBlack)) << "the spacing";
    EXPECT_TRUE(near(readPixel(118, 55), kBlack)) << "the space";
    EXPECT_TRUE(near(readPixel(124, 55), kBlue));
    EXPECT_TRUE(near(readPixel(136, 55), kRed));
    EXPECT_TRUE(near(readPixel(146, 55), kBlack));

    loadText("text='AB' x='100' y='50' align='right' scale_x='2'");
    draw();
    EXPECT_TRUE(near(readPixel(60, 55), kRed)) << "40 wide, ending at x";
    EXPECT_TRUE(near(readPixel(99, 55), kBlue));
    EXPECT_TRUE(near(readPixel(101, 55), kBlack));
    EXPECT_TRUE(near(readPixel(58, 55), kBlack));
    loadText("text='AB' x='100' y='50' align='centre'");
    draw();
    EXPECT_TRUE(near(readPixel(90, 55), kRed));
    EXPECT_TRUE(near(readPixel(109, 55), kBlue));
}

TEST_F(TextEntityTest, ItFadesInLikeAFadeAndAMissingGlyphOrAlignmentIsALoadError) {
    TextEntity* text = loadText("text='A' x='10' y='10'", "<duration in='1'/><alpha start='0'/>");
    draw();
    EXPECT_TRUE(near(readPixel(15, 15), kBlack)) << "not yet faded in";
    text->update(0.1f); // the delay is over
    text->update(1.5f); // and the fade-in
    draw();
    EXPECT_TRUE(near(readPixel(15, 15), kRed));

    EXPECT_EQ("Entity Exception: TextEntity: No sprite for the character 'C'!", loadError("text='ABC'"));
    EXPECT_EQ("Entity Exception: TextEntity: Text alignment \"middle\" is none of left, centre and right!",
              loadError("text='A' align='middle'"));
    EXPECT_EQ("", loadError("text='A  B'")) << "a space needs no sprite";
}

} // namespace
