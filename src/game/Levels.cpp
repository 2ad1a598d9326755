// Levels: reading the level files, and swapping a level's entities in and out of the scene's list.
#include "game/Levels.h"

#include <algorithm>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/XmlAttributes.h"
#include "game/Configuration.h"
#include "game/GameSettings.h"
#include "game/PellvaneBlockEntity.h"
#include "sound/SoundManager.h"

namespace {
// The track each level of the list plays, from the "music" of their elements (Levels::music).
// An unknown track is reported where it is named.
std::vector<std::string> readTracks(const TiXmlElement* list, const SoundManager* sounds, LoadObserver* observer) {
    std::vector<std::string> tracks;
    std::string track;
    bool named = false;
    for (const TiXmlElement* level = list->FirstChildElement("level"); level != nullptr;
         level = level->NextSiblingElement("level")) {
        std::string id;
        if (xml::readText(level, levellistsettings::kMusic.name, id)) {
            try {
                if (sounds != nullptr && !sounds->hasMusic(id))
                    throw SoundException(id, "No music with that ID to play!");
                track = id;
                named = true;
            } catch (const BaseException& error) {
                if (!reportLoadError(observer, level, error))
                    throw;
            }
        }
        tracks.push_back(track);
    }
    if (!named)
        return std::vector<std::string>(tracks.size());
    // Before the first level that names a track, the one started with the game plays.
    for (std::string& each : tracks) {
        if (!each.empty())
            break;
        each = kMusicId;
    }
    return tracks;
}
} // namespace

void Levels::read(const TiXmlElement* sceneElement, const char* source, const SoundManager* sounds) {
    const TiXmlElement* list = sceneElement->FirstChildElement("levels");
    const TiXmlElement* first = list != nullptr ? list->FirstChildElement("level") : nullptr;
    if (first == nullptr)
        throw SceneException(source, "No levels defined!");
    std::string directory;
    const bool hasDirectory = xml::readText(list, "directory", directory);
    for (const TiXmlElement* level = first; level != nullptr; level = level->NextSiblingElement("level")) {
        const std::size_t before = levels.size();
        try {
            // The file name is the element's text; without one there is nothing to open.
            std::string name;
            if (!xml::readElementText(level, name))
                throw SceneException(source, "Level element has no file name!");
            fileNames.push_back(hasDirectory ? directory + "/" + name : name);
            loadFile(fileNames.back(), source);
        } catch (const BaseException& error) {
            if (!reportLoadError(scene.getLoadObserver(), level, error))
                throw;
            // An empty stand-in keeps the numbering of the levels that follow.
            if (levels.size() == before)
                levels.emplace_back();
            levelSettings.resize(levels.size());
        }
    }
    tracks = readTracks(list, sounds, scene.getLoadObserver());
}

void Levels::loadFile(const std::string& path, const char* source) {
    TiXmlDocument document;
    if (!xml::loadDocument(document, path))
        throw SceneException(source, "Level file failed to load: " + path);
    TiXmlElement* root = document.FirstChildElement("level");
    if (root == nullptr || root->FirstChild() == nullptr)
        throw SceneException(source, "Level file had no root level element" + path);
    // The level joins the list before its entities load, so a failure part-way leaves every
    // entity made so far owned by its level, which the scene destroys.
    levels.emplace_back();
    // With an observer a setting out of range is reported and the level's blocks still load, so
    // their own mistakes are found too.
    readLevelSettings(root, levelSettings.emplace_back(), path, source, scene.getLoadObserver());
    for (TiXmlElement* child = root->FirstChildElement(); child != nullptr; child = child->NextSiblingElement()) {
        if (std::unique_ptr<IEntity> entity = scene.loadEntity(child))
            levels.back().push_back(std::move(entity));
    }
}

void Levels::place(unsigned index) {
    current = index;
    for (const std::unique_ptr<IEntity>& entity : levels.at(index)) {
        entity->reset();
        scene.lendEntity(entity.get(), *this);
    }
}

void Levels::bring(unsigned index, const char* source) {
    if (index >= levels.size())
        throw SceneException(source, "Level attmpted to be loaded is out of range!");
    if (index == current) {
        for (const std::unique_ptr<IEntity>& entity : levels[index])
            entity->reset();
        return;
    }
    // Out of the list, not destroyed: the level is played again later.
    for (const std::unique_ptr<IEntity>& entity : levels[current])
        scene.endLoan(entity.get());
    place(index);
}

std::optional<std::size_t> Levels::levelOf(const IEntity* entity) const {
    for (std::size_t i = 0; i < levels.size(); ++i) {
        for (const std::unique_ptr<IEntity>& member : levels[i])
            if (member.get() == entity)
                return i;
    }
    return std::nullopt;
}

bool Levels::isCleared() const {
    for (const std::unique_ptr<IEntity>& entity : levels.at(current)) {
        // An unbreakable block stands for ever and never holds its level open.
        const auto* block = dynamic_cast<const PellvaneBlockEntity*>(entity.get());
        if (block != nullptr ? block->holdsLevelOpen() : entity->isActive())
            return false;
    }
    return true;
}

std::unique_ptr<IEntity> Levels::reclaim(IEntity* entity) {
    // A level keeps its entities for the next time it is played, except one destroyed in play.
    for (OwnedEntities& level : levels) {
        auto found = std::find_if(level.begin(), level.end(), [entity](const auto& e) { return e.get() == entity; });
        if (found != level.end()) {
            std::unique_ptr<IEntity> held = std::move(*found);
            level.erase(found);
            return held;
        }
    }
    return nullptr;
}
