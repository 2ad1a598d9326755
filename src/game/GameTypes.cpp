// The game's entity and scene types, each with the rule of what its loader reads: the one place a
// new game type is made known, to the scenes and to the data checker alike.
#include "game/GameTypes.h"

#include <cstdlib>

#include "game/GameTypeNames.h"
#include "game/PellvaneBackgroundEFfectEntity.h"
#include "game/PellvaneBallEntity.h"
#include "game/PellvaneBlockEntity.h"
#include "game/PellvaneCounterEntities.h"
#include "game/PellvaneEventSoundEntity.h"
#include "game/PellvaneGameScene.h"
#include "game/PellvanePaddleEntity.h"
#include "game/PellvanePowerUpTimersEntity.h"
#include "game/StartNewGameButtonEntity.h"
#include "scene/EntityRegistry.h"
#include "scene/TypeNames.h"

namespace {
using K = ValueKind;

const std::vector<AttributeRule> kRange = {{"min", K::Float}, {"max", K::Float}};
const std::vector<AttributeRule> kRgba = {{"r", K::Float}, {"g", K::Float}, {"b", K::Float}, {"a", K::Float}};

const std::vector<ElementRule> kRules = {
    {"scene:pellvane_game",
     "scene:base_scene",
     {{"lives", K::Integer},
      {"loaded_delay", K::Float},
      {"keep_best_score", K::FlagOff},
      {"cleared_delay", K::Float},
      {"lost_delay", K::Float},
      {"all_cleared_delay", K::Float},
      {"lap_speed_up", K::Float}},
     {{"game_area", "game_area", false},
      {"block_colours", "block_colours", false},
      {"block_sounds", "block_sounds", false},
      {"debris", "debris", false},
      {"power_ups", "power_ups", false},
      {"levels", "levels", false},
      {"pause_overlay", "entities", false}}},
    {"game_area", nullptr, {{"x", K::Float}, {"y", K::Float}, {"width", K::Float}, {"height", K::Float}}, {}},
    {"block_colours", nullptr, {}, {{"colour", "block_colours/colour", true}}},
    {"block_colours/colour", nullptr, kRgba, {}},
    {"block_sounds",
     nullptr,
     {{"unbreakable", K::Text}, {"explosive", K::Text}},
     {{"sound", "block_sounds/sound", true}}},
    {"power_ups",
     nullptr,
     {{"fall_speed", K::Float},
      {"chance", K::Float},
      {"wide_factor", K::Float},
      {"narrow_factor", K::Float},
      {"slow_factor", K::Float},
      {"max_balls", K::Integer}},
     {{"power_up", "power_ups/power_up", true}}},
    {"power_ups/power_up",
     nullptr,
     {{"kind", K::Text}, {"sprite", K::SpriteId}, {"sound", K::Text}, {"duration", K::Float}},
     {}},
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
    {"entity:paddle",
     "entity:box",
     {{"speed", K::Float},
      {"spin", K::Float},
      {"ball_height", K::Float},
      {"mouse", K::FlagOff},
      {"mouse_instant", K::FlagOff},
      {"max_bounce_angle", K::Float},
      {"catch_window", K::Float},
      {"wide_sprite", K::SpriteId},
      {"narrow_sprite", K::SpriteId}},
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
    {"entity:block",
     "entity:box",
     {{"health", K::Integer}, {"unbreakable", K::FlagOff}, {"explosive", K::FlagOff}, {"capsule", K::Text}},
     {}},
    {"entity:power_up_timers", "entity:sprite_entity", {{"row", K::Float}, {"bar_gap", K::Float}}, {}},
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

const ElementRule& rule(const std::string& id) {
    for (const ElementRule& r : kRules)
        if (id == r.id)
            return r;
    std::abort(); // every id asked for below is in the table
}

template <class T> void addEntity(EntityRegistry& registry, const std::string& name) {
    registry.addEntityType(name, [] { return new T(); }, rule("entity:" + name));
}
} // namespace

void registerGameTypes(EntityRegistry& registry, const GameServices& services) {
    for (const ElementRule& r : kRules)
        registry.addRule(r);
    addEntity<PellvanePaddleEntity>(registry, PADDLE_ENTITY_TYPE);
    addEntity<PellvaneBallEntity>(registry, BALL_ENTITY_TYPE);
    addEntity<PellvaneBlockEntity>(registry, BLOCK_ENTITY_TYPE);
    addEntity<StartNewGameButtonEntity>(registry, NEW_GAME_BUTTON_ENTITY_TYPE);
    addEntity<PellvaneScoreCounterEntity>(registry, SCORE_COUNTER_ENTITY_TYPE);
    addEntity<PellvaneLevelCounterEntity>(registry, LEVEL_COUNTER_ENTITY_TYPE);
    addEntity<PellvaneLivesCounterEntity>(registry, LIVES_COUNTER_ENTITY_TYPE);
    addEntity<PellvaneBestCounterEntity>(registry, BEST_COUNTER_ENTITY_TYPE);
    addEntity<PellvaneBackgroundEFfectEntity>(registry, BACKGROUND_EFFECT_ENTITY_TYPE);
    addEntity<PellvaneEventSoundEntity>(registry, EVENT_SOUND_ENTITY_TYPE);
    addEntity<PellvanePowerUpTimersEntity>(registry, POWER_UP_TIMERS_ENTITY_TYPE);
    // The services are looked up when a scene is made: the sound manager is made after the types
    // are registered.
    const GameServices* given = &services;
    registry.addSceneType(
        PELLVANE_GAME_TYPE,
        [given](const SceneContext& context) { return new PellvaneGameScene(context, *given); },
        rule("scene:pellvane_game"));
}
