// The Adler-32 checksum of RFC 1950 over the inflated output. 32 bytes at a time are summed
// with SIMD, AVX2 where the processor has it (chosen once), SSE2 otherwise, and the sums reduced
// modulo 65521 after every 32 KiB; the last bytes short of a block are summed one at a time.
#include <algorithm>

#include "graphics/Inflate.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define ADLER_HAS_AVX2_BUILD 1
#endif

namespace {

constexpr uint32_t kAdlerModulus = 65521;
constexpr std::size_t kAdlerChunk = 5550; // the sums cannot overflow 32 bits within a chunk

// Adds `n` bytes to the sums without reducing them.
inline void addScalar(uint32_t& a, uint32_t& b, const unsigned char* data, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        a += data[i];
        b += a;
    }
}

#if defined(__SSE2__)
// The SIMD sums take the bytes in blocks of this many; only builds with SSE2 have them.
constexpr std::size_t kBlock = 32;
// Blocks summed with SIMD between reductions. A lane's byte sum grows by at most 4080 a block
// (SSE2: two 8-byte sums of 255s; AVX2 half that), so the lane that adds up the sums of the
// blocks before each one stays below 4080 * n * n / 2, under 2^32 for n = 1024; the weighted
// lanes grow by at most 65280 a block. The final sums are worked out in 64 bits.
constexpr std::size_t kMaxBlocks = 1024;

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

#if defined(ADLER_HAS_AVX2_BUILD)
// The same sums over one 32-byte register per block: _mm256_maddubs_epi16 weighs the bytes
// 32..1 into 16-bit pairs (at most 2 x 255 x 32, so no saturation) and _mm256_madd_epi16 folds
// the pairs into 32-bit lanes.
__attribute__((target("avx2"))) void addBlocksAvx2(uint32_t& a, uint32_t& b, const unsigned char* data,
                                                   std::size_t blocks) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i weights = _mm256_setr_epi8(32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15,
                                             14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1);
    const __m256i ones = _mm256_set1_epi16(1);
    __m256i sums = zero, earlierSums = zero, weighted = zero;
    for (std::size_t k = 0; k < blocks; ++k, data += kBlock) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data));
        earlierSums = _mm256_add_epi32(earlierSums, sums);
        sums = _mm256_add_epi32(sums, _mm256_sad_epu8(v, zero));
        weighted = _mm256_add_epi32(weighted, _mm256_madd_epi16(_mm256_maddubs_epi16(v, weights), ones));
    }
    alignas(32) uint32_t lanes[3][8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes[0]), sums);
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes[1]), earlierSums);
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes[2]), weighted);
    uint64_t total[3] = {};
    for (int i = 0; i < 3; ++i)
        for (uint32_t lane : lanes[i])
            total[i] += lane;
    const uint64_t newB = b + blocks * kBlock * uint64_t(a) + kBlock * total[1] + total[2];
    a = uint32_t((a + total[0]) % kAdlerModulus);
    b = uint32_t(newB % kAdlerModulus);
}

using AddBlocks = void (*)(uint32_t&, uint32_t&, const unsigned char*, std::size_t);
AddBlocks chooseAddBlocks() {
    __builtin_cpu_init(); // may run before the library's own constructors
    return __builtin_cpu_supports("avx2") ? addBlocksAvx2 : addBlocks;
}
AddBlocks addBlocksHere = chooseAddBlocks();
#endif

} // namespace

uint32_t adler32(const unsigned char* data, std::size_t length) {
    return adler32Update(1, data, length);
}

uint32_t adler32Update(uint32_t adler, const unsigned char* data, std::size_t length) {
    uint32_t a = adler & 0xFFFF, b = adler >> 16;
#if defined(__SSE2__)
    while (length >= kBlock) {
        const std::size_t blocks = std::min(length / kBlock, kMaxBlocks);
#if defined(ADLER_HAS_AVX2_BUILD)
        addBlocksHere(a, b, data, blocks);
#else
        addBlocks(a, b, data, blocks);
#endif
        data += blocks * kBlock;
        length -= blocks * kBlock;
    }
#endif
    while (length > 0) {
        const std::size_t n = std::min(length, kAdlerChunk);
        length -= n;
        addScalar(a, b, data, n);
        data += n;
        a %= kAdlerModulus;
        b %= kAdlerModulus;
    }
    return (b << 16) | a;
}

void adler32UsePortableCode(bool portable) {
#if defined(ADLER_HAS_AVX2_BUILD)
    addBlocksHere = portable ? addBlocks : chooseAddBlocks();
#else
    (void)portable;
#endif
}
