// The image benchmarks' data and decoder calls. Test data is built in memory on each run:
// text and binaries read from the system (C headers, shared libraries), pictures drawn here.
#include "BenchImages.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <libdeflate.h>
#include <png.h>
#include <random>
#include <spng.h>
#include <stdexcept>
#include <zlib.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

#include "graphics/ByteBuffer.h"
#include "graphics/Inflate.h"
#include "graphics/PngDecoder.h"

namespace bench {

namespace {

// Appends regular files under `root` (sorted, so every run reads the same) whose name passes
// `wanted`, until `out` holds `limit` bytes.
template <class Wanted> void appendFiles(Bytes& out, const char* root, std::size_t limit, Wanted wanted) {
    std::vector<std::filesystem::path> paths;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(root, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (error)
            break;
        if (it->is_regular_file(error) && !it->is_symlink(error) && wanted(it->path()))
            paths.push_back(it->path());
    }
    std::sort(paths.begin(), paths.end());
    for (const auto& path : paths) {
        if (out.size() >= limit)
            break;
        std::ifstream in(path, std::ios::binary);
        Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        bytes.resize(std::min(bytes.size(), limit - out.size()));
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
}

uint8_t clampByte(double v) {
    return uint8_t(std::clamp(v, 0.0, 255.0));
}

void writeToBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}
void flushNothing(png_structp) {}

} // namespace

Bytes mixedCorpus(std::size_t bytes) {
    Bytes out;
    const std::size_t third = bytes / 3;
    appendFiles(out, "/usr/include", third, [](const std::filesystem::path& p) { return p.extension() == ".h"; });
    appendFiles(out, "/usr/lib/x86_64-linux-gnu", 2 * third,
                [](const std::filesystem::path& p) { return p.filename().string().find(".so") != std::string::npos; });
    const Picture picture = makePicture(1024, uint32_t((bytes - out.size()) / 4096 + 1), 3);
    out.insert(out.end(), picture.rgba.begin(), picture.rgba.end());
    out.resize(std::min(out.size(), bytes));
    return out;
}

Bytes zlibCompress(const Bytes& data, int level) {
    uLongf size = compressBound(uLong(data.size()));
    Bytes out(size);
    if (compress2(out.data(), &size, data.data(), uLong(data.size()), level) != Z_OK)
        throw std::runtime_error("compress2 failed");
    out.resize(size);
    return out;
}

Picture makePicture(uint32_t width, uint32_t height, unsigned seed) {
    Picture p{width, height, Bytes(std::size_t(width) * height * 4)};
    std::mt19937 rng(seed);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t* px = &p.rgba[(std::size_t(y) * width + x) * 4];
            px[0] = clampByte(40 + 120.0 * x / width + 30 * std::sin(y * 0.01));
            px[1] = clampByte(60 + 100.0 * y / height);
            px[2] = clampByte(120 + 50 * std::sin((x + y) * 0.005));
            px[3] = 255;
        }
    // Soft discs with antialiased edges and a shading gradient, some of them translucent.
    for (int i = 0; i < 60; ++i) {
        const double cx = rng() % width, cy = rng() % height, r = 10 + rng() % (width / 8 + 1);
        const double colour[3] = {double(rng() % 256), double(rng() % 256), double(rng() % 256)};
        const double opacity = i % 3 == 0 ? 0.6 : 1.0;
        const int x0 = std::max(0, int(cx - r - 1)), x1 = std::min(int(width) - 1, int(cx + r + 1));
        const int y0 = std::max(0, int(cy - r - 1)), y1 = std::min(int(height) - 1, int(cy + r + 1));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const double d = std::hypot(x - cx, y - cy);
                const double cover = std::clamp(r - d, 0.0, 1.0) * opacity;
                if (cover <= 0)
                    continue;
                const double shade = 1.0 - 0.4 * (x - cx + y - cy) / (2 * r);
                uint8_t* px = &p.rgba[(std::size_t(y) * width + x) * 4];
                for (int c = 0; c < 3; ++c)
                    px[c] = clampByte(px[c] * (1 - cover) + colour[c] * shade * cover);
                if (i % 7 == 0)
                    px[3] = clampByte(255 - 120 * cover);
            }
    }
    for (std::size_t i = 0; i < p.rgba.size(); ++i)
        if (i % 4 != 3)
            p.rgba[i] = clampByte(p.rgba[i] + int(rng() % 5) - 2);
    return p;
}

