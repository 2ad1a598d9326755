// NumberCounterEntity: counting towards the target, the fixed-digit text with padding and
// saturation, the minus sign, reset, load messages, and the digit layout read back in pixels.
#include <gtest/gtest.h>
#include <string>
#include <tinyxml.h>
#include <vector>

#include "base/Exceptions.h"
#include "scene/NumberCounterEntity.h"
#include "scene/SceneTestSupport.h"

namespace {

using graphicstest::near;
using graphicstest::Rgba;
using testsupport::readPixel;

const Rgba kBlack{0, 0, 0, 255};
// Digit d is a (4 + d) x 10 block of its own colour at x = 16 d of one 256 x 10 texture, so
// digits differ in width and every digit can be told apart by colour. The width is a power of
// two so that every frame reports exactly the width it was made with.
constexpr uint32_t kCell = 16;
constexpr uint32_t kTextureWidth = 256;
Rgba digitColour(int d) {
    return {uint8_t(20 + 23 * d), uint8_t(230 - 23 * d), 60, 255};
}
int digitWidth(int d) {
    return 4 + d;
}

class NumberCounterEntityTest : public scenetest::SceneFixture {
protected:
    void SetUp() override {
        SceneFixture::SetUp();
        std::vector<uint8_t> pixels;
        for (uint32_t y = 0; y < 10; ++y)
            for (uint32_t x = 0; x < kTextureWidth; ++x) {
                const int d = int(x / kCell);
                const Rgba c = d < 10 && int(x % kCell) < digitWidth(d) ? digitColour(d) : Rgba{0, 0, 0, 0};
                pixels.insert(pixels.end(), c.begin(), c.end());
            }
        graphicstest::writePng(dir.file("digits.png"), kTextureWidth, 10, pixels);
        std::string set = "<sprites>";
        for (int d = 0; d < 10; ++d)
            set += "<sprite id='" + std::to_string(d) + "' texture='digits.png' x='" + std::to_string(d * kCell) +
                   "' y='0' width='" + std::to_string(digitWidth(d)) + "' height='10'/>";
        testsupport::writeFile("digits.xml", set + "</sprites>");
        game->setSpriteManager(std::make_unique<SpriteManager>("digits.xml", *game->getTextureCache()));
    }
    NumberCounterEntity* loadCounter(const std::string& attributes) {
        scene = loadScene("<s id='main'><entities><counter " + attributes + "/></entities></s>");
        return static_cast<NumberCounterEntity*>(scene->getEntities().at(0));
    }
    void draw() {
        graphicstest::prepareFrame();
        scene->render();
    }

