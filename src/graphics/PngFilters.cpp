// Scanline unfiltering. Sub, Average and Paeth depend on the pixel to the left, so they run one
// pixel at a time; for pixels of 2 to 8 bytes a whole pixel is one SSE2 register in 16-bit lanes,
// and Paeth picks its predictor with compare masks instead of branches.
#include "graphics/PngFilters.h"

#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The Paeth predictor of the PNG specification, without branches.
inline uint8_t paeth(int a, int b, int c) {
    const int pa = std::abs(b - c);
    const int pb = std::abs(a - c);
    const int pc = std::abs(a + b - 2 * c);
    const int notA = (pa > pb) | (pa > pc);
    const int bOverC = notA & (pb <= pc);
    const int cChosen = notA & (pb > pc);
    return uint8_t((a & -(1 - notA)) | (b & -bOverC) | (c & -cChosen));
}

void unfilterScalar(uint8_t* out, const uint8_t* in, const uint8_t* prev, std::size_t n, unsigned d, unsigned filter) {
    switch (filter) {
    case kPngFilterSub:
        for (std::size_t i = 0; i < d && i < n; ++i)
            out[i] = in[i];
        for (std::size_t i = d; i < n; ++i)
            out[i] = uint8_t(in[i] + out[i - d]);
        break;
    case kPngFilterAverage:
        for (std::size_t i = 0; i < d && i < n; ++i)
            out[i] = uint8_t(in[i] + (prev[i] >> 1));
        for (std::size_t i = d; i < n; ++i)
            out[i] = uint8_t(in[i] + ((out[i - d] + prev[i]) >> 1));
        break;
    case kPngFilterPaeth:
        for (std::size_t i = 0; i < d && i < n; ++i)
            out[i] = uint8_t(in[i] + prev[i]);
        for (std::size_t i = d; i < n; ++i)
            out[i] = uint8_t(in[i] + paeth(out[i - d], prev[i], prev[i - d]));
        break;
    }
}

#if defined(__SSE2__)

// Loads and stores of exactly one pixel of D bytes into the low bytes of a register.
template <unsigned D> inline __m128i loadPixel(const uint8_t* p) {
    uint64_t v = 0;
    std::memcpy(&v, p, D);
    return _mm_cvtsi64_si128(int64_t(v));
}
template <unsigned D> inline void storePixel(uint8_t* p, __m128i v) {
    const uint64_t bits = uint64_t(_mm_cvtsi128_si64(v));
    std::memcpy(p, &bits, D);
}

template <unsigned D>
void unfilterSse2(uint8_t* out, const uint8_t* in, const uint8_t* prev, std::size_t n, unsigned filter) {
    const __m128i zero = _mm_setzero_si128();
    const std::size_t pixels = n / D;
    if (filter == kPngFilterSub) {
        __m128i a = zero;
        for (std::size_t i = 0; i < pixels; ++i) {
            a = _mm_add_epi8(a, loadPixel<D>(in + i * D));
            storePixel<D>(out + i * D, a);
        }
    } else if (filter == kPngFilterAverage) {
        const __m128i one = _mm_set1_epi8(1);
        __m128i a = zero;
        for (std::size_t i = 0; i < pixels; ++i) {
            const __m128i b = loadPixel<D>(prev + i * D);
            // _mm_avg_epu8 rounds up; take away the carried half to get (a + b) >> 1.
            const __m128i average = _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), one));
            a = _mm_add_epi8(loadPixel<D>(in + i * D), average);
            storePixel<D>(out + i * D, a);
        }
    } else { // Paeth, in 16-bit lanes: pa = |b - c|, pb = |a - c|, pc = |a + b - 2c|
        __m128i a = zero, c = zero;
        for (std::size_t i = 0; i < pixels; ++i) {
            const __m128i b = _mm_unpacklo_epi8(loadPixel<D>(prev + i * D), zero);
            const __m128i bc = _mm_sub_epi16(b, c);
            const __m128i ac = _mm_sub_epi16(a, c);
            const __m128i abc = _mm_add_epi16(bc, ac);
            const __m128i pa = _mm_max_epi16(bc, _mm_sub_epi16(zero, bc));
            const __m128i pb = _mm_max_epi16(ac, _mm_sub_epi16(zero, ac));
            const __m128i pc = _mm_max_epi16(abc, _mm_sub_epi16(zero, abc));
            const __m128i smallest = _mm_min_epi16(pa, _mm_min_epi16(pb, pc));
            const __m128i pickA = _mm_cmpeq_epi16(smallest, pa);
            const __m128i pickB = _mm_cmpeq_epi16(smallest, pb);
            const __m128i bOrC = _mm_or_si128(_mm_and_si128(pickB, b), _mm_andnot_si128(pickB, c));
            const __m128i predictor = _mm_or_si128(_mm_and_si128(pickA, a), _mm_andnot_si128(pickA, bOrC));
            const __m128i x = _mm_add_epi8(loadPixel<D>(in + i * D), _mm_packus_epi16(predictor, zero));
            storePixel<D>(out + i * D, x);
            a = _mm_unpacklo_epi8(x, zero);
            c = b;
        }
    }
}

#endif

} // namespace

void unfilterRow(uint8_t* out, const uint8_t* in, const uint8_t* previous, std::size_t length, unsigned byteDistance,
                 unsigned filter) {
    if (filter == kPngFilterNone) {
        if (out != in)
            std::memmove(out, in, length);
        return;
    }
    if (filter == kPngFilterUp) {
        for (std::size_t i = 0; i < length; ++i)
            out[i] = uint8_t(in[i] + previous[i]);
        return;
    }
#if defined(__SSE2__)
    // Rows always hold a whole number of pixels when a pixel is a byte or more.
    switch (byteDistance) {
    case 2:
        return unfilterSse2<2>(out, in, previous, length, filter);
    case 3:
        return unfilterSse2<3>(out, in, previous, length, filter);
    case 4:
        return unfilterSse2<4>(out, in, previous, length, filter);
    case 6:
        return unfilterSse2<6>(out, in, previous, length, filter);
    case 8:
        return unfilterSse2<8>(out, in, previous, length, filter);
    default:
        break;
    }
#endif
    unfilterScalar(out, in, previous, length, byteDistance, filter);
}
