// Reads PNG files and decodes them to 8-bit RGBA pixels (rows top to bottom, no padding) for
// the texture loader. Every failure is a numeric code in `error`; nothing is thrown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/ByteBuffer.h"

// Reads the whole file at `path` into `bytes` (binary). A file that cannot be opened or sought
// leaves `bytes` empty.
void loadFile(std::vector<unsigned char>& bytes, const std::string& path);

// Codes of PngDecoder::error besides the inflater's (graphics/Inflate.h), which pass through.
constexpr unsigned kPngOk = 0;
constexpr unsigned kPngErrorNotDecoded = 1; // a decoder that has not decoded yet
constexpr unsigned kPngErrorTooShort = 27;
constexpr unsigned kPngErrorSignature = 28;
constexpr unsigned kPngErrorFirstChunkNotIhdr = 29;
constexpr unsigned kPngErrorChunkHeaderPastEnd = 30;
constexpr unsigned kPngErrorColourType = 31;
constexpr unsigned kPngErrorCompressionMethod = 32;
constexpr unsigned kPngErrorFilterMethod = 33;
constexpr unsigned kPngErrorInterlaceMethod = 34;
constexpr unsigned kPngErrorChunkPastEnd = 35;
constexpr unsigned kPngErrorFilterType = 36;
constexpr unsigned kPngErrorBitDepth = 37;
constexpr unsigned kPngErrorPaletteTooLong = 38;
constexpr unsigned kPngErrorTransparencyPalette = 39;
constexpr unsigned kPngErrorTransparencyGrey = 40;
constexpr unsigned kPngErrorTransparencyRgb = 41;
constexpr unsigned kPngErrorTransparencyWithAlpha = 42;
constexpr unsigned kPngErrorBackgroundPalette = 43;
constexpr unsigned kPngErrorBackgroundGrey = 44;
constexpr unsigned kPngErrorBackgroundRgb = 45;
constexpr unsigned kPngErrorPaletteIndex = 46;
constexpr unsigned kPngErrorPaletteIndexLowDepth = 47;
constexpr unsigned kPngErrorNoInput = 48;
constexpr unsigned kPngErrorCrc = 57;
constexpr unsigned kPngErrorChunkLength = 63;
// The decompressed image data is shorter than its scanlines need.
constexpr unsigned kPngErrorImageDataTooShort = 72;
// width x height x 4, or the scanline data, does not fit in 32 bits; checked before any allocation.
constexpr unsigned kPngErrorImageTooLarge = 73;

// One decode's settings, what was read from the file, and the result code. Use a fresh one per file.
class PngDecoder {
public:
    // Decodes `size` bytes at `data` into `pixels` (width x height x 4 bytes on success) and
    // sets width, height and error. On failure the pixels are undefined.
    void decode(std::vector<unsigned char>& pixels, const unsigned char* data, std::size_t size);
    // The same into a buffer that is not zero-filled first: the texture loader's choice, as
    // every pixel is written anyway.
    void decode(ByteBuffer& pixels, const unsigned char* data, std::size_t size);

    uint32_t width = 0, height = 0;
    uint32_t bitDepth = 0, colourType = 0;
    uint32_t compressionMethod = 0, filterMethod = 0, interlaceMethod = 0;
    // PLTE entries as R, G, B, A (A = 255 unless tRNS sets it): 4 bytes per entry, at most 256.
    std::vector<unsigned char> palette;
    bool keyDefined = false;
    uint16_t keyRed = 0, keyGreen = 0, keyBlue = 0;
    uint32_t outputColourType = 6, outputBitDepth = 8;
    bool convertColour = true;
    bool checkCrc = true;
    bool checkAdler32 = true;
    unsigned error = kPngErrorNotDecoded;

private:
    template <class Pixels> unsigned run(Pixels& pixels, const unsigned char* data, std::size_t size);
    unsigned readChunk(const unsigned char* type, const unsigned char* data, uint32_t length);
};
