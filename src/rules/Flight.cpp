// The ball's flight rules.
#include "rules/Flight.h"

#include <algorithm>
#include <cmath>

#include "collision/Geometry.h"

namespace flight {

Vector2 rotated(const Vector2& v, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {v.x * c - v.y * s, v.x * s + v.y * c};
}

Vector2 withinSpeeds(const Vector2& v, float lowest, float highest) {
    Vector2 out = v;
    const float squaredSpeed = dot(v, v);
    if (squaredSpeed < lowest * lowest) {
        normalise(out);
        out = out * lowest;
    } else if (squaredSpeed > highest * highest) {
        normalise(out);
        out = out * highest;
    }
    return out;
}

Vector2 reflected(const Vector2& v, const Vector2& n, float restitution) {
    return restitution * (v - 2.0f * dot(v, n) * n);
}

Vector2 limitAngle(const Vector2& v, float minAngle, bool steep) {
    if (!(minAngle > 0.0f))
        return v;
    const float speed = length(v);
    if (!(speed > 0.0f))
        return v;
    const float fromVertical =
        std::clamp(std::atan2(std::fabs(v.x), std::fabs(v.y)), steep ? 0.0f : minAngle, kQuarterTurn - minAngle);
    return {std::copysign(speed * std::sin(fromVertical), v.x), std::copysign(speed * std::cos(fromVertical), v.y)};
}

Vector2 withSpin(const Vector2& v, float spin, float paddleVelocity) {
    if (!(paddleVelocity > kSpinThreshold || paddleVelocity < -kSpinThreshold))
        return v;
    return {v.x + spin * (paddleVelocity - v.x), v.y};
}

float offsetAlong(float x, float left, float width) {
    const float half = width * 0.5f;
    if (!(half > 0.0f))
        return 0.0f;
    return std::clamp((x - (left + half)) / half, -1.0f, 1.0f);
}

Vector2 aimedVelocity(float offset, float paddleVelocity, float ballSpeed, float maxAngle, float spin) {
    float angle = offset * maxAngle;
    if (ballSpeed > 0.0f)
        angle += spin * paddleVelocity / ballSpeed;
    angle = std::clamp(angle, -maxAngle, maxAngle);
    return {ballSpeed * std::sin(angle), -ballSpeed * std::cos(angle)};
}

Vector2 spedUp(const Vector2& v, float speedUp, float highest) {
    const float speed = length(v);
    if (!(speedUp > 0.0f) || !(speed > 0.0f))
        return v;
    return v * (std::min(speed + speedUp, std::max(speed, highest)) / speed);
}

float stallAllowance(int turns, bool doubling) {
    if (!doubling)
        return static_cast<float>(std::min(turns, kMaxStallTurns)) * kStallDeflectionDegrees * kDegreesToRadians;
    // Half a turn already points anywhere; beyond it there is nothing more to double.
    return static_cast<float>(1 << std::clamp(turns - 1, 0, 5)) * kStallDeflectionDegrees * kDegreesToRadians;
}

Vector2 turnedTowardsBlock(const Vector2& v, const Vector2& centre, float radius, float allowance,
                           const StallField& field, bool clearance) {
    const float grow = clearance ? radius : 0.0f;
    auto clear = [&](const Vector2& from, const Vector2& to) {
        const Edge path{from, to, Vector2{}};
        Vector2 point;
        Edge side;
        for (const Rect& box : field.metal)
            if (segmentIntersectsRect({box.x - grow, box.y - grow, box.width + 2.0f * grow, box.height + 2.0f * grow},
                                      path, point, side))
                return false;
        return true;
    };
    const Rect& area = field.area;
    const float left = area.x + radius;
    const float right = area.x + area.width - radius;
    const float top = area.y + radius;
    float nearest = -1.0f;
    Vector2 target;
    bool targetInSight = false;
    for (const Vector2& goal : field.blocks) {
        // The aim point (the goal or its mirror image) and where the path meets the wall.
        const Vector2 images[] = {
            goal, {2.0f * left - goal.x, goal.y}, {2.0f * right - goal.x, goal.y}, {goal.x, 2.0f * top - goal.y}};
        for (std::size_t i = 0; i < (field.metal.empty() ? 1u : 4u); ++i) {
            const Vector2& aim = images[i];
            const Vector2 toAim = aim - centre;
            const float distance = length(toAim);
            bool seen = field.metal.empty();
            if (!seen && i == 0) {
                seen = clear(centre, goal);
            } else if (!seen) {
                // Where the straight line to the image crosses the wall's line.
                const float t = i == 3 ? (top - centre.y) / (toAim.y != 0.0f ? toAim.y : -1e-6f)
                                       : ((i == 1 ? left : right) - centre.x) / (toAim.x != 0.0f ? toAim.x : 1e-6f);
                if (t > 0.0f && t < 1.0f) {
                    const Vector2 bounce = centre + t * toAim;
                    seen = clear(centre, bounce) && clear(bounce, goal);
                }
            }
            if (i > 0 && !seen)
                continue;
            if (nearest < 0.0f || (seen && !targetInSight) || (seen == targetInSight && distance < nearest)) {
                nearest = distance;
                target = toAim;
                targetInSight = seen;
            }
        }
    }
    if (!(nearest > 0.0f))
        return v;
    // The signed angle from v to the target, and a turn of at most the allowance towards it.
    const float angle = std::atan2(v.x * target.y - v.y * target.x, dot(v, target));
    return rotated(v, std::clamp(angle, -allowance, allowance));
}

} // namespace flight
