// The Game: GL set-up, the configuration step in a window, and the pointer.
#include "app/Game.h"

#include <GL/glew.h>
#include <SDL.h>
#include <tinyxml.h>

#include "app/ScreenMode.h"
#include "app/SystemKeys.h"
#include "game/Configuration.h"
#include "graphics/SpriteBatch.h"

Game::Game() : GameWorld(this) {}

Game::~Game() {
    // The keys answer on the world's dispatcher; they go before it.
    systemKeys.reset();
    // The next Game starts believing the pointer is shown; make it true.
    setCursorVisible(true);
}

void Game::init(uint32_t windowWidth, uint32_t windowHeight) {
    width = windowWidth;
    height = windowHeight;
    initGL();
    screenMode = std::make_unique<ScreenMode>(static_cast<int>(width), static_cast<int>(height));
    {
        // The document lives for the step only.
        TiXmlDocument document;
        configureGame(*this, document);
    }
    if (quitRequested)
        return;
    systemKeys = std::make_unique<SystemKeys>(*this);
    if (startFullScreen && !windowOnly)
        screenMode->toggle();
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
    glAlphaFunc(GL_GREATER, kAlphaTestReference);
    glEnable(GL_ALPHA_TEST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
}

void Game::setCursorVisible(bool visible) {
    if (visible == cursorVisible)
        return;
    cursorVisible = visible;
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}
