// The Adler-32 checksum of RFC 1950 over the inflated output. Sums are reduced modulo 65521
// after every 5550 bytes; inside each such chunk 32 bytes at a time are summed with SSE2.
#include <algorithm>

#include "graphics/Inflate.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr uint32_t kAdlerModulus = 65521;
constexpr std::size_t kAdlerChunk = 5550; // the sums cannot overflow 32 bits within a chunk
constexpr std::size_t kBlock = 32;

// Adds `n` bytes to the sums without reducing them.
inline void addScalar(uint32_t& a, uint32_t& b, const unsigned char* data, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        a += data[i];
        b += a;
    }
}

#if defined(__SSE2__)
inline uint64_t laneSum(__m128i v) {
    alignas(16) uint32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), v);
    return uint64_t(lanes[0]) + lanes[1] + lanes[2] + lanes[3];
}

// Adds `blocks` blocks of 32 bytes. Over bytes d_0..d_{L-1}: a += sum(d_j) and
// b += L * a + sum((L - j) * d_j). Per block the weights 32..1 come from _mm_madd_epi16, and
// each block's plain sum is counted 32 more times for every block that follows it.
inline void addBlocks(uint32_t& a, uint32_t& b, const unsigned char* data, std::size_t blocks) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i weights[4] = {_mm_setr_epi16(32, 31, 30, 29, 28, 27, 26, 25),
                                _mm_setr_epi16(24, 23, 22, 21, 20, 19, 18, 17),
                                _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9), _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1)};
    __m128i sums = zero, earlierSums = zero, weighted = zero;
    for (std::size_t k = 0; k < blocks; ++k, data += kBlock) {
        const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
        const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16));
        earlierSums = _mm_add_epi32(earlierSums, sums);
        sums = _mm_add_epi32(sums, _mm_add_epi32(_mm_sad_epu8(lo, zero), _mm_sad_epu8(hi, zero)));
        weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpacklo_epi8(lo, zero), weights[0]));
        weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpackhi_epi8(lo, zero), weights[1]));
        weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpacklo_epi8(hi, zero), weights[2]));
        weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpackhi_epi8(hi, zero), weights[3]));
    }
    const uint64_t length = blocks * kBlock;
    const uint64_t newB = b + length * a + kBlock * laneSum(earlierSums) + laneSum(weighted);
    a = uint32_t((a + laneSum(sums)) % kAdlerModulus);
    b = uint32_t(newB % kAdlerModulus);
}
#endif

} // namespace

uint32_t adler32(const unsigned char* data, std::size_t length) {
    uint32_t a = 1, b = 0;
    while (length > 0) {
        std::size_t n = std::min(length, kAdlerChunk);
        length -= n;
#if defined(__SSE2__)
        const std::size_t blocks = n / kBlock;
        addBlocks(a, b, data, blocks);
        data += blocks * kBlock;
        n -= blocks * kBlock;
#endif
        addScalar(a, b, data, n);
        data += n;
        a %= kAdlerModulus;
        b %= kAdlerModulus;
    }
    return (b << 16) | a;
}
