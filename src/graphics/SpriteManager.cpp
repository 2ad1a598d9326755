// The sprite manager: finding the sprite elements in a file or the configuration.
#include "graphics/SpriteManager.h"

#include <cstring>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/LoadDiagnostics.h"
#include "base/XmlAttributes.h"

namespace {
constexpr const char* kSource = "SpriteManager";
constexpr const char* kSpriteElement = "sprite";
} // namespace

SpriteManager::SpriteManager(const std::string& fileName, TextureCache& textures, LoadDiagnostics* observer) {
    TiXmlDocument document;
    if (!xml::loadDocument(document, fileName))
        throw SpriteException(kSource, "Failed to load file: " + fileName);
    // The container's own name does not matter: the first top-level element holding sprites.
    const TiXmlElement* container = document.FirstChildElement();
    while (container != nullptr && container->FirstChildElement(kSpriteElement) == nullptr)
        container = container->NextSiblingElement();
    if (container == nullptr)
        throw SpriteException(kSource, "No root container element with sprites found in file: " + fileName);
    for (const TiXmlElement* e = container->FirstChildElement(kSpriteElement); e != nullptr;
         e = e->NextSiblingElement(kSpriteElement))
        add(const_cast<TiXmlElement*>(e), textures, observer);
}

SpriteManager::SpriteManager(const TiXmlHandle& firstSpriteElement, TextureCache& textures, LoadDiagnostics* observer) {
    TiXmlElement* first = firstSpriteElement.ToElement();
    if (first == nullptr || std::strcmp(first->Value(), kSpriteElement) != 0)
        throw SpriteException(kSource, "Constructor passed handle to a non-element or non-sprite element.");
    for (TiXmlElement* e = first; e != nullptr; e = e->NextSiblingElement(kSpriteElement))
        add(e, textures, observer);
}

void SpriteManager::add(TiXmlElement* element, TextureCache& textures, LoadDiagnostics* observer) {
    try {
        sprites.push_back(std::make_unique<Sprite>(TiXmlHandle(element), textures));
    } catch (const BaseException& error) {
        if (!reportLoadError(observer, element, error))
            throw;
    }
}

Sprite* SpriteManager::getSprite(const std::string& id) const {
    for (const auto& sprite : sprites)
        if (sprite->getId() == id)
            return sprite.get();
    return nullptr;
}

std::string spriteNotFound(const std::string& id) {
    return "Sprite \"" + id + "\" not found in sprite manager!";
}
