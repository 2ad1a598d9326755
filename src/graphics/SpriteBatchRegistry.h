// The one registry of sprite batches: for each texture a list of batches, made lazily the first
// time the texture is drawn and kept until shutdown.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "graphics/SpriteBatch.h"

struct Texture;

// Quads per batch when the configuration names no "batchsize".
constexpr int32_t kDefaultBatchSize = 200;

// Lifetime: the textures used as keys are not owned; the texture cache owns them and must
// outlive the registry. The registry owns every batch and its GL buffers.
class SpriteBatchRegistry {
public:
    // batchSize is the configuration's "batchsize". Values below 1 or above kMaxQuadsPerDraw
    // cannot be served by a 16-bit index pattern and are rejected at start-up with a
    // BaseException naming "batchsize".
    explicit SpriteBatchRegistry(int32_t batchSize = kDefaultBatchSize);

    // A batch for `texture` with room for at least one quad, made when needed. Throws
    // BaseException("SpriteBatch supplied with invalid source texture!") for a null or unloaded
    // texture, in which case nothing is added.
    SpriteBatch* getBatch(Texture* texture);
    // The same for quads drawn opaque (SpriteBatch::drawOpaque): batches of their own, so that an
    // opaque backdrop and blended sprites of one texture never share a draw.
    SpriteBatch* getOpaqueBatch(Texture* texture);
    // Untextured batches (SpriteBatch(capacity)) for plain coloured quads, blended or opaque.
    SpriteBatch* getColourBatch();
    SpriteBatch* getOpaqueColourBatch();

    int32_t getBatchSize() const { return batchSize; }
    // The batches made for `texture` so far, in the order they were made; empty if none. Null
    // gives the untextured batches.
    const std::vector<std::unique_ptr<SpriteBatch>>& getBatches(Texture* texture) const;

private:
    using BatchMap = std::map<Texture*, std::vector<std::unique_ptr<SpriteBatch>>>;
    SpriteBatch* batchWithRoom(BatchMap& map, Texture* texture, bool untextured);

    BatchMap batches;
    BatchMap opaqueBatches;
    int32_t batchSize;
};
