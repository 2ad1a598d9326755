// What a ball meets and asks how to leave it: the paddle aims it, a block takes the hit, metal
// rings. Anything else the ball meets (a wall) simply mirrors it.
#pragma once

#include <optional>

#include "collision/Vector2.h"

class PellvaneBallEntity;

// The ball at the moment of a bounce: it has already been mirrored in the surface.
struct BallContact {
    PellvaneBallEntity* ball = nullptr;
    // The ball's centre where it meets the surface, and the surface's normal there.
    Vector2 centre;
    Vector2 normal;
    Vector2 velocity;
};

// How the ball leaves, as the surface answers.
struct BallBounce {
    enum Kind {
        Wall,   // a plain mirror
        Paddle, // the paddle: `velocity`, when given, is where it sends the ball
        Block,  // a block took the hit: the ball's flight counts from here again
        Metal,  // metal rang: no progress
    };
    BallBounce(Kind kind = Wall) : kind(kind) {}

    Kind kind;
    std::optional<Vector2> velocity;
    // Aimed by where it met the paddle (a ball that has flown long without a hit turns further).
    bool aimed = false;
    // The ball moves on to its next colour.
    bool cycleColour = false;
};

class IBallSurface {
public:
    virtual BallBounce ballMet(const BallContact& contact) = 0;

protected:
    ~IBallSurface() = default;
};
