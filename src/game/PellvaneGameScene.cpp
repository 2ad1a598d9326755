// PellvaneGameScene: reading the scene and its level files, swapping levels in and out of the
// entity list, and the rules that move the game from state to state.
#include "game/PellvaneGameScene.h"

#include <algorithm>
#include <tinyxml.h>

#include "app/Exceptions.h"
#include "app/LoadObserver.h"
#include "events/Events.h"
#include "game/GameEvents.h"
#include "game/GameTypeNames.h"
#include "game/PellvaneBackgroundEFfectEntity.h"
#include "game/PellvaneBallEntity.h"
#include "game/PellvaneBlockEntity.h"
#include "game/PellvaneCounterEntities.h"
#include "game/PellvanePaddleEntity.h"
#include "game/StartNewGameButtonEntity.h"
#include "scene/IEntity.h"
#include "scene/XmlAttributes.h"

namespace {
const char* const kSource = "pellvane_game";

// Block colours when the scene names none: health 1 yellow, 2 orange, 3 red.
const Colour kYellow{1.0f, 1.0f, 0.0f, 1.0f};
const Colour kOrange{1.0f, 0.5f, 0.0f, 1.0f};
const Colour kRed{1.0f, 0.0f, 0.0f, 1.0f};

bool contains(const std::vector<IEntity*>& list, IEntity* entity) {
    return std::find(list.begin(), list.end(), entity) != list.end();
}
} // namespace

PellvaneGameScene* gameSceneOf(IScene* scene, const char* source) {
    auto* game = dynamic_cast<PellvaneGameScene*>(scene);
    if (game == nullptr)
        throw EntityException(source, "Entity is not in a pellvane_game scene!");
    return game;
}

PellvaneGameScene::PellvaneGameScene() : blockColours{kYellow, kOrange, kRed} {}

PellvaneGameScene::~PellvaneGameScene() {
    for (std::vector<IEntity*>& level : levels) {
        for (IEntity* entity : level) {
            if (!contains(entities, entity))
                delete entity;
        }
    }
    levels.clear();
}

void PellvaneGameScene::removeEntityNow(IEntity* entity, bool destroy) {
    // A level keeps its entities for the next time it is played; one that is destroyed must not
    // stay behind in its level as a dangling pointer.
    if (destroy && contains(entities, entity)) {
        for (std::vector<IEntity*>& level : levels)
            level.erase(std::remove(level.begin(), level.end(), entity), level.end());
    }
    BaseScene::removeEntityNow(entity, destroy);
}

void PellvaneGameScene::load(const TiXmlHandle& handle) {
    const TiXmlElement* element = handle.ToElement();
    if (element == nullptr)
        throw SceneException(kSource, "Invalid element!");
    readSettings(element);
    readLevelList(element);
    BaseScene::load(handle);
    state = Initiated;
    levelsCompleted = 0;
    currentLevel = 0;
    loadLevel(0, true);
    raise(PELLVANE_INITIATED);
}

void PellvaneGameScene::readSettings(const TiXmlElement* element) {
    xml::readInt(element, "lives", initialLives);
    lives = initialLives;
    xml::readFloat(element, "loaded_delay", loadedDelay);

    if (const TiXmlElement* area = element->FirstChildElement("game_area")) {
        xml::readFloat(area, "x", gameArea.x);
        xml::readFloat(area, "y", gameArea.y);
        xml::readFloat(area, "width", gameArea.width);
        xml::readFloat(area, "height", gameArea.height);
    }

    std::vector<Colour> colours;
    if (const TiXmlElement* list = element->FirstChildElement("block_colours")) {
        for (const TiXmlElement* child = list->FirstChildElement("colour"); child != nullptr;
             child = child->NextSiblingElement("colour")) {
            Colour colour; // every channel defaults to 1.0
            xml::readFloat(child, "r", colour.red);
            xml::readFloat(child, "g", colour.green);
            xml::readFloat(child, "b", colour.blue);
            xml::readFloat(child, "a", colour.alpha);
            colours.push_back(colour);
        }
    }
    blockColours = colours.empty() ? std::vector<Colour>{kYellow, kOrange, kRed} : colours;
}

void PellvaneGameScene::readLevelList(const TiXmlElement* element) {
    const TiXmlElement* list = element->FirstChildElement("levels");
    const TiXmlElement* first = list != nullptr ? list->FirstChildElement("level") : nullptr;
    if (first == nullptr)
        throw SceneException(kSource, "No levels defined!");
    std::string directory;
    const bool hasDirectory = xml::readText(list, "directory", directory);
    for (const TiXmlElement* level = first; level != nullptr; level = level->NextSiblingElement("level")) {
        const std::size_t before = levels.size();
        try {
            // The file name is the element's text; without one there is nothing to open.
            std::string name;
            if (!xml::readElementText(level, name))
                throw SceneException(kSource, "Level element has no file name!");
            loadLevelFile(hasDirectory ? directory + "/" + name : name);
        } catch (const BaseException& error) {
            if (!reportLoadError(loadObserver, level, error))
                throw;
            // An empty stand-in keeps the numbering of the levels that follow.
            if (levels.size() == before)
                levels.emplace_back();
        }
    }
}

