// Placeholder for the TextureCache; its real declaration replaces this file.
#pragma once

class TextureCache {
public:
    virtual ~TextureCache() = default;
};
