// The Game: GL set-up, start-up error reporting and orderly destruction.
#include "app/Game.h"

#include <GL/glew.h>
#include <SDL.h>
#include <cstdio>
#include <tinyxml.h>

#include "app/Configuration.h"
#include "base/DebugLog.h"
#include "app/SystemKeys.h"
#include "game/GameTypes.h"
#include "game/PellvaneGameScene.h"
#include "graphics/SpriteBatchRegistry.h"
#include "graphics/SpriteManager.h"
#include "graphics/TextureCache.h"
#include "scene/BaseScene.h"
#include "scene/IScene.h"
#include "scene/TypeNames.h"
#include "sound/SoundManager.h"

Game::~Game() {
    // Scenes first: they dispatch SCENE_ENDED and their entities may still use the managers.
    for (IScene* scene : scenes)
        delete scene;
    scenes.clear();
    currentScene = nullptr;
    delete spriteBatches;
    spriteBatches = nullptr;
    delete textures;
    textures = nullptr;
    delete sprites;
    sprites = nullptr;
    delete sounds;
    sounds = nullptr;
    // The next Game starts believing the pointer is shown; make it true.
    setCursorVisible(true);
}

void Game::init(uint32_t windowWidth, uint32_t windowHeight) {
    width = windowWidth;
    height = windowHeight;
    initGL();
    {
        // The document lives for the step only.
        TiXmlDocument document;
        configureGame(*this, document);
    }
    if (quitRequested)
        return;
    systemKeys = std::make_unique<SystemKeys>(*this);
    if (startFullScreen)
        toggleFullScreen();
}

void Game::initGL() {
    initGlState(width, height);
}

void initGlState(uint32_t width, uint32_t height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // One unit is one window pixel, origin top-left, y down.
    glOrtho(0, width, height, 0, -10, 100);
    glMatrixMode(GL_MODELVIEW);
    glClearDepth(1.0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.1f);
    glEnable(GL_ALPHA_TEST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
}

void Game::setCursorVisible(bool visible) {
    if (visible == cursorVisible)
        return;
    cursorVisible = visible;
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void Game::failStartup(const std::string& text) {
    if (!text.empty()) {
        std::fputs(text.c_str(), stdout);
        std::fflush(stdout);
        debugLog("%s", text.c_str());
    }
    quitRequested = true;
}

namespace {
// Replaces an owned manager, destroying the previous one.
template <class T> void replaceOwned(T*& slot, T* value) {
    if (value != slot)
        delete slot;
    slot = value;
}
} // namespace

void Game::setSpriteBatches(SpriteBatchRegistry* registry) {
    replaceOwned(spriteBatches, registry);
}
void Game::setTextureCache(TextureCache* cache) {
    replaceOwned(textures, cache);
}
void Game::setSpriteManager(SpriteManager* manager) {
    replaceOwned(sprites, manager);
}
void Game::setSoundManager(SoundManager* manager) {
    replaceOwned(sounds, manager);
}

Game::Game() {
    registerSceneTypes(registry);
    registerGameTypes(registry, services);
}

SceneContext Game::sceneContext() {
    return SceneContext{sprites, spriteBatches, this, &registry, width, height};
}

GameServices Game::gameServices() {
    services = GameServices{sounds, this};
    return services;
}

IScene* Game::createScene(const std::string& type) {
    gameServices();
    return registry.createScene(type, sceneContext());
}

void Game::adoptScene(IScene* scene) {
    scenes.push_back(scene);
}
