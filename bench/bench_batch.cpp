// Sprite batch throughput: quads per second through addQuad (building the vertices on the CPU)
// and through addQuad + draw, next to a plain memcpy of the same 128 bytes per quad.
#include <GL/glew.h>
#include <SDL.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/Game.h"
#include "graphics/SpriteBatch.h"
#include "graphics/Texture.h"
#include "graphics/TextureRegion.h"

namespace {

constexpr uint32_t kQuads = 10000;
constexpr int kFramesPerRound = 100;
constexpr int kRounds = 15;

using Clock = std::chrono::steady_clock;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Seconds per frame of each of `parts`, measured in the same frames one after the other so
// that load from other processes hits all of them alike. Returns, per part, the median over
// rounds, and, per part, the median over rounds of its ratio to part 0.
template <size_t N> struct Timings {
    double seconds[N];
    double ratio[N];
};

template <size_t N, typename Parts> Timings<N> measure(Parts parts) {
    std::vector<double> seconds[N], ratios[N];
    for (int r = 0; r < kRounds; ++r) {
        Clock::duration total[N]{};
        for (int f = 0; f < kFramesPerRound; ++f)
            for (size_t p = 0; p < N; ++p) {
                const auto start = Clock::now();
                parts(p, true);
                total[p] += Clock::now() - start;
                parts(p, false);
            }
        for (size_t p = 0; p < N; ++p) {
            seconds[p].push_back(std::chrono::duration<double>(total[p]).count() / kFramesPerRound);
            ratios[p].push_back(seconds[p].back() / seconds[0].back());
        }
    }
    Timings<N> result{};
    for (size_t p = 0; p < N; ++p) {
        result.seconds[p] = median(seconds[p]);
        result.ratio[p] = median(ratios[p]);
    }
    return result;
}

} // namespace

int main(int, char**) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0 || SDL_SetVideoMode(800, 600, 32, SDL_OPENGL) == nullptr) {
        std::fprintf(stderr, "cannot open a GL window: %s\n", SDL_GetError());
        return 1;
    }
    glewInit();
    initGlState(800, 600);

    std::vector<uint8_t> pixels(64 * 64 * 4, 255);
    Texture texture;
    uploadTexture(texture, 64, 64, pixels.data());
    texture.loaded = true;
    TextureRegion region(&texture, 8, 8, 16, 16);
    SpriteBatch batch(&texture, kQuads);
    const Colour colour{1.0f, 0.5f, 0.25f, 1.0f};

    // Small quads spread over the window, each with its own transform, as particles would be.
    std::vector<Matrix3> transforms;
    for (uint32_t i = 0; i < kQuads; ++i)
        transforms.push_back(Matrix3::translation(float(i % 797), float(i / 797 * 7 % 597)) *
                             Matrix3::scaling(0.25f, 0.25f));
    auto build = [&] {
        batch.begin();
        for (uint32_t i = 0; i < kQuads; ++i)
            batch.addQuad(region, transforms[i], 16, 16, colour, (i & 1) != 0, false);
    };

    std::vector<uint8_t> source(size_t{kQuads} * kBytesPerQuad, 1), target(source.size());
    unsigned checksum = 0;
    auto copy = [&] {
        for (uint32_t i = 0; i < kQuads; ++i)
            std::memcpy(&target[size_t{i} * kBytesPerQuad], &source[size_t{i} * kBytesPerQuad], kBytesPerQuad);
        checksum += target[checksum % target.size()]++;
    };

    // Part 0: memcpy. Part 1: addQuad only (the draw runs untimed). Part 2: addQuad + draw as
    // the GL submits it. Part 3: the same waiting for the software renderer to finish.
    const Timings<4> t = measure<4>([&](size_t part, bool timed) {
        switch (part) {
        case 0:
            if (timed)
                copy();
            break;
        case 1:
            if (timed)
                build();
            else
                batch.draw();
            break;
        case 2:
            if (timed) {
                build();
                batch.draw();
            }
            break;
        default:
            if (timed) {
                build();
                batch.draw();
                glFinish();
            }
        }
    });

    // The same two without the renderer's work in the frame: memcpy and addQuad both start with
    // warmer caches (only the untimed upload of the draw runs between them).
    const Timings<2> warm = measure<2>([&](size_t part, bool timed) {
        if (part == 0 && timed)
            copy();
        else if (part == 1)
            timed ? build() : batch.draw();
    });

    const char* names[] = {"memcpy of 128 bytes per quad", "addQuad (vertex building)",
                           "addQuad + draw (GL submission)", "addQuad + draw + glFinish"};
    std::printf("sprite batch, %u quads of one texture per frame (checksum %u)\n", kQuads, checksum & 1);
    for (size_t p = 0; p < 4; ++p)
        std::printf("%-32s %8.2f M quads/s %8.2f ns/quad %7.2fx memcpy\n", names[p], kQuads / t.seconds[p] / 1e6,
                    t.seconds[p] / kQuads * 1e9, t.ratio[p]);
    std::printf("without rendering in the frame: memcpy %.2f ns/quad, addQuad %.2f ns/quad\n",
                warm.seconds[0] / kQuads * 1e9, warm.seconds[1] / kQuads * 1e9);
    std::printf("ratio addQuad / memcpy: %.2f in a rendering frame, %.2f without (goal: within 3)\n", t.ratio[1],
                warm.ratio[1]);

    // A frame after a spike: one frame of 20,000 quads grows a batch for good; its one-quad
    // frames after that should cost what those of a batch that never grew cost. The two batches
    // take turns, round after round, so load from other processes hits both alike.
    SpriteBatch calm(&texture, 200), spiked(&texture, 200);
    spiked.begin();
    for (uint32_t i = 0; i < 20000; ++i)
        spiked.addQuad(region, transforms[i % kQuads], 16, 16, colour, false, false);
    spiked.draw();
    glFinish();
    auto oneQuadFrames = [&](SpriteBatch& small) {
        const auto start = Clock::now();
        for (int f = 0; f < 400; ++f) {
            small.begin();
            small.addQuad(region, transforms[0], 16, 16, colour, false, false);
            small.draw();
        }
        glFinish();
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    std::vector<double> calmSeconds, spikedSeconds;
    for (int r = 0; r < kRounds; ++r) {
        calmSeconds.push_back(oneQuadFrames(calm));
        spikedSeconds.push_back(oneQuadFrames(spiked));
    }
    std::printf("400 one-quad frames: %.2f ms on a batch that never grew, %.2f ms after a 20,000-quad spike\n",
                median(calmSeconds) * 1e3, median(spikedSeconds) * 1e3);

    glDeleteTextures(1, &texture.glName);
    SDL_Quit();
    return 0;
}
