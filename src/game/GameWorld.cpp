// GameWorld: the managers and scenes of one start-up, and their orderly destruction.
#include "game/GameWorld.h"

#include <stdexcept>

#include "base/DebugLog.h"
#include "game/GameTypes.h"
#include "graphics/SpriteBatchRegistry.h"
#include "graphics/SpriteManager.h"
#include "graphics/TextureCache.h"
#include "scene/IScene.h"
#include "sound/SoundManager.h"

GameWorld::GameWorld(PointerDisplay* pointer) : services{nullptr, pointer, std::nullopt} {
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
