// The texture cache: path forming, load on first request, GL clean-up at destruction.
#include "graphics/TextureCache.h"

#include <GL/glew.h>

TextureCache::TextureCache(const std::string& directory) : directory(directory) {}

TextureCache::~TextureCache() {
    for (auto& [name, texture] : textures) {
        if (texture != nullptr) {
            glDeleteTextures(1, &texture->glName);
            texture.reset();
        }
    }
    textures.clear();
}

std::string TextureCache::pathFor(const std::string& name) const {
    return directory.empty() ? name : directory + "/" + name;
}

Texture* TextureCache::getTexture(const std::string& name) {
    auto found = textures.find(name);
    if (found != textures.end())
        return found->second.get();
    // Loaded into a record of its own first: a throw frees it and leaves the map untouched.
    auto texture = std::make_unique<Texture>();
    loadTexture(*texture, pathFor(name));
    Texture* loaded = texture.get();
    textures.emplace(name, std::move(texture));
    return loaded;
}
