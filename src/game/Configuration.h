// The configuration step of start-up, written once: config.xml's settings and units read in the
// game's order. The game runs it and stops at the first failure; the data checker runs the very
// same step with an observer, which is told of each failure and lets the step go on.
#pragma once

#include <string>

#include "base/Setting.h"
#include "graphics/SpriteBatchRegistry.h"
#include "scene/LoadObserver.h"

class GameWorld;
class IScene;
class TiXmlDocument;
class TiXmlElement;

// Attributes of the "config" element. The batch size's limit is the sprite batch's own; a
// negative frame cap is refused with a message of its own.
namespace configsettings {
using K = ValueKind;
inline constexpr Setting kBatchSize{"batchsize", K::Integer, "200", "quads per sprite batch", 1, kMaxQuadsPerDraw};
inline constexpr Setting kTextures{"textures", K::Text, "none", "the directory texture names are relative to"};
inline constexpr Setting kSpriteSet{"spriteset", K::Text, "none", "sprite set file; without it the `sprite` children"};
inline constexpr Setting kSoundSet{"soundset", K::Text, "required", "sound set file"};
inline constexpr Setting kMaxFps{
    "max_fps", K::Integer, "the display's refresh rate", "at most this many frames a second; 0: no cap", 0, kUnbounded};
inline constexpr Setting kFullScreen{"fullscreen", K::FlagOff, "false", "`true`: starts in full screen"};
} // namespace configsettings

// The one configuration file, read from the working directory.
constexpr const char* kConfigFile = "config.xml";
// The track started once everything else is configured.
constexpr const char* kMusicId = "music.ogg";

// The units of the step, in the order it runs them. A failure names the unit it happened in.
enum class ConfigUnit {
    File,      // config.xml itself
    Element,   // its <config> element
    BatchSize, // "batchsize": the sprite batches
    MaxFps,    // "max_fps"
    SpriteSet, // "spriteset", or the inline <sprite> elements: the sprite manager
    SoundSet,  // "soundset": the sound manager
    SceneList, // <scenes> and the scenes made from it as a whole
    Scene,     // the load of one scene
    Music,     // starting the track kMusicId
};

// Follows the step unit by unit: the data checker. It is the loaders' observer too (LoadObserver.h):
// inside the sprite set, the sound set and every scene, each sprite, sound, entity or level file
// that fails is handed to it and left out. Elements handed over live only during the call.
// Having an observer is what makes the step go on past a failure; each operation does nothing
// by default, so an observer overrides only what it follows.
class ConfigurationObserver : public LoadObserver {
public:
    // `unit` failed with `message`, the text the game stops with. The place in config.xml that
    // causes it is `attribute` of `element`, or `element` as a whole when `attribute` is null;
    // `element` is null when there is no such place (the file, the music). The step goes on with
    // the next unit that does not need the failed one.
    virtual void unitFailed(ConfigUnit unit, const TiXmlElement* element, const char* attribute,
                            const std::string& message);
    // The step is about to read the data file `path`, which `attribute` of `element` names.
    virtual void fileNamed(ConfigUnit unit, const std::string& path, const TiXmlElement* element,
                           const char* attribute);
    // A scene element was read: `scene` is made but not yet loaded, or null when no scene type has
    // the element's name (the game skips it).
    virtual void sceneMade(const TiXmlElement* element, IScene* scene);
    // The load of `scene` has ended, whether or not it failed.
    virtual void sceneLoaded(const TiXmlElement* element, IScene* scene);
};

// Loads kConfigFile into `document` (the caller decides how long it lives) and configures `game`
// from it: the settings (batchsize, max_fps, fullscreen, textures), the sprite batches, the texture
// cache, the sprite set, the sound set, the scenes with the current scene, and then the music.
// Without an observer the first failure is reported through game.failStartup and ends the step.
// With one (the data checker, which has no GL context) textures are decoded and measured but never
// uploaded.
void configureGame(GameWorld& game, TiXmlDocument& document, ConfigurationObserver* observer = nullptr);
