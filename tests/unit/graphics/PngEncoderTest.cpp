// The PNG encoder round trip: what it writes decodes to the same pixels with our decoder and with
// libpng, and its zlib stream inflates to the input with zlib, on data that reaches every length
// and distance code (long runs, far repeats, noise that does not compress).
#include <gtest/gtest.h>
#include <random>
#include <zlib.h>

#include "PngTestSupport.h"
#include "graphics/PngDecoder.h"
#include "graphics/PngEncoder.h"

namespace {
using pngtest::Bytes;

// A picture like a game screen: flat areas, gradients, repeated tiles and a patch of noise.
Bytes makeImage(uint32_t width, uint32_t height, unsigned channels, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes pixels(std::size_t{width} * height * channels);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            for (unsigned c = 0; c < channels; ++c) {
                unsigned char& v = pixels[(std::size_t{y} * width + x) * channels + c];
                if (y < height / 3)
                    v = static_cast<unsigned char>(40 + c * 10); // flat
                else if (y < 2 * height / 3)
                    v = static_cast<unsigned char>((x % 16) * 9 + y + c); // tiles on a gradient
                else
                    v = static_cast<unsigned char>(x < width / 2 ? rng() : x * 3 + c); // noise, then a ramp
            }
    return pixels;
}

Bytes asRgba(const Bytes& pixels, unsigned channels) {
    if (channels == 4)
        return pixels;
    Bytes rgba;
    for (std::size_t i = 0; i < pixels.size(); i += 3)
        rgba.insert(rgba.end(), {pixels[i], pixels[i + 1], pixels[i + 2], 255});
    return rgba;
}

Bytes inflateWithZlib(const Bytes& stream, std::size_t size) {
    Bytes out(size + 1);
    uLongf length = static_cast<uLongf>(out.size());
    EXPECT_EQ(Z_OK, uncompress(out.data(), &length, stream.data(), static_cast<uLong>(stream.size())));
    out.resize(length);
    return out;
}
} // namespace

TEST(PngEncoder, ImagesRoundTripThroughOurDecoderAndLibpng) {
    struct Case {
        uint32_t width, height;
        unsigned channels;
    };
    for (const Case& c : {Case{1, 1, 3}, Case{37, 23, 3}, Case{64, 48, 4}, Case{800, 60, 3}, Case{5, 300, 4}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + "x" + std::to_string(c.channels));
        const Bytes pixels = makeImage(c.width, c.height, c.channels, c.width * 31 + c.height);
        const Bytes file = encodePng(pixels.data(), c.width, c.height, c.channels);

        PngDecoder decoder;
        std::vector<unsigned char> ours;
        decoder.decode(ours, file.data(), file.size());
        ASSERT_EQ(0u, decoder.error);
        EXPECT_EQ(c.width, decoder.width);
        EXPECT_EQ(c.height, decoder.height);
        EXPECT_EQ(asRgba(pixels, c.channels), Bytes(ours.begin(), ours.end()));

        Bytes theirs;
        uint32_t width = 0, height = 0;
        ASSERT_TRUE(pngtest::libpngDecode(file, theirs, width, height));
        EXPECT_EQ(c.width, width);
        EXPECT_EQ(asRgba(pixels, c.channels), theirs);
    }
}

TEST(PngEncoder, ZlibStreamInflatesWithZlibForEveryKindOfRepeat) {
    std::mt19937 rng(7);
    Bytes noise(70000);
    for (unsigned char& b : noise)
        b = static_cast<unsigned char>(rng());
    // The first 3000 bytes again 32768 bytes later: the farthest distance deflate can say.
    Bytes farRepeat(noise.begin(), noise.begin() + 32768);
    farRepeat.insert(farRepeat.end(), noise.begin(), noise.begin() + 3000);
    Bytes lengths;
    for (unsigned run = 1; run < 600; run += 7)
        lengths.insert(lengths.end(), run, static_cast<unsigned char>(run)); // runs across every length code
    const std::vector<Bytes> inputs = {{}, {42}, Bytes(100000, 0), noise, farRepeat, lengths};
    for (const Bytes& input : inputs) {
        const Bytes stream = zlibCompressFixed(input.data(), input.size());
        EXPECT_EQ(input, inflateWithZlib(stream, input.size()));
    }
    EXPECT_LT(zlibCompressFixed(Bytes(100000, 0).data(), 100000).size(), 1000u) << "a run compresses";
}

TEST(PngEncoder, RefusesWhatPngCannotHold) {
    const Bytes pixels(12, 0);
    EXPECT_TRUE(encodePng(pixels.data(), 0, 4, 3).empty());
    EXPECT_TRUE(encodePng(pixels.data(), 2, 2, 2).empty());
    EXPECT_TRUE(encodePng(nullptr, 2, 2, 3).empty());
}
