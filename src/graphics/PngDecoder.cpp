// PNG decoding: signature and IHDR, the chunk walk with its CRCs, IDAT collection, inflate,
// Adam7 passes, unfiltering and the conversion to 8-bit RGBA.
//
// Untrusted sizes: every read of the file goes through fitsIn(). Nothing is allocated from a
// header's claims alone: image sizes that do not fit in 32 bits are refused up front, and the
// inflate output is capped by what the compressed bytes could produce. The pixel array is
// allocated only after the decompressed data has been found long enough for the image, except
// where the scanlines are inflated into it, which needs the data to be able to fill them and
// the array to be at most twice their size; its pages are touched only as data arrives.
// Inflating stops where the scanlines are complete: data after them inside IDAT is ignored, as
// libpng ignores it (with a warning), and never inflated, so a small image followed by a
// stream that expands to gigabytes costs what the image does. Its checksum goes unchecked.
#include "graphics/PngDecoder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <tmmintrin.h>
#endif

#include "graphics/ByteBuffer.h"
#include "graphics/Crc32.h"
#include "graphics/Inflate.h"
#include "graphics/PngFilters.h"

namespace {

// The one gate for untrusted input: true when `count` bytes starting at `pos` lie in `size`.
inline bool fitsIn(std::size_t size, std::size_t pos, std::size_t count) {
    return pos <= size && count <= size - pos;
}

constexpr unsigned char kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
constexpr std::size_t kMinFileSize = 29;
constexpr std::size_t kIhdrTypeAt = 12;
constexpr std::size_t kIhdrDataAt = 16;
constexpr std::size_t kIhdrCrcAt = 29;
constexpr std::size_t kIhdrCrcBytes = 17; // type and 13 bytes of data
constexpr std::size_t kFirstChunkAt = 33;
constexpr std::size_t kChunkHeaderBytes = 8;
constexpr std::size_t kChunkCrcBytes = 4;
constexpr uint32_t kMaxChunkLength = 2147483647u;
constexpr uint64_t kMaxSize32 = 0xFFFFFFFFull;
constexpr std::size_t kMaxPaletteEntries = 256;
constexpr unsigned kMaxFilterType = 4;

constexpr uint32_t kGrey = 0, kRgb = 2, kPalette = 3, kGreyAlpha = 4, kRgba = 6;

inline uint32_t readBe32(const unsigned char* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
inline uint16_t readBe16(const unsigned char* p) {
    return uint16_t((p[0] << 8) | p[1]);
}
inline bool isType(const unsigned char* type, const char* name) {
    return std::memcmp(type, name, 4) == 0;
}

unsigned channelsOf(uint32_t colourType) {
    switch (colourType) {
    case kGrey:
    case kPalette:
        return 1;
    case kRgb:
        return 3;
    case kGreyAlpha:
        return 2;
    case kRgba:
        return 4;
    default:
        return 0;
    }
}

bool depthAllowed(uint32_t colourType, uint32_t depth) {
    switch (colourType) {
    case kGrey:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case kPalette:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    default:
        return depth == 8 || depth == 16;
    }
}

// One reduced image of the scanline data: where its pixels go and how many bytes its rows take.
struct Pass {
    uint32_t x0, y0, dx, dy;
    uint64_t width, height, rowBytes, offset;
};

// Adam7: starting column and row, then column and row steps, of each of the seven passes.
constexpr uint32_t kAdam7[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                   {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};

// The passes holding data, in file order, and the total scanline bytes they take.
uint64_t layoutPasses(uint32_t width, uint32_t height, unsigned bpp, bool interlaced, Pass* passes, int& count) {
    count = 0;
    uint64_t offset = 0;
    auto add = [&](uint32_t x0, uint32_t y0, uint32_t dx, uint32_t dy, uint64_t w, uint64_t h) {
        const uint64_t rowBytes = (w * bpp + 7) / 8;
        passes[count++] = Pass{x0, y0, dx, dy, w, h, rowBytes, offset};
        offset += h * (1 + rowBytes);
    };
    if (!interlaced) {
        add(0, 0, 1, 1, width, height);
        return offset;
    }
    for (const auto& a : kAdam7) {
        const uint64_t w = width > a[0] ? (uint64_t(width) - a[0] + a[2] - 1) / a[2] : 0;
        const uint64_t h = height > a[1] ? (uint64_t(height) - a[1] + a[3] - 1) / a[3] : 0;
        if (w != 0 && h != 0) // a pass with no columns or rows takes no bytes
            add(a[0], a[1], a[2], a[3], w, h);
    }
    return offset;
}

#if defined(__x86_64__)
// Four RGB pixels at a time: one 16-byte load, a byte shuffle to RGBx, opaque alpha ORed in.
// SSSE3 is checked at run time; returns how many pixels were converted.
__attribute__((target("ssse3"))) std::size_t rgbToRgbaSsse3(const uint8_t* in, uint8_t* out, std::size_t count) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i opaque = _mm_set1_epi32(int(0xFF000000u));
    std::size_t i = 0;
    for (; i + 6 <= count; i += 4) { // the load reads 16 of the 18 bytes that six pixels take
        const __m128i rgb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 3 * i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * i), _mm_or_si128(_mm_shuffle_epi8(rgb, spread), opaque));
    }
    return i;
}
#endif

