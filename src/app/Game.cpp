// The Game: GL set-up, start-up error reporting and orderly destruction.
#include "app/Game.h"

#include <GL/glew.h>
#include <cstdio>
#include <tinyxml.h>

#include "app/DebugLog.h"
#include "app/Exceptions.h"
#include "graphics/SpriteBatchRegistry.h"
#include "graphics/SpriteManager.h"
#include "graphics/TextureCache.h"
#include "scene/IScene.h"
#include "sound/SoundManager.h"

Game* Game::instance = nullptr;

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
    if (instance == this)
        instance = nullptr;
}

void Game::init(uint32_t windowWidth, uint32_t windowHeight) {
    width = windowWidth;
    height = windowHeight;
    initGL();
    configure();
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

void Game::failStartup(const std::string& text) {
    if (!text.empty()) {
        std::fputs(text.c_str(), stdout);
        std::fflush(stdout);
        debugLog("%s", text.c_str());
    }
    quitRequested = true;
}

IScene* Game::createScene(const std::string& /*type*/) { return nullptr; }

void Game::configure() {
    TiXmlDocument document("config.xml");
    if (!document.LoadFile()) {
        failStartup("Failed to load config file.");
        return;
    }
}