Bytes encodePng(const Picture& picture, int colourType, int bitDepth, bool interlaced) {
    const uint32_t w = picture.width, h = picture.height;
    const int channels = colourType == 6 ? 4 : colourType == 2 ? 3 : colourType == 4 ? 2 : 1;
    const std::size_t rowBytes = (std::size_t(w) * channels * bitDepth + 7) / 8;
    std::vector<Bytes> rows(h, Bytes(rowBytes, 0));
    std::vector<png_color> palette(256);
    for (int i = 0; i < 252; ++i) // a 6 x 7 x 6 colour cube
        palette[i] = png_color{uint8_t(i / 42 * 51), uint8_t(i / 6 % 7 * 42), uint8_t(i % 6 * 51)};
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const uint8_t* px = &picture.rgba[(std::size_t(y) * w + x) * 4];
            uint8_t* row = rows[y].data();
            const unsigned grey = (px[0] * 77 + px[1] * 150 + px[2] * 29) >> 8;
            if (colourType == 3) {
                row[x] = uint8_t((px[0] * 6 / 256) * 42 + (px[1] * 7 / 256) * 6 + px[2] * 6 / 256);
            } else if (colourType == 0 && bitDepth < 8) {
                const std::size_t bit = std::size_t(x) * bitDepth;
                row[bit / 8] |= uint8_t((grey >> (8 - bitDepth)) << (8 - bitDepth - bit % 8));
            } else {
                uint8_t samples[4] = {px[0], px[1], px[2], px[3]};
                if (colourType == 0 || colourType == 4)
                    samples[0] = uint8_t(grey), samples[1] = px[3];
                for (int c = 0; c < channels; ++c) {
                    if (bitDepth == 16) {
                        row[(std::size_t(x) * channels + c) * 2] = samples[c];
                        row[(std::size_t(x) * channels + c) * 2 + 1] = samples[c];
                    } else {
                        row[std::size_t(x) * channels + c] = samples[c];
                    }
                }
            }
        }
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
        throw std::runtime_error("libpng write failed");
    png_set_write_fn(png, &out, writeToBytes, flushNothing);
    png_set_compression_level(png, 6);
    png_set_IHDR(png, info, w, h, bitDepth, colourType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    if (colourType == 3)
        png_set_PLTE(png, info, palette.data(), 256);
    png_write_info(png, info);
    std::vector<png_bytep> pointers;
    for (Bytes& row : rows)
        pointers.push_back(row.data());
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes idatStream(const Bytes& png) {
    Bytes out;
    for (std::size_t pos = 8; pos + 12 <= png.size();) {
        const uint32_t length = (uint32_t(png[pos]) << 24) | (png[pos + 1] << 16) | (png[pos + 2] << 8) | png[pos + 3];
        if (std::memcmp(&png[pos + 4], "IDAT", 4) == 0)
            out.insert(out.end(), png.begin() + std::ptrdiff_t(pos + 8),
                       png.begin() + std::ptrdiff_t(pos + 8 + length));
        pos += 12 + length;
    }
    return out;
}

std::size_t inflateOurs(const Bytes& stream, std::size_t expected, Bytes&) {
    static ByteBuffer output; // kept between runs, as the references' output buffers are
    output.clear();
    output.reserve(expected);
    if (zlibDecompress(output, stream.data(), stream.size(), true) != 0)
        return 0;
    return output.size();
}

std::size_t inflateZlib(const Bytes& stream, std::size_t expected, Bytes& scratch) {
    scratch.resize(expected);
    uLongf size = uLongf(expected);
    if (uncompress(scratch.data(), &size, stream.data(), uLong(stream.size())) != Z_OK)
        return 0;
    return size;
}

std::size_t inflateLibdeflate(const Bytes& stream, std::size_t expected, Bytes& scratch) {
    static libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
    scratch.resize(expected);
    std::size_t size = 0;
    if (libdeflate_zlib_decompress(decompressor, stream.data(), stream.size(), scratch.data(), expected, &size) !=
        LIBDEFLATE_SUCCESS)
        return 0;
    return size;
}

std::size_t pngOurs(const Bytes& png) {
    PngDecoder decoder;
    ByteBuffer pixels; // as the texture loader decodes
    decoder.decode(pixels, png.data(), png.size());
    return decoder.error == 0 ? pixels.size() : 0;
}

std::size_t pngLibpng(const Bytes& png) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size()))
        return 0;
    image.format = PNG_FORMAT_RGBA;
    const std::size_t size = PNG_IMAGE_SIZE(image);
    void* pixels = std::malloc(size);
    const bool ok = png_image_finish_read(&image, nullptr, pixels, 0, nullptr) != 0;
    std::free(pixels);
    png_image_free(&image);
    return ok ? size : 0;
}

std::size_t pngSpng(const Bytes& png) {
    spng_ctx* ctx = spng_ctx_new(0);
    if (ctx == nullptr)
        return 0;
    std::size_t size = 0;
    void* pixels = nullptr;
    bool ok = spng_set_png_buffer(ctx, png.data(), png.size()) == 0 &&
              spng_decoded_image_size(ctx, SPNG_FMT_RGBA8, &size) == 0 && (pixels = std::malloc(size)) != nullptr &&
              spng_decode_image(ctx, pixels, size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS) == 0;
    std::free(pixels);
    spng_ctx_free(ctx);
    return ok ? size : 0;
}

std::size_t pngStb(const Bytes& png) {
    int w = 0, h = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(png.data(), int(png.size()), &w, &h, &channels, 4);
    if (pixels == nullptr)
        return 0;
    stbi_image_free(pixels);
    return std::size_t(w) * h * 4;
}

} // namespace bench