std::size_t rgbToRgbaWide(const uint8_t* in, uint8_t* out, std::size_t count) {
#if defined(__x86_64__)
    static const bool hasSsse3 = __builtin_cpu_supports("ssse3");
    if (hasSsse3)
        return rgbToRgbaSsse3(in, out, count);
#endif
    (void)in, (void)out, (void)count;
    return 0;
}

inline void putRgba(uint8_t* out, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    const uint32_t v = r | (g << 8) | (b << 16) | (a << 24);
    std::memcpy(out, &v, 4); // little-endian hosts: bytes R, G, B, A
}

// Converts rows of one colour type and bit depth to 8-bit RGBA, by the decoder's table.
class RowConverter {
public:
    explicit RowConverter(const PngDecoder& png)
        : colourType_(png.colourType), depth_(png.bitDepth), keyDefined_(png.keyDefined), keyRed_(png.keyRed),
          keyGreen_(png.keyGreen), keyBlue_(png.keyBlue) {
        if (colourType_ == kGrey && depth_ <= 8) {
            const uint32_t maxValue = (1u << depth_) - 1;
            for (uint32_t v = 0; v <= maxValue; ++v) {
                const uint32_t grey = depth_ < 8 ? v * 255 / maxValue : v;
                const uint32_t alpha = keyDefined_ && v == keyRed_ ? 0 : 255;
                putRgba(reinterpret_cast<uint8_t*>(&lut_[v]), grey, grey, grey, alpha);
            }
        } else if (colourType_ == kPalette) {
            paletteSize_ = uint32_t(png.palette.size() / 4);
            if (!png.palette.empty()) // memcpy must not see the null data() of an empty vector
                std::memcpy(lut_, png.palette.data(), png.palette.size());
        }
        if (depth_ < 8)
            buildByteTable();
    }

