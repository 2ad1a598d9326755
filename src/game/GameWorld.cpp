// GameWorld: the managers and scenes of one start-up, and their orderly destruction.
#include "game/GameWorld.h"

#include <cstdio>

#include "base/DebugLog.h"
#include "game/GameTypes.h"
#include "graphics/SpriteBatchRegistry.h"
#include "graphics/SpriteManager.h"
#include "graphics/TextureCache.h"
#include "scene/IScene.h"
#include "sound/SoundManager.h"

GameWorld::GameWorld(PointerDisplay* pointer) : pointer(pointer), services{nullptr, pointer} {
    registerSceneTypes(registry);
    registerGameTypes(registry, services);
}

GameWorld::~GameWorld() {
    // Scenes first: they dispatch SCENE_ENDED and their entities may still use the managers.
    for (IScene* scene : scenes)
        delete scene;
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
    if (!text.empty()) {
        std::fputs(text.c_str(), stdout);
        std::fflush(stdout);
        debugLog("%s", text.c_str());
    }
    quitRequested = true;
}

namespace {
// Takes ownership of a manager; handing back the one already held changes nothing.
template <class T> void adopt(std::unique_ptr<T>& slot, T* value) {
    if (value != slot.get())
        slot.reset(value);
}
} // namespace

void GameWorld::setSpriteBatches(SpriteBatchRegistry* registry) {
    adopt(spriteBatches, registry);
}
void GameWorld::setTextureCache(TextureCache* cache) {
    adopt(textures, cache);
}
void GameWorld::setSpriteManager(SpriteManager* manager) {
    adopt(sprites, manager);
}
void GameWorld::setSoundManager(SoundManager* manager) {
    adopt(sounds, manager);
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

void GameWorld::adoptScene(IScene* scene) {
    scenes.push_back(scene);
}
