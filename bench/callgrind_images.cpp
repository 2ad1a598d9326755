// A fixed decode for `valgrind --tool=callgrind --toggle-collect=measured*`: one decoder on one
// workload, so that instructions per output byte can be compared without timing noise.
// Usage: callgrind_images <inflate|mixed|png> <ours|zlib|libdeflate|libpng|libspng|stb> ; prints the
// output size. inflate: the image's IDAT stream; mixed: 3 MB of the mixed corpus at level 6.
#include <cstdio>
#include <cstring>

#include "BenchImages.h"

using namespace bench;

namespace {

constexpr uint32_t kSide = 512; // a quarter-megapixel image keeps valgrind's run short
constexpr std::size_t kMixedBytes = 3u << 20;

__attribute__((noinline)) std::size_t measuredInflate(const char* decoder, const Bytes& stream, std::size_t size,
                                                      Bytes& scratch) {
    if (std::strcmp(decoder, "zlib") == 0)
        return inflateZlib(stream, size, scratch);
    if (std::strcmp(decoder, "libdeflate") == 0)
        return inflateLibdeflate(stream, size, scratch);
    return inflateOurs(stream, size, scratch);
}

__attribute__((noinline)) std::size_t measuredPng(const char* decoder, const Bytes& png) {
    if (std::strcmp(decoder, "libpng") == 0)
        return pngLibpng(png);
    if (std::strcmp(decoder, "libspng") == 0)
        return pngSpng(png);
    if (std::strcmp(decoder, "stb") == 0)
        return pngStb(png);
    return pngOurs(png);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s inflate|mixed|png ours|zlib|libdeflate|libpng|libspng|stb\n", argv[0]);
        return 2;
    }
    const Bytes png = encodePng(makePicture(kSide, kSide, 1), 6, 8, false);
    std::size_t out = 0;
    // The references' output arrays are sized before the count starts, as in the timed benchmark.
    if (std::strcmp(argv[1], "inflate") == 0) {
        const std::size_t size = std::size_t(kSide) * (1 + kSide * 4);
        Bytes scratch(size);
        out = measuredInflate(argv[2], idatStream(png), size, scratch);
    } else if (std::strcmp(argv[1], "mixed") == 0) {
        const Bytes corpus = mixedCorpus(kMixedBytes);
        Bytes scratch(corpus.size());
        out = measuredInflate(argv[2], zlibCompress(corpus, 6), corpus.size(), scratch);
    } else {
        out = measuredPng(argv[2], png);
    }
    std::printf("%zu\n", out);
    return out == 0;
}
