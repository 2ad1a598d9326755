// Test helpers for the PNG decoder: PNG files written at test time with libpng's writer (any
// colour type, bit depth, interlace, filter, palette, tRNS, bKGD, text, IDAT size), libpng's
// reader as the reference decoder to RGBA8, and a chunk builder for hand-made invalid files.
#pragma once

#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <png.h>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>
#include <zlib.h>

namespace pngtest {

using Bytes = std::vector<unsigned char>;

struct ImageSpec {
    uint32_t width = 8, height = 8;
    int colourType = PNG_COLOR_TYPE_RGBA;
    int bitDepth = 8;
    bool interlaced = false;
    int paletteSize = 16;      // palette images: entries written to PLTE
    int transparentCount = -1; // palette images: tRNS entries (-1: no tRNS)
    bool colourKey = false;    // grey/RGB: a tRNS key equal to the first pixel
    bool background = false;   // a bKGD chunk of the right kind
    bool text = false;         // tEXt, zTXt and iTXt chunks
    int filters = PNG_ALL_FILTERS;
    std::size_t idatSize = 8192; // libpng's compression buffer: the most data per IDAT
    unsigned seed = 1;
};

inline int channelsOf(int colourType) {
    switch (colourType) {
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGBA:
        return 4;
    default:
        return 1;
    }
}

// Rows of samples in the file's own packing: smooth gradients with some noise, so that every
// filter has work to do, and every value of a small bit depth shows up.
inline std::vector<Bytes> makeRows(const ImageSpec& s) {
    std::mt19937 rng(s.seed);
    const int channels = channelsOf(s.colourType);
    const std::size_t rowBytes = (std::size_t(s.width) * channels * s.bitDepth + 7) / 8;
    const uint32_t maxValue =
        s.colourType == PNG_COLOR_TYPE_PALETTE ? uint32_t(s.paletteSize - 1) : (uint32_t(1) << s.bitDepth) - 1;
    std::vector<Bytes> rows(s.height, Bytes(rowBytes, 0));
    for (uint32_t y = 0; y < s.height; ++y) {
        for (uint32_t x = 0; x < s.width; ++x) {
            for (int c = 0; c < channels; ++c) {
                uint32_t v = (x * 37 + y * 11 + c * 70 + rng() % 9) * (maxValue + 1) / 256 + rng() % 2;
                if (rng() % 5 == 0)
                    v = rng();
                v %= maxValue + 1;
                const std::size_t sample = std::size_t(x) * channels + c;
                if (s.bitDepth == 16) {
                    rows[y][sample * 2] = uint8_t(v >> 8);
                    rows[y][sample * 2 + 1] = uint8_t(v);
                } else if (s.bitDepth == 8) {
                    rows[y][sample] = uint8_t(v);
                } else {
                    const std::size_t bit = sample * s.bitDepth;
                    rows[y][bit / 8] |= uint8_t(v << (8 - s.bitDepth - bit % 8));
                }
            }
        }
    }
    return rows;
}

// The first sample of the first pixel (16-bit or smaller), for colour keys.
inline uint16_t firstSample(const Bytes& row, int depth, int index) {
    if (depth == 16)
        return uint16_t((row[index * 2] << 8) | row[index * 2 + 1]);
    if (depth == 8)
        return row[index];
    return uint16_t(row[0] >> (8 - depth)); // grey only: one channel
}

inline void writeToBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}
inline void flushNothing(png_structp) {}

