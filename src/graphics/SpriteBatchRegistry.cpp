// The sprite batch registry: batches per texture, made on first use.
#include "graphics/SpriteBatchRegistry.h"

#include <string>

#include "base/Exceptions.h"

SpriteBatchRegistry::SpriteBatchRegistry(int32_t batchSize) : batchSize(batchSize) {
    if (batchSize < 1 || static_cast<uint32_t>(batchSize) > kMaxQuadsPerDraw)
        throw BaseException("Invalid batchsize " + std::to_string(batchSize) + ": it must be from 1 to " +
                            std::to_string(kMaxQuadsPerDraw) + "!");
}

SpriteBatch* SpriteBatchRegistry::getBatch(Texture* texture) {
    return batchWithRoom(batches, texture, false);
}

SpriteBatch* SpriteBatchRegistry::getOpaqueBatch(Texture* texture) {
    return batchWithRoom(opaqueBatches, texture, false);
}

// Untextured batches live under the null texture, which the textured lookups refuse.
SpriteBatch* SpriteBatchRegistry::getColourBatch() {
    return batchWithRoom(batches, nullptr, true);
}

SpriteBatch* SpriteBatchRegistry::getOpaqueColourBatch() {
    return batchWithRoom(opaqueBatches, nullptr, true);
}

SpriteBatch* SpriteBatchRegistry::batchWithRoom(BatchMap& map, Texture* texture, bool untextured) {
    if (texture == nullptr && !untextured)
        throw BaseException(kInvalidBatchTexture);
    auto found = map.find(texture);
    if (found != map.end())
        for (const auto& batch : found->second)
            if (batch->hasRoom())
                return batch.get();
    // Made before touching the map, so a refused texture leaves the registry unchanged.
    const auto capacity = static_cast<uint32_t>(batchSize);
    auto batch = untextured ? std::make_unique<SpriteBatch>(capacity) : std::make_unique<SpriteBatch>(texture, capacity);
    SpriteBatch* made = batch.get();
    map[texture].push_back(std::move(batch));
    return made;
}

const std::vector<std::unique_ptr<SpriteBatch>>& SpriteBatchRegistry::getBatches(Texture* texture) const {
    static const std::vector<std::unique_ptr<SpriteBatch>> none;
    auto found = batches.find(texture);
    return found == batches.end() ? none : found->second;
}
