// Every attribute a rule lists, the files' own and the registry's, is declared whole: a default and
// one line of docs that fit a table cell, a default that suits its kind and lies in its range, and
// where a loader's initial value can be read from here, that value.
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "check/DataSchema.h"
#include "game/GameSettings.h"
#include "game/GameWorld.h"
#include "game/PellvaneBallEntity.h"
#include "game/PellvanePaddleEntity.h"
#include "game/PowerUps.h"
#include "graphics/SpriteBatchRegistry.h"
#include "rules/Match.h"
#include "rules/PowerUps.h"
#include "sound/SoundManager.h"

namespace {

// The longest line of docs a reference cell holds before it stops being one line.
constexpr std::size_t kLongestDoc = 90;

std::vector<const ElementRule*> allRules(const EntityRegistry& registry) {
    std::vector<const ElementRule*> rules;
    for (const ElementRule& rule : fileRules())
        rules.push_back(&rule);
    for (const ElementRule* rule : registry.rules())
        rules.push_back(rule);
    return rules;
}

bool isCellText(const char* text) {
    return text != nullptr && *text != '\0' && std::strpbrk(text, "|\n") == nullptr;
}

bool readsAsNumber(const char* text, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0';
}

bool isHex(const std::string& text) {
    return (text.size() == 6 || text.size() == 8) && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

// The declared default of `name` in the rule `id`, as a number.
double declared(const EntityRegistry& registry, const char* id, const char* name) {
    const ElementRule* rule = findRule(registry, id);
    if (rule == nullptr) {
        ADD_FAILURE() << "no rule " << id;
        return 0;
    }
    for (const Setting& setting : rule->attributes) {
        double value = 0;
        if (std::strcmp(setting.name, name) == 0 && readsAsNumber(setting.byDefault, value))
            return value;
    }
    ADD_FAILURE() << "no numeric default for " << name << " in " << id;
    return 0;
}

TEST(SettingDeclarations, EveryAttributeHasADefaultAndOneLineOfDocsThatSuitItsKindAndRange) {
    const GameWorld world;
    std::size_t attributes = 0;
    for (const ElementRule* rule : allRules(world.getRegistry())) {
        for (const Setting& setting : rule->attributes) {
            ++attributes;
            const std::string where = std::string(rule->id) + " " + setting.name;
            ASSERT_TRUE(isCellText(setting.byDefault)) << where << ": no default, or one that breaks the table";
            ASSERT_TRUE(isCellText(setting.doc)) << where << ": no docs, or docs that break the table";
            EXPECT_LE(std::strlen(setting.doc), kLongestDoc) << where << ": docs longer than one line";
            const std::string byDefault = setting.byDefault;
            double number = 0;
            switch (setting.kind) {
            case ValueKind::FlagOn:
                EXPECT_EQ("true", byDefault) << where;
                break;
            case ValueKind::FlagOff:
                EXPECT_EQ("false", byDefault) << where;
                break;
            case ValueKind::Colour:
                EXPECT_TRUE(isHex(byDefault) || byDefault == "none" || byDefault == "required") << where;
                break;
            case ValueKind::Float:
            case ValueKind::Integer:
                if (readsAsNumber(setting.byDefault, number)) {
                    EXPECT_GE(number, setting.low) << where;
                    EXPECT_LE(number, setting.high) << where;
                }
                break;
            default:
                break;
            }
        }
    }
    EXPECT_GE(attributes, 160u);
}

TEST(SettingDeclarations, DeclaredDefaultsAreTheValuesTheLoadersStartFrom) {
    const GameWorld world;
    const EntityRegistry& r = world.getRegistry();
    const MatchSettings match;
    EXPECT_EQ(match.initialLives, declared(r, "scene:pellvane_game", "lives"));
    EXPECT_FLOAT_EQ(match.loadedDelay, declared(r, "scene:pellvane_game", "loaded_delay"));
    EXPECT_FLOAT_EQ(match.clearedDelay, declared(r, "scene:pellvane_game", "cleared_delay"));
    EXPECT_FLOAT_EQ(match.lostDelay, declared(r, "scene:pellvane_game", "lost_delay"));
    EXPECT_FLOAT_EQ(match.allClearedDelay, declared(r, "scene:pellvane_game", "all_cleared_delay"));
    EXPECT_FLOAT_EQ(match.lapSpeedUp, declared(r, "scene:pellvane_game", "lap_speed_up"));
    const GameSettings game;
    EXPECT_FLOAT_EQ(game.gameArea.x, declared(r, "game_area", "x"));
    EXPECT_FLOAT_EQ(game.gameArea.y, declared(r, "game_area", "y"));
    EXPECT_FLOAT_EQ(game.gameArea.width, declared(r, "game_area", "width"));
    EXPECT_FLOAT_EQ(game.gameArea.height, declared(r, "game_area", "height"));
    EXPECT_EQ(game.debris.count, declared(r, "debris", "count"));
    EXPECT_FLOAT_EQ(game.debris.speed, declared(r, "debris", "speed"));
    EXPECT_FLOAT_EQ(game.debris.lifetime, declared(r, "debris", "lifetime"));
    EXPECT_FLOAT_EQ(game.debris.gravity, declared(r, "debris", "gravity"));
    const LevelSettings level;
    EXPECT_FLOAT_EQ(level.ballSpeed, declared(r, "level", "ball_speed"));
    EXPECT_FLOAT_EQ(level.paddleWidth, declared(r, "level", "paddle_width"));
    const PowerUpSettings powerUps;
    EXPECT_FLOAT_EQ(powerUps.fallSpeed, declared(r, "power_ups", "fall_speed"));
    EXPECT_FLOAT_EQ(powerUps.chance, declared(r, "power_ups", "chance"));
    EXPECT_EQ(powerUps.maxBalls, declared(r, "power_ups", "max_balls"));
    for (const PowerUpFactor& factor : kPowerUpFactors) {
        if (factor.setting != nullptr) {
            EXPECT_FLOAT_EQ(factor.fallback, declared(r, "power_ups", factor.setting->name));
        }
    }
    EXPECT_FLOAT_EQ(kDefaultPowerUpDuration, declared(r, "power_ups/power_up", "duration"));
    EXPECT_FLOAT_EQ(kDefaultBallMinSpeed, declared(r, "entity:ball", "min_speed"));
    EXPECT_FLOAT_EQ(kDefaultBallMaxSpeed, declared(r, "entity:ball", "max_speed"));
    EXPECT_FLOAT_EQ(kDefaultBallRestitution, declared(r, "entity:ball", "restitution"));
    EXPECT_FLOAT_EQ(kDefaultBallStartVelocity.x, declared(r, "entity:ball", "start_velocity_x"));
    EXPECT_FLOAT_EQ(kDefaultBallStartVelocity.y, declared(r, "entity:ball", "start_velocity_y"));
    EXPECT_FLOAT_EQ(kDefaultPaddleSpeed, declared(r, "entity:paddle", "speed"));
    EXPECT_FLOAT_EQ(kDefaultPaddleSpin, declared(r, "entity:paddle", "spin"));
    EXPECT_FLOAT_EQ(kDefaultBallHeight, declared(r, "entity:paddle", "ball_height"));
    EXPECT_EQ(kDefaultBatchSize, declared(r, "config", "batchsize"));
    EXPECT_FLOAT_EQ(kDefaultSfxVolume, declared(r, "sounds", "sfx_volume"));
    EXPECT_FLOAT_EQ(kDefaultMusicVolume, declared(r, "sounds", "music_volume"));
}

} // namespace