inline Bytes writePng(const ImageSpec& s, const std::vector<Bytes>& rows) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("libpng write failed");
    }
    png_set_write_fn(png, &out, writeToBytes, flushNothing);
    png_set_compression_buffer_size(png, s.idatSize);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, s.filters);
    png_set_IHDR(png, info, s.width, s.height, s.bitDepth, s.colourType,
                 s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
                 PNG_FILTER_TYPE_BASE);
    std::mt19937 rng(s.seed + 1000);
    std::vector<png_color> palette(std::size_t(std::max(s.paletteSize, 1)));
    for (auto& c : palette)
        c = png_color{uint8_t(rng()), uint8_t(rng()), uint8_t(rng())};
    if (s.colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(png, info, palette.data(), s.paletteSize);
    std::vector<png_byte> alphas(256);
    for (auto& a : alphas)
        a = uint8_t(rng());
    if (s.colourType == PNG_COLOR_TYPE_PALETTE && s.transparentCount >= 0)
        png_set_tRNS(png, info, alphas.data(), s.transparentCount, nullptr);
    if (s.colourKey && s.height > 0 && s.width > 0) {
        png_color_16 key{};
        key.gray = firstSample(rows[0], s.bitDepth, 0);
        if (s.colourType == PNG_COLOR_TYPE_RGB) {
            key.red = firstSample(rows[0], s.bitDepth, 0);
            key.green = firstSample(rows[0], s.bitDepth, 1);
            key.blue = firstSample(rows[0], s.bitDepth, 2);
        }
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    if (s.background) {
        png_color_16 background{};
        background.index = 0;
        png_set_bKGD(png, info, &background);
    }
    png_text texts[3] = {};
    char key0[] = "Title", key1[] = "Comment", key2[] = "Author", value[] = "Pellvane test image";
    if (s.text) {
        texts[0] = png_text{PNG_TEXT_COMPRESSION_NONE, key0, value, 0, 0, nullptr, nullptr};
        texts[1] = png_text{PNG_TEXT_COMPRESSION_zTXt, key1, value, 0, 0, nullptr, nullptr};
        texts[2] = png_text{PNG_ITXT_COMPRESSION_NONE, key2, value, 0, 0, nullptr, nullptr};
        png_set_text(png, info, texts, 3);
    }
    png_write_info(png, info);
    std::vector<png_bytep> pointers;
    for (const Bytes& row : rows)
        pointers.push_back(const_cast<png_bytep>(row.data()));
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

inline Bytes writePng(const ImageSpec& s) {
    return writePng(s, makeRows(s));
}

struct MemoryReader {
    const Bytes* bytes;
    std::size_t at;
};
inline void readFromBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (r->at + length > r->bytes->size())
        png_error(png, "read past the end");
    std::memcpy(data, r->bytes->data() + r->at, length);
    r->at += length;
}

// libpng's decode to 8-bit RGBA: palette and low depths expanded, tRNS turned into alpha,
// 16-bit samples stripped to their high byte, grey copied to RGB, opaque alpha added.
// Returns false when libpng refuses the file.
inline bool libpngDecode(const Bytes& file, Bytes& rgba, uint32_t& width, uint32_t& height) {
    std::vector<png_bytep> rows; // before setjmp: a longjmp must not skip its destruction
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_error_fn(
        png, nullptr, [](png_structp p, png_const_charp) { longjmp(png_jmpbuf(p), 1); },
        [](png_structp, png_const_charp) {});
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    MemoryReader reader{&file, 0};
    png_set_read_fn(png, &reader, readFromBytes);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_tRNS_to_alpha(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    width = png_get_image_width(png, info);
    height = png_get_image_height(png, info);
    if (png_get_rowbytes(png, info) != std::size_t(width) * 4)
        png_error(png, "not RGBA8 after the transformations");
    rgba.assign(std::size_t(width) * height * 4, 0);
    rows.resize(height);
    for (uint32_t y = 0; y < height; ++y)
        rows[y] = rgba.data() + std::size_t(y) * width * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// ---- Hand-made files -------------------------------------------------------------------------

inline void putBe32(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(v >> shift));
}

// One chunk with a correct CRC (zlib's, an independent implementation of the same CRC-32).
inline Bytes chunk(const char* type, const Bytes& data) {
    Bytes out;
    // Sized up front: growing from empty, GCC 12 at -O3 loses track of the capacity and warns
    // (-Wstringop-overflow) about the insert of the type's four bytes.
    out.reserve(12 + data.size());
    putBe32(out, uint32_t(data.size()));
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    // zlib's crc32 returns 0 for a null buffer, so empty data is skipped rather than passed.
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
    if (!data.empty())
        crc = crc32(crc, data.data(), uInt(data.size()));
    putBe32(out, uint32_t(crc));
    return out;
}

inline Bytes ihdrData(uint32_t w, uint32_t h, int depth, int colourType, int interlace = 0, int compression = 0,
                      int filter = 0) {
    Bytes d;
    putBe32(d, w);
    putBe32(d, h);
    d.push_back(uint8_t(depth));
    d.push_back(uint8_t(colourType));
    d.push_back(uint8_t(compression));
    d.push_back(uint8_t(filter));
    d.push_back(uint8_t(interlace));
    return d;
}

inline Bytes zlibOf(const Bytes& data) {
    uLongf n = compressBound(uLong(data.size()));
    Bytes out(n);
    compress2(out.data(), &n, data.data(), uLong(data.size()), 6);
    out.resize(n);
    return out;
}

// Signature followed by the chunks.
inline Bytes pngFile(const std::vector<Bytes>& chunks) {
    Bytes out = {137, 80, 78, 71, 13, 10, 26, 10};
    for (const Bytes& c : chunks)
        out.insert(out.end(), c.begin(), c.end());
    return out;
}

// A whole file from IHDR fields, extra chunks before IDAT, and the raw scanlines (filter bytes included).
inline Bytes simplePng(const Bytes& ihdr, const Bytes& scanlines, const std::vector<Bytes>& before = {}) {
    std::vector<Bytes> chunks = {chunk("IHDR", ihdr)};
    chunks.insert(chunks.end(), before.begin(), before.end());
    chunks.push_back(chunk("IDAT", zlibOf(scanlines)));
    chunks.push_back(chunk("IEND", {}));
    return pngFile(chunks);
}

// Offsets of each chunk in a file (from the first after the signature).
inline std::vector<std::size_t> chunkOffsets(const Bytes& file) {
    std::vector<std::size_t> at;
    for (std::size_t pos = 8; pos + 8 <= file.size();) {
        at.push_back(pos);
        const uint32_t length =
            (uint32_t(file[pos]) << 24) | (file[pos + 1] << 16) | (file[pos + 2] << 8) | file[pos + 3];
        pos += 12 + length;
    }
    return at;
}

} // namespace pngtest
