// The picture: fixed steps of simulated time, then one frame drawn and read back from GL.
#include "app/Screenshot.h"

#include <GL/glew.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "base/Exceptions.h"
#include "app/Game.h"
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
constexpr unsigned kChannels = 3;

void advance(IScene& scene, float seconds) {
    for (float t = 0.0f; t < seconds; t += kStep)
        scene.update(kStep);
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
        advance(*scene, kStartSeconds);
        if (options.level > 0) {
            auto* gameScene = dynamic_cast<PellvaneGameScene*>(scene);
            if (gameScene == nullptr) {
                std::fprintf(stderr, "--level: the scene that runs is not a pellvane_game scene\n");
                return 2;
            }
            if (options.level > gameScene->getLevelCount()) {
                std::fprintf(stderr, "--level %u: the game has %zu levels\n", options.level,
                             gameScene->getLevelCount());
                return 2;
            }
            gameScene->newGameAt(options.level - 1);
            advance(*scene, kLevelSeconds);
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
