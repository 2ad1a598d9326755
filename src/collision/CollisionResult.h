// The answer of a collider test that hit: which two colliders met, where, and against which
// surface. A value: testCollision hands it back, and nobody has to delete it.
#pragma once

#include "collision/Vector2.h"

class ICollider;

struct CollisionResult {
    // The collider whose testCollision ran and the one passed to it; neither is owned. Which
    // entity each belongs to is found through getOwner.
    ICollider* first = nullptr;
    ICollider* second = nullptr;
    // For a box testing a circle: the box point nearest to the circle's start centre. For a swept
    // circle testing a box: the circle owner's position at contact (contact centre - offset).
    Vector2 point;
    // Unit normal of the surface hit, pointing out of the box; (0, 0) for a box testing a circle
    // and for a circle that did not move.
    Vector2 normal;
    // How far along the tester's path the contact lies, 0 at its start: a scene that tests one
    // mover against many colliders keeps the nearest. 0 for a static test.
    float fraction = 0.0f;
};
