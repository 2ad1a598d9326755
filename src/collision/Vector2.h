// The two-dimensional float vector used for positions, velocities and normals, with the
// handful of operations the collision code and the game's motion are written in.
#pragma once

#include <cmath>

// Degrees to radians in float precision (data gives angles in degrees), and a quarter turn.
constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kQuarterTurn = 1.5707964f;

// Window pixels, y growing downwards. A plain value type, copied freely.
struct Vector2 {
    float x = 0.0f;
    float y = 0.0f;
};

inline Vector2 operator+(const Vector2& a, const Vector2& b) {
    return {a.x + b.x, a.y + b.y};
}
inline Vector2 operator-(const Vector2& b, const Vector2& a) {
    return {b.x - a.x, b.y - a.y};
}
inline Vector2 operator*(float s, const Vector2& v) {
    return {s * v.x, s * v.y};
}
inline Vector2 operator*(const Vector2& v, float s) {
    return {s * v.x, s * v.y};
}
inline Vector2& operator+=(Vector2& a, const Vector2& b) {
    a.x += b.x;
    a.y += b.y;
    return a;
}

// Exact comparison: the swept test uses it to recognise a circle that did not move at all.
inline bool operator==(const Vector2& a, const Vector2& b) {
    return a.x == b.x && a.y == b.y;
}
inline bool operator!=(const Vector2& a, const Vector2& b) {
    return !(a == b);
}

inline float dot(const Vector2& a, const Vector2& b) {
    return a.x * b.x + a.y * b.y;
}

// The z component of the three-dimensional cross product: positive when b turns clockwise
// from a on screen (y down), zero when they are parallel.
inline float cross(const Vector2& a, const Vector2& b) {
    return a.x * b.y - a.y * b.x;
}

inline float length(const Vector2& v) {
    return std::sqrt(v.x * v.x + v.y * v.y);
}

// Scales v to unit length in place. A zero vector, or one whose length is not a number, has no
// direction to keep and is left as it is (the comparison is false for NaN).
inline void normalise(Vector2& v) {
    const float len = length(v);
    if (len > 0.0f) {
        v.x /= len;
        v.y /= len;
    }
}
