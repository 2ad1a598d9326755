// The one registry of sprites: loads every sprite of a sprite set (a file, or the "sprite"
// elements of the configuration) once at start-up, owns them, and finds them by id.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "graphics/Sprite.h"

class LoadDiagnostics;
class TextureCache;
class TiXmlElement;
class TiXmlHandle;

// Lifetime: the manager owns its sprites; pointers from getSprite stay valid until it is
// destroyed. `textures` is only used while loading and is not kept.
// What every loader says of a sprite id the set lacks: Sprite "ID" not found in sprite manager!
std::string spriteNotFound(const std::string& id);

class SpriteManager {
public:
    // Loads the sprite set file `fileName` (opened as given, relative to the working directory):
    // every "sprite" child of the first top-level element that has one. With an observer a sprite
    // that fails is reported to it and left out (base/LoadDiagnostics.h); errors of the file still throw.
    SpriteManager(const std::string& fileName, TextureCache& textures, LoadDiagnostics* observer = nullptr);
    // Loads the "sprite" element the handle holds and each later sibling "sprite" element.
    SpriteManager(const TiXmlHandle& firstSpriteElement, TextureCache& textures, LoadDiagnostics* observer = nullptr);

    // The first sprite whose id equals `id` exactly, or null. Never throws.
    Sprite* getSprite(const std::string& id) const;
    const std::vector<std::unique_ptr<Sprite>>& getSprites() const { return sprites; }

private:
    void add(TiXmlElement* element, TextureCache& textures, LoadDiagnostics* observer);

    std::vector<std::unique_ptr<Sprite>> sprites;
};
