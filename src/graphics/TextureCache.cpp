// The texture cache: path forming, load on first request, GL clean-up at destruction.
#include "graphics/TextureCache.h"

#include <GL/glew.h>

TextureCache::TextureCache(const std::string& directory, bool upload) : directory(directory), upload(upload) {}

TextureCache::~TextureCache() {
    for (auto& [name, texture] : textures) {
        if (texture != nullptr) {
            if (texture->glName != 0) // a texture that was never uploaded has no GL name
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
    loadTexture(*texture, pathFor(name), upload);
    Texture* loaded = texture.get();
    textures.emplace(name, std::move(texture));
    return loaded;
}