    // Converts `count` pixels; fails only on a palette index beyond the palette.
    unsigned convert(const uint8_t* in, uint8_t* out, std::size_t count) const {
        switch (colourType_) {
        case kGrey:
            if (depth_ == 16) {
                for (std::size_t i = 0; i < count; ++i, in += 2, out += 4) {
                    const bool keyed = keyDefined_ && readBe16(in) == keyRed_;
                    putRgba(out, in[0], in[0], in[0], keyed ? 0 : 255);
                }
            } else if (depth_ == 8) {
                lookUpBytes(in, out, count);
            } else {
                convertLowDepth(in, out, count);
            }
            return kPngOk;
        case kRgb:
            convertRgb(in, out, count);
            return kPngOk;
        case kPalette:
            return convertPalette(in, out, count);
        case kGreyAlpha:
            for (std::size_t i = 0, step = depth_ / 4; i < count; ++i, in += step, out += 4)
                putRgba(out, in[0], in[0], in[0], in[step / 2]);
            return kPngOk;
        default: // kRgba
            if (depth_ == 8) {
                std::memcpy(out, in, count * 4);
            } else {
                for (std::size_t i = 0; i < count; ++i, in += 8, out += 4)
                    putRgba(out, in[0], in[2], in[4], in[6]);
            }
            return kPngOk;
        }
    }

private:
    // Below 8 bits one input byte holds 8 / depth pixels: a table gives all their RGBA at once,
    // and for palettes whether any of them is beyond the palette.
    void buildByteTable() {
        const uint32_t perByte = 8 / depth_;
        byteTable_.resize(256 * perByte);
        for (uint32_t b = 0; b < 256; ++b)
            for (uint32_t i = 0; i < perByte; ++i) {
                const uint32_t value = lowDepthValue(reinterpret_cast<const uint8_t*>(&b), i);
                byteTable_[b * perByte + i] = lut_[value];
                if (colourType_ == kPalette && value >= paletteSize_)
                    badByte_[b] = true;
            }
    }

    // Whole input bytes through the byte table, then the pixels of a last partial byte.
    // Returns true if a palette index was beyond the palette.
    bool convertLowDepth(const uint8_t* in, uint8_t* out, std::size_t count) const {
        const std::size_t perByte = 8 / depth_;
        const std::size_t wholeBytes = count / perByte;
        bool bad = false;
        // A copy of constant size per depth, which the compiler turns into whole-register moves.
        if (perByte == 8)
            bad = convertWholeBytes<8>(in, out, wholeBytes);
        else if (perByte == 4)
            bad = convertWholeBytes<4>(in, out, wholeBytes);
        else
            bad = convertWholeBytes<2>(in, out, wholeBytes);
        for (std::size_t i = wholeBytes * perByte; i < count; ++i) {
            const uint32_t value = lowDepthValue(in, i);
            bad |= colourType_ == kPalette && value >= paletteSize_;
            std::memcpy(out + 4 * i, &lut_[value], 4);
        }
        return bad;
    }

    template <std::size_t kPerByte> bool convertWholeBytes(const uint8_t* in, uint8_t* out, std::size_t bytes) const {
        bool bad = false;
        for (std::size_t i = 0; i < bytes; ++i) {
            bad |= badByte_[in[i]];
            std::memcpy(out + i * kPerByte * 4, &byteTable_[in[i] * kPerByte], kPerByte * 4);
        }
        return bad;
    }

    // The i-th value of a row packed at 1, 2 or 4 bits, most significant bits first.
    uint32_t lowDepthValue(const uint8_t* in, std::size_t i) const {
        const std::size_t bit = i * depth_;
        return (in[bit >> 3] >> (8 - depth_ - (bit & 7))) & ((1u << depth_) - 1);
    }

    void convertRgb(const uint8_t* in, uint8_t* out, std::size_t count) const {
        if (depth_ == 16) {
            for (std::size_t i = 0; i < count; ++i, in += 6, out += 4) {
                const bool keyed = keyDefined_ && readBe16(in) == keyRed_ && readBe16(in + 2) == keyGreen_ &&
                                   readBe16(in + 4) == keyBlue_;
                putRgba(out, in[0], in[2], in[4], keyed ? 0 : 255);
            }
            return;
        }
        if (!keyDefined_) {
            std::size_t i = rgbToRgbaWide(in, out, count);
            // Four-byte loads: the byte after each pixel belongs to the row except after the last.
            for (; i + 1 < count; ++i) {
                uint32_t v;
                std::memcpy(&v, in + 3 * i, 4);
                v |= 0xFF000000u;
                std::memcpy(out + 4 * i, &v, 4);
            }
            for (; i < count; ++i)
                putRgba(out + 4 * i, in[3 * i], in[3 * i + 1], in[3 * i + 2], 255);
            return;
        }
        for (std::size_t i = 0; i < count; ++i, in += 3, out += 4) {
            const bool keyed = in[0] == keyRed_ && in[1] == keyGreen_ && in[2] == keyBlue_;
            putRgba(out, in[0], in[1], in[2], keyed ? 0 : 255);
        }
    }

