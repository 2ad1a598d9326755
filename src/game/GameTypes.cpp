// The game's entity and scene types, each with the rule of what its loader reads: the one place a
// new game type is made known, to the scenes and to the data checker alike.
#include "game/GameTypes.h"

#include <cstdlib>

#include "game/GameEvents.h"
#include "game/GameSettings.h"
#include "game/GameTypeNames.h"
#include "game/HighScoreEntities.h"
#include "game/HighScoreKeeper.h"
#include "game/MuteSignEntity.h"
#include "game/PellvaneBackgroundEFfectEntity.h"
#include "game/PellvaneBallEntity.h"
#include "game/PellvaneBlockEntity.h"
#include "game/PellvaneCounterEntities.h"
#include "game/PellvaneEventSoundEntity.h"
#include "game/PellvaneGameScene.h"
#include "game/PellvaneHitFlashEntity.h"
#include "game/PellvanePaddleEntity.h"
#include "game/PellvanePowerUpTimersEntity.h"
#include "game/PowerUps.h"
#include "game/StartNewGameButtonEntity.h"
#include "scene/EntityRegistry.h"
#include "scene/TypeNames.h"

namespace {
using K = ValueKind;
using namespace gamesettings;

const std::vector<AttributeRule> kRgba = {kRed, kGreen, kBlue, kAlpha};

const std::vector<ElementRule> kRules = {
    {"scene:pellvane_game",
     "scene:base_scene",
     {kLives, kLoadedDelay, kKeepBestScore, kClearedDelay, kLostDelay, kAllClearedDelay, kLapSpeedUp, kLifePerLevel,
      kExtraLifeEvery, kChainStep, kChainMost, kBonusPerLife, kBonusPar, kBonusPerSecond, kAllClearedWaits, kStepRate,
      kDemo, kDemoAfter},
     {{"game_area", "game_area", false},
      {"block_colours", "block_colours", false},
      {"block_sounds", "block_sounds", false},
      {"debris", "debris", false},
      {"power_ups", "power_ups", false},
      {"high_scores", "high_scores", false},
      {"gamepad", "gamepad", false},
      {"levels", "levels", false},
      {"pause_overlay", "entities", false}}},
    {"game_area", nullptr, {kAreaX, kAreaY, kAreaWidth, kAreaHeight}, {}},
    {"high_scores",
     nullptr,
     {highscoresettings::kKeep, highscoresettings::kLogoTime, highscoresettings::kTableTime,
      highscoresettings::kClickDelay},
     {}},
    {"gamepad",
     nullptr,
     {gamepadsettings::kAxis, gamepadsettings::kDeadZone, gamepadsettings::kLaunch, gamepadsettings::kPause,
      gamepadsettings::kContinue},
     {}},
    {"block_colours", nullptr, {}, {{"colour", "block_colours/colour", true}}},
    {"block_colours/colour", nullptr, kRgba, {}},
    {"block_sounds", nullptr, {kUnbreakableSound, kExplosiveSound}, {{"sound", "block_sounds/sound", true}}},
    {"power_ups",
     nullptr,
     {powerupsettings::kFallSpeed, powerupsettings::kChance, powerupsettings::kWideFactor,
      powerupsettings::kNarrowFactor, powerupsettings::kSlowFactor, powerupsettings::kMaxBalls,
      powerupsettings::kPoints,

      powerupsettings::kShotSprite, powerupsettings::kShotSpeed, powerupsettings::kShotCooldown},
     {{"power_up", "power_ups/power_up", true}}},
    {"power_ups/power_up",
     nullptr,
     {powerupsettings::kKind, powerupsettings::kSprite, powerupsettings::kSound, powerupsettings::kDuration,
      powerupsettings::kWeight},
     {}},
    {"block_sounds/sound", nullptr, {}, {}, Content::Text},
    {"debris", nullptr, {kDebrisSprite, kDebrisCount, kDebrisSpeed, kDebrisLifetime, kDebrisGravity}, {}},
    {"levels",
     nullptr,
     {{"directory", K::Text, "none", "directory put before each level's file name"}},
     {{"level", "levels/level", true}}},
    {"levels/level", nullptr, {levellistsettings::kMusic}, {}, Content::Text},
    {"entity:paddle",
     "entity:box",
     {paddlesettings::kSpeed, paddlesettings::kSpin, paddlesettings::kBallHeight, paddlesettings::kMouse,
      paddlesettings::kMouseInstant, paddlesettings::kMaxBounceAngle, paddlesettings::kCatchWindow,
      paddlesettings::kWideSprite, paddlesettings::kNarrowSprite, paddlesettings::kLaserSprite},
     {}},
    {"entity:ball",
     "entity:sprite_entity",
     {ballsettings::kRadius, ballsettings::kRestitution, ballsettings::kMinSpeed, ballsettings::kMaxSpeed,
      ballsettings::kStartVelocityX, ballsettings::kStartVelocityY, ballsettings::kMinAngle, ballsettings::kSpeedUp,
      ballsettings::kStallTime, ballsettings::kStallAim, ballsettings::kChainColours, ballsettings::kRingSprite},
     {{"colour", "ball/colour", true}}},
    {"ball/colour", nullptr, {ballsettings::kHex, kRed, kGreen, kBlue, kAlpha}, {}},
    {"entity:block",
     "entity:box",
     {blocksettings::kHealth, blocksettings::kUnbreakable, blocksettings::kExplosive, blocksettings::kCapsule},
     {}},
    {"entity:power_up_timers",
     "entity:sprite_entity",
     {timersettings::kRow, timersettings::kBarGap, timersettings::kColumn},
     {}},
    {"entity:hit_flash",
     "entity:sprite_entity",
     {hitflashsettings::kEvent, hitflashsettings::kLifetime, hitflashsettings::kMost},
     {}},
    {"entity:new_game_button", "entity:fade", {buttonsettings::kKeys}, {}},
    {"entity:continue_button", "entity:fade", {buttonsettings::kKeys}, {}},
    {"entity:high_score_table",
     "entity:text",
     {highscoreentitysettings::kRowHeight, highscoreentitysettings::kMarkedColour, highscoreentitysettings::kMark},
     {{"column", "high_score_table/column", true}}},
    {"high_score_table/column",
     nullptr,
     {highscoreentitysettings::kField, highscoreentitysettings::kColumnX, highscoreentitysettings::kColumnAlign,
      highscoreentitysettings::kColumnScale},
     {}},
    {"entity:initials_entry",
     "entity:text",
     {highscoreentitysettings::kCellWidth, highscoreentitysettings::kCursor, highscoreentitysettings::kBlink,
      highscoreentitysettings::kMarkedColour},
     {}},
    {"entity:score_counter", "entity:counter", {}, {}},
    {"entity:level_counter", "entity:counter", {}, {}},
    {"entity:lives_counter", "entity:counter", {}, {}},
    {"entity:best_counter", "entity:counter", {}, {}},
    {"entity:figure_counter",
     "entity:counter",
     {figuresettings::kFigure, figuresettings::kHideBelow, figuresettings::kLabel, figuresettings::kLabelGap},
     {}},
    {"entity:continue_counter", "entity:counter", {}, {}},
    {"entity:mute_sign", "entity:sprite_entity", {}, {}},
    {"entity:event_sound", nullptr, {eventsoundsettings::kEvent, eventsoundsettings::kSound}, {}},
    {"entity:background_effect",
     nullptr,
     {backgroundsettings::kSprite, backgroundsettings::kWidth, backgroundsettings::kHeight, backgroundsettings::kLayer,
      backgroundsettings::kMaxParticles, backgroundsettings::kGap, backgroundsettings::kVelocity,
      backgroundsettings::kVariationRate},
     {{"spawn_delay", "background/spawn_delay", false},
      {"particle_age", "background/particle_age", false},
      {"colours", "background/colours", false}}},
    {"background/spawn_delay", nullptr, {backgroundsettings::kSpawnMin, backgroundsettings::kSpawnMax}, {}},
    {"background/particle_age", nullptr, {backgroundsettings::kAgeMin, backgroundsettings::kAgeMax}, {}},
    {"background/colours", nullptr, {backgroundsettings::kStartColour, backgroundsettings::kEndColour}, {}},
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
    addEntity<ContinueButtonEntity>(registry, CONTINUE_BUTTON_ENTITY_TYPE);
    addEntity<HighScoreTableEntity>(registry, HIGH_SCORE_TABLE_ENTITY_TYPE);
    addEntity<InitialsEntryEntity>(registry, INITIALS_ENTRY_ENTITY_TYPE);
    addEntity<ContinueLevelCounterEntity>(registry, CONTINUE_COUNTER_ENTITY_TYPE);
    addEntity<PellvaneScoreCounterEntity>(registry, SCORE_COUNTER_ENTITY_TYPE);
    addEntity<PellvaneLevelCounterEntity>(registry, LEVEL_COUNTER_ENTITY_TYPE);
    addEntity<PellvaneLivesCounterEntity>(registry, LIVES_COUNTER_ENTITY_TYPE);
    addEntity<PellvaneBestCounterEntity>(registry, BEST_COUNTER_ENTITY_TYPE);
    addEntity<PellvaneFigureCounterEntity>(registry, FIGURE_COUNTER_ENTITY_TYPE);
    addEntity<PellvaneBackgroundEFfectEntity>(registry, BACKGROUND_EFFECT_ENTITY_TYPE);
    addEntity<PellvaneEventSoundEntity>(registry, EVENT_SOUND_ENTITY_TYPE);
    addEntity<PellvanePowerUpTimersEntity>(registry, POWER_UP_TIMERS_ENTITY_TYPE);
    addEntity<MuteSignEntity>(registry, MUTE_SIGN_ENTITY_TYPE);
    addEntity<PellvaneHitFlashEntity>(registry, HIT_FLASH_ENTITY_TYPE);
    // The services are looked up when a scene is made: the sound manager is made after the types
    // are registered.
    const GameServices* given = &services;
    registry.addSceneType(
        PELLVANE_GAME_TYPE,
        [given](const SceneContext& context) { return new PellvaneGameScene(context, *given); },
        rule("scene:pellvane_game"));
    registry.addEventNames(gameEventNames());
}
