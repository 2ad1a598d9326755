// The "text" entity: a line of text in the game's own lettering (a sprite per character, Glyphs.h)
// that fades in and out like a fade, with every attribute and child of one but the sprite. The
// base of the game's pictures made of text (the high-score table, the initials being entered).
#pragma once

#include <string>

#include "base/Setting.h"
#include "scene/FadeEntity.h"
#include "scene/Glyphs.h"

// Attributes of a "text" element besides those of a fade.
namespace textsettings {
using K = ValueKind;
inline constexpr Setting kText{"text", K::Text, "empty", "the characters drawn"};
inline constexpr Setting kAlign{"align", K::Text, "left", "left, centre (center) or right of x"};
inline constexpr Setting kSpacing{"spacing", K::Float, "0", "extra pixels after each character", -1000, 1000};
} // namespace textsettings

// The glyphs belong to the sprite manager (Glyphs.h).
class TextEntity : public FadeEntity {
public:
    TextEntity() = default;

    void load(const TiXmlHandle& handle, IScene* scene) override;
    void render(SpriteBatch* batch) override;
    // The glyph the scene picks the batch by: the first the entity draws.
    IRenderable* getRenderable() override;

    const std::string& getText() const { return text; }
    TextAlign getAlign() const { return align; }
    // The width the text is drawn at, scale and spacing included.
    float getTextWidth() const { return glyphs.width(text, scale.x, spacing); }
    // The characters an entity loaded from `element` may draw, whose glyphs it uses: for the data
    // checker, which asks before loading.
    virtual std::string charactersDrawn(const TiXmlElement& element) const;

protected:
    // Reads the placement, the text's own attributes and the fade, from `source`'s element, and
    // finds the glyphs. Returns the element.
    const TiXmlElement* loadText(const TiXmlHandle& handle, IScene* owner, const char* source);
    // Every character of `characters` that is not a space must have a glyph, or the load fails
    // ("No sprite for the character 'c'!"), at `attribute` under the data checker. The first
    // one found is the glyph the scene batches by.
    void requireGlyphs(const TiXmlElement* element, const std::string& characters, const char* source,
                       const char* attribute);
    // Whether anything drawn now could pass the alpha test.
    bool isDrawn() const;

    Glyphs glyphs;
    std::string text;
    TextAlign align = TextAlign::Left;
    float spacing = 0.0f;

private:
    Sprite* anchor = nullptr;
};