void PellvaneGameScene::loadLevelFile(const std::string& path) {
    TiXmlDocument document;
    if (!xml::loadDocument(document, path))
        throw SceneException(kSource, "Level file failed to load: " + path);
    TiXmlElement* root = document.FirstChildElement("level");
    if (root == nullptr || root->FirstChild() == nullptr)
        throw SceneException(kSource, "Level file had no root level element" + path);
    // The level joins the list before its entities load, so a failure part-way leaves every
    // entity made so far owned by the scene, which the Game destroys.
    levels.emplace_back();
    for (TiXmlElement* child = root->FirstChildElement(); child != nullptr; child = child->NextSiblingElement()) {
        IEntity* entity = createEntity(child->ValueStr());
        if (entity == nullptr)
            continue;
        try {
            entity->load(TiXmlHandle(child), this);
        } catch (const BaseException& error) {
            delete entity;
            if (!reportLoadError(loadObserver, child, error))
                throw;
            continue;
        } catch (...) {
            delete entity;
            throw;
        }
        if (loadObserver != nullptr)
            loadObserver->loaded(child, entity);
        levels.back().push_back(entity);
    }
}

void PellvaneGameScene::loadLevel(unsigned index, bool reset) {
    if (index >= levels.size())
        throw SceneException(kSource, "Level attmpted to be loaded is out of range!");
    if (!reset && index == currentLevel) {
        for (IEntity* entity : levels[index])
            entity->reset();
        return;
    }
    if (!reset) {
        // Out of the list, not destroyed: the level is played again later.
        for (IEntity* entity : levels[currentLevel]) {
            auto found = std::find(entities.begin(), entities.end(), entity);
            if (found != entities.end())
                entities.erase(found);
        }
    }
    currentLevel = index;
    for (IEntity* entity : levels[index]) {
        entity->reset();
        addEntity(entity);
    }
}

bool PellvaneGameScene::isLevelCleared() const {
    for (IEntity* entity : levels[currentLevel]) {
        if (entity->isActive())
            return false;
    }
    return true;
}

void PellvaneGameScene::update(float dt) {
    BaseScene::update(dt);
    switch (state) {
    case LevelLoaded:
        stateTimer += dt;
        if (stateTimer > loadedDelay) {
            inputEnabled = true;
            state = Playing;
            raise(PELLVANE_NEW_LEVEL_STARTED);
        }
        break;
    case Playing:
        if (isLevelCleared()) {
            ++levelsCompleted;
            loadLevel(static_cast<unsigned>((currentLevel + 1) % levels.size()), false);
            raise(PELLVANE_NEW_LEVEL_LOADED);
            ++lives; // one extra ball for every cleared level
            stateTimer = 0.0f;
            state = LevelLoaded;
        }
        break;
    case Initiated:
    case GameOver:
        break;
    }
}

void PellvaneGameScene::newGame() {
    newGameAt(0);
}

void PellvaneGameScene::newGameAt(unsigned index) {
    if (index >= levels.size())
        throw SceneException(kSource, "Level attmpted to be loaded is out of range!");
    score = 0;
    levelsCompleted = static_cast<int>(index);
    lives = initialLives;
    raise(PELLVANE_GAME_STARTED);
    loadLevel(index, false);
    raise(PELLVANE_NEW_LEVEL_LOADED);
    stateTimer = 0.0f;
    state = LevelLoaded;
}

void PellvaneGameScene::ballLost() {
    // Nobody takes the ball back after game over, so it reports its loss every frame until the
    // next game; counting those would run the lives down without end.
    if (state == GameOver)
        return;
    --lives;
    if (lives >= 0) {
        raise(PELLVANE_BALL_LOST);
        return;
    }
    raise(PELLVANE_GAME_OVER);
    state = GameOver;
    inputEnabled = false;
}

IEntity* PellvaneGameScene::createEntity(const std::string& type) {
    if (IEntity* entity = BaseScene::createEntity(type))
        return entity;
    if (type == PADDLE_ENTITY_TYPE)
        return new PellvanePaddleEntity();
    if (type == BALL_ENTITY_TYPE)
        return new PellvaneBallEntity();
    if (type == BLOCK_ENTITY_TYPE)
        return new PellvaneBlockEntity();
    if (type == NEW_GAME_BUTTON_ENTITY_TYPE)
        return new StartNewGameButtonEntity();
    if (type == SCORE_COUNTER_ENTITY_TYPE)
        return new PellvaneScoreCounterEntity();
    if (type == LEVEL_COUNTER_ENTITY_TYPE)
        return new PellvaneLevelCounterEntity();
    if (type == LIVES_COUNTER_ENTITY_TYPE)
        return new PellvaneLivesCounterEntity();
    if (type == BACKGROUND_EFFECT_ENTITY_TYPE)
        return new PellvaneBackgroundEFfectEntity();
    return nullptr;
}

void PellvaneGameScene::raise(const std::string& name) {
    dispatchEvent(new PellvaneEvent(name));
}
