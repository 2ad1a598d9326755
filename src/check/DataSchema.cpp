// The rules of the files themselves (config.xml, sprite sets, sound sets, level files); the rules of
// scenes and entities come with their types from the registry. A new attribute or child element
// that a loader reads gets one line in its rule, or the checker reports it as unknown.
#include "check/DataSchema.h"

#include "game/Configuration.h"
#include "game/GameSettings.h"
#include "scene/EntityRegistry.h"
#include "sound/SoundManager.h"

namespace {
using K = ValueKind;

const std::vector<AttributeRule> kFrame = {
    {"x", K::Integer, "required", "left edge of the frame in the texture, pixels"},
    {"y", K::Integer, "required", "top edge of the frame in the texture, pixels"},
    {"width", K::Integer, "required", "width of the frame, pixels"},
    {"height", K::Integer, "required", "height of the frame, pixels"},
};

const std::vector<ElementRule> kRules = {
    // config.xml
    {"config",
     nullptr,
     {configsettings::kBatchSize, configsettings::kTextures, configsettings::kSpriteSet, configsettings::kSoundSet,
      configsettings::kMaxFps, configsettings::kFullScreen},
     {{"sprite", "sprite", true}, {"scenes", "scenes", false}}},
    {"scenes",
     nullptr,
     {{"default", K::Text, "the first scene", "the id of the scene that runs"}},
     {},
     Content::Scenes},
    // Sprite sets (a file, or the sprite children of config)
    {"sprite",
     nullptr,
     {{"id", K::Text, "required", "the name entities use"},
      {"texture", K::Text, "required", "PNG file, relative to the `textures` directory"},
      {"x", K::Integer, "none", "left edge of the single frame in the texture; all four, or `frame` children"},
      {"y", K::Integer, "none", "top edge of the single frame in the texture, pixels"},
      {"width", K::Integer, "none", "width of the single frame, pixels"},
      {"height", K::Integer, "none", "height of the single frame, pixels"}},
     {{"frame", "sprite/frame", true}}},
    {"sprite/frame", nullptr, kFrame, {}},

    // Sound sets
    {"sounds",
     nullptr,
     {soundsettings::kDirectory, soundsettings::kSfxVolume, soundsettings::kMusicVolume, soundsettings::kLimiter},
     {{"sfx", "sounds/file", true}, {"music", "sounds/file", true}}},
    {"sounds/file", nullptr, {}, {}, Content::Text},

    // Level files
    {"level",
     nullptr,
     {gamesettings::kBallSpeed, gamesettings::kPaddleWidth, gamesettings::kCapsuleChance},
     {},
     Content::Entities},
};
} // namespace


const std::vector<ElementRule>& fileRules() {
    return kRules;
}

const ElementRule* findRule(const EntityRegistry& registry, const std::string& id) {
    for (const ElementRule& rule : kRules)
        if (id == rule.id)
            return &rule;
    return registry.findRule(id);
}

std::vector<AttributeRule> attributesOf(const EntityRegistry& registry, const ElementRule& rule) {
    std::vector<AttributeRule> all;
    for (const ElementRule* r = &rule; r != nullptr; r = r->base != nullptr ? findRule(registry, r->base) : nullptr)
        all.insert(all.end(), r->attributes.begin(), r->attributes.end());
    return all;
}

std::vector<ChildRule> childrenOf(const EntityRegistry& registry, const ElementRule& rule) {
    std::vector<ChildRule> all;
    for (const ElementRule* r = &rule; r != nullptr; r = r->base != nullptr ? findRule(registry, r->base) : nullptr)
        all.insert(all.end(), r->children.begin(), r->children.end());
    return all;
}
