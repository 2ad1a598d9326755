// A snapshot of a sprite entity's look, used to spawn effects that copy it.
#pragma once

#include <cstdint>

#include "collision/Vector2.h"
#include "base/Colour.h"

class Sprite;

struct SpriteProperties {
    Vector2 position;
    Vector2 scale{1.0f, 1.0f};
    Vector2 offset;
    float rotation = 0.0f;
    Colour colour;
    float width = 0.0f;
    float height = 0.0f;
    int32_t layer = 0;
    bool flipX = false;
    bool flipY = false;
    // Owned by the sprite manager.
    Sprite* sprite = nullptr;
    int32_t frame = 0;
};
