// Whole frames as a machine without a GPU draws them: the game's own frame loop (events, update,
// drawing, swap) followed by glFinish, timed in CPU time of the whole process, so the software
// rasteriser's threads count, and in wall time. Beside them, in the same run and the same window,
// the floor: clearing and swapping, and one opaque textured quad over the whole window. The cases
// take turns for several rounds and each reports its best round, since this machine is shared.
// The game's frames are timed twice: as fast as they come, and paced at 60 Hz as a player sees
// them, where a software rasteriser's threads wake to colder caches every frame.
// Run from data/ (as `run.sh bench` does) or pass the data directory as the first argument.
#include <GL/glew.h>
#include <SDL.h>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "BenchGame.h"
#include "app/FrameLoop.h"
#include "app/Game.h"
#include "events/Events.h"
#include "game/PellvaneBallEntity.h"
#include "game/PellvaneGameScene.h"
#include "game/PellvanePaddleEntity.h"
#include "graphics/SpriteBatch.h"
#include "graphics/Texture.h"
#include "graphics/TextureRegion.h"

namespace {

using bench::firstOf;
using bench::ShippedGame;

constexpr int kRounds = 7;
constexpr int kPacedRounds = 3;
constexpr int kPacedFps = 60;
constexpr int kFramesPerRound = 150;
// Seconds of frames before the title screen is timed: the logo and the button have faded in and
// the particle columns have reached their usual height.
constexpr double kWarmUpSeconds = 4.0;

double seconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

struct Cost {
    double cpuMs = std::numeric_limits<double>::infinity();
    double wallMs = std::numeric_limits<double>::infinity();
};

// Runs `frame` kFramesPerRound times, each followed by glFinish, and keeps the round if it beat
// the best so far (by CPU time; wall time is kept from the same round).
void timeRound(const std::function<void()>& frame, Cost& best) {
    const double cpu = seconds(CLOCK_PROCESS_CPUTIME_ID), wall = seconds(CLOCK_MONOTONIC);
    for (int i = 0; i < kFramesPerRound; ++i) {
        frame();
        glFinish();
    }
    const double cpuMs = (seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu) * 1e3 / kFramesPerRound;
    const double wallMs = (seconds(CLOCK_MONOTONIC) - wall) * 1e3 / kFramesPerRound;
    if (cpuMs < best.cpuMs)
        best = {cpuMs, wallMs};
}

// The floor's quad: an opaque texture the size of the window, uploaded and drawn as the engine
// uploads and draws its pictures (a sprite batch's opaque draw: no blending, no alpha test), 1:1
// in the projection the game sets up.
class FloorQuad {
public:
    FloorQuad() {
        std::vector<uint32_t> pixels(kWindowWidth * kWindowHeight);
        for (int y = 0; y < kWindowHeight; ++y)
            std::fill_n(&pixels[y * kWindowWidth], kWindowWidth, 0xff000000u | uint32_t(y * 255 / kWindowHeight) << 16);
        uploadTexture(texture, kWindowWidth, kWindowHeight, reinterpret_cast<const uint8_t*>(pixels.data()));
        texture.loaded = true;
        batch = std::make_unique<SpriteBatch>(&texture, 1);
    }
    ~FloorQuad() {
        batch.reset();
        glDeleteTextures(1, &texture.glName);
    }

    void draw() const {
        TextureRegion whole(const_cast<Texture*>(&texture), 0, 0, kWindowWidth, kWindowHeight);
        batch->begin();
        batch->addQuad(whole, Matrix3::identity(), kWindowWidth, kWindowHeight, Colour{1.0f, 1.0f, 1.0f, 1.0f}, false,
                       false);
        batch->drawOpaque();
    }

private:
    Texture texture;
    std::unique_ptr<SpriteBatch> batch;
};

void runFor(FrameLoop& loop, double wallSeconds) {
    const double end = seconds(CLOCK_MONOTONIC) + wallSeconds;
    while (seconds(CLOCK_MONOTONIC) < end)
        loop.runFrame();
}

} // namespace

int main(int argc, char** argv) {
    auto shipped = ShippedGame::start(argc, argv);
    if (!shipped)
        return 1;
    Game* game = &shipped->game();
    PellvaneGameScene* scene = &shipped->scene();
    game->maxFps = 0; // frames as fast as they come: the cap would time the sleep
    FrameLoop loop(*game);
    loop.start();
    runFor(loop, kWarmUpSeconds);

    const FloorQuad quad;
    const auto clearAndSwap = [] {
        glClear(GL_COLOR_BUFFER_BIT);
        SDL_GL_SwapBuffers();
    };
    const auto quadAndSwap = [&quad] {
        quad.draw();
        SDL_GL_SwapBuffers();
    };
    // In play: a game of the first level with the ball launched, the paddle kept under the ball
    // between frames so it is never lost.
    auto* paddle = firstOf<PellvanePaddleEntity>(*scene);
    auto* ball = firstOf<PellvaneBallEntity>(*scene);
    const auto playFrame = [&] {
        if (scene->getState() == Playing && ball->isHeld())
            scene->getContext().input->dispatchEvent(new KeyboardEvent(KEYBOARD_KEY_RELEASED_EVENT, ' ', false));
        const Rect area = scene->getGameArea();
        const float target = ball->getCentre().x - paddle->getSize().x * 0.5f;
        paddle->setPosition(
            {std::clamp(target, area.x, area.x + area.width - paddle->getSize().x), paddle->getPosition().y});
        loop.runFrame();
    };
    const auto titleFrame = [&loop] { loop.runFrame(); };

    // Frames paced by the loop's own cap (glFinish then waits on nothing: the swap has drawn them).
    const auto paced = [&](const std::function<void()>& frame, Cost& cost) {
        game->maxFps = kPacedFps;
        for (int round = 0; round < kPacedRounds; ++round)
            timeRound(frame, cost);
        game->maxFps = 0;
    };
    Cost clearCost, quadCost, titleCost, playCost, titlePaced, playPaced;
    for (int round = 0; round < kRounds; ++round) {
        timeRound(clearAndSwap, clearCost);
        timeRound(quadAndSwap, quadCost);
        timeRound(titleFrame, titleCost);
    }
    paced(titleFrame, titlePaced);
    scene->newGame();
    runFor(loop, kWarmUpSeconds);
    for (int round = 0; round < kRounds; ++round) {
        timeRound(clearAndSwap, clearCost);
        timeRound(quadAndSwap, quadCost);
        timeRound(playFrame, playCost);
    }
    paced(playFrame, playPaced);

    std::printf("whole frames drawn by %s, best of %d rounds of %d frames; CPU time of the process per frame\n",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)), kRounds, kFramesPerRound);
    const auto row = [&](const char* what, const Cost& cost) {
        std::printf("  %-34s %6.2f ms CPU (%5.2f ms wall)   %5.2fx clear+swap   %5.2fx opaque quad\n", what, cost.cpuMs,
                    cost.wallMs, cost.cpuMs / clearCost.cpuMs, cost.cpuMs / quadCost.cpuMs);
    };
    row("floor: clear and swap", clearCost);
    row("floor: one opaque full-window quad", quadCost);
    row("title screen", titleCost);
    row("in play, level 1", playCost);
    row("title screen, paced at 60 Hz", titlePaced);
    row("in play, level 1, paced at 60 Hz", playPaced);
    return 0;
}
