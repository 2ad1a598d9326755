// A named picture with one or more frames, each a region of one texture, read from a "sprite"
// element. Entities ask it to put a frame into a sprite batch.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/AlphaBounds.h"
#include "graphics/IRenderable.h"
#include "graphics/Matrix3.h"
#include "graphics/TextureRegion.h"
#include "base/Colour.h"

class SpriteBatch;
class TextureCache;
class TiXmlHandle;

// Lifetime: the sprite owns its frames; the frames point into textures owned by the texture
// cache, which must outlive any drawing with the sprite. Destroying a sprite never touches its
// textures, so the cache may be destroyed first at shutdown.
class Sprite : public IRenderable {
public:
    // Reads the "sprite" element the handle resolves to, asking `textures` for its texture.
    // Throws SpriteException for bad elements, ResourceException from the cache and
    // BaseException for a frame that does not fit its texture.
    Sprite(const TiXmlHandle& handle, TextureCache& textures);
    ~Sprite() override;

    // Frame 0's texture, or null when there are no frames.
    Texture* getTexture() override;
    // Adds frame `frame` to `batch` at the given size.
    virtual void render(SpriteBatch* batch, const Matrix3& transform, float width, float height, const Colour& colour,
                        uint32_t frame, bool flipX, bool flipY);
    // Adds frame `frame` at the frame's own pixel size.
    virtual void renderFrame(SpriteBatch* batch, const Matrix3& transform, const Colour& colour, uint32_t frame,
                             bool flipX, bool flipY);
    // render() for a batch drawn blended, under the alpha test: the quad covers only the box of
    // the frame's texels that can pass the test at this tint's alpha (rounded out to whole units
    // of the quad), and nothing is added when none can. The pixels drawn are the same; a
    // software rasteriser is spared the fragments the test would drop. Not for opaque drawing,
    // which has no alpha test.
    void renderVisible(SpriteBatch* batch, const Matrix3& transform, float width, float height, const Colour& colour,
                       uint32_t frame, bool flipX, bool flipY);

    const std::string& getId() const { return id; }
    uint32_t getFrameCount() const { return static_cast<uint32_t>(frames.size()); }
    // The frame with that index; the index must be below getFrameCount().
    TextureRegion& getFrame(uint32_t index) const { return *frames[index]; }

private:
    void readFrames(const TiXmlHandle& handle, Texture* texture);
    // Throws SpriteException for a null batch or a frame the sprite lacks.
    void checkDrawable(const SpriteBatch* batch, uint32_t frame) const;

    std::string id;
    std::vector<std::unique_ptr<TextureRegion>> frames;
    // Where each frame's texels are more opaque than each alpha level.
    std::vector<AlphaBounds> bounds;
};
