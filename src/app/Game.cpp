// The Game: GL set-up, start-up error reporting and orderly destruction.
#include "app/Game.h"

#include <GL/glew.h>
#include <SDL.h>
#include <cstdio>
#include <tinyxml.h>

#include "app/DebugLog.h"
#include "app/Exceptions.h"
#include "app/StartupMessages.h"
#include "app/SystemKeys.h"
#include "game/PellvaneGameScene.h"
#include "graphics/SpriteBatchRegistry.h"
#include "graphics/SpriteManager.h"
#include "graphics/TextureCache.h"
#include "scene/BaseScene.h"
#include "scene/IScene.h"
#include "scene/TypeNames.h"
#include "scene/XmlAttributes.h"
#include "sound/SoundManager.h"

Game* Game::instance = nullptr;

namespace {
// The track started once start-up has succeeded.
const char* const kMusicId = "music.ogg";
// The one configuration file, read from the working directory.
const char* const kConfigFile = "config.xml";
} // namespace

Game* Game::getInstance() {
    if (instance == nullptr)
        instance = new Game();
    return instance;
}

void Game::destroyInstance() {
    delete instance;
    instance = nullptr;
}

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
    if (instance == this)
        instance = nullptr;
}

void Game::init(uint32_t windowWidth, uint32_t windowHeight) {
    width = windowWidth;
    height = windowHeight;
    initGL();
    configure();
    if (quitRequested)
        return;
    systemKeys = std::make_unique<SystemKeys>(*this);
    if (startFullScreen)
        toggleFullScreen();
}

void Game::initGL() {
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

IScene* Game::createScene(const std::string& type) {
    if (type == BASE_SCENE_TYPE)
        return new BaseScene();
    if (type == PELLVANE_GAME_TYPE)
        return new PellvaneGameScene();
    return nullptr;
}

void Game::configure() {
    TiXmlDocument document;
    if (!xml::loadDocument(document, kConfigFile)) {
        failStartup(startup::kConfigFailedToLoad);
        return;
    }
    try {
        configureFrom(document.FirstChildElement("config"));
    } catch (const BaseException& error) {
        failStartup(error.message);
        return;
    }
    if (quitRequested)
        return;
    // The document is released before the music starts.
    document.Clear();
    try {
        sounds->playMusic(kMusicId);
    } catch (const BaseException& error) {
        failStartup(error.message);
    }
}

void Game::configureFrom(TiXmlElement* config) {
    if (config == nullptr) {
        failStartup(startup::kNoConfigElement);
        return;
    }
    int batchSize = kDefaultBatchSize;
    xml::readInt(config, "batchsize", batchSize);
    setSpriteBatches(new SpriteBatchRegistry(batchSize));
    xml::readInt(config, "max_fps", maxFps);
    if (maxFps < 0)
        throw BaseException("Invalid max_fps " + std::to_string(maxFps) + ": it must be 0 (no cap) or more!");
    xml::readBool(config, "fullscreen", startFullScreen);

    std::string directory;
    xml::readText(config, "textures", directory);
    setTextureCache(new TextureCache(directory));

    // Sprites load their textures through the cache, which is why the cache exists first.
    std::string spriteSet;
    if (xml::readText(config, "spriteset", spriteSet)) {
        setSpriteManager(new SpriteManager(spriteSet, *textures));
    } else if (TiXmlElement* firstSprite = config->FirstChildElement("sprite")) {
        setSpriteManager(new SpriteManager(TiXmlHandle(firstSprite), *textures));
    } else {
        failStartup(startup::kNoSprites);
        return;
    }

    std::string soundSet;
    if (!xml::readText(config, "soundset", soundSet)) {
        failStartup(startup::kNoSoundSet);
        return;
    }
    setSoundManager(new SoundManager(soundSet));

    TiXmlElement* sceneList = config->FirstChildElement("scenes");
    if (sceneList == nullptr) {
        failStartup(startup::kNoScenes);
        return;
    }
    std::string defaultId;
    const bool hasDefault = xml::readText(sceneList, "default", defaultId);
    for (TiXmlElement* element = sceneList->FirstChildElement(); element != nullptr;
         element = element->NextSiblingElement()) {
        IScene* scene = createScene(element->ValueStr());
        if (scene == nullptr)
            continue;
        // In the list before loading, so a scene whose load fails is destroyed with the Game.
        scenes.push_back(scene);
        scene->load(TiXmlHandle(element));
        if (hasDefault && scene->getId() == defaultId)
            currentScene = scene;
    }
    if (scenes.empty()) {
        failStartup(startup::kNoValidScenes);
        return;
    }
    if (currentScene == nullptr)
        currentScene = scenes.front();
}
