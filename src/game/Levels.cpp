// Levels: reading the level files, and swapping a level's entities in and out of the scene's list.
#include "game/Levels.h"

#include <algorithm>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/XmlAttributes.h"
#include "game/GameSettings.h"
#include "game/PellvaneBlockEntity.h"

void Levels::read(const TiXmlElement* sceneElement, const char* source) {
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
