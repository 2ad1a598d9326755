// The engine's own entity and scene types, each with the rule of what its loader reads.
#include <cstdlib>

#include "events/Events.h"
#include "scene/BaseScene.h"
#include "scene/BoxEntity.h"
#include "scene/EntityRegistry.h"
#include "scene/FadeEntity.h"
#include "scene/GradientEntity.h"
#include "scene/GroupEntity.h"
#include "scene/NumberCounterEntity.h"
#include "scene/SpriteEntity.h"
#include "scene/TextEntity.h"
#include "scene/TypeNames.h"

namespace {
using K = ValueKind;
using namespace spritesettings;

const std::vector<AttributeRule> kSpriteEntityAttributes = {
    kEnabled, kVisible, kX,     kY,     kScaleX, kScaleY, kRotation, kOffsetX, kOffsetY,
    kLayer,   kFlipX,   kFlipY, kColour, kSprite, kWidth,  kHeight,   kOpaque,
};
const std::vector<AttributeRule> kCounterAttributes = {
    kEnabled, kVisible, kX, kY, kScaleX, kScaleY, kLayer, countersettings::kFixed, countersettings::kStart,
    countersettings::kTarget, countersettings::kRate, countersettings::kDigitSpacing, kColour,
    countersettings::kCountTime,
};

// A text: placed, tinted and scaled like a sprite (no sprite, size, rotation or mirroring), faded
// like a fade, its glyphs spaced; the game's pictures made of text build on it.
const std::vector<AttributeRule> kTextAttributes = {
    kEnabled,
    kVisible,
    kX,
    kY,
    kScaleX,
    kScaleY,
    kOffsetX,
    kOffsetY,
    kLayer,
    kColour,
    fadesettings::kDelay,
    fadesettings::kAutoRemove,
    textsettings::kText,
    textsettings::kAlign,
    textsettings::kSpacing,
};

const std::vector<ElementRule> kRules = {
    {"scene:base_scene",
     nullptr,
     {{"id", K::Text, "required", "the scene's name, as `default` names it"}},
     {{"entities", "entities", false}}},
    {"entities", nullptr, {}, {}, Content::Entities},
    {"entity:sprite_entity", nullptr, kSpriteEntityAttributes, {}},
    {"entity:box",
     "entity:sprite_entity",
     {{"static", K::FlagOn, "true", "carried for the collider; nothing reads it"}},
     {}},
    {"entity:fade",
     "entity:sprite_entity",
     {fadesettings::kDelay, fadesettings::kAutoRemove},
     {{"duration", "fade/duration", false},
      {"alpha", "fade/alpha", false},
      {"pulse", "fade/pulse", false},
      {"trigger", "fade/trigger", false}}},
    {"entity:text",
     nullptr,
     kTextAttributes,
     {{"duration", "fade/duration", false},
      {"alpha", "fade/alpha", false},
      {"pulse", "fade/pulse", false},
      {"trigger", "fade/trigger", false}}},
    {"fade/duration", nullptr, {fadesettings::kIn, fadesettings::kOut, fadesettings::kActive}, {}},
    {"fade/alpha", nullptr, {fadesettings::kMin, fadesettings::kMax, fadesettings::kStart}, {}},
    {"fade/pulse", nullptr, {fadesettings::kPulseDuration, fadesettings::kPulseMin, fadesettings::kPulseMax}, {}},
    {"fade/trigger", nullptr, {fadesettings::kInEvent, fadesettings::kOutEvent, fadesettings::kInterrupt}, {}},
    {"entity:group",
     nullptr,
     {groupsettings::kStartDelay, groupsettings::kEndDelay, groupsettings::kStartEvent, groupsettings::kStartEventOld,
      groupsettings::kEndEvent, groupsettings::kEndEventOld},
     {},
     Content::Entities},
    {"entity:counter", nullptr, kCounterAttributes, {}},
    {"entity:gradient",
     nullptr,
     {kEnabled, kVisible, kX, kY, gradientsettings::kWidth, gradientsettings::kHeight, kLayer, kColour, kOpaque},
     {{"stop", "gradient/stop", true}}},
    {"gradient/stop", nullptr, {gradientsettings::kRow, gradientsettings::kStopColour}, {}},
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
    registry.addEntityType(
        TEXT_ENTITY_TYPE, [] { return new TextEntity(); }, rule("entity:text"));
    registry.addSceneType(
        BASE_SCENE_TYPE, [](const SceneContext& context) { return new BaseScene(context); }, rule("scene:base_scene"));
    registry.addEventNames(sceneEventNames());
}