    std::unique_ptr<BaseScene> scene;
};

TEST_F(NumberCounterEntityTest, CountsFromZeroTo250AtRate100AndStopsThere) {
    NumberCounterEntity* counter = loadCounter("start='0' target='250' rate='100'");
    EXPECT_EQ("0", counter->getDisplayText());
    counter->update(0.5f);
    counter->update(0.5f);
    EXPECT_EQ("100", counter->getDisplayText());
    counter->update(1.5f);
    EXPECT_EQ("250", counter->getDisplayText());
    EXPECT_FLOAT_EQ(250.0f, counter->getValue());
    counter->update(1.0f);
    EXPECT_FLOAT_EQ(250.0f, counter->getValue());
}

TEST_F(NumberCounterEntityTest, ALoweredTargetRunsTheCounterDownAtTheSameRate) {
    NumberCounterEntity* counter = loadCounter("start='250' target='250' rate='100'");
    counter->setTarget(100);
    counter->update(1.0f);
    EXPECT_FLOAT_EQ(150.0f, counter->getValue());
    counter->update(1.0f);
    EXPECT_FLOAT_EQ(100.0f, counter->getValue());
    counter->setTarget(-1);
    counter->update(1.5f);
    EXPECT_FLOAT_EQ(-1.0f, counter->getValue());
}

TEST_F(NumberCounterEntityTest, WithACountTimeAFarTargetIsReachedInTimeAndANearOneAtTheRate) {
    NumberCounterEntity* counter = loadCounter("start='0' rate='100' count_time='1.5'");
    counter->setTarget(37660);
    for (int i = 0; i < 9; ++i)
        counter->update(0.1f);
    EXPECT_NEAR(37660.0f * 0.6f, counter->getValue(), 1.0f) << "one pace all the way";
    for (int i = 0; i < 7; ++i)
        counter->update(0.1f);
    EXPECT_FLOAT_EQ(37660.0f, counter->getValue());
    counter->setTarget(37700);
    counter->update(0.1f);
    EXPECT_FLOAT_EQ(37670.0f, counter->getValue()) << "the rate is faster than 40 in 1.5 s";
}

TEST_F(NumberCounterEntityTest, FixedDigitsPadWithZerosAndSaturateToNines) {
    NumberCounterEntity* counter = loadCounter("start='7' fixed='3'");
    EXPECT_EQ("007", counter->getDisplayText());
    EXPECT_EQ("999", loadCounter("start='1234' fixed='3'")->getDisplayText());
    EXPECT_EQ("1234", loadCounter("start='1234' fixed='0'")->getDisplayText());
    counter = loadCounter("start='56' target='57' rate='0.9'");
    counter->update(1.0f);
    EXPECT_EQ("56", counter->getDisplayText()) << "the integer part is shown";
}

TEST_F(NumberCounterEntityTest, ARunawayFixedCountIsCapped) {
    NumberCounterEntity* counter = loadCounter("start='5' fixed='64'");
    EXPECT_EQ(std::size_t(NumberCounterEntity::kMaxDigits), counter->getDisplayText().size());
    // Beyond 32 bits: clamped, not converted out of range.
    counter = loadCounter("start='2147483647' target='2147483647' rate='1e9'");
    counter->update(1.0f);
    EXPECT_EQ("2147483647", counter->getDisplayText());
}

TEST_F(NumberCounterEntityTest, MinusOneIsDrawnAsTheDigitsZeroAndOne) {
    NumberCounterEntity* counter = loadCounter("start='-1' x='100' y='100'");
    EXPECT_EQ("-1", counter->getDisplayText());
    draw();
    EXPECT_TRUE(near(readPixel(101, 105), digitColour(0))); // the minus sign as 0, 4 wide
    EXPECT_TRUE(near(readPixel(105, 105), digitColour(1))); // then the 1, 5 wide
    EXPECT_TRUE(near(readPixel(110, 105), kBlack));
    counter = loadCounter("start='-1' x='100' y='100' fixed='3'");
    EXPECT_EQ("0-1", counter->getDisplayText());
    draw();
    EXPECT_TRUE(near(readPixel(101, 105), digitColour(0)));
    EXPECT_TRUE(near(readPixel(105, 105), digitColour(0)));
    EXPECT_TRUE(near(readPixel(109, 105), digitColour(1)));
}

TEST_F(NumberCounterEntityTest, EachDigitAdvancesTheCursorByItsScaledWidthPlusTheSpacing) {
    loadCounter("start='12' x='100' y='100' scale_x='2' number_sprite_offset='4'");
    draw();
    // "1": 5 wide, scaled to 10: x 100..109; then 4 spare pixels; "2": 6 wide, scaled: 114..125.
    EXPECT_TRUE(near(readPixel(100, 105), digitColour(1)));
    EXPECT_TRUE(near(readPixel(109, 105), digitColour(1)));
    EXPECT_TRUE(near(readPixel(111, 105), kBlack));
    EXPECT_TRUE(near(readPixel(113, 105), kBlack));
    EXPECT_TRUE(near(readPixel(114, 105), digitColour(2)));
    EXPECT_TRUE(near(readPixel(125, 105), digitColour(2)));
    EXPECT_TRUE(near(readPixel(126, 105), kBlack));
    EXPECT_TRUE(near(readPixel(105, 111), kBlack)); // scale_y 1 keeps the height
}

TEST_F(NumberCounterEntityTest, TheColourTintsEveryDigitAndHiddenCountersAreNotDrawn) {
    NumberCounterEntity* counter = loadCounter("start='0' x='10' y='10' colour='ff000080'");
    EXPECT_FLOAT_EQ(128.0f / 255.0f, counter->getColour().alpha);
    draw();
    const Rgba c = digitColour(0);
    EXPECT_TRUE(near(readPixel(11, 15), {uint8_t(c[0] / 2), 0, 0, 255}, 3));
    counter->setVisible(false);
    draw();
    EXPECT_TRUE(near(readPixel(11, 15), kBlack));
}

TEST_F(NumberCounterEntityTest, ResetShowsTheStartAtOnceAndRestoresTheFlags) {
    NumberCounterEntity* counter = loadCounter("start='5' target='50' enabled='false' visible='false'");
    EXPECT_FALSE(counter->isActive());
    EXPECT_FALSE(counter->isVisible());
    counter->setEnabled(true);
    counter->setVisible(true);
    counter->update(0.2f);
    EXPECT_FLOAT_EQ(25.0f, counter->getValue());
    counter->reset();
    EXPECT_FLOAT_EQ(5.0f, counter->getValue());
    EXPECT_EQ(50, counter->getTarget());
    EXPECT_FALSE(counter->isActive());
    EXPECT_FALSE(counter->isVisible());
}

TEST_F(NumberCounterEntityTest, LoadReadsItsAttributesAndAnswersTheInterface) {
    NumberCounterEntity* counter =
        loadCounter("x='3' y='4' scale_x='2' scale_y='3' layer='7' fixed='2' rate='5' number_sprite_offset='1.5'");
    EXPECT_FLOAT_EQ(3.0f, counter->getPosition().x);
    EXPECT_FLOAT_EQ(4.0f, counter->getPosition().y);
    EXPECT_EQ(7, counter->getLayer());
    EXPECT_EQ("00", counter->getDisplayText());
    counter->setTarget(10);
    counter->update(1.0f);
    EXPECT_EQ("05", counter->getDisplayText()) << "five a second";
    EXPECT_EQ(game->getSpriteManager()->getSprite("0"), counter->getRenderable());
    EXPECT_EQ(nullptr, counter->getCollider());
    counter->setPosition({9, 9});
    EXPECT_FLOAT_EQ(9.0f, counter->getPosition().x);
}

TEST_F(NumberCounterEntityTest, LoadFailuresHaveTheirMessages) {
    NumberCounterEntity counter;
    try {
        counter.load(TiXmlHandle(static_cast<TiXmlNode*>(nullptr)), nullptr);
        FAIL() << "no exception";
    } catch (const EntityException& e) {
        EXPECT_EQ("Entity Exception: NumberCounterEntity: XmlHandle is invalid or for a different scene", e.message);
    }
    testsupport::writeFile("few.xml", "<sprites><sprite id='0' texture='digits.png' x='0' y='0' width='4' "
                                      "height='10'/></sprites>");
    game->setSpriteManager(std::make_unique<SpriteManager>("few.xml", *game->getTextureCache()));
    try {
        loadCounter("");
        FAIL() << "no exception";
    } catch (const EntityException& e) {
        EXPECT_EQ("Entity Exception: NumberCounterEntity: Number sprite not defined!", e.message);
    }
}

} // namespace
