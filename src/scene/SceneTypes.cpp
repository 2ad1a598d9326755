// The engine's own entity and scene types, each with the rule of what its loader reads.
#include <cstdlib>

#include "scene/BaseScene.h"
#include "scene/BoxEntity.h"
#include "scene/EntityRegistry.h"
#include "scene/FadeEntity.h"
#include "scene/GradientEntity.h"
#include "scene/GroupEntity.h"
#include "scene/NumberCounterEntity.h"
#include "scene/SpriteEntity.h"
#include "scene/TypeNames.h"

namespace {
using K = ValueKind;

const std::vector<AttributeRule> kSpriteEntityAttributes = {
    {"enabled", K::FlagOn}, {"visible", K::FlagOn},  {"x", K::Float},        {"y", K::Float},
    {"scale_x", K::Float},  {"scale_y", K::Float},   {"rotation", K::Float}, {"offset_x", K::Float},
    {"offset_y", K::Float}, {"layer", K::Integer},   {"flip_x", K::FlagOff}, {"flip_y", K::FlagOff},
    {"colour", K::Colour},  {"sprite", K::SpriteId}, {"width", K::Float},    {"height", K::Float},
    {"opaque", K::FlagOff},
};
const std::vector<AttributeRule> kCounterAttributes = {
    {"enabled", K::FlagOn}, {"visible", K::FlagOn}, {"x", K::Float},       {"y", K::Float},
    {"scale_x", K::Float},  {"scale_y", K::Float},  {"layer", K::Integer}, {"fixed", K::Integer},
    {"start", K::Integer},  {"target", K::Integer}, {"rate", K::Float},    {"number_sprite_offset", K::Float},
    {"colour", K::Colour},  {"count_time", K::Float},
};

const std::vector<ElementRule> kRules = {
    {"scene:base_scene", nullptr, {{"id", K::Text}}, {{"entities", "entities", false}}},
    {"entities", nullptr, {}, {}, Content::Entities},
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
    {"entity:gradient",
     nullptr,
     {{"enabled", K::FlagOn},
      {"visible", K::FlagOn},
      {"x", K::Float},
      {"y", K::Float},
      {"width", K::Float},
      {"height", K::Float},
      {"layer", K::Integer},
      {"colour", K::Colour},
      {"opaque", K::FlagOff}},
     {{"stop", "gradient/stop", true}}},
    {"gradient/stop", nullptr, {{"row", K::Float}, {"colour", K::Colour}}, {}},
};

const ElementRule& rule(const std::string& id) {
    for (const ElementRule& r : kRules)
        if (id == r.id)
            return r;
    std::abort(); // every id asked for below is in the table
}
} // namespace

void registerSceneTypes(EntityRegistry& registry) {
    for (const ElementRule& r : kRules)
        registry.addRule(r);
    registry.addEntityType(SPRITE_ENTITY_TYPE, [] { return new SpriteEntity(); }, rule("entity:sprite_entity"));
    registry.addEntityType(BOX_ENTITY_TYPE, [] { return new BoxEntity(); }, rule("entity:box"));
    registry.addEntityType(FADE_ENTITY_TYPE, [] { return new FadeEntity(); }, rule("entity:fade"));
    registry.addEntityType(GROUP_ENTITY_TYPE, [] { return new GroupEntity(); }, rule("entity:group"));
    registry.addEntityType(COUNTER_ENTITY_TYPE, [] { return new NumberCounterEntity(); }, rule("entity:counter"));
    registry.addEntityType(GRADIENT_ENTITY_TYPE, [] { return new GradientEntity(); }, rule("entity:gradient"));
    registry.addSceneType(
        BASE_SCENE_TYPE, [](const SceneContext& context) { return new BaseScene(context); }, rule("scene:base_scene"));
}
