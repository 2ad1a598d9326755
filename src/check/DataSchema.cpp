// The table itself. A new attribute, child element or entity type that a loader reads gets one
// line here, or the checker reports it as unknown; an entity type its scene's factory knows but
// this table does not is loaded and checked by its loader, but its attributes are not listed.
#include "check/DataSchema.h"

#include <cstring>

namespace {
using K = ValueKind;

// The attributes every sprite entity reads (sprite_entity and everything built on it).
const std::vector<AttributeRule> kSpriteEntityAttributes = {
    {"enabled", K::FlagOn}, {"visible", K::FlagOn},  {"x", K::Float},        {"y", K::Float},
    {"scale_x", K::Float},  {"scale_y", K::Float},   {"rotation", K::Float}, {"offset_x", K::Float},
    {"offset_y", K::Float}, {"layer", K::Integer},   {"flip_x", K::FlagOff}, {"flip_y", K::FlagOff},
    {"colour", K::Colour},  {"sprite", K::SpriteId}, {"width", K::Float},    {"height", K::Float},
};
const std::vector<AttributeRule> kCounterAttributes = {
    {"enabled", K::FlagOn}, {"visible", K::FlagOn}, {"x", K::Float},       {"y", K::Float},
    {"scale_x", K::Float},  {"scale_y", K::Float},  {"layer", K::Integer}, {"fixed", K::Integer},
    {"start", K::Integer},  {"target", K::Integer}, {"rate", K::Float},    {"number_sprite_offset", K::Float},
    {"colour", K::Colour},
};
const std::vector<AttributeRule> kRange = {{"min", K::Float}, {"max", K::Float}};
const std::vector<AttributeRule> kRgba = {{"r", K::Float}, {"g", K::Float}, {"b", K::Float}, {"a", K::Float}};
const std::vector<AttributeRule> kRectangle = {
    {"x", K::Integer}, {"y", K::Integer}, {"width", K::Integer}, {"height", K::Integer}};

const std::vector<ElementRule> kRules = {
    // config.xml
    {"config",
     nullptr,
     {{"batchsize", K::Integer},
      {"textures", K::Text},
      {"spriteset", K::Text},
      {"soundset", K::Text},
      {"max_fps", K::Integer},
      {"fullscreen", K::FlagOff}},
     {{"sprite", "sprite", true}, {"scenes", "scenes", false}}},
    {"scenes", nullptr, {{"default", K::Text}}, {}, Content::Scenes},
    {"scene:base_scene", nullptr, {{"id", K::Text}}, {{"entities", "entities", false}}},
    {"scene:pellvane_game",
     "scene:base_scene",
     {{"lives", K::Integer},
      {"loaded_delay", K::Float},
      {"keep_best_score", K::FlagOff},
      {"cleared_delay", K::Float},
      {"lost_delay", K::Float}},
     {{"game_area", "game_area", false},
      {"block_colours", "block_colours", false},
      {"block_sounds", "block_sounds", false},
      {"debris", "debris", false},
      {"levels", "levels", false},
      {"pause_overlay", "entities", false}}},
    {"entities", nullptr, {}, {}, Content::Entities},
    {"game_area", nullptr, {{"x", K::Float}, {"y", K::Float}, {"width", K::Float}, {"height", K::Float}}, {}},
    {"block_colours", nullptr, {}, {{"colour", "block_colours/colour", true}}},
    {"block_colours/colour", nullptr, kRgba, {}},
    {"block_sounds", nullptr, {}, {{"sound", "block_sounds/sound", true}}},
    {"block_sounds/sound", nullptr, {}, {}, Content::Text},
    {"debris",
     nullptr,
     {{"sprite", K::SpriteId},
      {"count", K::Integer},
      {"speed", K::Float},
      {"lifetime", K::Float},
      {"gravity", K::Float}},
     {}},
    {"levels", nullptr, {{"directory", K::Text}}, {{"level", "levels/level", true}}},
    {"levels/level", nullptr, {}, {}, Content::Text},

    // Sprite sets (a file, or the sprite children of config)
    {"sprite",
     nullptr,
     {{"id", K::Text},
      {"texture", K::Text},
      {"x", K::Integer},
      {"y", K::Integer},
      {"width", K::Integer},
      {"height", K::Integer}},
     {{"frame", "sprite/frame", true}}},
    {"sprite/frame", nullptr, kRectangle, {}},

    // Sound sets
    {"sounds",
     nullptr,
     {{"directory", K::Text}, {"sfx_volume", K::Float}, {"music_volume", K::Float}},
     {{"sfx", "sounds/file", true}, {"music", "sounds/file", true}}},
    {"sounds/file", nullptr, {}, {}, Content::Text},

    // Level files
    {"level", nullptr, {}, {}, Content::Entities},

    // Generic entities
    {"entity:sprite_entity", nullptr, kSpriteEntityAttributes, {}},
    {"entity:box", "entity:sprite_entity", {{"static", K::FlagOn}}, {}},
    {"entity:fade",
     "entity:sprite_entity",
     {{"delay", K::Float}, {"auto_remove", K::FlagOff}},
     {{"duration", "fade/duration", false},
      {"alpha", "fade/alpha", false},
      {"pulse", "fade/pulse", false},
      {"trigger", "fade/trigger", false}}},
    {"fade/duration", nullptr, {{"in", K::Float}, {"out", K::Float}, {"active", K::Float}}, {}},
    {"fade/alpha", nullptr, {{"min", K::Float}, {"max", K::Float}, {"start", K::Float}}, {}},
    {"fade/pulse", nullptr, {{"duration", K::Float}, {"min", K::Float}, {"max", K::Float}}, {}},
    {"fade/trigger", nullptr, {{"in", K::EventName}, {"out", K::EventName}, {"interrupt", K::FlagOff}}, {}},
    {"entity:group",
     nullptr,
     {{"start_delay", K::Float},
      {"end_delay", K::Float},
      {"start_event", K::EventName},
      {"start", K::EventName},
      {"end_event", K::EventName},
      {"end", K::EventName}},
     {},
     Content::Entities},
    {"entity:counter", nullptr, kCounterAttributes, {}},

    // The game's entities
    {"entity:paddle",
     "entity:box",
     {{"speed", K::Float},
      {"spin", K::Float},
      {"ball_height", K::Float},
      {"mouse", K::FlagOff},
      {"mouse_instant", K::FlagOff},
      {"max_bounce_angle", K::Float},
      {"catch_window", K::Float}},
     {}},
    {"entity:ball",
     "entity:sprite_entity",
     {{"radius", K::Float},
      {"restitution", K::Float},
      {"min_speed", K::Float},
      {"max_speed", K::Float},
      {"start_velocity_x", K::Float},
      {"start_velocity_y", K::Float},
      {"min_angle", K::Float},
      {"speed_up", K::Float},
      {"stall_time", K::Float}},
     {{"colour", "ball/colour", true}}},
    {"ball/colour",
     nullptr,
     {{"hex", K::Colour}, {"r", K::Float}, {"g", K::Float}, {"b", K::Float}, {"a", K::Float}},
     {}},
    {"entity:block", "entity:box", {{"health", K::Integer}}, {}},
    {"entity:new_game_button", "entity:fade", {}, {}},
    {"entity:score_counter", "entity:counter", {}, {}},
    {"entity:level_counter", "entity:counter", {}, {}},
    {"entity:lives_counter", "entity:counter", {}, {}},
    {"entity:best_counter", "entity:counter", {}, {}},
    {"entity:event_sound", nullptr, {{"event", K::EventName}, {"sound", K::Text}}, {}},
    {"entity:background_effect",
     nullptr,
     {{"sprite", K::SpriteId},
      {"width", K::Float},
      {"height", K::Float},
      {"layer", K::Integer},
      {"max_particles", K::Integer},
      {"gap", K::Float},
      {"velocity", K::Float},
      {"variation_rate", K::Float}},
     {{"spawn_delay", "background/range", false},
      {"particle_age", "background/range", false},
      {"colours", "background/colours", false}}},
    {"background/range", nullptr, kRange, {}},
    {"background/colours", nullptr, {{"start", K::Colour}, {"end", K::Colour}}, {}},
};

std::vector<std::string> namesWithPrefix(const char* prefix) {
    std::vector<std::string> names;
    const std::size_t length = std::strlen(prefix);
    for (const ElementRule& rule : kRules)
        if (std::strncmp(rule.id, prefix, length) == 0)
            names.emplace_back(rule.id + length);
    return names;
}
} // namespace

const ElementRule* findRule(const std::string& id) {
    for (const ElementRule& rule : kRules)
        if (id == rule.id)
            return &rule;
    return nullptr;
}

std::vector<AttributeRule> attributesOf(const ElementRule& rule) {
    std::vector<AttributeRule> all;
    for (const ElementRule* r = &rule; r != nullptr; r = r->base != nullptr ? findRule(r->base) : nullptr)
        all.insert(all.end(), r->attributes.begin(), r->attributes.end());
    return all;
}

std::vector<ChildRule> childrenOf(const ElementRule& rule) {
    std::vector<ChildRule> all;
    for (const ElementRule* r = &rule; r != nullptr; r = r->base != nullptr ? findRule(r->base) : nullptr)
        all.insert(all.end(), r->children.begin(), r->children.end());
    return all;
}

std::vector<std::string> entityTypeNames() {
    return namesWithPrefix("entity:");
}

std::vector<std::string> sceneTypeNames() {
    return namesWithPrefix("scene:");
}
