// The placement matrix: its named constructors and the order of a product.
#include <gtest/gtest.h>

#include "graphics/Matrix3.h"

namespace {

// Applies the first two rows to (x, y, 1), as the sprite batch does.
void apply(const Matrix3& m, float x, float y, float& outX, float& outY) {
    outX = m.m[0][0] * x + m.m[0][1] * y + m.m[0][2];
    outY = m.m[1][0] * x + m.m[1][1] * y + m.m[1][2];
}

TEST(Matrix3Test, NamedMatricesAreRowMajor) {
    const Matrix3 t = Matrix3::translation(5, 7);
    EXPECT_EQ(5.0f, t.m[0][2]);
    EXPECT_EQ(7.0f, t.m[1][2]);
    EXPECT_EQ(1.0f, t.m[2][2]);
    const Matrix3 s = Matrix3::scaling(2, 3);
    EXPECT_EQ(2.0f, s.m[0][0]);
    EXPECT_EQ(3.0f, s.m[1][1]);
    EXPECT_EQ(0.0f, s.m[0][2]);
}

TEST(Matrix3Test, AProductAppliesTheRightFactorFirst) {
    float x = 0, y = 0;
    // Scale first, then translate.
    apply(Matrix3::translation(10, 20) * Matrix3::scaling(2, 3), 1, 1, x, y);
    EXPECT_EQ(12.0f, x);
    EXPECT_EQ(23.0f, y);
    // Translate first, then scale.
    apply(Matrix3::scaling(2, 3) * Matrix3::translation(10, 20), 1, 1, x, y);
    EXPECT_EQ(22.0f, x);
    EXPECT_EQ(63.0f, y);
    const Matrix3 same = Matrix3::identity() * Matrix3::translation(4, 5);
    apply(same, 0, 0, x, y);
    EXPECT_EQ(4.0f, x);
    EXPECT_EQ(5.0f, y);
}

} // namespace
