// The one registry of loaded textures: each texture name is read, decoded and uploaded once,
// then kept until the cache is destroyed.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "graphics/Texture.h"

// Owns every texture and its GL texture; regions, sprites and batches hold plain pointers into
// it, so the cache must outlive their drawing.
class TextureCache {
public:
    // `directory` is the texture directory, or empty to use names as paths. With `upload` false
    // textures are decoded and measured but never uploaded, so no GL context is needed.
    explicit TextureCache(const std::string& directory, bool upload = true);
    // Deletes the GL textures in key order.
    ~TextureCache();
    TextureCache(const TextureCache&) = delete;
    TextureCache& operator=(const TextureCache&) = delete;

    // The texture for `name`, loaded from directory + "/" + name on first request. Never null:
    // a failed load throws ResourceException and caches nothing, so the next request retries.
    Texture* getTexture(const std::string& name);

    // The path a name is loaded from: exactly one "/" between a non-empty directory and the name,
    // with no other normalisation.
    std::string pathFor(const std::string& name) const;
    const std::map<std::string, std::unique_ptr<Texture>>& getTextures() const { return textures; }

private:
    std::string directory;
    bool upload;
    // Keyed by the name as requested, not the path; std::string orders byte-wise.
    std::map<std::string, std::unique_ptr<Texture>> textures;
};
