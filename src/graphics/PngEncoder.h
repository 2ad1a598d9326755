// Writes 8-bit RGB and RGBA images as PNG: each row filtered with the filter that suits it,
// then compressed into a zlib stream of one deflate block with the fixed Huffman codes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A zlib stream (RFC 1950) holding `size` bytes at `data` as one deflate block with fixed codes
// (RFC 1951, 3.2.6), matched against the previous 32 KiB.
std::vector<unsigned char> zlibCompressFixed(const unsigned char* data, std::size_t size);

// A PNG file of the image: `channels` 3 (RGB) or 4 (RGBA), 8 bits each, rows top to bottom with
// no padding. Empty for no pixels or another channel count.
std::vector<unsigned char> encodePng(const unsigned char* pixels, uint32_t width, uint32_t height, unsigned channels);

// Writes `bytes` to the file at `path`, replacing it. False when the file could not be written.
bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes);
