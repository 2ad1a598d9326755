// Undoes the five PNG scanline filters (None, Sub, Up, Average, Paeth) for one row.
// Branch-free per pixel, with SSE2 for pixels of 2 to 8 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr unsigned kPngFilterNone = 0;
constexpr unsigned kPngFilterSub = 1;
constexpr unsigned kPngFilterUp = 2;
constexpr unsigned kPngFilterAverage = 3;
constexpr unsigned kPngFilterPaeth = 4;

// Reconstructs `length` bytes into `out` from the filtered bytes `in`, with `previous` the
// reconstructed row above (all zeros for a first row) and `byteDistance` = ceil(bpp / 8), 1 to 8.
// `filter` must be 0 to 4. `out` may be the same memory as `in`, or start before it (each
// byte is read before anything is written over it), but must not overlap `previous`.
void unfilterRow(uint8_t* out, const uint8_t* in, const uint8_t* previous, std::size_t length, unsigned byteDistance,
                 unsigned filter);
