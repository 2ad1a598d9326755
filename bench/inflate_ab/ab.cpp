// Two builds of the inflater in one program, taking turns with libdeflate on the benchmark's
// inflate lines: separate runs on a shared machine differ by more than the changes we weigh, turns
// in one process do not. Built by run.sh, which compiles each version under renamed symbols.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "../BenchImages.h"
#include "graphics/ByteBuffer.h"

unsigned zlibDecompress_A(ByteBuffer& output, const unsigned char* input, std::size_t inputSize, bool checkAdler32);
unsigned zlibDecompress_B(ByteBuffer& output, const unsigned char* input, std::size_t inputSize, bool checkAdler32);

using namespace bench;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 12;
constexpr std::size_t kCorpusBytes = 30u << 20;
constexpr uint32_t kLargeSide = 2048;

using Decode = unsigned (*)(ByteBuffer&, const unsigned char*, std::size_t, bool);

std::size_t run(Decode decode, const Bytes& stream, std::size_t expected) {
    static ByteBuffer output; // kept between runs, as in the benchmark
    output.clear();
    output.reserve(expected);
    if (decode(output, stream.data(), stream.size(), true) != 0)
        return 0;
    return output.size();
}

void line(const char* name, const Bytes& stream, std::size_t size) {
    Bytes scratch;
    const std::vector<std::function<std::size_t()>> decoders = {
        [&] { return run(zlibDecompress_A, stream, size); },
        [&] { return inflateLibdeflate(stream, size, scratch); },
        [&] { return run(zlibDecompress_B, stream, size); },
    };
    std::vector<double> best(decoders.size(), 1e30);
    for (int round = 0; round < kRounds; ++round)
        for (std::size_t d = 0; d < decoders.size(); ++d) {
            const auto start = Clock::now();
            if (decoders[d]() != size) {
                std::fprintf(stderr, "decoder %zu failed on %s\n", d, name);
                std::exit(1);
            }
            best[d] = std::min(best[d], std::chrono::duration<double>(Clock::now() - start).count());
        }
    const double ref = best[1];
    std::printf("%-36s A x%.3f  B x%.3f  (B/A %.3f)  libdeflate %.0f MB/s\n", name, ref / best[0], ref / best[2],
                best[0] / best[2], double(size) / ref / 1e6);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const char* only = argc > 1 ? argv[1] : "";
    const Bytes corpus = mixedCorpus(kCorpusBytes);
    if (!*only || *only == '6')
        line("mixed corpus 30 MB, zlib level 6", zlibCompress(corpus, 6), corpus.size());
    if (!*only || *only == '9')
        line("mixed corpus 30 MB, zlib level 9", zlibCompress(corpus, 9), corpus.size());
    // The corpus's thirds (C headers, shared libraries, raw pixels) each in a stream of its own:
    // which kind of data a change helps or hurts.
    if (*only == 's') {
        const char* names[3] = {"C headers 10 MB, level 6", "shared libraries 10 MB, level 6",
                                "raw pixels 10 MB, level 6"};
        const std::size_t third = corpus.size() / 3;
        for (std::size_t i = 0; i < 3; ++i) {
            const Bytes part(corpus.begin() + std::ptrdiff_t(i * third), corpus.begin() + std::ptrdiff_t((i + 1) * third));
            line(names[i], zlibCompress(part, 6), part.size());
        }
    }
    if (!*only || *only == 'p') {
        const Picture large = makePicture(kLargeSide, kLargeSide, 1);
        line("IDAT of a 2048x2048 RGBA8 PNG", idatStream(encodePng(large, 6, 8, false)),
             std::size_t(kLargeSide) * (1 + kLargeSide * 4));
    }
    return 0;
}
