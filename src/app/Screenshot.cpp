// The picture: fixed steps of simulated time, then one frame drawn and read back from GL.
#include "app/Screenshot.h"

#include <GL/glew.h>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/Game.h"
#include "base/Exceptions.h"
#include "events/Events.h"
#include "game/PellvaneBlockEntity.h"
#include "game/PellvaneGameScene.h"
#include "graphics/PngEncoder.h"
#include "scene/IScene.h"

namespace {
// Each picture starts from the same random sequence, so the background looks the same every time
// and the pictures change only when the data does.
constexpr unsigned kShotSeed = 1;
constexpr float kStep = 1.0f / 60.0f;
// The scene's first moments before the picture: the shipped title and button have faded in.
constexpr float kStartSeconds = 2.0f;
// From a new game at the level to its picture: the HUD has counted up, the "GET READY" message
// has come and gone and the level has started.
constexpr float kLevelSeconds = 2.0f;
// From the last block broken to the picture: the banner is up and its bonus has counted.
constexpr float kClearedSeconds = 1.0f;
constexpr unsigned kChannels = 3;
constexpr int32_t kKeyReturn = 13;
constexpr int32_t kKeySpace = 32;

void advance(IScene& scene, float seconds) {
    for (float t = 0.0f; t < seconds; t += kStep)
        scene.update(kStep);
}

// Every block that holds the level open takes hits, as from a ball, until it breaks.
void clearLevel(IScene& scene) {
    const std::vector<IEntity*> entities = scene.getEntities();
    for (IEntity* entity : entities)
        if (auto* block = dynamic_cast<PellvaneBlockEntity*>(entity))
            while (block->holdsLevelOpen() && block->takeHit()) {
            }
}

void typeKey(Game& game, int32_t key) {
    game.dispatchEvent(new KeyboardEvent(KEYBOARD_KEY_PRESSED_EVENT, key, true));
    game.dispatchEvent(new KeyboardEvent(KEYBOARD_KEY_RELEASED_EVENT, key, false));
}

// The game in play ends with `score` points: the ball is launched, then every ball in reserve is
// lost, as a player loses them. Then the initials are typed on the Game's input, as the frame loop hands over keys.
void endGame(Game& game, PellvaneGameScene& scene, int score, const std::string& initials, float after) {
    // The ball leaves the paddle first, as it has in any game that ends: its hint is gone.
    typeKey(game, kKeySpace);
    advance(scene, kStep);
    scene.addScore(score);
    while (scene.getState() != GameOver)
        scene.ballLost();
    advance(scene, initials.empty() && after >= 0.0f ? after : kLevelSeconds);
    if (initials.empty())
        return;
    for (char c : initials)
        typeKey(game, std::tolower(static_cast<unsigned char>(c)));
    typeKey(game, kKeyReturn);
    advance(scene, after >= 0.0f ? after : kLevelSeconds);
}

// The frame as the frame loop draws it, read back top row first.
std::vector<unsigned char> drawAndRead(Game& game, IScene& scene) {
    const Colour& clear = game.clearColour;
    glClearColor(clear.red, clear.green, clear.blue, clear.alpha);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    scene.render();
    glFinish();
    const std::size_t row = std::size_t{game.getWidth()} * kChannels;
    std::vector<unsigned char> bottomUp(row * game.getHeight());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, static_cast<GLsizei>(game.getWidth()), static_cast<GLsizei>(game.getHeight()), GL_RGB,
                 GL_UNSIGNED_BYTE, bottomUp.data());
    // GL's rows start at the bottom of the window.
    std::vector<unsigned char> topDown(bottomUp.size());
    for (uint32_t y = 0; y < game.getHeight(); ++y)
        std::copy_n(bottomUp.data() + row * (game.getHeight() - 1 - y), row, topDown.data() + row * y);
    return topDown;
}
} // namespace

int takeShot(Game& game, const ShotOptions& options) {
    IScene* scene = game.getCurrentScene();
    if (game.quitRequested || scene == nullptr)
        return 1;
    std::srand(kShotSeed);
    try {
        advance(*scene, options.startSeconds >= 0.0f ? options.startSeconds : kStartSeconds);
        const bool gameOver = options.gameOverScore >= 0;
        if (options.level > 0 || gameOver || options.clear) {
            auto* gameScene = dynamic_cast<PellvaneGameScene*>(scene);
            const char* option = options.level > 0 ? "--level" : gameOver ? "--game-over" : "--clear";
            if (gameScene == nullptr) {
                std::fprintf(stderr, "%s: the scene that runs is not a pellvane_game scene\n", option);
                return 2;
            }
            if (options.level > gameScene->getLevelCount()) {
                std::fprintf(stderr, "--level %u: the game has %zu levels\n", options.level,
                             gameScene->getLevelCount());
                return 2;
            }
            gameScene->newGameAt(options.level > 0 ? options.level - 1 : 0);
            const bool last = !gameOver && !options.clear;
            advance(*scene, last && options.afterSeconds >= 0.0f ? options.afterSeconds : kLevelSeconds);
            if (gameOver)
                endGame(game, *gameScene, static_cast<int>(options.gameOverScore), options.initials,
                        options.afterSeconds);
            if (options.clear) {
                // The ball is in flight when a level is cleared in play.
                typeKey(game, kKeySpace);
                advance(*scene, kStep);
                clearLevel(*scene);
                advance(*scene, options.afterSeconds >= 0.0f ? options.afterSeconds : kClearedSeconds);
            }
        }
        const std::vector<unsigned char> pixels = drawAndRead(game, *scene);
        if (!writeFile(options.file, encodePng(pixels.data(), game.getWidth(), game.getHeight(), kChannels))) {
            std::fprintf(stderr, "--shot: could not write %s\n", options.file.c_str());
            return 1;
        }
    } catch (const BaseException& error) {
        std::fprintf(stderr, "%s\n", error.message.c_str());
        return 1;
    }
    return 0;
}
