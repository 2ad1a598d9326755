// CRC-32 over PNG chunks. The 256-entry table (and the seven tables derived from it that let the
// loop take eight bytes per step) are built the first time a CRC is needed and kept for the run.
#include "graphics/Crc32.h"

#include <cstring>

namespace {

constexpr uint32_t kCrcPolynomial = 0xEDB88320u;
constexpr unsigned kSlices = 8;

struct CrcTables {
    uint32_t t[kSlices][256];
    CrcTables() {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? kCrcPolynomial ^ (c >> 1) : c >> 1;
            t[0][n] = c;
        }
        for (uint32_t n = 0; n < 256; ++n)
            for (unsigned s = 1; s < kSlices; ++s)
                t[s][n] = (t[s - 1][n] >> 8) ^ t[0][t[s - 1][n] & 0xFF];
    }
};

const CrcTables& crcTables() {
    static const CrcTables tables; // built on first use
    return tables;
}

} // namespace

uint32_t pngCrc32(const unsigned char* data, std::size_t length) {
    const CrcTables& tables = crcTables();
    const auto& t = tables.t;
    uint32_t c = 0xFFFFFFFFu;
    for (; length >= 8; length -= 8, data += 8) {
        uint32_t lo, hi;
        std::memcpy(&lo, data, 4); // little-endian hosts
        std::memcpy(&hi, data + 4, 4);
        lo ^= c;
        c = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^ t[3][hi & 0xFF] ^
            t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
    }
    for (; length > 0; --length)
        c = t[0][(c ^ *data++) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}
