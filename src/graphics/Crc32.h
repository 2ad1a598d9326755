// The CRC-32 of the PNG specification (reflected polynomial 0xEDB88320, initial value all ones,
// final value inverted), as every PNG chunk carries it.
#pragma once

#include <cstddef>
#include <cstdint>

uint32_t pngCrc32(const unsigned char* data, std::size_t length);