    // The largest index is found in a pass of its own: kept beside the lookups, its running
    // maximum would chain every pixel to the one before.
    unsigned convertPalette(const uint8_t* in, uint8_t* out, std::size_t count) const {
        if (depth_ != 8)
            return convertLowDepth(in, out, count) ? kPngErrorPaletteIndexLowDepth : kPngOk;
        lookUpBytes(in, out, count);
        if (count != 0 && largestByte(in, count) >= paletteSize_)
            return kPngErrorPaletteIndex;
        return kPngOk;
    }

    // Each input byte's RGBA from the table, two pixels a store: the loop is bound by its stores.
    void lookUpBytes(const uint8_t* in, uint8_t* out, std::size_t count) const {
        std::size_t i = 0;
        for (; i + 2 <= count; i += 2) {
            const uint64_t two = lut_[in[i]] | (uint64_t(lut_[in[i + 1]]) << 32);
            std::memcpy(out + 4 * i, &two, 8);
        }
        for (; i < count; ++i)
            std::memcpy(out + 4 * i, &lut_[in[i]], 4);
    }

    static uint32_t largestByte(const uint8_t* in, std::size_t count) {
        uint32_t largest = 0;
        std::size_t i = 0;
#if defined(__SSE2__)
        __m128i wide = _mm_setzero_si128();
        for (; i + 16 <= count; i += 16)
            wide = _mm_max_epu8(wide, _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i)));
        alignas(16) uint8_t lanes[16];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes), wide);
        for (uint8_t lane : lanes)
            largest = std::max<uint32_t>(largest, lane);
#endif
        for (; i < count; ++i)
            largest = std::max<uint32_t>(largest, in[i]);
        return largest;
    }

    uint32_t colourType_, depth_;
    bool keyDefined_;
    uint16_t keyRed_, keyGreen_, keyBlue_;
    uint32_t paletteSize_ = 0;
    uint32_t lut_[256] = {};
    std::vector<uint32_t> byteTable_;
    bool badByte_[256] = {};
};

// Copies `bits` bits (a multiple of 8, or below 8) of pixel `from` in `in` to pixel `to` in `out`.
inline void copyPixelBits(const uint8_t* in, uint64_t from, uint8_t* out, uint64_t to, unsigned bits) {
    if (bits >= 8) {
        std::memcpy(out + to * (bits / 8), in + from * (bits / 8), bits / 8);
        return;
    }
    const uint64_t fromBit = from * bits, toBit = to * bits;
    const unsigned mask = (1u << bits) - 1;
    const unsigned value = (in[fromBit >> 3] >> (8 - bits - (fromBit & 7))) & mask;
    const unsigned shift = 8 - bits - unsigned(toBit & 7);
    uint8_t& target = out[toBit >> 3];
    target = uint8_t((target & ~(mask << shift)) | (value << shift));
}

// Appends one IDAT's data; a single IDAT is used where it lies, more are joined.
class ImageDataCollector {
public:
    void add(const uint8_t* data, std::size_t length) {
        if (count_++ == 0) {
            first_ = data;
            firstLength_ = length;
            return;
        }
        if (count_ == 2)
            append(first_, firstLength_);
        append(data, length);
    }
    const uint8_t* data() const { return count_ > 1 ? joined_.data() : first_; }
    std::size_t size() const { return count_ > 1 ? joined_.size() : firstLength_; }

private:
    void append(const uint8_t* data, std::size_t length) {
        const std::size_t used = joined_.size();
        if (joined_.capacity() - used < length)
            joined_.reserve(std::max(joined_.capacity() * 2, used + length));
        joined_.resize(used + length);
        if (length != 0)
            std::memcpy(joined_.data() + used, data, length);
    }

    std::size_t count_ = 0;
    const uint8_t* first_ = nullptr;
    std::size_t firstLength_ = 0;
    ByteBuffer joined_;
};

