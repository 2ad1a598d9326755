// What the scene sees of anything an entity draws with: the texture it draws from, so that the
// scene can group quads into the batch of that texture.
#pragma once

struct Texture;

class IRenderable {
public:
    virtual ~IRenderable() = default;
    // The texture every quad of this renderable uses; null when it has nothing to draw, and
    // always for an untextured one.
    virtual Texture* getTexture() = 0;
    // True for plain coloured quads drawn without a texture (getTexture() is then null): the
    // scene gives them an untextured batch.
    virtual bool isUntextured() { return false; }
};
