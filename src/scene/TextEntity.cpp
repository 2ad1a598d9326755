// TextEntity: reading the text and its fade, and drawing it glyph by glyph at the fade's alpha.
#include "scene/TextEntity.h"

#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/LoadDiagnostics.h"
#include "base/SettingReader.h"
#include "graphics/Sprite.h"
#include "graphics/SpriteBatch.h"
#include "scene/LoadObserver.h"
#include "scene/SceneContext.h"

namespace {
const char* const kSource = "TextEntity";
} // namespace

void TextEntity::load(const TiXmlHandle& handle, IScene* owner) {
    const TiXmlElement* element = loadText(handle, owner, kSource);
    requireGlyphs(element, text, kSource, textsettings::kText.name);
}

const TiXmlElement* TextEntity::loadText(const TiXmlHandle& handle, IScene* owner, const char* source) {
    const TiXmlElement* element = loadPlacement(handle, owner, source);
    using namespace textsettings;
    std::string alignment = "left";
    SettingReader<EntityException> read(element, source, loadObserverOf(owner));
    read(kText, text)(kAlign, alignment)(kSpacing, spacing);
    if (!readTextAlign(alignment, align))
        read.fail(kAlign, unknownTextAlign(alignment));
    glyphs = Glyphs(contextOf(owner).sprites);
    loadFade(element, owner);
    return element;
}

void TextEntity::requireGlyphs(const TiXmlElement* element, const std::string& characters, const char* source,
                               const char* attribute) {
    if (const char missing = glyphs.missing(characters)) {
        EntityException refused(source, std::string("No sprite for the character '") + missing + "'!");
        refused.attribute = attribute;
        if (!reportLoadError(loadObserverOf(scene), element, refused))
            throw refused;
    }
    for (char c : characters) {
        if (anchor == nullptr)
            anchor = glyphs.find(c);
    }
}

std::string TextEntity::charactersDrawn(const TiXmlElement& element) const {
    const char* written = element.Attribute(textsettings::kText.name);
    return written != nullptr ? written : "";
}

bool TextEntity::isDrawn() const {
    return colour.alpha > (opaque ? 0.0f : kInvisibleTintAlpha);
}

void TextEntity::render(SpriteBatch* batch) {
    if (isDrawn())
        glyphs.draw(batch, text, position + offset, align, scale, colour, spacing);
}

IRenderable* TextEntity::getRenderable() {
    return anchor;
}
