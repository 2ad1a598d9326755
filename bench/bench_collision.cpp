// Cost of one swept-circle test of a moving ball against 10, 200 and 2,000 box colliders, the way
// a scene runs it (through ICollider, box by box), and of one full test that reaches the candidates.
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "collision/AABBCollider.h"
#include "collision/CollisionResult.h"
#include "collision/SweptCircleCollider.h"

namespace {

using Clock = std::chrono::steady_clock;

// Each measurement repeats until at least this much time has passed.
constexpr double kMinSeconds = 0.3;

// Boxes fill the upper 500 px of the 800 x 600 window in a grid; the ball moves near the bottom.
struct Field {
    std::vector<Vector2> positions;
    std::vector<std::unique_ptr<ICollider>> boxes;

    explicit Field(int count) {
        positions.resize(count); // sized once: the colliders keep references into it
        const int columns = count < 40 ? count : 40;
        const int rows = (count + columns - 1) / columns;
        const float width = 800.0f / columns, height = 500.0f / rows;
        for (int i = 0; i < count; ++i) {
            positions[i] = {(i % columns) * width, (i / columns) * height};
            boxes.push_back(
                std::make_unique<AABBCollider>(true, positions[i], width * 0.9f, height * 0.9f, Vector2{}, nullptr));
        }
    }
};

// Runs the scene's loop: test against every box until the first hit. Returns the hits seen.
int testAll(ICollider& ball, const std::vector<std::unique_ptr<ICollider>>& boxes) {
    for (const auto& box : boxes) {
        if (ball.testCollision(box.get()))
            return 1;
    }
    return 0;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main() {
    // A 10 x 10 ball moving up and right at 300 px/s over a 16 ms frame, well below the boxes.
    const Vector2 ballPosition{400.0f, 560.0f}, ballNext{403.0f, 556.0f};
    SweptCircleCollider ball(false, ballPosition, ballNext, 5.0f, {5.0f, 5.0f}, nullptr);

    std::printf("swept circle against N boxes, all missing (early reject):\n");
    for (int count : {10, 200, 2000}) {
        const Field field(count);
        long tests = 0;
        int hits = 0;
        const Clock::time_point start = Clock::now();
        double elapsed = 0.0;
        while (elapsed < kMinSeconds) {
            for (int i = 0; i < 1000; ++i)
                hits += testAll(ball, field.boxes);
            tests += 1000;
            elapsed = secondsSince(start);
        }
        const double perTest = elapsed / tests * 1e9;
        std::printf("  %5d boxes: %10.1f ns per test, %6.2f ns per box (hits %d)\n", count, perTest, perTest / count,
                    hits);
    }

    // One pair that passes the early reject and runs every corner and slab test: a hit on a face.
    const Vector2 boxPosition{380.0f, 500.0f};
    AABBCollider box(true, boxPosition, 60.0f, 20.0f, {}, nullptr);
    const Vector2 from{400.0f, 470.0f}, to{405.0f, 510.0f};
    SweptCircleCollider falling(false, from, to, 5.0f, {5.0f, 5.0f}, nullptr);
    long tests = 0;
    int hits = 0;
    const Clock::time_point start = Clock::now();
    double elapsed = 0.0;
    while (elapsed < kMinSeconds) {
        for (int i = 0; i < 1000; ++i) {
            hits += falling.testCollision(&box).has_value();
        }
        tests += 1000;
        elapsed = secondsSince(start);
    }
    std::printf("full test with candidate search and a hit: %.1f ns per pair (hits %d of %ld)\n", elapsed / tests * 1e9,
                hits, tests);
    return 0;
}
