// Text drawn one character at a time, each with the sprite whose id is the character itself ("0"
// to "9", "A" to "Z", "-", ...), as a counter draws its digits: for labels, tables and anything
// else that writes words with the game's own lettering.
#pragma once

#include <array>
#include <string>

#include "base/Colour.h"
#include "collision/Vector2.h"

class Sprite;
class SpriteBatch;
class SpriteManager;

// Where a line of text stands from the point it is placed at.
enum class TextAlign { Left, Centre, Right };

// Reads "left", "centre" (or "center") or "right"; false, leaving `align`, for anything else.
bool readTextAlign(const std::string& text, TextAlign& align);
// The message for an alignment that is none of them.
std::string unknownTextAlign(const std::string& text);

// The sprites belong to the sprite manager, which outlives every entity. Every glyph of one text
// is drawn into one batch, so they must lie on one texture (the scene picks the batch by the
// texture of the entity's first glyph).
class Glyphs {
public:
    Glyphs() = default;
    // Looks every glyph up in `sprites` once; null finds none.
    explicit Glyphs(const SpriteManager* sprites);

    // The sprite of `c`; null for a space and for a character without one.
    Sprite* find(char c) const;
    // The first character of `text` that is neither a space nor has a sprite, or '\0' when there
    // is none: what a loader reports before anything is drawn.
    char missing(const std::string& text) const;
    // The width `text` is drawn at: each glyph's frame width times `scaleX` plus `spacing` after
    // each but the last; a space (or a character without a sprite) is half as wide as the "0".
    float width(const std::string& text, float scaleX, float spacing) const;
    // Draws `text` from its top-left corner `at`, placed by `align` (a centred text's middle and a
    // right-aligned text's right end lie at `at`).
    void draw(SpriteBatch* batch, const std::string& text, Vector2 at, TextAlign align, Vector2 scale,
              const Colour& colour, float spacing) const;

private:
    float advance(char c, float scaleX) const;

    // Indexed by the character's code; the printable ASCII characters only.
    std::array<Sprite*, 128> sprites{};
    float spaceWidth = 10.0f;
};
