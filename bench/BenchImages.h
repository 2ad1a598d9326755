// Shared by the image benchmarks: the test data (a mixed compression corpus and realistic
// images written as PNG by libpng) and one call per decoder, ours and the references.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

using Bytes = std::vector<unsigned char>;

// About `bytes` of real text (C headers), real binaries (shared libraries) and raw pixels.
Bytes mixedCorpus(std::size_t bytes);
// zlib at the given level.
Bytes zlibCompress(const Bytes& data, int level);

// A real-looking picture: gradients, soft shapes with antialiased edges, and a little noise.
struct Picture {
    uint32_t width, height;
    Bytes rgba; // 8-bit RGBA
};
Picture makePicture(uint32_t width, uint32_t height, unsigned seed);

// A PNG of the picture in the given colour type and bit depth, written by libpng at level 6
// with its adaptive filters (palette: a 256-colour quantisation; grey: luminance).
Bytes encodePng(const Picture& picture, int colourType, int bitDepth, bool interlaced);
// The zlib stream of a PNG: its IDAT chunks' data joined.
Bytes idatStream(const Bytes& png);

// One decode each; all return the number of output bytes (0 on failure).
std::size_t inflateOurs(const Bytes& stream, std::size_t expected, Bytes& scratch);
std::size_t inflateZlib(const Bytes& stream, std::size_t expected, Bytes& scratch);
std::size_t inflateLibdeflate(const Bytes& stream, std::size_t expected, Bytes& scratch);
std::size_t pngOurs(const Bytes& png);
std::size_t pngLibpng(const Bytes& png);
std::size_t pngSpng(const Bytes& png);
std::size_t pngStb(const Bytes& png);

} // namespace bench
