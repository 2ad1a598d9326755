// The settings of a game scene and of its level files, each attribute declared once with its range:
// the scene reads them through these declarations, the data checker knows them by the same, and a
// setting out of its range is refused with its name and range.
#pragma once

#include <string>
#include <vector>

#include "base/Colour.h"
#include "base/Setting.h"
#include "base/SettingReader.h"
#include "collision/Rect.h"
#include "game/Gamepad.h"
#include "rules/Match.h"

class LoadDiagnostics;
class SoundManager;
class TiXmlElement;

namespace gamesettings {
using K = ValueKind;
// Delays longer than a minute are no delay a player waits out.
inline constexpr double kLongestDelay = 60.0;

// Attributes of the "pellvane_game" element.
inline constexpr Setting kLives{"lives", K::Integer, "3", "balls in reserve at the start of a game", 0, 999};
inline constexpr Setting kLoadedDelay{
    "loaded_delay", K::Float, "0.1", "seconds between bringing a level in and starting it", 0, kLongestDelay};
inline constexpr Setting kKeepBestScore{"keep_best_score", K::FlagOff, "false",
                                        "`true`: the best score is kept in a file from run to run"};
inline constexpr Setting kClearedDelay{
    "cleared_delay", K::Float, "0", "seconds a cleared level stays before the next comes in", 0, kLongestDelay};
inline constexpr Setting kLostDelay{
    "lost_delay", K::Float, "0", "seconds a lost ball stays out of sight before the next is served", 0, kLongestDelay};
inline constexpr Setting kAllClearedDelay{
    "all_cleared_delay", K::Float, "0", "seconds at rest after the last level before the next lap", 0, kLongestDelay};
// Each lap at most ten times as fast as the one before: the speed limits scale with it.
inline constexpr Setting kLapSpeedUp{
    "lap_speed_up", K::Float, "0", "share the balls' speeds grow by with each lap completed", 0, 10};
// Lives and points: a ball for every cleared level or for every so many points, a chain of blocks
// broken in a row that multiplies their points, a cleared level's bonus, and the end of a lap
// that waits for the player.
inline constexpr Setting kLifePerLevel{"life_per_level", K::FlagOn, "true", "a ball for every cleared level"};
inline constexpr Setting kExtraLifeEvery{
    "extra_life_every", K::Integer, "0", "above 0, a ball for every so many points", 0, 100000000};
inline constexpr Setting kChainStep{
    "chain_step", K::Integer, "0", "above 0, blocks in a row that raise the points' multiplier by 1", 0, 1000};
inline constexpr Setting kChainMost{"chain_most", K::Integer, "1", "the largest multiplier a chain reaches", 1, 100};
inline constexpr Setting kBonusPerLife{
    "bonus_per_life", K::Integer, "0", "a cleared level's bonus for each ball in reserve", 0, 1000000};
inline constexpr Setting kBonusPar{
    "bonus_par", K::Float, "0", "seconds a level may take before its time bonus is gone", 0, 3600};
inline constexpr Setting kBonusPerSecond{
    "bonus_per_second", K::Integer, "0", "a cleared level's bonus for each whole second under par", 0, 1000000};
inline constexpr Setting kAllClearedWaits{
    "all_cleared_waits", K::FlagOff, "false", "the end of a lap waits for a click or a key"};
// Fixed steps: the same inputs play the same game at any frame rate. Past 1000 a step is shorter
// than the frame's clock can tell.
inline constexpr Setting kStepRate{
    "step_rate", K::Integer, "0", "above 0, fixed steps a second the game moves in; 0: one update a frame", 0, 1000};

// "game_area": where the paddle travels, blocks are placed from and balls are lost below.
inline constexpr double kFarthest = 100000.0;
inline constexpr Setting kAreaX{"x", K::Float, "32", "left edge, window pixels", -kFarthest, kFarthest};
inline constexpr Setting kAreaY{"y", K::Float, "32", "top edge, window pixels", -kFarthest, kFarthest};
inline constexpr Setting kAreaWidth{"width", K::Float, "736", "width, pixels", 1, kFarthest};
inline constexpr Setting kAreaHeight{"height", K::Float, "568", "height; a ball below it is lost", 1, kFarthest};

// A colour by its channels, each 0 to 1 ("block_colours" and the ball's "colour" children).
inline constexpr Setting kRed{"r", K::Float, "1", "red channel", 0, 1};
inline constexpr Setting kGreen{"g", K::Float, "1", "green channel", 0, 1};
inline constexpr Setting kBlue{"b", K::Float, "1", "blue channel", 0, 1};
inline constexpr Setting kAlpha{"a", K::Float, "1", "alpha channel", 0, 1};

// "block_sounds": the effects of the special blocks.
inline constexpr Setting kUnbreakableSound{"unbreakable", K::Text, "none", "effect of a hit on an `unbreakable` block"};
inline constexpr Setting kExplosiveSound{"explosive", K::Text, "none", "effect of an `explosive` block breaking"};

// "debris": shards a breaking block throws. Every shard is an entity for its lifetime, so both
// are bounded: a few hundred shards a second is already more than a player can follow.
inline constexpr Setting kDebrisSprite{"sprite", K::SpriteId, "none", "the shards' picture; without it no debris"};
inline constexpr Setting kDebrisCount{"count", K::Integer, "0", "shards a breaking block throws", 0, 64};
inline constexpr Setting kDebrisSpeed{"speed", K::Float, "160", "a shard's top speed, pixels per second", 0, 10000};
inline constexpr Setting kDebrisLifetime{"lifetime", K::Float, "0.7", "seconds a shard lives, fading", 0.01, 10};
inline constexpr Setting kDebrisGravity{"gravity", K::Float, "600", "downward pull on the shards", -100000, 100000};

// The root element of a level file: factors on the scene's speeds and width, and its own chance.
// A speed or width of 0 would freeze the ball or lose the paddle; past ten times the scene's,
// neither is playable.
inline constexpr Setting kBallSpeed{"ball_speed", K::Float, "1", "factor on every speed of the balls", 0.05, 10};
inline constexpr Setting kPaddleWidth{"paddle_width", K::Float, "1", "factor on the paddle's width", 0.05, 10};
inline constexpr Setting kCapsuleChance{
    "capsule_chance", K::Float, "the `power_ups` `chance`", "chance a broken block releases a capsule", 0, 1};
} // namespace gamesettings

