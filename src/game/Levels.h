// The levels of a game scene: each level file read once at load, its entities owned for the
// scene's whole life and lent to the scene's list while that level is played, and what its root
// element sets for it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "rules/Match.h"
#include "scene/BaseScene.h"

class TiXmlElement;

// Lends to `scene`, which outlives every loan: the scene ends its list while the levels can still
// take their entities back (its destructor does so first).
class Levels final : public IEntityLender {
public:
    explicit Levels(BaseScene& scene) : scene(scene) {}
    Levels(const Levels&) = delete;
    Levels& operator=(const Levels&) = delete;

    // Reads the "levels" list of the scene element: each named file's root settings and entities.
    // Throws SceneException with `source` ("No levels defined!", "Level element has no file
    // name!", "Level file failed to load: PATH", ...); with the scene's load observer each failed
    // file is reported and stands as an empty level, so the numbering of the others holds.
    void read(const TiXmlElement* sceneElement, const char* source);

    std::size_t count() const { return levels.size(); }
    std::vector<IEntity*> entities(std::size_t index) const { return pointersOf(levels.at(index)); }
    const std::vector<LevelSettings>& settings() const { return levelSettings; }
    // The level files named, in order, read or not: what a game's data fingerprint covers.
    const std::vector<std::string>& files() const { return fileNames; }

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
    unsigned current = 0;
};
