// GameWorld: the managers and scenes of one start-up, and their orderly destruction.
#include "game/GameWorld.h"

#include <stdexcept>
#include <tinyxml.h>

#include "base/DebugLog.h"
#include "base/Exceptions.h"
#include "base/XmlAttributes.h"
#include "game/Configuration.h"
#include "game/GameTypes.h"
#include "graphics/SpriteBatchRegistry.h"
#include "graphics/SpriteManager.h"
#include "graphics/TextureCache.h"
#include "scene/IScene.h"
#include "sound/SoundManager.h"

GameWorld::GameWorld(PointerDisplay* pointer) {
    services.pointer = pointer;
    services.switcher = this;
    services.runTable = &runTable;
    registerSceneTypes(registry);
    registerGameTypes(registry, services);
}

GameWorld::~GameWorld() {
    // Scenes first: they dispatch SCENE_ENDED and their entities may still use the managers.
    scenes.clear();
    currentScene = nullptr;
    // Then the managers; a sprite never touches its texture when it is destroyed, so the order
    // among them does not matter.
    spriteBatches.reset();
    textures.reset();
    sprites.reset();
    sounds.reset();
}

void GameWorld::remakeScene(std::function<void(IScene&)> prepare) {
    pendingRemake = std::move(prepare);
}

void GameWorld::endRun(int status) {
    endStatus = status;
    quitRequested = true;
}

void GameWorld::settleScenes() {
    if (!pendingRemake || currentScene == nullptr)
        return;
    const std::function<void(IScene&)> prepare = std::move(pendingRemake);
    pendingRemake = nullptr;
    // The scene's element, read again from the data it was first made from.
    TiXmlDocument document;
    TiXmlElement* found = nullptr;
    if (xml::loadDocument(document, kConfigFile))
        if (TiXmlElement* config = document.FirstChildElement("config"))
            if (TiXmlElement* list = config->FirstChildElement("scenes"))
                for (TiXmlElement* element = list->FirstChildElement(); element != nullptr && found == nullptr;
                     element = element->NextSiblingElement()) {
                    const char* id = element->Attribute("id");
                    if (id != nullptr && currentScene->getId() == id)
                        found = element;
                }
    if (found == nullptr) {
        debugLog("pellvane: cannot make the scene \"%s\" again: %s no longer has it", currentScene->getId().c_str(),
                 kConfigFile);
        return;
    }
    services.playerFilesToldOf = true;
    std::unique_ptr<IScene> made(createScene(found->ValueStr()));
    if (made == nullptr)
        return;
    try {
        made->load(TiXmlHandle(found));
        prepare(*made);
    } catch (const BaseException& error) {
        debugLog("pellvane: cannot make the scene \"%s\" again: %s", currentScene->getId().c_str(),
                 error.message.c_str());
        return;
    }
    for (std::unique_ptr<IScene>& scene : scenes)
        if (scene.get() == currentScene) {
            // The old scene goes first: its entities let go of the shared managers' things.
            scene.reset();
            scene = std::move(made);
            currentScene = scene.get();
            return;
        }
}

void GameWorld::failStartup(const std::string& text) {
    if (!text.empty())
        reportFatal(text);
    quitRequested = true;
}

template <class T> void GameWorld::replaceManager(std::unique_ptr<T>& slot, std::unique_ptr<T> manager) {
    if (!scenes.empty())
        throw std::logic_error("a manager cannot be replaced once a scene holds it");
    slot = std::move(manager);
}

void GameWorld::setSpriteBatches(std::unique_ptr<SpriteBatchRegistry> registry) {
    replaceManager(spriteBatches, std::move(registry));
}
void GameWorld::setTextureCache(std::unique_ptr<TextureCache> cache) {
    replaceManager(textures, std::move(cache));
}
void GameWorld::setSpriteManager(std::unique_ptr<SpriteManager> manager) {
    replaceManager(sprites, std::move(manager));
}
void GameWorld::setSoundManager(std::unique_ptr<SoundManager> manager) {
    replaceManager(sounds, std::move(manager));
    services.sounds = sounds.get();
}

SceneContext GameWorld::sceneContext() {
    return SceneContext{sprites.get(), spriteBatches.get(), this, &registry, width, height};
}

GameServices GameWorld::gameServices() {
    return services;
}

IScene* GameWorld::createScene(const std::string& type) {
    return registry.createScene(type, sceneContext());
}

void GameWorld::adoptScene(std::unique_ptr<IScene> scene) {
    scenes.push_back(std::move(scene));
}

std::vector<IScene*> GameWorld::getScenes() const {
    std::vector<IScene*> list;
    for (const std::unique_ptr<IScene>& scene : scenes)
        list.push_back(scene.get());
    return list;
}
