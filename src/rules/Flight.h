// How the ball flies, as functions over plain geometry: the speed and angle limits it keeps, the
// way a paddle aims it from where it meets it, and the turn that breaks a loop which misses every
// block. The ball entity moves and collides; these decide its velocity.
#pragma once

#include <vector>

#include "collision/Rect.h"
#include "collision/Vector2.h"

namespace flight {

// Paddle speeds at or below this count as a paddle at rest: it lends no spin.
inline constexpr float kSpinThreshold = 1e-6f;
// Share of the way to the contact point the ball covers in the frame of a bounce, so it ends the
// frame clear of the surface.
inline constexpr float kBounceStopFraction = 0.7f;
// A ball that has flown "stall_time" seconds without hitting a block turns towards the nearest
// standing block by at most this many degrees for each such stretch in a row, up to
// kMaxStallTurns stretches.
inline constexpr float kStallDeflectionDegrees = 8.0f;
inline constexpr int kMaxStallTurns = 4;

// `v` turned by `angle` radians (clockwise on screen, where y points down).
Vector2 rotated(const Vector2& v, float angle);
// `v` with its length brought within [lowest, highest] (a zero velocity stays zero).
Vector2 withinSpeeds(const Vector2& v, float lowest, float highest);
// `v` mirrored in a surface of normal `n`, times `restitution`.
Vector2 reflected(const Vector2& v, const Vector2& n, float restitution);
// The angle from the vertical kept within [minAngle, 90 degrees - minAngle] at the same speed, with
// the signs of both components as they were (a component of 0 counts as positive); `minAngle` 0
// changes nothing. `steep`: only the flat side is limited, for a ball aimed at a block it can reach
// only as steeply as that.
Vector2 limitAngle(const Vector2& v, float minAngle, bool steep = false);
// A bounce off a paddle at rest or moving: the horizontal speed moves by `spin` of the way to the
// paddle's, unless the paddle is at rest.
Vector2 withSpin(const Vector2& v, float spin, float paddleVelocity);
// Where `x` lies along a span from `left` of `width`: -1 at its left end, 0 at its centre, +1 at its
// right end (clamped); 0 for a span of no width.
float offsetAlong(float x, float left, float width);
// A velocity of `ballSpeed` leaving a paddle upwards at `offset` x `maxAngle` from the vertical,
// turned by the paddle's motion (spin x its velocity over the ball's speed, in radians) and kept
// within `maxAngle`.
Vector2 aimedVelocity(float offset, float paddleVelocity, float ballSpeed, float maxAngle, float spin);
// After a block hit the ball gains `speedUp`, but never beyond `highest` (nor is slowed to it).
Vector2 spedUp(const Vector2& v, float speedUp, float highest);

// What the stall turn aims at: the nearest standing block the ball can reach in a straight line or
// off one wall of the field, past no metal. A path off a wall aims at the block's mirror image in
// that wall, the way light finds a mirror; without any path, the nearest block of all.
struct StallField {
    Rect area;                   // the game area
    std::vector<Vector2> blocks; // the centres of the blocks that hold the level open
    std::vector<Rect> metal;     // the boxes of the unbreakable ones
};
// The most a stall may turn the ball after `turns` stretches without a hit, in radians:
// kStallDeflectionDegrees for each (up to kMaxStallTurns of them); or, `doubling`, twice as much
// with every stretch and without a limit, so that a return off the paddle comes to aim at a block
// however far its way is turned.
float stallAllowance(int turns, bool doubling);
// `v` turned towards the stall aim of a ball at `centre` of `radius`, by at most `allowance`
// radians; unchanged without any block. With `clearance`, a way counts as clear of metal only if
// the whole ball passes: the metal is grown by its radius.
Vector2 turnedTowardsBlock(const Vector2& v, const Vector2& centre, float radius, float allowance,
                           const StallField& field, bool clearance = false);

} // namespace flight
