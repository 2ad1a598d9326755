// The 3x3 row-major float matrix quads are placed with: a 2D affine map acting on column
// vectors (x, y, 1). The sprite batch reads its first two rows only.
#pragma once

struct Matrix3 {
    // m[row][column].
    float m[3][3];

    static constexpr Matrix3 identity() { return Matrix3{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}; }
    static constexpr Matrix3 translation(float x, float y) { return Matrix3{{{1, 0, x}, {0, 1, y}, {0, 0, 1}}}; }
    static constexpr Matrix3 scaling(float x, float y) { return Matrix3{{{x, 0, 0}, {0, y, 0}, {0, 0, 1}}}; }
};

// The plain row-by-column product: (a * b) applies b first, then a.
constexpr Matrix3 operator*(const Matrix3& a, const Matrix3& b) {
    Matrix3 r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
    return r;
}
