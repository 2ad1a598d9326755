// The levels of a game scene: each level file read once at load, its entities owned for the
// scene's whole life and lent to the scene's list while that level is played, and what its root
// element sets for it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/Setting.h"
#include "rules/Match.h"
#include "scene/BaseScene.h"

class SoundManager;
class TiXmlElement;

// Attributes of a "level" element of the "levels" list (its text is the file name).
namespace levellistsettings {
inline constexpr Setting kMusic{"music", ValueKind::Text, "the level before's (the first's: `music.ogg`)",
                                "the track played from this level on, as the sound set names it"};
} // namespace levellistsettings

// Lends to `scene`, which outlives every loan: the scene ends its list while the levels can still
// take their entities back (its destructor does so first).
class Levels final : public IEntityLender {
public:
    explicit Levels(BaseScene& scene) : scene(scene) {}
    Levels(const Levels&) = delete;
    Levels& operator=(const Levels&) = delete;

    // Reads the "levels" list of the scene element: each named file's root settings and entities,
    // and the tracks. Throws SceneException with `source` ("No levels defined!", "Level element
    // has no file name!", "Level file failed to load: PATH", ...), and SoundException for a track
    // `sounds` lacks (none is checked without `sounds`); with the scene's load observer each failed
    // file is reported and stands as an empty level, so the numbering of the others holds.
    void read(const TiXmlElement* sceneElement, const char* source, const SoundManager* sounds);

    std::size_t count() const { return levels.size(); }
    std::vector<IEntity*> entities(std::size_t index) const { return pointersOf(levels.at(index)); }
    const std::vector<LevelSettings>& settings() const { return levelSettings; }
    // The level files named, in order, read or not: what a game's data fingerprint covers.
    const std::vector<std::string>& files() const { return fileNames; }
    // The track level `index` plays: the one its list element names, or else the one of the level
    // before it, and the start-up track before the first that names one. "" when no level names a
    // track: the music is then left as it is.
    const std::string& music(std::size_t index) const { return tracks.at(index); }

    // Puts level `index` into the scene's list the first time, when no level is there yet.
    void place(unsigned index);
    // Brings level `index` into play: the level in play leaves the list (it is played again later,
    // never destroyed) and `index` comes in reset; the same level again is only reset. Throws
    // SceneException with `source` for an index out of range.
    void bring(unsigned index, const char* source);
    unsigned inPlay() const { return current; }
    // The level that owns `entity`, if a level does.
    std::optional<std::size_t> levelOf(const IEntity* entity) const;
    // No entity of the level in play holds it open (a standing block that can break, or any other
    // active entity).
    bool isCleared() const;

private:
    // A level entity destroyed in play is handed back to its level, which lets it go.
    std::unique_ptr<IEntity> reclaim(IEntity* entity) override;
    void loadFile(const std::string& path, const char* source);

    BaseScene& scene;
    std::vector<OwnedEntities> levels;
    std::vector<LevelSettings> levelSettings;
    std::vector<std::string> fileNames;
    std::vector<std::string> tracks;
    unsigned current = 0;
};
