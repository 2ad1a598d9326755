// CPU time of one frame of the shipped game scene in play: the scene's update and render with the
// ball in flight over a full level of blocks, the HUD shown and the particle background running,
// median over 10,000 frames; then once more with the background held at its cap of live particles. Run from data/ (as
// `run.sh bench` does) or pass the data directory as the first argument.
#include <GL/glew.h>
#include <SDL.h>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "BenchGame.h"
#include "app/FrameLoop.h"
#include "app/Game.h"
#include "events/Events.h"
#include "game/PellvaneBackgroundEFfectEntity.h"
#include "game/PellvaneBallEntity.h"
#include "game/PellvaneCapsuleEntity.h"
#include "game/PellvaneGameScene.h"
#include "game/PellvanePaddleEntity.h"

namespace {

using bench::ShippedGame;
using bench::firstOf;

constexpr int kFrames = 10000;
constexpr float kDt = 1.0f / 60.0f;
// A 60 Hz frame, for scale.
constexpr double kFrameBudgetUs = 1e6 / 60.0;

double threadMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e6 + now.tv_nsec / 1e3;
}

struct Figures {
    double median;
    double p99;
    double mean;
    double updateMedian;
    double renderMedian;
    std::size_t entities;
    uint32_t particles;
};

double median(std::vector<double>& values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Between timed frames: every block of `level` back, the ball launched if held, and the paddle
// put under the ball so it is never lost.
void keepInPlay(PellvaneGameScene& scene, unsigned level, PellvanePaddleEntity& paddle, PellvaneBallEntity& ball) {
    scene.loadLevel(level);
    if (ball.isHeld())
        scene.getContext().input->dispatchEvent(new KeyboardEvent(KEYBOARD_KEY_RELEASED_EVENT, ' ', false));
    const Rect area = scene.getGameArea();
    const float target = ball.getCentre().x - paddle.getSize().x * 0.5f;
    paddle.setPosition({std::clamp(target, area.x, area.x + area.width - paddle.getSize().x), paddle.getPosition().y});
}

// Between timed frames of the busy game: the extra balls turned back up before they fall past the
// paddle, and three capsules always falling.
void keepBusy(PellvaneGameScene& scene, PellvanePaddleEntity& paddle) {
    for (PellvaneBallEntity* each : scene.getBalls()) {
        const Vector2 v = each->getVelocity();
        if (each != paddle.getBall() && v.y > 0.0f && each->getPosition().y > paddle.getPosition().y - 60.0f)
            each->setVelocity({v.x, -v.y});
    }
    const Rect area = scene.getGameArea();
    std::size_t falling = 0;
    for (IEntity* entity : scene.getEntities())
        falling += dynamic_cast<PellvaneCapsuleEntity*>(entity) != nullptr && entity->isActive() ? 1 : 0;
    const PowerUpLook& look = scene.getPowerUpLook(PowerUp::Slow);
    for (; falling < 3 && look.sprite != nullptr; ++falling) {
        SpriteProperties properties;
        properties.sprite = look.sprite;
        properties.width = 40.0f;
        properties.height = 16.0f;
        properties.layer = 40;
        properties.position = {area.x + 100.0f + 200.0f * static_cast<float>(falling), area.y + 200.0f};
        scene.addEntity(std::make_unique<PellvaneCapsuleEntity>(properties, PowerUp::Slow, 150.0f));
    }
}

// How the pointer moves during a measure: not at all; on the Game's input, as the main loop
// dispatches it, so the scene records it with its step; or straight to the entities, unrecorded.
enum class Pointer { Still, Recorded, Unrecorded };

// Plays `level` for kFrames frames and times each update + render. Outside the timed part the
// level is reset (so every block stays), the paddle is put under the ball so it is never lost,
// and a held ball is launched at once.
Figures measure(PellvaneGameScene& scene, unsigned level, bool busy = false, Pointer pointer = Pointer::Still) {
    PellvanePaddleEntity* paddle = firstOf<PellvanePaddleEntity>(scene);
    PellvaneBallEntity* ball = firstOf<PellvaneBallEntity>(scene);
    scene.newGame();
    while (scene.getState() != Playing)
        scene.update(kDt);
    scene.loadLevel(level);
    if (busy) {
        // Three balls in flight: the paddle's own, launched, and the two a multi capsule brings.
        keepInPlay(scene, level, *paddle, *ball);
        scene.update(kDt);
        scene.capsuleCaught(PowerUp::Multi);
    }
    std::vector<double> times, updates, renders;
    times.reserve(kFrames);
    updates.reserve(kFrames);
    renders.reserve(kFrames);
    std::size_t entities = 0;
    for (int frame = 0; frame < kFrames; ++frame) {
        if (busy)
            keepBusy(scene, *paddle);
        else
            keepInPlay(scene, level, *paddle, *ball);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        const auto x = static_cast<uint32_t>(std::max(0.0f, ball->getCentre().x)) + static_cast<uint32_t>(frame % 3);

        const double start = threadMicroseconds();
        if (pointer != Pointer::Still) {
            EventDispatcher* input = pointer == Pointer::Recorded ? scene.getGameInput() : scene.getContext().input;
            input->dispatchEvent(new MouseEvent(MOUSE_MOVE_EVENT, x, 300, false, false, MouseMoved));
        }
        scene.update(kDt);
        const double updated = threadMicroseconds();
        scene.render();
        const double end = threadMicroseconds();
        times.push_back(end - start);
        updates.push_back(updated - start);
        renders.push_back(end - updated);

        glFinish(); // the driver's work is not ours; keep its queue from growing
        entities = std::max(entities, scene.getEntities().size());
    }
    std::sort(times.begin(), times.end());
    double sum = 0.0;
    for (double t : times)
        sum += t;
    auto* background = firstOf<PellvaneBackgroundEFfectEntity>(scene);
    return {times[times.size() / 2],
            times[times.size() * 99 / 100],
            sum / times.size(),
            median(updates),
            median(renders),
            entities,
            background != nullptr ? background->particleCount : 0u};
}

// The ball's own step (speed limits, moving out of boxes, the sweep against every collider of the
// scene, the bounce) on `level`, called alone outside the scene's update: median thread CPU time.
// The paddle is kept under the ball and every block stays, as in measure().
double measureBall(PellvaneGameScene& scene, unsigned level) {
    PellvanePaddleEntity* paddle = firstOf<PellvanePaddleEntity>(scene);
    PellvaneBallEntity* ball = firstOf<PellvaneBallEntity>(scene);
    scene.loadLevel(level);
    std::vector<double> times;
    times.reserve(kFrames);
    for (int frame = 0; frame < kFrames; ++frame) {
        keepInPlay(scene, level, *paddle, *ball);
        const double start = threadMicroseconds();
        ball->postUpdate(kDt);
        times.push_back(threadMicroseconds() - start);
        scene.update(0.0f); // carries out the removals of the effects the hits spawned
    }
    return median(times);
}

void report(const std::string& what, PellvaneGameScene& scene, unsigned level, const Figures& f) {
    std::printf("  %s (%zu blocks, up to %zu entities with effects, %u particles): median %.1f us (update %.1f, "
                "render %.1f), p99 %.1f us, mean %.1f us; %.2f%% of a 60 Hz frame\n",
                what.c_str(), scene.getLevel(level).size(), f.entities, f.particles, f.median, f.updateMedian,
                f.renderMedian, f.p99, f.mean, 100.0 * f.median / kFrameBudgetUs);
}

} // namespace

