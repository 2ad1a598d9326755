// Glyphs: one sprite per character, measured and laid out left to right.
#include "scene/Glyphs.h"

#include "graphics/Matrix3.h"
#include "graphics/Sprite.h"
#include "graphics/SpriteManager.h"

namespace {
// Printable ASCII: the characters a glyph sprite can be named after.
constexpr int kFirstGlyph = 33;
constexpr int kLastGlyph = 126;
} // namespace

bool readTextAlign(const std::string& text, TextAlign& align) {
    if (text == "left")
        align = TextAlign::Left;
    else if (text == "centre" || text == "center")
        align = TextAlign::Centre;
    else if (text == "right")
        align = TextAlign::Right;
    else
        return false;
    return true;
}

std::string unknownTextAlign(const std::string& text) {
    return "Text alignment \"" + text + "\" is none of left, centre and right!";
}

Glyphs::Glyphs(const SpriteManager* manager) {
    if (manager == nullptr)
        return;
    for (int c = kFirstGlyph; c <= kLastGlyph; ++c)
        sprites[static_cast<std::size_t>(c)] = manager->getSprite(std::string(1, static_cast<char>(c)));
    if (const Sprite* zero = sprites['0'])
        spaceWidth = static_cast<float>(zero->getFrame(0).getWidth()) * 0.5f;
}

Sprite* Glyphs::find(char c) const {
    const auto code = static_cast<unsigned char>(c);
    return code < sprites.size() ? sprites[code] : nullptr;
}

char Glyphs::missing(const std::string& text) const {
    for (char c : text) {
        if (c != ' ' && find(c) == nullptr)
            return c;
    }
    return '\0';
}

float Glyphs::advance(char c, float scaleX) const {
    const Sprite* glyph = find(c);
    return (glyph != nullptr ? static_cast<float>(glyph->getFrame(0).getWidth()) : spaceWidth) * scaleX;
}

float Glyphs::width(const std::string& text, float scaleX, float spacing) const {
    float total = 0.0f;
    for (char c : text)
        total += advance(c, scaleX) + spacing;
    return text.empty() ? 0.0f : total - spacing;
}

void Glyphs::draw(SpriteBatch* batch, const std::string& text, Vector2 at, TextAlign align, Vector2 scale,
                  const Colour& colour, float spacing) const {
    if (align != TextAlign::Left) {
        const float drawn = width(text, scale.x, spacing);
        at.x -= align == TextAlign::Centre ? drawn * 0.5f : drawn;
    }
    for (char c : text) {
        if (Sprite* glyph = find(c)) {
            const Matrix3 transform = Matrix3::translation(at.x, at.y) * Matrix3::scaling(scale.x, scale.y);
            glyph->renderFrame(batch, transform, colour, 0, false, false);
        }
        at.x += advance(c, scale.x) + spacing;
    }
}