// Room past the scanlines inflated in place, so that the inflater's fast loop runs to the end.
constexpr std::size_t kInflateRoom = 512;

// Inflater output in a region of the pixel array, `limit` bytes of which the scanlines take.
class RegionOutput : public InflateOutput {
public:
    void place(uint8_t* region, std::size_t size, std::size_t scanlineBytes) {
        start = region;
        capacity = size;
        limit = scanlineBytes;
    }
    // Never called: the inflater asks for no more than the limit, which the region holds.
    void grow(std::size_t) override { std::abort(); }
    void finish() override {}
};

} // namespace

void loadFile(std::vector<unsigned char>& bytes, const std::string& path) {
    bytes.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return;
    // A directory opens and seeks on Linux and reports a meaningless size: only files are read.
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(file);
        return;
    }
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        if (size > 0 && std::fseek(file, 0, SEEK_SET) == 0) {
            bytes.resize(std::size_t(size));
            bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
        }
    }
    std::fclose(file);
}

unsigned PngDecoder::readChunk(const unsigned char* type, const unsigned char* data, uint32_t length) {
    if (isType(type, "PLTE")) {
        const std::size_t entries = length / 3;
        if (entries > kMaxPaletteEntries)
            return kPngErrorPaletteTooLong;
        palette.resize(entries * 4);
        for (std::size_t i = 0; i < entries; ++i) {
            std::memcpy(&palette[i * 4], data + i * 3, 3);
            palette[i * 4 + 3] = 255;
        }
    } else if (isType(type, "tRNS")) {
        if (colourType == kPalette) {
            if (length > palette.size() / 4)
                return kPngErrorTransparencyPalette;
            for (uint32_t i = 0; i < length; ++i)
                palette[i * 4 + 3] = data[i];
        } else if (colourType == kGrey) {
            if (length != 2)
                return kPngErrorTransparencyGrey;
            keyDefined = true;
            keyRed = keyGreen = keyBlue = readBe16(data);
        } else if (colourType == kRgb) {
            if (length != 6)
                return kPngErrorTransparencyRgb;
            keyDefined = true;
            keyRed = readBe16(data);
            keyGreen = readBe16(data + 2);
            keyBlue = readBe16(data + 4);
        } else {
            return kPngErrorTransparencyWithAlpha;
        }
    } else if (isType(type, "bKGD")) {
        if (colourType == kPalette && length != 1)
            return kPngErrorBackgroundPalette;
        if ((colourType == kGrey || colourType == kGreyAlpha) && length != 2)
            return kPngErrorBackgroundGrey;
        if ((colourType == kRgb || colourType == kRgba) && length != 6)
            return kPngErrorBackgroundRgb;
    }
    return kPngOk;
}

