// The attribute reading conventions and the colour parser.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/XmlAttributes.h"

namespace {

// Parses one element from text; the document lives as long as the fixture.
struct XmlAttributesTest : ::testing::Test {
    TiXmlDocument document;
    TiXmlElement* parse(const char* text) {
        document.Parse(text);
        return document.RootElement();
    }
};

TEST_F(XmlAttributesTest, FloatsScanALeadingNumberAndKeepTheDefaultOtherwise) {
    TiXmlElement* e = parse("<e a='12.5abc' b='abc' c='' d=' 7'/>");
    float a = 1, b = 2, c = 3, d = 4, missing = 5;
    EXPECT_TRUE(xml::readFloat(e, "a", a));
    EXPECT_FLOAT_EQ(12.5f, a);
    EXPECT_FALSE(xml::readFloat(e, "b", b));
    EXPECT_FLOAT_EQ(2.0f, b);
    EXPECT_FALSE(xml::readFloat(e, "c", c));
    EXPECT_FLOAT_EQ(3.0f, c);
    EXPECT_TRUE(xml::readFloat(e, "d", d));
    EXPECT_FLOAT_EQ(7.0f, d);
    EXPECT_FALSE(xml::readFloat(e, "none", missing));
    EXPECT_FLOAT_EQ(5.0f, missing);
}

TEST_F(XmlAttributesTest, IntegersReadLikeSscanfPercentD) {
    TiXmlElement* e = parse("<e px='12px' f='3.7' bad='x12' neg='-4'/>");
    int px = 0, f = 0, bad = 9, neg = 0;
    EXPECT_TRUE(xml::readInt(e, "px", px));
    EXPECT_EQ(12, px);
    EXPECT_TRUE(xml::readInt(e, "f", f));
    EXPECT_EQ(3, f);
    EXPECT_FALSE(xml::readInt(e, "bad", bad));
    EXPECT_EQ(9, bad);
    EXPECT_TRUE(xml::readInt(e, "neg", neg));
    EXPECT_EQ(-4, neg);
}

TEST_F(XmlAttributesTest, BooleansChangeOnlyOnTheOneExactWord) {
    TiXmlElement* e = parse("<e cap='False' zero='0' off='false' on='true' upper='TRUE'/>");
    bool cap = true, zero = true, off = true, on = false, upper = false;
    xml::readBool(e, "cap", cap);
    xml::readBool(e, "zero", zero);
    xml::readBool(e, "off", off);
    xml::readBool(e, "on", on);
    xml::readBool(e, "upper", upper);
    EXPECT_TRUE(cap);
    EXPECT_TRUE(zero);
    EXPECT_FALSE(off);
    EXPECT_TRUE(on);
    EXPECT_FALSE(upper);
    bool stillTrue = true; // "true" on a flag whose default is already true changes nothing
    xml::readBool(e, "on", stillTrue);
    EXPECT_TRUE(stillTrue);
}

TEST_F(XmlAttributesTest, TextIsTakenUnchanged) {
    TiXmlElement* e = parse("<e id=' Mixed Case '/>");
    std::string id = "default", missing = "default";
    EXPECT_TRUE(xml::readText(e, "id", id));
    EXPECT_EQ(" Mixed Case ", id);
    EXPECT_FALSE(xml::readText(e, "other", missing));
    EXPECT_EQ("default", missing);
}

TEST_F(XmlAttributesTest, ColourAttributeKeepsDefaultWhenMissingAndThrowsWhenBad) {
    TiXmlElement* e = parse("<e good='ff8000' bad='fff'/>");
    Colour colour;
    EXPECT_FALSE(xml::readColour(e, "missing", colour));
    EXPECT_EQ(Colour(), colour);
    EXPECT_TRUE(xml::readColour(e, "good", colour));
    EXPECT_FLOAT_EQ(1.0f, colour.red);
    EXPECT_THROW(xml::readColour(e, "bad", colour), BaseException);
}

TEST(ParseColour, ReadsSixAndEightDigitForms) {
    Colour orange = parseColour("ff8000");
    EXPECT_FLOAT_EQ(1.0f, orange.red);
    EXPECT_FLOAT_EQ(128 / 255.0f, orange.green);
    EXPECT_FLOAT_EQ(0.0f, orange.blue);
    EXPECT_FLOAT_EQ(1.0f, orange.alpha);

    Colour shade = parseColour("00000080");
    EXPECT_FLOAT_EQ(0.0f, shade.red);
    EXPECT_FLOAT_EQ(0.0f, shade.green);
    EXPECT_FLOAT_EQ(0.0f, shade.blue);
    EXPECT_FLOAT_EQ(128 / 255.0f, shade.alpha);

    EXPECT_EQ(parseColour("FFFFFF"), parseColour("ffffff"));
    EXPECT_EQ(Colour(), parseColour("FFFFFF"));
}

TEST(ParseColour, LengthIsCheckedOnTheWholeTextAndTheValueOnTheDigitsRead) {
    Colour c = parseColour("12zz56");
    EXPECT_FLOAT_EQ(0.0f, c.red);
    EXPECT_FLOAT_EQ(0.0f, c.green);
    EXPECT_FLOAT_EQ(18 / 255.0f, c.blue);
    Colour none = parseColour("zzzzzz"); // no digit read: black
    EXPECT_FLOAT_EQ(0.0f, none.red);
    EXPECT_FLOAT_EQ(0.0f, none.blue);
    EXPECT_FLOAT_EQ(1.0f, none.alpha);
}

TEST(ParseColour, RejectsOtherLengthsWithTheTextAfterTheColon) {
    for (const char* text : {"fff", "#ff8000", "", "fffffffff"}) {
        try {
            parseColour(text);
            ADD_FAILURE() << text << " accepted";
        } catch (const BaseException& e) {
            EXPECT_EQ(std::string("Exception: Colour invalid, must be in hex format with one byte for each channel "
                                  "and either RGB or RGBA:") +
                          text,
                      e.message);
        }
    }
}

} // namespace