// The debris a breaking block throws ("debris" of the scene): none unless the data asks.
struct DebrisSettings {
    std::string sprite;
    int count = 0;
    float speed = 160.0f;
    float lifetime = 0.7f;
    float gravity = 600.0f;
};

// The effects blocks play ("block_sounds"): a hit's by the block's health before it (the first for
// health 1, the second for 2...; without a list, "yellow.wav", "orange.wav" and "red.wav"), and the
// special blocks' own.
struct BlockSounds {
    std::vector<std::string> byHealth{"yellow.wav", "orange.wav", "red.wav"};
    std::string unbreakable;
    std::string explosive;
    // The effect of a hit at `health`; null for a health without one (or an empty id).
    const std::string* hit(int health) const;
};

// The scene's own settings, with the defaults of a scene that names none.
struct GameSettings {
    // Lives, delays and the lap's speed-up: the match's own.
    MatchSettings match;
    bool keepBestScore = false;
    // Fixed steps a second ("step_rate"); 0: the scene moves by each frame's time.
    int stepRate = 0;
    Rect gameArea{32.0f, 32.0f, 736.0f, 568.0f};
    // Health 1 yellow, 2 orange, 3 red, unless "block_colours" names its own.
    std::vector<Colour> blockColours{{1.0f, 1.0f, 0.0f, 1.0f}, {1.0f, 0.5f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f, 1.0f}};
    DebrisSettings debris;
    BlockSounds blockSounds;
    // Off unless the scene has a "gamepad" element.
    GamepadSettings gamepad;
};

// Reads the scene element's attributes and its "game_area", "block_colours", "debris" and
// "gamepad" children. A setting out of its range throws SceneException with `source`, or with
// `diagnostics` is reported there and keeps its default.
void readGameSettings(const TiXmlElement* element, GameSettings& settings, const char* source,
                      LoadDiagnostics* diagnostics);
// The "block_sounds" child: every id must be in `sounds` (when there is one): one that is not
// throws SoundException, or with `diagnostics` is reported there and plays nothing.
void readBlockSounds(const TiXmlElement* element, BlockSounds& blockSounds, const SoundManager* sounds,
                     const char* source, LoadDiagnostics* diagnostics);
// The same for a level file's root element; the messages begin "Level file PATH: ".
void readLevelSettings(const TiXmlElement* root, LevelSettings& settings, const std::string& path, const char* source,
                       LoadDiagnostics* diagnostics);
// A colour's "r", "g", "b" and "a" attributes, each 1 when absent; `Error` as SettingReader's.
template <class Error>
Colour readChannels(const TiXmlElement* element, const char* source, LoadDiagnostics* diagnostics) {
    using namespace gamesettings;
    Colour colour; // every channel defaults to 1.0
    SettingReader<Error>(element, source, diagnostics)(kRed, colour.red)(kGreen, colour.green)(kBlue, colour.blue)(
        kAlpha, colour.alpha);
    return colour;
}
