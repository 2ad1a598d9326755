// The vector operations: sums and differences in the right order, products, length and normalise.
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

#include "collision/Vector2.h"

TEST(Vector2, DefaultsToZero) {
    const Vector2 v;
    EXPECT_EQ(v.x, 0.0f);
    EXPECT_EQ(v.y, 0.0f);
}

TEST(Vector2, ArithmeticKeepsOperandOrder) {
    const Vector2 a{1.0f, 2.0f};
    const Vector2 b{4.0f, -3.0f};
    EXPECT_EQ(a + b, (Vector2{5.0f, -1.0f}));
    EXPECT_EQ(b - a, (Vector2{3.0f, -5.0f}));
    EXPECT_EQ(a - b, (Vector2{-3.0f, 5.0f}));
    EXPECT_EQ(2.5f * a, (Vector2{2.5f, 5.0f}));
    EXPECT_EQ(a * 2.5f, (Vector2{2.5f, 5.0f}));
    Vector2 c = a;
    c += b;
    EXPECT_EQ(c, (Vector2{5.0f, -1.0f}));
    EXPECT_NE(a, b);
}

TEST(Vector2, DotCrossAndLength) {
    const Vector2 a{1.0f, 2.0f};
    const Vector2 b{4.0f, -3.0f};
    EXPECT_EQ(dot(a, b), -2.0f);
    // a.x * b.y - a.y * b.x: the sign tells on which side b lies, so the order matters.
    EXPECT_EQ(cross(a, b), -11.0f);
    EXPECT_EQ(cross(b, a), 11.0f);
    EXPECT_EQ(cross(a, 3.0f * a), 0.0f);
    EXPECT_EQ(length(Vector2{3.0f, 4.0f}), 5.0f);
    EXPECT_EQ(length(Vector2{}), 0.0f);
}

TEST(Vector2, NormaliseScalesToUnitLength) {
    Vector2 v{3.0f, 4.0f};
    normalise(v);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.8f);

    Vector2 w{0.0f, -250.0f};
    normalise(w);
    EXPECT_EQ(w, (Vector2{0.0f, -1.0f}));
}

TEST(Vector2, NormaliseLeavesZeroAndNotANumberAlone) {
    Vector2 zero;
    normalise(zero);
    EXPECT_EQ(zero, (Vector2{0.0f, 0.0f}));

    Vector2 nan{std::numeric_limits<float>::quiet_NaN(), 1.0f};
    normalise(nan);
    EXPECT_TRUE(std::isnan(nan.x));
    EXPECT_EQ(nan.y, 1.0f);
}
