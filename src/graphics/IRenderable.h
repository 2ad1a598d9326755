// What the scene sees of anything an entity draws with: the texture it draws from, so that the
// scene can group quads into the batch of that texture.
#pragma once

struct Texture;

class IRenderable {
public:
    virtual ~IRenderable() = default;
    // The texture every quad of this renderable uses, or null when it has nothing to draw.
    virtual Texture* getTexture() = 0;
};