template <class Pixels> unsigned PngDecoder::run(Pixels& pixels, const unsigned char* data, std::size_t size) {
    palette.clear();
    keyDefined = false;
    keyRed = keyGreen = keyBlue = 0;
    pixels.clear();
    if (data == nullptr || size == 0)
        return kPngErrorNoInput;
    if (!fitsIn(size, 0, kMinFileSize))
        return kPngErrorTooShort;
    if (std::memcmp(data, kSignature, sizeof kSignature) != 0)
        return kPngErrorSignature;
    if (!isType(data + kIhdrTypeAt, "IHDR"))
        return kPngErrorFirstChunkNotIhdr;
    const unsigned char* ihdr = data + kIhdrDataAt;
    width = readBe32(ihdr);
    height = readBe32(ihdr + 4);
    bitDepth = ihdr[8];
    colourType = ihdr[9];
    compressionMethod = ihdr[10];
    filterMethod = ihdr[11];
    interlaceMethod = ihdr[12];
    if (checkCrc) {
        if (!fitsIn(size, kIhdrCrcAt, kChunkCrcBytes))
            return kPngErrorChunkPastEnd; // the IHDR chunk's own CRC is cut off
        if (pngCrc32(data + kIhdrTypeAt, kIhdrCrcBytes) != readBe32(data + kIhdrCrcAt))
            return kPngErrorCrc;
    }
    if (compressionMethod != 0)
        return kPngErrorCompressionMethod;
    if (filterMethod != 0)
        return kPngErrorFilterMethod;
    if (interlaceMethod > 1)
        return kPngErrorInterlaceMethod;
    if (channelsOf(colourType) == 0)
        return kPngErrorColourType;
    if (!depthAllowed(colourType, bitDepth))
        return kPngErrorBitDepth;

    const unsigned bpp = bitDepth * channelsOf(colourType);
    Pass passes[7];
    int passCount = 0;
    if (uint64_t(width) * height > kMaxSize32 / 4)
        return kPngErrorImageTooLarge;
    const uint64_t scanlineBytes = layoutPasses(width, height, bpp, interlaceMethod == 1, passes, passCount);
    if (scanlineBytes > kMaxSize32)
        return kPngErrorImageTooLarge;

    ImageDataCollector imageData;
    for (std::size_t pos = kFirstChunkAt;;) {
        if (!fitsIn(size, pos, kChunkHeaderBytes))
            return kPngErrorChunkHeaderPastEnd;
        const uint32_t length = readBe32(data + pos);
        if (length > kMaxChunkLength)
            return kPngErrorChunkLength;
        if (!fitsIn(size, pos + kChunkHeaderBytes, std::size_t(length) + kChunkCrcBytes))
            return kPngErrorChunkPastEnd;
        const unsigned char* type = data + pos + 4;
        const unsigned char* chunkData = type + 4;
        const bool end = isType(type, "IEND");
        if (isType(type, "IDAT")) {
            imageData.add(chunkData, length);
        } else if (!end) {
            const unsigned chunkError = readChunk(type, chunkData, length);
            if (chunkError != kPngOk)
                return chunkError;
        }
        if (checkCrc && pngCrc32(type, std::size_t(length) + 4) != readBe32(chunkData + length))
            return kPngErrorCrc;
        if (end)
            break;
        pos += kChunkHeaderBytes + length + kChunkCrcBytes;
    }

    const bool identity = !convertColour || (colourType == kRgba && bitDepth == 8);
    const uint64_t pixelCount = uint64_t(width) * height;
    const uint64_t outputBytes = identity ? (pixelCount * bpp + 7) / 8 : pixelCount * 4;
    const bool rowsAreBytes = uint64_t(width) * bpp % 8 == 0;
    const uint64_t producible = uint64_t(imageData.size()) * kInflateMaxExpansion;

    // Where the data could fill the image, and the pixels take at most twice its scanline
    // bytes, the scanlines are inflated into the pixel array itself, which saves an array as
    // large as the image and a pass over it through memory. Rows are rebuilt front to back,
    // row y from scanline row y (width `in` with its filter byte) to pixel row y (width `out`).
    // When rows shrink (out <= in) the scanlines start at 0, and pixel row y ends at
    // (y + 1) out, never past the start of scanline row y + 1 at (y + 1) in. When they grow,
    // the scanlines end where the pixels do: they start at h (out - in), and (y + 1) out <=
    // h (out - in) + (y + 1) in holds for every y < h. Otherwise, and for Adam7, the scanlines
    // go to an array of their own, as large as the data could make them.
    ByteBuffer inflated;
    RegionOutput region;
    const uint8_t* scanlines = nullptr;
    const bool inPlace = passCount == 1 && (!identity || rowsAreBytes) && outputBytes != 0 &&
                         scanlineBytes <= producible && outputBytes <= 2 * scanlineBytes;
    if (inPlace) {
        const uint64_t inRow = passes[0].rowBytes + 1, outRow = outputBytes / height;
        const std::size_t start = outRow > inRow ? std::size_t(outputBytes - scanlineBytes) : 0;
        pixels.resize(std::size_t(std::max(outputBytes, scanlineBytes)) + kInflateRoom);
        region.place(pixels.data() + start, pixels.size() - start, std::size_t(scanlineBytes));
        const unsigned inflateError = zlibDecompress(region, imageData.data(), imageData.size(), checkAdler32);
        if (inflateError != kInflateOk && inflateError != kInflateOutputLimit)
            return inflateError;
        if (!fitsIn(region.used, 0, std::size_t(scanlineBytes)))
            return kPngErrorImageDataTooShort;
        scanlines = region.start;
    } else {
        inflated.reserve(std::size_t(std::min(scanlineBytes, producible)));
        const unsigned inflateError =
            zlibDecompress(inflated, imageData.data(), imageData.size(), checkAdler32, std::size_t(scanlineBytes));
        if (inflateError != kInflateOk && inflateError != kInflateOutputLimit)
            return inflateError;
        if (!fitsIn(inflated.size(), 0, std::size_t(scanlineBytes)))
            return kPngErrorImageDataTooShort;
        scanlines = inflated.data();
    }

    uint64_t widestRow = 0;
    for (int p = 0; p < passCount; ++p) {
        widestRow = std::max(widestRow, passes[p].rowBytes);
        for (uint64_t y = 0; y < passes[p].height; ++y)
            if (scanlines[passes[p].offset + y * (passes[p].rowBytes + 1)] > kMaxFilterType)
                return kPngErrorFilterType;
    }

    if (!inPlace)
        pixels.resize(std::size_t(outputBytes));
    if (outputBytes == 0) {
        pixels.resize(0);
        return kPngOk;
    }
    const unsigned byteDistance = (bpp + 7) / 8;
    const std::size_t rowCapacity = std::size_t(widestRow);
    const std::vector<uint8_t> zeroRow(rowCapacity, 0);
    std::vector<uint8_t> rowA(rowCapacity), rowB(rowCapacity);
    std::vector<uint8_t> rgbaRow;
    const RowConverter converter(*this);

    for (int p = 0; p < passCount; ++p) {
        const Pass& pass = passes[p];
        const bool dense = pass.dx == 1;
        const std::size_t rowBytes = std::size_t(pass.rowBytes);
        if (!identity && !dense)
            rgbaRow.resize(std::size_t(pass.width) * 4);
        const uint8_t* previous = zeroRow.data();
        for (uint64_t y = 0; y < pass.height; ++y) {
            const uint8_t* in = scanlines + pass.offset + y * (pass.rowBytes + 1);
            const uint64_t outY = pass.y0 + y * pass.dy;
            if (identity && dense && rowsAreBytes) {
                // The reconstructed row is the output row: unfilter straight into place.
                uint8_t* out = pixels.data() + outY * rowBytes;
                unfilterRow(out, in + 1, previous, rowBytes, byteDistance, in[0]);
                previous = out;
                continue;
            }
            uint8_t* current = (y & 1) ? rowB.data() : rowA.data();
            unfilterRow(current, in + 1, previous, rowBytes, byteDistance, in[0]);
            previous = current;
            if (identity) {
                for (uint64_t x = 0; x < pass.width; ++x)
                    copyPixelBits(current, x, pixels.data(), outY * width + pass.x0 + x * pass.dx, bpp);
            } else if (dense) {
                const unsigned e = converter.convert(current, pixels.data() + outY * width * 4, width);
                if (e != kPngOk)
                    return e;
            } else {
                const unsigned e = converter.convert(current, rgbaRow.data(), std::size_t(pass.width));
                if (e != kPngOk)
                    return e;
                for (uint64_t x = 0; x < pass.width; ++x)
                    std::memcpy(pixels.data() + (outY * width + pass.x0 + x * pass.dx) * 4, rgbaRow.data() + x * 4, 4);
            }
        }
    }
    pixels.resize(std::size_t(outputBytes));
    return kPngOk;
}

void PngDecoder::decode(std::vector<unsigned char>& pixels, const unsigned char* data, std::size_t size) {
    error = run(pixels, data, size);
}

void PngDecoder::decode(ByteBuffer& pixels, const unsigned char* data, std::size_t size) {
    error = run(pixels, data, size);
}