int main(int argc, char** argv) {
    auto shipped = bench::ShippedGame::start(argc, argv);
    if (!shipped)
        return 1;
    PellvaneGameScene* scene = &shipped->scene();
    std::printf("one frame (update + render) of the shipped game scene, thread CPU time over %d frames:\n", kFrames);
    // The first level, and the level with the most blocks.
    unsigned largest = 0;
    for (unsigned i = 0; i < scene->getLevelCount(); ++i) {
        if (scene->getLevel(i).size() > scene->getLevel(largest).size())
            largest = i;
    }
    for (unsigned level : {0u, largest}) {
        const Figures f = measure(*scene, level);
        report("level " + std::to_string(level + 1), *scene, level, f);
    }
    {
        const Figures f = measure(*scene, largest, true);
        report("level " + std::to_string(largest + 1) + ", three balls and three capsules", *scene, largest, f);
    }
    // What recording costs: the pointer moving every frame, recorded with its step as in play,
    // against the same moves handed to the entities unrecorded; the two alternate, three rounds.
    {
        double recorded = 0.0, unrecorded = 0.0;
        for (int round = 0; round < 3; ++round) {
            recorded += measure(*scene, 0, false, Pointer::Recorded).median;
            unrecorded += measure(*scene, 0, false, Pointer::Unrecorded).median;
        }
        std::printf("  level 1, the pointer moving every frame: recorded %.1f us, unrecorded %.1f us: %.3fx\n",
                    recorded / 3, unrecorded / 3, recorded / unrecorded);
    }
    for (unsigned level : {0u, largest})
        std::printf("  the ball's step alone on level %u: median %.2f us\n", level + 1, measureBall(*scene, level));
    // The background at its cap: every emitter spawns at once and no particle dies during the
    // run, so each frame updates and draws max_particles of them beside the HUD.
    if (auto* background = firstOf<PellvaneBackgroundEFfectEntity>(*scene)) {
        background->spawnDelayMin = background->spawnDelayMax = 0.001f;
        background->particleAgeMin = background->particleAgeMax = 1e6f;
        background->velocity = 0.0f;
        for (int i = 0; i < 100000 && background->particleCount < static_cast<uint32_t>(background->maxParticles); ++i)
            scene->update(kDt);
        const Figures f = measure(*scene, 0);
        report("level 1, HUD and " + std::to_string(background->particleCount) + " particles", *scene, 0, f);
    }
    return 0;
}
