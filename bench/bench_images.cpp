// Inflate and PNG decode throughput of ours against zlib, libdeflate, libpng, libspng and stb_image, all
// measured in one run on the same data. Prints MB/s of output (best run) and the ratios.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "BenchImages.h"

using namespace bench;

namespace {

using Clock = std::chrono::steady_clock;
// The decoders of one line take turns, run after run, so that a busy machine slows them alike;
// each figure is the best run of at least kMinRounds rounds lasting together kMinSeconds.
constexpr int kMinRounds = 5;
constexpr double kMinSeconds = 1.0;
constexpr std::size_t kCorpusBytes = 30u << 20;
constexpr uint32_t kLargeSide = 2048;
constexpr int kSprites = 50;
constexpr uint32_t kSpriteSide = 64;

// MB/s of output of each decoder, best of the interleaved rounds.
std::vector<double> megabytesPerSecond(std::size_t outputBytes,
                                       const std::vector<std::function<std::size_t()>>& decoders) {
    std::vector<double> best(decoders.size(), 1e30);
    double total = 0;
    for (int round = 0; round < kMinRounds || total < kMinSeconds; ++round) {
        for (std::size_t d = 0; d < decoders.size(); ++d) {
            const auto start = Clock::now();
            const std::size_t produced = decoders[d]();
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            if (produced != outputBytes) {
                std::fprintf(stderr, "a decoder failed: %zu bytes instead of %zu\n", produced, outputBytes);
                std::exit(1);
            }
            best[d] = std::min(best[d], seconds);
            total += seconds;
        }
    }
    for (double& b : best)
        b = double(outputBytes) / b / 1e6;
    return best;
}

void inflateLine(const char* name, const Bytes& stream, std::size_t size) {
    Bytes scratch;
    const std::vector<double> r = megabytesPerSecond(size, {[&] { return inflateOurs(stream, size, scratch); },
                                                            [&] { return inflateZlib(stream, size, scratch); },
                                                            [&] { return inflateLibdeflate(stream, size, scratch); }});
    std::printf("%-36s ours %6.0f MB/s | zlib %6.0f  x%.2f | libdeflate %6.0f  x%.2f\n", name, r[0], r[1], r[0] / r[1],
                r[2], r[0] / r[2]);
}

void pngLine(const char* name, const std::vector<Bytes>& files, std::size_t outputBytes) {
    auto all = [&](std::size_t (*decode)(const Bytes&)) {
        return [&files, decode] {
            std::size_t total = 0;
            for (const Bytes& f : files)
                total += decode(f);
            return total;
        };
    };
    const std::vector<double> r =
        megabytesPerSecond(outputBytes, {all(pngOurs), all(pngLibpng), all(pngSpng), all(pngStb)});
    std::printf("%-28s ours %5.0f MB/s | libpng %5.0f x%.2f | libspng %5.0f x%.2f | stb_image %5.0f x%.2f"
                " | vs fastest x%.2f\n",
                name, r[0], r[1], r[0] / r[1], r[2], r[0] / r[2], r[3], r[0] / r[3],
                r[0] / std::max({r[1], r[2], r[3]}));
}

} // namespace

int main() {
    std::printf("Inflate, MB/s of output (ratios: ours / reference)\n");
    const Bytes corpus = mixedCorpus(kCorpusBytes);
    inflateLine("mixed corpus 30 MB, zlib level 6", zlibCompress(corpus, 6), corpus.size());
    inflateLine("mixed corpus 30 MB, zlib level 9", zlibCompress(corpus, 9), corpus.size());
    const Picture large = makePicture(kLargeSide, kLargeSide, 1);
    const Bytes rgba8 = encodePng(large, 6, 8, false);
    inflateLine("IDAT of a 2048x2048 RGBA8 PNG", idatStream(rgba8), std::size_t(kLargeSide) * (1 + kLargeSide * 4));

    std::printf("\nPNG decode to RGBA8 from memory, MB/s of RGBA output\n");
    const std::size_t largeOut = std::size_t(kLargeSide) * kLargeSide * 4;
    pngLine("2048x2048 RGBA8", {rgba8}, largeOut);
    pngLine("2048x2048 RGB8", {encodePng(large, 2, 8, false)}, largeOut);
    pngLine("2048x2048 RGBA16", {encodePng(large, 6, 16, false)}, largeOut);
    pngLine("2048x2048 palette 8-bit", {encodePng(large, 3, 8, false)}, largeOut);
    pngLine("2048x2048 grey 1-bit", {encodePng(large, 0, 1, false)}, largeOut);
    pngLine("2048x2048 grey 2-bit", {encodePng(large, 0, 2, false)}, largeOut);
    pngLine("2048x2048 grey 4-bit", {encodePng(large, 0, 4, false)}, largeOut);
    pngLine("2048x2048 RGBA8 interlaced", {encodePng(large, 6, 8, true)}, largeOut);
    std::vector<Bytes> sprites;
    for (int i = 0; i < kSprites; ++i)
        sprites.push_back(encodePng(makePicture(kSpriteSide, kSpriteSide, 100 + i), 6, 8, false));
    pngLine("50 sprites 64x64 RGBA8", sprites, std::size_t(kSprites) * kSpriteSide * kSpriteSide * 4);
    return 0;
}
