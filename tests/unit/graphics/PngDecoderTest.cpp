// The PNG decoder against libpng on a corpus written at test time, the described conversions
// and edge cases, and every error code from a crafted file.
#include <gtest/gtest.h>

#include <fstream>

#include "TestSupport.h"
#include "graphics/Inflate.h"
#include "graphics/InflateTestSupport.h"
#include "graphics/PngDecoder.h"
#include "graphics/PngTestSupport.h"

using namespace pngtest;

namespace {

struct Decoded {
    unsigned error;
    Bytes pixels;
    uint32_t width, height;
};

Decoded decode(const Bytes& file, bool checkCrc = true, bool convertColour = true) {
    PngDecoder decoder;
    decoder.checkCrc = checkCrc;
    decoder.convertColour = convertColour;
    Bytes pixels;
    decoder.decode(pixels, file.data(), file.size());
    return {decoder.error, pixels, decoder.width, decoder.height};
}

unsigned errorOf(const Bytes& file, bool checkCrc = true) {
    return decode(file, checkCrc).error;
}

// Decodes with both decoders and compares every pixel.
void expectSameAsLibpng(const Bytes& file, const std::string& what) {
    Bytes reference;
    uint32_t w = 0, h = 0;
    ASSERT_TRUE(libpngDecode(file, reference, w, h)) << what;
    const Decoded ours = decode(file);
    ASSERT_EQ(0u, ours.error) << what;
    ASSERT_EQ(w, ours.width) << what;
    ASSERT_EQ(h, ours.height) << what;
    ASSERT_EQ(reference.size(), ours.pixels.size()) << what;
    for (std::size_t i = 0; i < reference.size(); i += 4)
        ASSERT_TRUE(std::equal(reference.begin() + i, reference.begin() + i + 4, ours.pixels.begin() + i))
            << what << ": pixel " << i / 4 << " (x " << i / 4 % w << ", y " << i / 4 / w << ")";
    // The texture loader's array, which is not zero-filled, must come out the same.
    ByteBuffer buffer;
    PngDecoder decoder;
    decoder.decode(buffer, file.data(), file.size());
    ASSERT_EQ(0u, decoder.error) << what;
    ASSERT_TRUE(buffer.size() == reference.size() && std::equal(reference.begin(), reference.end(), buffer.data()))
        << what << ": decoded into a ByteBuffer";
}

struct Format {
    int colourType, bitDepth;
};
const Format kFormats[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                           {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};

std::string describe(const ImageSpec& s) {
    return "type " + std::to_string(s.colourType) + " depth " + std::to_string(s.bitDepth) + " " +
           std::to_string(s.width) + "x" + std::to_string(s.height) + (s.interlaced ? " interlaced" : "");
}

ImageSpec specFor(Format f, uint32_t w, uint32_t h, bool interlaced, unsigned seed) {
    ImageSpec s;
    s.colourType = f.colourType;
    s.bitDepth = f.bitDepth;
    s.width = w;
    s.height = h;
    s.interlaced = interlaced;
    s.paletteSize = f.bitDepth == 8 ? 200 : 1 << f.bitDepth;
    s.seed = seed;
    return s;
}

// The raw scanlines of a non-interlaced image whose rows all use filter type 0.
Bytes unfiltered(const std::vector<Bytes>& rows) {
    Bytes out;
    for (const Bytes& r : rows) {
        out.push_back(0);
        out.insert(out.end(), r.begin(), r.end());
    }
    return out;
}

} // namespace

// ---- Differential against libpng ---------------------------------------------------------------

TEST(PngAgainstLibpng, EveryColourTypeAndDepthInterlacedOrNotAtOddSizes) {
    const uint32_t sizes[][2] = {{1, 1}, {1, 9}, {7, 3}, {33, 17}, {257, 3}, {9, 1}, {64, 40}};
    unsigned seed = 1;
    for (const Format& f : kFormats)
        for (const auto& size : sizes)
            for (bool interlaced : {false, true}) {
                const ImageSpec s = specFor(f, size[0], size[1], interlaced, seed++);
                expectSameAsLibpng(writePng(s), describe(s));
            }
}

TEST(PngAgainstLibpng, EachFilterTypeOnItsOwn) {
    const int filters[] = {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG, PNG_FILTER_PAETH};
    unsigned seed = 100;
    for (const Format& f : kFormats)
        for (int filter : filters) {
            ImageSpec s = specFor(f, 61, 13, seed % 2 == 0, seed);
            ++seed;
            s.filters = filter;
            expectSameAsLibpng(writePng(s), describe(s) + " filter " + std::to_string(filter));
        }
}

TEST(PngAgainstLibpng, LargerImagesOfEveryKind) {
    unsigned seed = 200;
    for (const Format& f : kFormats)
        for (bool interlaced : {false, true}) {
            const ImageSpec s = specFor(f, 301, 97, interlaced, seed++);
            expectSameAsLibpng(writePng(s), describe(s));
        }
}

TEST(PngAgainstLibpng, PaletteWithPartialTransparency) {
    for (int depth : {1, 2, 4, 8})
        for (int count : {0, 1, 3, 100})
            for (bool interlaced : {false, true}) {
                ImageSpec s = specFor({3, depth}, 23, 11, interlaced, unsigned(depth * 10 + count));
                s.transparentCount = std::min(count, s.paletteSize);
                expectSameAsLibpng(writePng(s), describe(s) + " tRNS " + std::to_string(s.transparentCount));
            }
}

TEST(PngAgainstLibpng, GreyAndRgbColourKeys) {
    for (Format f :
         {Format{0, 1}, Format{0, 2}, Format{0, 4}, Format{0, 8}, Format{0, 16}, Format{2, 8}, Format{2, 16}})
        for (bool interlaced : {false, true}) {
            ImageSpec s = specFor(f, 19, 14, interlaced, unsigned(f.bitDepth + f.colourType * 3));
            s.colourKey = true;
            std::vector<Bytes> rows = makeRows(s);
            // Repeat the first pixel here and there so the key matches several pixels.
            const std::size_t pixelBytes = std::size_t(channelsOf(s.colourType)) * s.bitDepth / 8;
            if (pixelBytes > 0)
                for (std::size_t y = 1; y < rows.size(); y += 3)
                    std::copy(rows[0].begin(), rows[0].begin() + pixelBytes, rows[y].begin() + pixelBytes * (y % 5));
            expectSameAsLibpng(writePng(s, rows), describe(s) + " with key");
        }
}

TEST(PngAgainstLibpng, ImageDataSplitOverManyIdatChunks) {
    for (const Format& f : kFormats) {
        ImageSpec s = specFor(f, 45, 31, f.bitDepth == 8, 300);
        s.idatSize = 17;
        const Bytes file = writePng(s);
        std::size_t idats = 0;
        for (std::size_t at : chunkOffsets(file))
            idats += std::memcmp(&file[at + 4], "IDAT", 4) == 0;
        EXPECT_GT(idats, 5u);
        expectSameAsLibpng(file, describe(s) + " in " + std::to_string(idats) + " IDATs");
    }
}

TEST(PngAgainstLibpng, TextAndBackgroundChunksOfEachKind) {
    for (const Format& f : kFormats) {
        ImageSpec s = specFor(f, 12, 5, false, 400);
        s.text = true;
        s.background = true;
        expectSameAsLibpng(writePng(s), describe(s) + " with text and bKGD");
    }
}

TEST(PngAgainstLibpng, ChunkBetweenIdatChunksDecodesLikeTheConsecutiveVersion) {
    ImageSpec s = specFor({6, 8}, 40, 30, false, 500);
    s.idatSize = 200;
    const Bytes consecutive = writePng(s);
    const std::vector<std::size_t> at = chunkOffsets(consecutive);
    std::size_t secondIdat = 0;
    for (std::size_t i = 0, seen = 0; i < at.size(); ++i)
        if (std::memcmp(&consecutive[at[i] + 4], "IDAT", 4) == 0 && ++seen == 2)
            secondIdat = at[i];
    ASSERT_NE(0u, secondIdat);
    Bytes split = consecutive;
    const Bytes text = chunk("tEXt", {'N', 'o', 't', 'e', 0, 'h', 'i'});
    split.insert(split.begin() + std::ptrdiff_t(secondIdat), text.begin(), text.end());

    Bytes reference, refused;
    uint32_t w, h;
    ASSERT_TRUE(libpngDecode(consecutive, reference, w, h));
    EXPECT_FALSE(libpngDecode(split, refused, w, h)) << "libpng is expected to refuse the split file";
    const Decoded ours = decode(split);
    ASSERT_EQ(0u, ours.error);
    EXPECT_EQ(reference, ours.pixels);
}

// ---- Conversions and edge cases ----------------------------------------------------------------

TEST(PngDecoder, Rgba8DecodesToExactlyItsStoredPixelsTopToBottom) {
    ImageSpec s = specFor({6, 8}, 13, 6, false, 600);
    const std::vector<Bytes> rows = makeRows(s);
    const Decoded d = decode(writePng(s, rows));
    ASSERT_EQ(0u, d.error);
    Bytes expected;
    for (const Bytes& r : rows)
        expected.insert(expected.end(), r.begin(), r.end());
    EXPECT_EQ(expected, d.pixels);
    EXPECT_EQ(13u, d.width);
    EXPECT_EQ(6u, d.height);
}

TEST(PngDecoder, LowDepthGreyScalesToTheFullByteRange) {
    const std::pair<int, Bytes> cases[] = {
        {1, {0, 255}},
        {2, {0, 85, 170, 255}},
        {4, {0, 17, 34, 51, 68, 85, 102, 119, 136, 153, 170, 187, 204, 221, 238, 255}}};
    for (const auto& [depth, values] : cases) {
        const uint32_t width = uint32_t(values.size());
        Bytes row((width * depth + 7) / 8, 0);
        for (uint32_t v = 0; v < width; ++v)
            row[v * depth / 8] |= uint8_t(v << (8 - depth - v * depth % 8));
        const Decoded d = decode(simplePng(ihdrData(width, 1, depth, 0), unfiltered({row})));
        ASSERT_EQ(0u, d.error);
        for (uint32_t v = 0; v < width; ++v) {
            EXPECT_EQ(values[v], d.pixels[v * 4]) << "depth " << depth << " value " << v;
            EXPECT_EQ(values[v], d.pixels[v * 4 + 2]);
            EXPECT_EQ(255, d.pixels[v * 4 + 3]);
        }
    }
}

TEST(PngDecoder, GreyKeyMakesExactlyTheMatchingPixelsTransparent) {
    const Decoded grey8 =
        decode(simplePng(ihdrData(4, 1, 8, 0), unfiltered({{0, 1, 0, 255}}), {chunk("tRNS", {0, 0})}));
    ASSERT_EQ(0u, grey8.error);
    EXPECT_EQ((Bytes{0, 0, 0, 0, 1, 1, 1, 255, 0, 0, 0, 0, 255, 255, 255, 255}), grey8.pixels);
    for (uint8_t key : {0, 1}) {
        // Pixels 0 1 1 0 at one bit each.
        const Decoded d = decode(simplePng(ihdrData(4, 1, 1, 0), unfiltered({{0x60}}), {chunk("tRNS", {0, key})}));
        ASSERT_EQ(0u, d.error);
        const uint8_t bits[] = {0, 1, 1, 0};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(bits[i] == key ? 0 : 255, d.pixels[i * 4 + 3]) << "key " << int(key) << " pixel " << i;
    }
}

TEST(PngDecoder, RgbKeyNeedsAllThreeSamplesToMatch) {
    const Bytes row = {10, 20, 30, 10, 20, 31, 10, 21, 30, 11, 20, 30, 10, 20, 30};
    const Decoded d =
        decode(simplePng(ihdrData(5, 1, 8, 2), unfiltered({row}), {chunk("tRNS", {0, 10, 0, 20, 0, 30})}));
    ASSERT_EQ(0u, d.error);
    const uint8_t alphas[] = {0, 255, 255, 255, 0};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(alphas[i], d.pixels[i * 4 + 3]) << i;
    EXPECT_EQ(10, d.pixels[16]);
    EXPECT_EQ(30, d.pixels[18]);
}

TEST(PngDecoder, PaletteEntriesBeyondTheTransparencyChunkStayOpaque) {
    const Bytes plte = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const Decoded d =
        decode(simplePng(ihdrData(3, 1, 8, 3), unfiltered({{0, 1, 2}}), {chunk("PLTE", plte), chunk("tRNS", {77})}));
    ASSERT_EQ(0u, d.error);
    EXPECT_EQ((Bytes{1, 2, 3, 77, 4, 5, 6, 255, 7, 8, 9, 255}), d.pixels);
}

TEST(PngDecoder, SixteenBitSamplesAreCutToTheHighByteLikeLibpngStrip16) {
    const Bytes row = {0x12, 0xFF, 0x34, 0x80, 0x56, 0x01, 0xAB, 0xFF};
    const Decoded d = decode(simplePng(ihdrData(1, 1, 16, 6), unfiltered({row})));
    ASSERT_EQ(0u, d.error);
    EXPECT_EQ((Bytes{0x12, 0x34, 0x56, 0xAB}), d.pixels);
    const Decoded g = decode(simplePng(ihdrData(1, 1, 16, 4), unfiltered({{0x12, 0xFF, 0x80, 0x7F}})));
    EXPECT_EQ((Bytes{0x12, 0x12, 0x12, 0x80}), g.pixels);
}

TEST(PngDecoder, InterlacedDecodesLikeItsTwinAtEverySizeBelowNine) {
    for (const Format& f : {Format{6, 8}, Format{0, 1}, Format{3, 4}, Format{2, 16}, Format{4, 8}})
        for (uint32_t w = 1; w <= 9; ++w)
            for (uint32_t h = 1; h <= 9; ++h) {
                const ImageSpec plain = specFor(f, w, h, false, w * 10 + h);
                ImageSpec laced = plain;
                laced.interlaced = true;
                const std::vector<Bytes> rows = makeRows(plain);
                const Decoded a = decode(writePng(plain, rows));
                const Decoded b = decode(writePng(laced, rows));
                ASSERT_EQ(0u, a.error);
                ASSERT_EQ(0u, b.error);
                EXPECT_EQ(a.pixels, b.pixels) << describe(laced);
            }
}

// Scanlines inflated into the pixel array itself (at its start for RGBA, at its end for RGB and
// grey with alpha), followed by more data than the array has room for, or cut one byte short.
TEST(PngDecoder, DataPastTheLastRowIsIgnoredAndShortDataFailsWhereverItIsInflated) {
    for (const Format f : {Format{6, 8}, Format{6, 16}, Format{2, 8}, Format{4, 8}, Format{3, 8}}) {
        ImageSpec s = specFor(f, 45, 23, false, 300);
        const std::vector<Bytes> rows = makeRows(s);
        const Bytes plte = chunk("PLTE", Bytes(3 * 200, 90));
        const Bytes exact = unfiltered(rows);
        Bytes longer = exact;
        longer.resize(exact.size() + 5000, 0xA5);
        const Decoded expected = decode(simplePng(ihdrData(45, 23, f.bitDepth, f.colourType), exact, {plte}));
        ASSERT_EQ(0u, expected.error) << describe(s);
        ByteBuffer pixels;
        PngDecoder decoder;
        const Bytes file = simplePng(ihdrData(45, 23, f.bitDepth, f.colourType), longer, {plte});
        decoder.decode(pixels, file.data(), file.size());
        ASSERT_EQ(0u, decoder.error) << describe(s);
        EXPECT_TRUE(pixels.size() == expected.pixels.size() &&
                    std::equal(expected.pixels.begin(), expected.pixels.end(), pixels.data()))
            << describe(s);
        EXPECT_EQ(expected.pixels, decode(file).pixels) << describe(s);
        const Bytes shorter(exact.begin(), exact.end() - 1);
        EXPECT_EQ(kPngErrorImageDataTooShort,
                  errorOf(simplePng(ihdrData(45, 23, f.bitDepth, f.colourType), shorter, {plte})))
            << describe(s);
    }
}

// A 1 x 1 image whose stream goes on for 300 MiB (from 1.9 MB) past its two scanline bytes,
// in place and, interlaced, in an array of its own. Inflating stops where the scanlines end, so
// the rest is never inflated and its checksum (left zero here) never checked; libpng too
// decodes such a file, ignoring what follows with a warning.
TEST(PngDecoder, AStreamGoingOnPastTheScanlinesIsNeverInflated) {
    const Bytes bomb = inflatetest::repeatedLastByte({0, 0x80}, std::size_t(300) << 20).zlib();
    for (int interlace : {0, 1}) {
        const Bytes file =
            pngFile({chunk("IHDR", ihdrData(1, 1, 8, 0, interlace)), chunk("IDAT", bomb), chunk("IEND", {})});
        const Decoded decoded = decode(file);
        EXPECT_EQ(0u, decoded.error) << interlace;
        EXPECT_EQ(Bytes({0x80, 0x80, 0x80, 0xFF}), decoded.pixels) << interlace;
    }
    Bytes longer = {0, 0x80};
    longer.resize(5000, 0x80);
    expectSameAsLibpng(simplePng(ihdrData(1, 1, 8, 0), longer), "a kilobyte and more past the scanlines");
}

TEST(PngDecoder, ZeroWidthOrHeightDecodesToNoPixels) {
    const Decoded wide = decode(simplePng(ihdrData(0, 3, 8, 6), {0, 0, 0}));
    EXPECT_EQ(0u, wide.error);
    EXPECT_TRUE(wide.pixels.empty());
    const Decoded tall = decode(simplePng(ihdrData(5, 0, 8, 6), {}));
    EXPECT_EQ(0u, tall.error);
    EXPECT_TRUE(tall.pixels.empty());
    EXPECT_EQ(0u, decode(simplePng(ihdrData(0, 0, 1, 0, 1), {})).error);
}

TEST(PngDecoder, WithoutConversionTheReconstructedBytesAreTheResult) {
    // Three 1-bit pixels a row: the spare bits are dropped and rows follow bit by bit.
    const Bytes scanlines = {0, 0xA0, 0, 0x40, 0, 0xE0};
    const Decoded d = decode(simplePng(ihdrData(3, 3, 1, 0), scanlines), true, false);
    ASSERT_EQ(0u, d.error);
    EXPECT_EQ((Bytes{0xAB, 0x80}), d.pixels); // 101 010 111 then padding
    for (const Format& f : kFormats)
        for (bool interlaced : {false, true}) {
            ImageSpec s = specFor(f, 11, 7, false, 700);
            const std::vector<Bytes> rows = makeRows(s);
            Bytes packed;
            for (const Bytes& r : rows)
                packed.insert(packed.end(), r.begin(), r.end());
            if (std::size_t(s.width) * channelsOf(s.colourType) * s.bitDepth % 8 != 0)
                continue; // rows with spare bits were checked above
            s.interlaced = interlaced;
            const Decoded raw = decode(writePng(s, rows), true, false);
            ASSERT_EQ(0u, raw.error) << describe(s);
            EXPECT_EQ(packed, raw.pixels) << describe(s);
        }
}

TEST(PngDecoder, InterlacedLowDepthWithoutConversionPlacesPixelsBitByBit) {
    ImageSpec s = specFor({0, 2}, 7, 5, false, 800);
    const std::vector<Bytes> rows = makeRows(s);
    const Decoded plain = decode(writePng(s, rows), true, false);
    s.interlaced = true;
    const Decoded laced = decode(writePng(s, rows), true, false);
    ASSERT_EQ(0u, plain.error);
    ASSERT_EQ(0u, laced.error);
    EXPECT_EQ((7u * 5 * 2 + 7) / 8, plain.pixels.size());
    EXPECT_EQ(plain.pixels, laced.pixels);
}

TEST(PngDecoder, FreshDecoderReportsOneAndDecodeResetsWhatAnEarlierFileSet) {
    PngDecoder decoder;
    EXPECT_EQ(1u, decoder.error);
    EXPECT_TRUE(decoder.convertColour);
    EXPECT_TRUE(decoder.checkCrc);
    EXPECT_TRUE(decoder.checkAdler32);
    EXPECT_EQ(6u, decoder.outputColourType);
    EXPECT_EQ(8u, decoder.outputBitDepth);
    Bytes pixels;
    const Bytes keyed = simplePng(ihdrData(1, 1, 8, 0), {0, 5}, {chunk("tRNS", {0, 5})});
    decoder.decode(pixels, keyed.data(), keyed.size());
    EXPECT_TRUE(decoder.keyDefined);
    const Bytes plain = simplePng(ihdrData(1, 1, 8, 0), {0, 5});
    decoder.decode(pixels, plain.data(), plain.size());
    ASSERT_EQ(0u, decoder.error);
    EXPECT_FALSE(decoder.keyDefined);
    EXPECT_EQ(255, pixels[3]);
}

TEST(PngDecoder, IhdrLengthFieldIsNotReadAndPlteIsAcceptedWithAnyColourType) {
    Bytes file = simplePng(ihdrData(2, 1, 8, 2), {0, 1, 2, 3, 4, 5, 6}, {chunk("PLTE", {9, 9, 9})});
    file[11] = 0x99; // the IHDR length field
    const Decoded d = decode(file);
    ASSERT_EQ(0u, d.error);
    EXPECT_EQ((Bytes{1, 2, 3, 255, 4, 5, 6, 255}), d.pixels);
}

TEST(PngDecoder, EveryChunksCrcIsCheckedIendIncluded) {
    Bytes file = simplePng(ihdrData(1, 1, 8, 0), {0, 0}, {chunk("zzZz", {1, 2, 3})});
    EXPECT_EQ(0u, errorOf(file));
    Bytes badIend = file;
    badIend.back() ^= 1;
    EXPECT_EQ(57u, errorOf(badIend));
    Bytes badUnknown = file;
    badUnknown[33 + 8 + 3] ^= 1; // the unknown chunk's CRC
    EXPECT_EQ(57u, errorOf(badUnknown));
}

TEST(PngDecoder, CrcCheckOffAcceptsDamagedCrcs) {
    Bytes file = simplePng(ihdrData(2, 1, 8, 0), {0, 9, 8});
    for (std::size_t at : chunkOffsets(file)) {
        const uint32_t length = (uint32_t(file[at]) << 24) | (file[at + 1] << 16) | (file[at + 2] << 8) | file[at + 3];
        file[at + 8 + length] ^= 1;
    }
    EXPECT_EQ(57u, errorOf(file));
    const Decoded d = decode(file, false);
    EXPECT_EQ(0u, d.error);
    EXPECT_EQ((Bytes{9, 9, 9, 255, 8, 8, 8, 255}), d.pixels);
}

TEST(PngDecoder, LoadFileReadsTheWholeFileAndLeavesAMissingOneEmpty) {
    testsupport::ScratchDir dir;
    const Bytes bytes = writePng(specFor({6, 8}, 20, 20, false, 900));
    testsupport::writeFile("image.png", std::string(bytes.begin(), bytes.end()));
    Bytes loaded = {1, 2, 3};
    loadFile(loaded, "image.png");
    EXPECT_EQ(bytes, loaded);
    loadFile(loaded, "missing.png");
    EXPECT_TRUE(loaded.empty());
    testsupport::writeFile("empty.png", "");
    loaded = {1};
    loadFile(loaded, "empty.png");
    EXPECT_TRUE(loaded.empty());
    loaded = {1};
    loadFile(loaded, dir.path.string());
    EXPECT_TRUE(loaded.empty()) << "a directory is not a file";
}

// ---- Error codes ---------------------------------------------------------------------------------

TEST(PngErrors, SizeSignatureAndHeaderCodesInTheirOrder) {
    PngDecoder nothing;
    Bytes pixels;
    nothing.decode(pixels, nullptr, 10);
    EXPECT_EQ(48u, nothing.error);
    const Bytes good = simplePng(ihdrData(1, 1, 8, 0), {0, 0});
    nothing.decode(pixels, good.data(), 0);
    EXPECT_EQ(48u, nothing.error);
    EXPECT_EQ(27u, errorOf(Bytes(good.begin(), good.begin() + 28)));
    Bytes badSignature = good;
    badSignature[3] = 'X';
    EXPECT_EQ(28u, errorOf(badSignature));
    EXPECT_EQ(29u, errorOf(pngFile({chunk("IHDX", ihdrData(1, 1, 8, 0)), chunk("IEND", {})})));
    EXPECT_EQ(35u, errorOf(Bytes(good.begin(), good.begin() + 31))) << "IHDR's own CRC is cut off";
    EXPECT_EQ(30u, errorOf(Bytes(good.begin(), good.begin() + 31), false));

    EXPECT_EQ(32u, errorOf(simplePng(ihdrData(1, 1, 8, 0, 0, 1), {0, 0})));
    EXPECT_EQ(33u, errorOf(simplePng(ihdrData(1, 1, 8, 0, 0, 0, 1), {0, 0})));
    EXPECT_EQ(34u, errorOf(simplePng(ihdrData(1, 1, 8, 0, 2), {0, 0})));
    EXPECT_EQ(31u, errorOf(simplePng(ihdrData(1, 1, 8, 1), {0, 0})));
    EXPECT_EQ(31u, errorOf(simplePng(ihdrData(1, 1, 8, 7), {0, 0})));
    for (const Format bad : {Format{0, 3}, Format{2, 4}, Format{3, 16}, Format{4, 1}, Format{6, 2}, Format{0, 32}})
        EXPECT_EQ(37u, errorOf(simplePng(ihdrData(1, 1, bad.bitDepth, bad.colourType), {0, 0})));
    // Order: compression before filter before interlace before colour type before depth.
    EXPECT_EQ(32u, errorOf(simplePng(ihdrData(1, 1, 3, 9, 5, 1, 1), {0, 0})));
    EXPECT_EQ(33u, errorOf(simplePng(ihdrData(1, 1, 3, 9, 5, 0, 1), {0, 0})));
    EXPECT_EQ(34u, errorOf(simplePng(ihdrData(1, 1, 3, 9, 5), {0, 0})));
    EXPECT_EQ(31u, errorOf(simplePng(ihdrData(1, 1, 3, 9), {0, 0})));
    // The IHDR CRC comes before all of them.
    Bytes badCrc = simplePng(ihdrData(1, 1, 8, 0, 0, 1), {0, 0});
    badCrc[30] ^= 1;
    EXPECT_EQ(57u, errorOf(badCrc));
}

TEST(PngErrors, ChunkLayoutCodes) {
    const Bytes ihdr = chunk("IHDR", ihdrData(1, 1, 8, 0));
    const Bytes idat = chunk("IDAT", zlibOf({0, 0}));
    EXPECT_EQ(30u, errorOf(pngFile({ihdr, idat}))) << "no IEND";
    Bytes huge = chunk("tEXt", {});
    huge[0] = 0x80;
    EXPECT_EQ(63u, errorOf(pngFile({ihdr, huge, idat, chunk("IEND", {})})));
    Bytes overlong = chunk("tEXt", {});
    overlong[3] = 200;
    EXPECT_EQ(35u, errorOf(pngFile({ihdr, overlong, idat, chunk("IEND", {})})));
    EXPECT_EQ(53u, errorOf(pngFile({ihdr, chunk("IEND", {})}))) << "no IDAT: empty zlib data";
    // Chunks after IEND are never looked at.
    Bytes after = pngFile({ihdr, idat, chunk("IEND", {})});
    after.insert(after.end(), {0xFF, 0xFF, 0xFF, 0xFF, 'b', 'a', 'd', '!'});
    EXPECT_EQ(0u, errorOf(after));
}

TEST(PngErrors, PaletteTransparencyAndBackgroundCodes) {
    const Bytes plte = chunk("PLTE", Bytes(6, 1));
    auto palettePng = [&](std::vector<Bytes> extra) { return simplePng(ihdrData(1, 1, 8, 3), {0, 0}, extra); };
    EXPECT_EQ(38u, errorOf(palettePng({chunk("PLTE", Bytes(257 * 3, 1))})));
    EXPECT_EQ(0u, errorOf(palettePng({chunk("PLTE", Bytes(256 * 3 + 2, 1))}))) << "256 entries and a remainder";
    EXPECT_EQ(39u, errorOf(palettePng({plte, chunk("tRNS", {1, 2, 3})})));
    EXPECT_EQ(39u, errorOf(palettePng({chunk("tRNS", {1}), plte}))) << "tRNS before PLTE";
    EXPECT_EQ(40u, errorOf(simplePng(ihdrData(1, 1, 8, 0), {0, 0}, {chunk("tRNS", {0, 0, 0})})));
    EXPECT_EQ(41u, errorOf(simplePng(ihdrData(1, 1, 8, 2), {0, 0, 0, 0}, {chunk("tRNS", {0, 0})})));
    EXPECT_EQ(42u, errorOf(simplePng(ihdrData(1, 1, 8, 4), {0, 0, 0}, {chunk("tRNS", {0, 0})})));
    EXPECT_EQ(42u, errorOf(simplePng(ihdrData(1, 1, 8, 6), {0, 0, 0, 0, 0}, {chunk("tRNS", {0, 0})})));
    EXPECT_EQ(43u, errorOf(palettePng({plte, chunk("bKGD", {0, 0})})));
    EXPECT_EQ(44u, errorOf(simplePng(ihdrData(1, 1, 8, 0), {0, 0}, {chunk("bKGD", {0})})));
    EXPECT_EQ(44u, errorOf(simplePng(ihdrData(1, 1, 8, 4), {0, 0, 0}, {chunk("bKGD", Bytes(6, 0))})));
    EXPECT_EQ(45u, errorOf(simplePng(ihdrData(1, 1, 8, 2), {0, 0, 0, 0}, {chunk("bKGD", {0, 0})})));
    EXPECT_EQ(45u, errorOf(simplePng(ihdrData(1, 1, 8, 6), {0, 0, 0, 0, 0}, {chunk("bKGD", {0})})));
    // The chunk's own check comes before its CRC.
    Bytes longPalette = palettePng({chunk("PLTE", Bytes(257 * 3, 1))});
    longPalette[33 + 8 + 5] ^= 1;
    EXPECT_EQ(38u, errorOf(longPalette));
}

TEST(PngErrors, PaletteIndexBeyondThePalette) {
    const Bytes plte = chunk("PLTE", Bytes(6, 1)); // two entries
    EXPECT_EQ(46u, errorOf(simplePng(ihdrData(3, 1, 8, 3), {0, 0, 1, 2}, {plte})));
    EXPECT_EQ(47u, errorOf(simplePng(ihdrData(3, 1, 2, 3), {0, 0x24}, {plte}))); // indices 0 2 1
    EXPECT_EQ(47u, errorOf(simplePng(ihdrData(1, 1, 1, 3), {0, 0})));            // no PLTE at all
    EXPECT_EQ(0u, errorOf(simplePng(ihdrData(3, 1, 2, 3), {0, 0x13}, {plte})))
        << "spare bits after the last pixel are not indices";
}

TEST(PngErrors, ScanlineCodes) {
    EXPECT_EQ(36u, errorOf(simplePng(ihdrData(1, 2, 8, 0), {0, 0, 5, 0})));
    Bytes scanlines(200, 0);
    EXPECT_EQ(0u, errorOf(simplePng(ihdrData(6, 6, 8, 6, 1), scanlines)));
    scanlines[0] = 9;
    EXPECT_EQ(36u, errorOf(simplePng(ihdrData(6, 6, 8, 6, 1), scanlines))) << "first filter byte of pass 1";
    EXPECT_EQ(kPngErrorImageDataTooShort, errorOf(simplePng(ihdrData(2, 2, 8, 2), Bytes(13, 0))));
    EXPECT_EQ(0u, errorOf(simplePng(ihdrData(2, 2, 8, 2), Bytes(14, 0))));
    EXPECT_EQ(0u, errorOf(simplePng(ihdrData(2, 2, 8, 2), Bytes(99, 0)))) << "bytes after the last row";
}

TEST(PngErrors, SizesBeyond32BitsAreRefusedBeforeAnyAllocation) {
    EXPECT_EQ(kPngErrorImageTooLarge, errorOf(simplePng(ihdrData(65536, 16384, 8, 6), {0})));
    EXPECT_EQ(kPngErrorImageTooLarge, errorOf(simplePng(ihdrData(0xFFFFFFFF, 0xFFFFFFFF, 16, 6), {0})));
    // width x height x 4 fits but the scanlines (8 bytes a pixel) do not.
    EXPECT_EQ(kPngErrorImageTooLarge, errorOf(simplePng(ihdrData(32768, 32767, 16, 6), {0})));
    // Claims that fit but that the data cannot back: short data, not an allocation.
    EXPECT_EQ(kPngErrorImageDataTooShort, errorOf(simplePng(ihdrData(30000, 30000, 8, 6), Bytes(1000, 0))));
}

TEST(PngErrors, InflateCodesPassThrough) {
    const Bytes ihdr = chunk("IHDR", ihdrData(1, 1, 8, 0));
    Bytes zlib = zlibOf({0, 7});
    zlib.back() ^= 1;
    EXPECT_EQ(58u, errorOf(pngFile({ihdr, chunk("IDAT", zlib), chunk("IEND", {})})));
    PngDecoder lenient;
    lenient.checkAdler32 = false;
    const Bytes file = pngFile({ihdr, chunk("IDAT", zlib), chunk("IEND", {})});
    Bytes pixels;
    lenient.decode(pixels, file.data(), file.size());
    EXPECT_EQ(0u, lenient.error);
    EXPECT_EQ((Bytes{7, 7, 7, 255}), pixels);
    EXPECT_EQ(24u, errorOf(pngFile({ihdr, chunk("IDAT", {0x78, 0x9D, 3, 0, 0, 0, 0, 1}), chunk("IEND", {})})));
}

TEST(PngErrors, FlippedByteInsideAnyChunksDataFailsWith57) {
    ImageSpec s = specFor({3, 4}, 9, 7, false, 1100);
    s.transparentCount = 5;
    s.text = true;
    s.background = true;
    const Bytes file = writePng(s);
    int flipped = 0;
    for (std::size_t at : chunkOffsets(file)) {
        const uint32_t length = (uint32_t(file[at]) << 24) | (file[at + 1] << 16) | (file[at + 2] << 8) | file[at + 3];
        for (std::size_t i = at + 8; i < at + 8 + length; ++i, ++flipped) {
            Bytes bad = file;
            bad[i] ^= 0x20;
            ASSERT_EQ(57u, errorOf(bad)) << "byte " << i;
        }
    }
    EXPECT_GT(flipped, 60);
}

TEST(PngErrors, CutAtEveryOffsetFailsWith30Or35) {
    const Bytes file = writePng(specFor({2, 8}, 5, 4, false, 1200));
    const std::vector<std::size_t> at = chunkOffsets(file);
    for (std::size_t cut = 1; cut < file.size(); ++cut) {
        unsigned expected = 0;
        if (cut < 29)
            expected = 27;
        else if (cut < 33)
            expected = 35;
        else
            for (std::size_t pos : at) {
                if (pos < 33)
                    continue;
                const uint32_t length =
                    (uint32_t(file[pos]) << 24) | (file[pos + 1] << 16) | (file[pos + 2] << 8) | file[pos + 3];
                if (pos + 8 > cut) {
                    expected = 30;
                    break;
                }
                if (pos + 12 + length > cut) {
                    expected = 35;
                    break;
                }
            }
        ASSERT_EQ(expected, errorOf(Bytes(file.begin(), file.begin() + std::ptrdiff_t(cut)))) << "cut at " << cut;
    }
}
