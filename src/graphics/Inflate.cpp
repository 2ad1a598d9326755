// The inflater: zlib header and trailer checks, stored, fixed and dynamic deflate blocks.
// Every failure is an error code; the input is only ever read through the checks described below.
//
// Why it is fast. Huffman symbols are decoded through lookup tables indexed by the next 11
// (literal/length) or 8 (distance) bits, with second-level tables for longer codes. One entry
// gives the symbol's meaning and the number of bits it takes with its extra bits, so a literal
// costs one load and one shift, and a length or distance adds a mask for its extra bits; where
// two literal codes fit in 11 bits together, one entry gives both. The loop's speed is the
// chain from one table load to the next (entry, shift, mask, load), so each step of it comes
// first in the code, and the compiler is asked to keep that order; with BMI a length or
// distance entry is the bextr control word of the lookup after it, which makes the shift and
// the mask one step. Rare entries are tested once and their code is laid aside. Bits come from
// a 64-bit buffer refilled a whole word at a time without branches, and each refill comes after
// the next symbol's lookup where the bits allow, so the input load stays off the path from one
// symbol to the next. Matches are copied a word at a time, the first 40 bytes without a loop,
// into output that keeps room past the match end. The hot loop is built twice, for plain x86-64
// and for BMI and BMI2, and the checksum for SSE2 and AVX2; the build for the processor is
// chosen once. The checksum sums each block's output as the block ends, while it is still in
// the cache, not the whole output in a pass of its own. Tables are built by doubling: each code
// is written once and the table copied after itself, so a block's tables cost about as much as
// copying them; a dynamic header's code lengths are read through a 64-bit buffer like the
// symbols where the input holds the most they could take.
//
// Why it is correct. A fast-loop round starts only while enough input is left for every refill
// it makes, so every bit it looks at is real input and no "input ended" error can arise inside
// it; a pattern the code leaves unassigned is found within 15 real bits, exactly where a
// bit-by-bit walk finds it. Anything unusual (an unassigned pattern, symbols 286/287, distance
// symbols 30/31, a distance reaching before the output) leaves the loop without consuming the
// symbol. The rest, and the last symbols before the end of the input or of the output room, go
// through the careful path, which reads through BitReader and walks the canonical code one bit
// at a time, so the end-of-input codes (10, 11, 50, 51, 52) come out exactly as a
// bit-at-a-time tree walk gives them. The tests hold both paths to a plain tree-walking inflater
// on cut and corrupted streams. Every check of untrusted input goes through inputHas(). No byte
// past the output's limit is ever inflated, so a stream that would expand to gigabytes costs no
// more than the limit: a round starts only with its literals within the limit, a match that
// would pass it leaves the fast loop unconsumed like one reaching before the output, and the
// careful path writes up to the limit and stops.
#include "graphics/Inflate.h"

#include <algorithm>
#include <cstring>

#include "graphics/DeflateTables.h"

#if defined(__GNUC__)
#define INFLATE_ALWAYS_INLINE inline __attribute__((always_inline))
#define INFLATE_UNLIKELY(condition) __builtin_expect(static_cast<bool>(condition), 0)
#else
#define INFLATE_ALWAYS_INLINE inline
#define INFLATE_UNLIKELY(condition) (condition)
#endif

namespace {

// The one gate for untrusted input: true when `needed` more units (bits or bytes, as the caller
// counts them) are left of the `available` ones.
inline bool inputHas(std::size_t available, std::size_t needed) {
    return needed <= available;
}

constexpr unsigned kMaxCodeLength = 15;
constexpr unsigned kMaxCodeLengthCodeLength = 7;
constexpr unsigned kNumLitlenSymbols = 288;
constexpr unsigned kNumDistSymbols = 32;
constexpr unsigned kNumCodeLengthSymbols = 19;
constexpr unsigned kEndOfBlock = 256;
constexpr unsigned kFirstLengthSymbol = 257;
constexpr unsigned kFirstSkippedSymbol = 286; // 286 and 287: read and skipped
constexpr unsigned kFirstBadDistanceSymbol = 30;
constexpr unsigned kMaxMatch = 258;

constexpr unsigned kLitlenTableBits = 11;
constexpr unsigned kDistTableBits = 8;
constexpr unsigned kCodeLengthTableBits = 7;
// Each code longer than the first-level bits may open its own second-level table of at most
// 2^(15 - bits) entries, which bounds the table sizes without relying on the codes being complete.
constexpr std::size_t kLitlenTableSize =
    (std::size_t(1) << kLitlenTableBits) + kNumLitlenSymbols * (std::size_t(1) << (kMaxCodeLength - kLitlenTableBits));
constexpr std::size_t kDistTableSize =
    (std::size_t(1) << kDistTableBits) + kNumDistSymbols * (std::size_t(1) << (kMaxCodeLength - kDistTableBits));

// Input bytes that must be left at the start of a fast-loop round: it refills at most three
// times (after each of three literal entries, or after two and a match), each refill reading 8
// bytes and moving on at most 7.
constexpr std::size_t kFastInputBytes = 3 * 7 + 8;
// Output room the fast loop keeps at the start of a round: for the bytes a round may write (up
// to four literal bytes, then a match), and past them for a match whose first 40 bytes are
// written in one go.
constexpr std::size_t kFastRoundBytes = 4 + kMaxMatch;
constexpr std::size_t kCopySlack = 40;
constexpr std::size_t kFastOutputRoom = kFastRoundBytes + kCopySlack;
// The bytes a round's literals may write (three entries of two): near the output's limit a
// round starts while they fit within it, and each match is held to the limit on its own.
constexpr std::size_t kFastLiteralBytes = 6;
constexpr std::size_t kMinOutputCapacity = 4096;

using deflate::kDistanceBase;
using deflate::kDistanceExtra;
using deflate::kLengthBase;
using deflate::kLengthExtra;
const uint8_t kCodeLengthOrder[kNumCodeLengthSymbols] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                         11, 4,  12, 3, 13, 2, 14, 1, 15};

// ---- Table entries. The low byte of every entry is the number of bits one decode consumes
// (the code's length plus any extra bits), so a consume is one shift by the entry itself.
// The literal/length table, 32 bits:
//   literal  bit 31. Bits 14-29 hold the literal, or two (the first in the low byte), so one
//            16-bit store writes them; bit 30 marks two, so the top two bits less one count them.
//   length   bits 30-31 clear; bits 22-29 the length base less 3, bits 16-19 the code length,
//            bits 8-15 the distance table's index bits.
//   rare     bit 30 alone: a subtable pointer (bit 29; the subtable's offset in bits 16-28 and
//            its index bits in 8-11), the end of block (bit 28), or else an exceptional pattern
//            (unassigned, or symbols 286 and 287) that the careful path takes.
// The distance table, 64 bits: bits 32-47 the distance base, bits 16-19 the code length, bits
// 8-15 the literal/length table's index bits; bit 63 marks a subtable pointer (offset in bits
// 32-47, index bits in 8-11) or, with bits 8-15 clear, an exceptional pattern (unassigned, or
// symbols 30 and 31). The code length table: the symbol in bits 16-23, bit 31 for an
// unassigned pattern.
// Bits 8-15 of a length or distance entry are the number of bits the next lookup takes, so the
// entry is a BMI bextr control word: bextr(bits, entry) is the next table's index, one step
// from the entry where a shift and a mask are two. Bits 20-21 are clear, so the extra bits'
// shift may take bits 16-21 whole; and no flag is tested in bits 8-15, which the compiler would
// read through a high-byte register.
constexpr uint32_t kLiteral = 0x80000000;
constexpr uint32_t kLiteralPair = 0x40000000;
constexpr uint32_t kLitlenRare = 0x40000000;
constexpr uint32_t kLitlenSubtable = 0x20000000;
constexpr uint32_t kLitlenEndOfBlock = 0x10000000;
constexpr uint32_t kLitlenExceptional = kLitlenRare;
constexpr uint64_t kDistRare = uint64_t(1) << 63;
constexpr uint64_t kDistExceptional = kDistRare;
constexpr uint32_t kCodeLengthUnassigned = 0x80000000;
constexpr uint32_t kMinLength = 3;
inline uint32_t consumedBits(uint64_t e) {
    return uint32_t(e) & 0xFF;
}
inline uint32_t subtableBits(uint64_t e) {
    return uint32_t(e >> 8) & 15;
}
inline uint32_t litlenSubtableOffset(uint32_t e) {
    return (e >> 16) & 0x1FFF;
}
inline uint32_t distSubtableOffset(uint64_t e) {
    return uint32_t(e >> 32) & 0xFFFF;
}
inline uint32_t lengthBase(uint32_t e) {
    return (e >> 22) + kMinLength;
}
inline uint32_t distanceBase(uint64_t e) {
    return uint32_t(e >> 32);
}
inline uint32_t codeLengthSymbol(uint32_t e) {
    return e >> 16;
}
// The literal bytes of a literal entry (the low 16 bits count) and how many it holds.
inline uint32_t literalBytes(uint32_t e) {
    return e >> 14;
}
inline uint32_t literalCount(uint32_t e) {
    return (e >> 30) - 1;
}
inline uint32_t lowMask(uint32_t bits) {
    return (uint32_t(1) << bits) - 1;
}
inline uint32_t makeLiteral(uint32_t bytes, bool pair, uint32_t codeLength) {
    return kLiteral | (pair ? kLiteralPair : 0) | (bytes << 14) | codeLength;
}
// The extra bits' value of a length or distance entry, from the bits it was looked up with: the
// consumed bits above the code.
inline uint32_t extraValue(uint64_t bits, uint64_t e) {
    return uint32_t((bits & ((uint64_t(1) << consumedBits(e)) - 1)) >> ((e >> 16) & 63));
}

// Reads input bits least significant first, one check per read.
struct BitReader {
    const uint8_t* data;
    std::size_t bitLength;
    std::size_t bitPos; // never above bitLength

    bool has(std::size_t bits) const { return inputHas(bitLength - bitPos, bits); }
    // The next `n` bits (n <= 24) without consuming them; only after has(n).
    uint32_t peek(unsigned n) const {
        if (n == 0)
            return 0;
        const std::size_t first = bitPos >> 3;
        if (inputHas((bitLength >> 3) - first, 8)) { // one word where the input allows it
            uint64_t word;
            std::memcpy(&word, data + first, sizeof word);
            return uint32_t(word >> (bitPos & 7)) & lowMask(n);
        }
        const std::size_t last = (bitPos + n - 1) >> 3;
        uint32_t v = 0;
        for (std::size_t i = first, shift = 0; i <= last; ++i, shift += 8)
            v |= uint32_t(data[i]) << shift;
        return (v >> (bitPos & 7)) & lowMask(n);
    }
    uint32_t bits(unsigned n) {
        const uint32_t v = peek(n);
        bitPos += n;
        return v;
    }
};

// A canonical Huffman code as RFC 1951 section 3.2.2 assigns it: how many codes of each length,
// the symbols in code order, and for each length one past the last code value that is a prefix
// of a code of at least that length (a longer pattern from there on has no code).
struct HuffmanCode {
    uint16_t counts[kMaxCodeLength + 1];
    uint16_t symbols[kNumLitlenSymbols];
    uint32_t limits[kMaxCodeLength + 2];
};

// Fills `code` from the lengths; false for an over-subscribed set. Incomplete sets are fine.
bool prepareCode(HuffmanCode& code, const uint8_t* lengths, unsigned numSymbols) {
    // Four histograms filled in turn, so that a run of equal lengths does not make each count
    // wait for the one before it.
    uint16_t counts[4][kMaxCodeLength + 1] = {};
    unsigned s = 0;
    for (; s + 4 <= numSymbols; s += 4) {
        ++counts[0][lengths[s]];
        ++counts[1][lengths[s + 1]];
        ++counts[2][lengths[s + 2]];
        ++counts[3][lengths[s + 3]];
    }
    for (; s < numSymbols; ++s)
        ++counts[0][lengths[s]];
    for (unsigned len = 0; len <= kMaxCodeLength; ++len)
        code.counts[len] = uint16_t(counts[0][len] + counts[1][len] + counts[2][len] + counts[3][len]);
    const unsigned unused = code.counts[0];
    code.counts[0] = 0;
    int32_t left = 1;
    for (unsigned len = 1; len <= kMaxCodeLength; ++len) {
        left = left * 2 - code.counts[len];
        if (left < 0)
            return false;
    }
    // Symbols without a code go after the others, where nothing reads them: no test per symbol.
    uint16_t offsets[kMaxCodeLength + 2];
    offsets[1] = 0;
    for (unsigned len = 1; len <= kMaxCodeLength; ++len)
        offsets[len + 1] = uint16_t(offsets[len] + code.counts[len]);
    offsets[0] = uint16_t(numSymbols - unused);
    for (unsigned i = 0; i < numSymbols; ++i)
        code.symbols[offsets[lengths[i]]++] = uint16_t(i);
    uint32_t firsts[kMaxCodeLength + 1];
    uint32_t first = 0;
    for (unsigned len = 1; len <= kMaxCodeLength; ++len) {
        firsts[len] = first;
        first = (first + code.counts[len]) << 1;
    }
    code.limits[kMaxCodeLength + 1] = 0;
    for (unsigned len = kMaxCodeLength; len >= 1; --len)
        code.limits[len] = std::max(firsts[len] + code.counts[len], (code.limits[len + 1] + 1) >> 1);
    return true;
}

// Decodes one symbol bit by bit, exactly as a walk down the code tree would: code 10 when the
// input ends first, code 11 as soon as the bits read leave every code.
int decodeCareful(const HuffmanCode& code, BitReader& in, unsigned& error) {
    uint32_t value = 0, first = 0, index = 0;
    for (unsigned len = 1; len <= kMaxCodeLength; ++len) {
        if (!in.has(1)) {
            error = kInflateErrorSymbolPastEnd;
            return -1;
        }
        value |= in.bits(1);
        const uint32_t count = code.counts[len];
        if (value - first < count) // value >= first holds on every path the walk can take
            return code.symbols[index + (value - first)];
        if (value >= code.limits[len])
            break;
        index += count;
        first = (first + count) << 1;
        value <<= 1;
    }
    error = kInflateErrorCodeNotInTable;
    return -1;
}

// Each byte value with its bits in reverse order.
struct ReversedBytes {
    uint8_t value[256];
    constexpr ReversedBytes() : value() {
        for (unsigned b = 0; b < 256; ++b)
            for (unsigned bit = 0; bit < 8; ++bit)
                value[b] |= uint8_t(((b >> bit) & 1) << (7 - bit));
    }
};
constexpr ReversedBytes kReversedBytes;

// A canonical code of `len` bits reversed, as its bits arrive in the input. Each code is worked
// out from its own value, so consecutive codes do not wait on each other.
inline uint32_t reversedCode(uint32_t code, unsigned len) {
    const uint32_t reversed16 = (uint32_t(kReversedBytes.value[code & 0xFF]) << 8) | kReversedBytes.value[code >> 8];
    return reversed16 >> (16 - len);
}

// Builds the lookup table for a prepared code. The first level grows by doubling: codes of each
// length up to `tableBits` are written once at their reversed pattern, then the table so far is
// copied after itself, which repeats every shorter code over the bits it does not look at. Longer
// codes go to a second-level table per first-level pattern, sized for the longest code under it;
// in canonical order the codes sharing a first-level pattern come one after another, the longest
// last. Unassigned patterns stay exceptional.
template <typename Entry, Entry (*makeEntry)(unsigned symbol, unsigned length),
          Entry (*makePointer)(uint32_t offset, uint32_t bits)>
void buildTable(Entry* table, unsigned tableBits, const HuffmanCode& code, Entry unassigned) {
    uint32_t canonical = 0; // the next code, at the length being written
    uint32_t index = 0;
    uint32_t remaining = 0;
    for (unsigned len = 1; len <= kMaxCodeLength; ++len)
        remaining += code.counts[len];
    table[0] = table[1] = unassigned;
    for (unsigned len = 1; len <= tableBits; ++len, canonical <<= 1) {
        if (len > 1)
            std::memcpy(table + (uint32_t(1) << (len - 1)), table, sizeof(Entry) << (len - 1));
        for (uint32_t i = 0; i < code.counts[len]; ++i, ++index, ++canonical)
            table[reversedCode(canonical, len)] = makeEntry(code.symbols[index], len);
        remaining -= code.counts[len];
    }
    if (remaining == 0)
        return;
    // Two walks over the long codes: the first finds each group's subtable size (set at the
    // group's last code, the longest), the second lays the subtables out and fills them.
    const uint32_t prefixMask = (uint32_t(1) << tableBits) - 1;
    uint8_t subBits[uint32_t(1) << kLitlenTableBits]; // read only where the first walk wrote
    uint16_t subOffset[uint32_t(1) << kLitlenTableBits];
    for (int walk = 0; walk < 2; ++walk) {
        uint32_t c = canonical, k = index;
        uint32_t next = prefixMask + 1;
        for (unsigned len = tableBits + 1; len <= kMaxCodeLength; ++len, c <<= 1) {
            for (uint32_t i = 0; i < code.counts[len]; ++i, ++k, ++c) {
                const uint32_t r = reversedCode(c, len);
                const uint32_t prefix = r & prefixMask;
                if (walk == 0) {
                    subBits[prefix] = uint8_t(len - tableBits);
                } else {
                    const uint32_t bits = subBits[prefix];
                    if (table[prefix] == unassigned) { // a long code's prefix has no code of its own
                        table[prefix] = makePointer(next, bits);
                        subOffset[prefix] = uint16_t(next);
                        std::fill(table + next, table + next + (uint32_t(1) << bits), unassigned);
                        next += uint32_t(1) << bits;
                    }
                    Entry* sub = table + subOffset[prefix];
                    const Entry entry = makeEntry(code.symbols[k], len);
                    const uint32_t step = uint32_t(1) << (len - tableBits);
                    for (uint32_t j = r >> tableBits; j < (uint32_t(1) << bits); j += step)
                        sub[j] = entry;
                }
            }
        }
    }
}

uint32_t litlenEntry(unsigned symbol, unsigned len) {
    if (symbol < kEndOfBlock)
        return makeLiteral(symbol, false, len);
    if (symbol == kEndOfBlock)
        return kLitlenRare | kLitlenEndOfBlock | len;
    if (symbol < kFirstSkippedSymbol) {
        const unsigned i = symbol - kFirstLengthSymbol;
        return (uint32_t(kLengthBase[i] - kMinLength) << 22) | (len << 16) | (kDistTableBits << 8) |
               (len + kLengthExtra[i]);
    }
    return kLitlenExceptional | len;
}

uint32_t litlenPointer(uint32_t offset, uint32_t bits) {
    return kLitlenRare | kLitlenSubtable | (offset << 16) | (bits << 8);
}

// Where two literal codes fit in the first-level bits together, their entry holds both, so one
// lookup writes two bytes. Pairs are enumerated from the short literal codes (few, by Kraft's
// inequality), so a code without short literals costs almost nothing; each pair's pattern is
// written over every value of the bits it does not look at.
void pairLiterals(uint32_t* table, unsigned tableBits, const HuffmanCode& code) {
    uint32_t reversedCodes[kEndOfBlock];
    uint8_t lengths[kEndOfBlock], literals[kEndOfBlock];
    unsigned count = 0;
    uint32_t canonical = 0, index = 0;
    // A code pairs only with one at least as long as the shortest literal code, so the walk
    // stops past tableBits minus that length: most codes are never visited.
    for (unsigned len = 1; len < tableBits && (count == 0 || len + lengths[0] <= tableBits); ++len, canonical <<= 1) {
        for (uint32_t i = 0; i < code.counts[len]; ++i, ++index, ++canonical) {
            if (code.symbols[index] < kEndOfBlock) {
                reversedCodes[count] = reversedCode(canonical, len);
                lengths[count] = uint8_t(len);
                literals[count++] = uint8_t(code.symbols[index]);
            }
        }
    }
    const uint32_t tableSize = uint32_t(1) << tableBits;
    for (unsigned a = 0; a < count && lengths[a] + lengths[0] <= tableBits; ++a) {
        for (unsigned b = 0; b < count && lengths[a] + lengths[b] <= tableBits; ++b) {
            const uint32_t bits = lengths[a] + lengths[b];
            const uint32_t entry = makeLiteral(literals[a] | (uint32_t(literals[b]) << 8), true, bits);
            for (uint32_t j = reversedCodes[a] | (reversedCodes[b] << lengths[a]); j < tableSize;
                 j += uint32_t(1) << bits)
                table[j] = entry;
        }
    }
}

uint64_t distEntry(unsigned symbol, unsigned len) {
    if (symbol < kFirstBadDistanceSymbol)
        return (uint64_t(kDistanceBase[symbol]) << 32) | (len << 16) | (kLitlenTableBits << 8) |
               (len + kDistanceExtra[symbol]);
    return kDistExceptional | len;
}

uint64_t distPointer(uint32_t offset, uint32_t bits) {
    return kDistRare | (uint64_t(offset) << 32) | (bits << 8);
}

uint32_t codeLengthEntry(unsigned symbol, unsigned len) {
    return (symbol << 16) | len;
}

uint32_t noPointer(uint32_t, uint32_t) {
    return kCodeLengthUnassigned; // never made: code length codes fit the table
}

inline uint64_t load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v; // little-endian hosts only, which is all this engine targets
}
inline void store16(uint8_t* p, uint32_t v) {
    const uint16_t v16 = uint16_t(v);
    std::memcpy(p, &v16, sizeof v16);
}
inline void store64(uint8_t* p, uint64_t v) {
    std::memcpy(p, &v, sizeof v);
}

// Of `count` bytes to write, how many the output's limit lets through.
inline std::size_t allowedBytes(const InflateOutput& out, std::size_t count) {
    return std::min(count, out.limit - out.used);
}

// Makes sure `room` more bytes fit in the output; `room` is within its limit (allowedBytes).
inline void ensureRoom(InflateOutput& out, std::size_t room) {
    if (out.capacity - out.used >= room)
        return;
    out.grow(std::max(std::min(out.capacity * 2, out.limit), out.used + room));
}

// extraValue in the fast loop. With BMI2 the mask is one bzhi by the entry's low byte; GCC
// builds it from a shift of all ones and an andn, a step more on the path of every pair.
template <bool kBmi2> INFLATE_ALWAYS_INLINE uint32_t extraValueFast(uint64_t bits, uint64_t e) {
#if defined(__x86_64__) && defined(__GNUC__)
    if constexpr (kBmi2) {
        uint64_t low;
        asm("bzhi %2, %1, %0" : "=r"(low) : "r"(bits), "r"(e));
        return uint32_t(low >> ((e >> 16) & 63));
    }
#endif
    return extraValue(bits, e);
}

// The index of the table lookup that follows a length or distance entry: the `tableBits` bits
// after those the entry consumes. With BMI one bextr, whose control word the entry is.
template <bool kBmi2> INFLATE_ALWAYS_INLINE uint64_t nextIndex(uint64_t bits, uint64_t e, unsigned tableBits) {
#if defined(__x86_64__) && defined(__GNUC__)
    if constexpr (kBmi2) {
        uint64_t index;
        asm("bextr %2, %1, %0" : "=r"(index) : "r"(bits), "r"(e));
        return index;
    }
#endif
    return (bits >> (e & 63)) & lowMask(tableBits);
}

enum class FastExit { EndOfBlock, Careful, NeedRoom };

// Decodes symbols while at least kFastInputBytes of input and kFastOutputRoom bytes of output
// room are left, and a round's bytes fit within the output's limit; returns NeedRoom (handled
// like Careful) when the room or the limit runs short. Near the limit (kNearLimit) a round
// needs only its literals to fit, and a match that would pass the limit leaves the loop
// unconsumed: one compare a match, which the loop far from the limit is spared. Leaves `in` at
// the exact bit after the last symbol it consumed. Written once and compiled twice for each
// (below), for plain x86-64 and for processors with BMI and BMI2's flag-free shifts and bit
// extracts.
template <bool kBmi2, bool kNearLimit>
INFLATE_ALWAYS_INLINE FastExit fastLoopBody(BitReader& in, InflateOutput& output, const uint32_t* litlen,
                                            const uint64_t* dist) {
    const uint8_t* const data = in.data;
    const uint8_t* const dataEnd = data + (in.bitLength >> 3);
    const uint8_t* next = data + (in.bitPos >> 3);
    if (!inputHas(std::size_t(dataEnd - next), kFastInputBytes))
        return FastExit::Careful;
    constexpr std::size_t kLimitedBytes = kNearLimit ? kFastLiteralBytes : kFastRoundBytes;
    if (output.capacity - output.used < kFastOutputRoom || output.limit - output.used < kLimitedBytes)
        return FastExit::NeedRoom;
    uint8_t* const outBegin = output.start;
    uint8_t* out = outBegin + output.used;
    uint8_t* const outFastEnd = outBegin + std::min(output.capacity - kFastOutputRoom, output.limit - kLimitedBytes);
    // Near the limit no match may end past this: the limit, where it lies within the room.
    uint8_t* const outLimit = outBegin + std::min(output.capacity, output.limit);
    // The input gate of every round, worked out once: a round may start while `next` is at or
    // before this (the check above makes it a pointer into the input).
    const uint8_t* const inFastEnd = dataEnd - kFastInputBytes;

    // Only the low byte of `left` counts: whole entries are subtracted from it, and the borrow
    // into the high bits is never looked at. Bits above `left` in `buf` are zero or the true
    // next bits, so a refill may OR the same bytes in again.
    uint64_t buf = 0;
    uint32_t left = 0;
    // Adds whole bytes until the buffer holds 56 to 63 bits; reads the 8 bytes at `next`. The
    // gate at the top of each round leaves room for every refill the round makes.
    auto refill = [&] {
        buf |= load64(next) << uint8_t(left);
        next += 7 - ((uint8_t(left) >> 3) & 7);
        left |= 56;
    };
    auto consume = [&](uint32_t entry) {
        buf >>= entry & 63; // entries consume at most 48 bits; the mask is free on x86
        left -= entry;
    };
    auto lookupLitlen = [&] { return litlen[buf & lowMask(kLitlenTableBits)]; };
    // Writes a literal entry's bytes and returns the next entry, looked up first (the order
    // here is the object code's, see INFLATE_FAST_LOOP).
    auto literals = [&](uint32_t entry) {
        consume(entry);
        const uint32_t nextEntry = lookupLitlen();
        store16(out, literalBytes(entry));
        out += std::size_t(literalCount(entry));
        refill();
        return nextEntry;
    };
    refill();
    buf >>= in.bitPos & 7;
    left -= uint32_t(in.bitPos & 7);

    // At the top of each round `entry` is the first-level entry of the next symbol, looked up
    // from real bits, and at least 49 bits (56 after a refill, 49 after the first one's
    // alignment) are in the buffer: enough for three first-level literal codes (11 bits each at
    // most) or one length/distance pair (48 bits at most). A round refills at most three times.
    uint32_t entry = lookupLitlen();
    FastExit result = FastExit::Careful;
    do {
        // A literal entry writes two bytes (the room allows it) and keeps one or both.
        if (entry & kLiteral) {
            entry = literals(entry);
            if (entry & kLiteral) {
                entry = literals(entry);
                if (entry & kLiteral) {
                    entry = literals(entry);
                    continue;
                }
            }
        }
        // Subtable pointers, the end of block and exceptional patterns are rare: said so, GCC
        // lays their code aside and a length entry falls straight through to the pair (3%).
        if (INFLATE_UNLIKELY(entry & kLitlenRare)) {
            if (entry & kLitlenSubtable) {
                entry =
                    litlen[litlenSubtableOffset(entry) + ((buf >> kLitlenTableBits) & lowMask(subtableBits(entry)))];
                if (entry & kLiteral) { // a long literal code
                    consume(entry);
                    *out++ = uint8_t(literalBytes(entry));
                    entry = lookupLitlen(); // at least 34 bits left
                    refill();
                    continue;
                }
            }
            if (entry & kLitlenRare) { // subtable entries are never pointers
                if (entry & kLitlenEndOfBlock) {
                    consume(entry);
                    result = FastExit::EndOfBlock;
                }
                break; // an exceptional symbol is left unconsumed for the careful path
            }
        }
        // The pair is decoded from a copy of the buffer: a pair the careful path must take (and
        // report) leaves `buf` and `left` where its length code starts.
        uint64_t d = dist[nextIndex<kBmi2>(buf, entry, kDistTableBits)];
        const uint64_t afterLength = buf >> (entry & 63);
        const uint32_t length = lengthBase(entry) + extraValueFast<kBmi2>(buf, entry);
        if (d & kDistRare) {
            if (subtableBits(d) != 0)
                d = dist[distSubtableOffset(d) + ((afterLength >> kDistTableBits) & lowMask(subtableBits(d)))];
            if (d & kDistRare)
                break; // symbols 30 and 31, unassigned patterns
        }
        // The next symbol is looked up before anything else is done with the distance, so
        // that the table load overlaps the copy and the refill's input load is not on the path
        // from one symbol to the next. Its entry is right where the bits after the pair hold a
        // whole first-level code; else it is looked up again after the refill.
        const uint32_t nextEntry = litlen[nextIndex<kBmi2>(afterLength, d, kLitlenTableBits)];
        const uint64_t afterPair = afterLength >> (d & 63);
        const uint32_t distance = distanceBase(d) + extraValueFast<kBmi2>(afterLength, d);
        if (distance > std::size_t(out - outBegin) || (kNearLimit && length > std::size_t(outLimit - out)))
            break;
        buf = afterPair;
        left -= entry + uint32_t(d);
        entry = nextEntry;
        const bool entryComplete = uint8_t(left) >= kLitlenTableBits;
        refill();
        if (!entryComplete)
            entry = lookupLitlen();

        // Most matches are short: the first 40 bytes are copied without a loop (the room past
        // the match allows it), so the copy's length causes no mispredicted loop exit. Where the
        // match does not overlap itself, all five words are loaded before any is stored: a load
        // that reached into this copy's own stores would wait for them to leave the store
        // buffer, and the words read past the source's end land past the match's end.
        uint8_t* dst = out;
        const uint8_t* src = out - distance;
        out += length;
        if (distance >= length) {
            const uint64_t w0 = load64(src), w1 = load64(src + 8), w2 = load64(src + 16);
            const uint64_t w3 = load64(src + 24), w4 = load64(src + 32);
            store64(dst, w0);
            store64(dst + 8, w1);
            store64(dst + 16, w2);
            store64(dst + 24, w3);
            store64(dst + 32, w4);
            if (length > 40) { // and so distance > 40
                for (std::size_t i = 40; i < length; i += 8)
                    store64(dst + i, load64(src + i));
            }
        } else if (distance >= 8) {
            do {
                store64(dst, load64(src));
                dst += 8;
                src += 8;
            } while (dst < out);
        } else if (distance == 1) {
            const uint64_t pattern = uint64_t(*src) * 0x0101010101010101ull;
            store64(dst, pattern);
            store64(dst + 8, pattern);
            store64(dst + 16, pattern);
            store64(dst + 24, pattern);
            for (dst += 32; dst < out; dst += 16) {
                store64(dst, pattern);
                store64(dst + 8, pattern);
            }
        } else {
            // Each word read holds `distance` final bytes; the rest is rewritten by the next step.
            do {
                store64(dst, load64(src));
                dst += distance;
                src += distance;
            } while (dst < out);
        }
    } while (next <= inFastEnd && out <= outFastEnd);
    if (result == FastExit::Careful && out > outFastEnd)
        result = FastExit::NeedRoom;
    // Whole bytes refilled but not consumed go back to the input.
    in.bitPos = std::size_t(next - data) * 8 - uint8_t(left);
    output.used = std::size_t(out - outBegin);
    return result;
}

// Both builds start on a cache line: where the loop's branches fall against the processor's
// fetch blocks moves its speed by a few percent, and this keeps that the same wherever the
// linker puts the function, in the benchmark as in the game. GCC's -O3 would vectorise the
// match copy's rare tail loops behind run-time overlap checks, which costs the loop about 2%
// in registers and layout; its -O2 cost model, asked for here, leaves them as they are written.
// GCC's late instruction scheduling is off: the loop is bound by the chain from one table load
// to the next, a processor starts the oldest ready work first, and the source puts that chain's
// steps before the work beside it; the scheduler's generic model moved them behind it (4%).
#if defined(__GNUC__) && !defined(__clang__)
#define INFLATE_FAST_LOOP __attribute__((aligned(64), optimize("vect-cost-model=very-cheap", "no-schedule-insns2")))
#else
#define INFLATE_FAST_LOOP __attribute__((aligned(64)))
#endif
INFLATE_FAST_LOOP FastExit fastLoopPortable(BitReader& in, InflateOutput& output, const uint32_t* litlen,
                                            const uint64_t* dist) {
    return fastLoopBody<false, false>(in, output, litlen, dist);
}
INFLATE_FAST_LOOP FastExit fastLoopPortableNearLimit(BitReader& in, InflateOutput& output, const uint32_t* litlen,
                                                     const uint64_t* dist) {
    return fastLoopBody<false, true>(in, output, litlen, dist);
}

#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("bmi,bmi2"))) INFLATE_FAST_LOOP FastExit fastLoopBmi2(BitReader& in, InflateOutput& output,
                                                                            const uint32_t* litlen,
                                                                            const uint64_t* dist) {
    return fastLoopBody<true, false>(in, output, litlen, dist);
}
__attribute__((target("bmi,bmi2"))) INFLATE_FAST_LOOP FastExit fastLoopBmi2NearLimit(BitReader& in,
                                                                                     InflateOutput& output,
                                                                                     const uint32_t* litlen,
                                                                                     const uint64_t* dist) {
    return fastLoopBody<true, true>(in, output, litlen, dist);
}
#endif

// The fast loops for this processor, chosen once: far from the output's limit and near it.
using FastLoop = FastExit (*)(BitReader&, InflateOutput&, const uint32_t*, const uint64_t*);
struct FastLoops {
    FastLoop farFromLimit, nearLimit;
};
FastLoops chooseFastLoops() {
#if defined(__x86_64__) && defined(__GNUC__)
    __builtin_cpu_init(); // may run before the library's own constructors
    if (__builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2")) // bextr is BMI's, bzhi BMI2's
        return {fastLoopBmi2, fastLoopBmi2NearLimit};
#endif
    return {fastLoopPortable, fastLoopPortableNearLimit};
}
FastLoops fastLoops = chooseFastLoops();

// Decodes one literal, end of block or length/distance pair bit by bit, with every check. Of
// bytes past the output's limit none is written: the item stops there with kInflateOutputLimit.
unsigned carefulItem(BitReader& in, InflateOutput& output, const HuffmanCode& litlen, const HuffmanCode& dist,
                     bool& endOfBlock) {
    unsigned error = kInflateOk;
    const int symbol = decodeCareful(litlen, in, error);
    if (symbol < 0)
        return error;
    if (symbol < int(kEndOfBlock)) {
        if (allowedBytes(output, 1) == 0)
            return kInflateOutputLimit;
        ensureRoom(output, 1);
        output.start[output.used++] = uint8_t(symbol);
        return kInflateOk;
    }
    if (symbol == int(kEndOfBlock)) {
        endOfBlock = true;
        return kInflateOk;
    }
    if (symbol >= int(kFirstSkippedSymbol))
        return kInflateOk;
    const unsigned lengthIndex = unsigned(symbol) - kFirstLengthSymbol;
    if (!in.has(kLengthExtra[lengthIndex]))
        return kInflateErrorExtraBitsPastEnd;
    const std::size_t length = kLengthBase[lengthIndex] + in.bits(kLengthExtra[lengthIndex]);
    const int distSymbol = decodeCareful(dist, in, error);
    if (distSymbol < 0)
        return error;
    if (distSymbol >= int(kFirstBadDistanceSymbol))
        return kInflateErrorBadDistanceSymbol;
    if (!in.has(kDistanceExtra[distSymbol]))
        return kInflateErrorExtraBitsPastEnd;
    const std::size_t distance = kDistanceBase[distSymbol] + in.bits(kDistanceExtra[distSymbol]);
    if (distance > output.used)
        return kInflateErrorDistanceTooFar;
    const std::size_t written = allowedBytes(output, length);
    ensureRoom(output, written);
    uint8_t* dst = output.start + output.used;
    const uint8_t* src = dst - distance; // checked above: inside the output
    for (std::size_t i = 0; i < written; ++i)
        dst[i] = src[i];
    output.used += written;
    return written == length ? kInflateOk : kInflateOutputLimit;
}

} // namespace

struct Inflater::Tables {
    HuffmanCode litlenCode, distCode, codeLengthCode;
    uint32_t litlen[kLitlenTableSize];
    uint64_t dist[kDistTableSize];
    uint32_t codeLength[uint32_t(1) << kCodeLengthTableBits];
    bool fixedBuilt = false;
    HuffmanCode fixedLitlenCode, fixedDistCode;
    uint32_t fixedLitlen[uint32_t(1) << kLitlenTableBits];
    uint64_t fixedDist[uint32_t(1) << kDistTableBits];
};

namespace {

unsigned decodeHuffmanBlock(BitReader& in, InflateOutput& output, const HuffmanCode& litlenCode,
                            const uint32_t* litlenTable, const HuffmanCode& distCode, const uint64_t* distTable) {
    for (;;) {
        FastExit exit = fastLoops.farFromLimit(in, output, litlenTable, distTable);
        // Stopped by the limit with room to spare: the last bytes before it, matches checked.
        if (exit == FastExit::NeedRoom && output.capacity - output.used >= kFastOutputRoom)
            exit = fastLoops.nearLimit(in, output, litlenTable, distTable);
        if (exit == FastExit::EndOfBlock)
            return kInflateOk;
        // Near the end of the input, or of the output room: one item with every check. The
        // careful path grows the output only when an item does not fit, so output sized ahead
        // exactly is never reallocated.
        bool endOfBlock = false;
        const unsigned error = carefulItem(in, output, litlenCode, distCode, endOfBlock);
        if (error != kInflateOk)
            return error;
        if (endOfBlock)
            return kInflateOk;
    }
}

// Decodes one code length symbol: through the table when 7 bits are there, else bit by bit.
inline int decodeCodeLengthSymbol(const Inflater::Tables& t, BitReader& in, unsigned& error) {
    if (in.has(kMaxCodeLengthCodeLength)) {
        const uint32_t entry = t.codeLength[in.peek(kMaxCodeLengthCodeLength)];
        if (entry & kCodeLengthUnassigned) {
            error = kInflateErrorCodeNotInTable;
            return -1;
        }
        in.bitPos += consumedBits(entry);
        return int(codeLengthSymbol(entry));
    }
    return decodeCareful(t.codeLengthCode, in, error);
}

// The most bits one code length item takes: its symbol's code and a repeat's extra bits.
constexpr unsigned kMaxCodeLengthItemBits = kMaxCodeLengthCodeLength + 7;

// Reads `total` code lengths from a 64-bit buffer refilled after every item (56 to 63 bits, of
// which an item takes at most 14), so each lookup waits only on the shift by the previous
// item's bits, not on a load from the input. Only after the gate in readDynamicTables: `total`
// items of at most kMaxCodeLengthItemBits each, plus the 63 bits the buffer may hold beyond them
// and the 64 bits of its last load, lie within the input, so every bit looked at is real input
// and the errors are those the careful loop gives (an unassigned pattern found within 7 real
// bits is 11).
unsigned readCodeLengthsFast(const Inflater::Tables& t, BitReader& in, uint8_t* lengths, unsigned total) {
    const uint8_t* next = in.data + (in.bitPos >> 3);
    uint64_t buf = 0;
    unsigned left = 0; // bits in `buf`, at most 63
    auto refill = [&] {
        buf |= load64(next) << left;
        next += (63 - left) >> 3;
        left |= 56;
    };
    auto consume = [&](unsigned bits) {
        buf >>= bits;
        left -= bits;
    };
    refill();
    consume(unsigned(in.bitPos & 7));
    unsigned i = 0;
    unsigned error = kInflateOk;
    while (i < total) {
        const uint32_t entry = t.codeLength[buf & lowMask(kMaxCodeLengthCodeLength)];
        if (entry & kCodeLengthUnassigned) {
            error = kInflateErrorCodeNotInTable;
            break;
        }
        consume(consumedBits(entry));
        const unsigned symbol = codeLengthSymbol(entry);
        if (symbol < 16) {
            lengths[i++] = uint8_t(symbol);
            refill();
            continue;
        }
        unsigned repeat;
        uint8_t value = 0;
        if (symbol == 16) {
            if (i == 0) {
                error = kInflateErrorRepeatWithoutPrevious;
                break;
            }
            repeat = 3 + unsigned(buf & 3);
            consume(2);
            value = lengths[i - 1];
        } else if (symbol == 17) {
            repeat = 3 + unsigned(buf & 7);
            consume(3);
        } else {
            repeat = 11 + unsigned(buf & 127);
            consume(7);
        }
        if (repeat > total - i) {
            error = symbol == 16   ? kInflateErrorRepeat16PastEnd
                    : symbol == 17 ? kInflateErrorRepeat17PastEnd
                                   : kInflateErrorRepeat18PastEnd;
            break;
        }
        std::memset(lengths + i, value, repeat);
        i += repeat;
        refill();
    }
    in.bitPos = std::size_t(next - in.data) * 8 - left;
    return error;
}

unsigned readDynamicTables(Inflater::Tables& t, BitReader& in) {
    constexpr unsigned kHeaderBits = 5 + 5 + 4;
    if (!in.has(kHeaderBits))
        return kInflateErrorDynamicHeaderPastEnd;
    const unsigned hlit = in.bits(5) + 257;
    const unsigned hdist = in.bits(5) + 1;
    const unsigned hclen = in.bits(4) + 4;
    if (!in.has(3 * hclen))
        return kInflateErrorDynamicHeaderPastEnd;
    uint8_t codeLengthLengths[kNumCodeLengthSymbols] = {};
    for (unsigned i = 0; i < hclen; ++i)
        codeLengthLengths[kCodeLengthOrder[i]] = uint8_t(in.bits(3));
    if (!prepareCode(t.codeLengthCode, codeLengthLengths, kNumCodeLengthSymbols))
        return kInflateErrorOversubscribed;
    buildTable<uint32_t, codeLengthEntry, noPointer>(t.codeLength, kCodeLengthTableBits, t.codeLengthCode,
                                                     kCodeLengthUnassigned);

    uint8_t lengths[kNumLitlenSymbols + kNumDistSymbols] = {};
    const unsigned total = hlit + hdist;
    unsigned i = 0;
    // Where the input holds the longest the lengths could take, they are read a word at a
    // time without a check per read; the result is the same as the careful loop's below.
    if (inputHas(in.bitLength - in.bitPos, std::size_t(total) * kMaxCodeLengthItemBits + 63 + 64)) {
        const unsigned error = readCodeLengthsFast(t, in, lengths, total);
        if (error != kInflateOk)
            return error;
        i = total;
    }
    while (i < total) {
        unsigned error = kInflateOk;
        const int symbol = decodeCodeLengthSymbol(t, in, error);
        if (symbol < 0)
            return error;
        if (symbol < 16) {
            lengths[i++] = uint8_t(symbol);
            continue;
        }
        unsigned repeat;
        uint8_t value = 0;
        if (symbol == 16) {
            if (i == 0)
                return kInflateErrorRepeatWithoutPrevious;
            if (!in.has(2))
                return kInflateErrorRepeatBitsPastEnd;
            repeat = 3 + in.bits(2);
            if (repeat > total - i)
                return kInflateErrorRepeat16PastEnd;
            value = lengths[i - 1];
        } else if (symbol == 17) {
            if (!in.has(3))
                return kInflateErrorRepeatBitsPastEnd;
            repeat = 3 + in.bits(3);
            if (repeat > total - i)
                return kInflateErrorRepeat17PastEnd;
        } else if (symbol == 18) {
            if (!in.has(7))
                return kInflateErrorRepeatBitsPastEnd;
            repeat = 11 + in.bits(7);
            if (repeat > total - i)
                return kInflateErrorRepeat18PastEnd;
        } else {
            return kInflateErrorBadCodeLengthSymbol; // cannot happen with a 19-symbol code; kept as a guard
        }
        std::memset(lengths + i, value, repeat);
        i += repeat;
    }
    uint8_t litlenLengths[kNumLitlenSymbols] = {};
    uint8_t distLengths[kNumDistSymbols] = {};
    std::memcpy(litlenLengths, lengths, hlit);
    std::memcpy(distLengths, lengths + hlit, hdist);
    if (litlenLengths[kEndOfBlock] == 0)
        return kInflateErrorNoEndOfBlock;
    if (!prepareCode(t.litlenCode, litlenLengths, kNumLitlenSymbols) ||
        !prepareCode(t.distCode, distLengths, kNumDistSymbols))
        return kInflateErrorOversubscribed;
    buildTable<uint32_t, litlenEntry, litlenPointer>(t.litlen, kLitlenTableBits, t.litlenCode, kLitlenExceptional);
    pairLiterals(t.litlen, kLitlenTableBits, t.litlenCode);
    buildTable<uint64_t, distEntry, distPointer>(t.dist, kDistTableBits, t.distCode, kDistExceptional);
    return kInflateOk;
}

void buildFixedTables(Inflater::Tables& t) {
    if (t.fixedBuilt)
        return;
    uint8_t litlenLengths[kNumLitlenSymbols];
    std::fill(litlenLengths, litlenLengths + 144, 8);
    std::fill(litlenLengths + 144, litlenLengths + 256, 9);
    std::fill(litlenLengths + 256, litlenLengths + 280, 7);
    std::fill(litlenLengths + 280, litlenLengths + kNumLitlenSymbols, 8);
    uint8_t distLengths[kNumDistSymbols];
    std::fill(distLengths, distLengths + kNumDistSymbols, 5);
    prepareCode(t.fixedLitlenCode, litlenLengths, kNumLitlenSymbols);
    prepareCode(t.fixedDistCode, distLengths, kNumDistSymbols);
    buildTable<uint32_t, litlenEntry, litlenPointer>(t.fixedLitlen, kLitlenTableBits, t.fixedLitlenCode,
                                                     kLitlenExceptional);
    buildTable<uint64_t, distEntry, distPointer>(t.fixedDist, kDistTableBits, t.fixedDistCode, kDistExceptional);
    t.fixedBuilt = true;
}

unsigned storedBlock(BitReader& in, InflateOutput& output) {
    in.bitPos = std::min(in.bitLength, (in.bitPos + 7) & ~std::size_t(7));
    if (!in.has(32))
        return kInflateErrorBlockHeaderPastEnd;
    const uint32_t len = in.bits(16);
    const uint32_t nlen = in.bits(16);
    if (len + nlen != 65535)
        return kInflateErrorStoredLength;
    if (!in.has(std::size_t(len) * 8))
        return kInflateErrorStoredPastEnd;
    const std::size_t written = allowedBytes(output, len);
    if (written != 0) { // an empty block may meet an output with no storage yet: memcpy takes no null
        ensureRoom(output, written);
        std::memcpy(output.start + output.used, in.data + (in.bitPos >> 3), written);
        output.used += written;
    }
    in.bitPos += std::size_t(len) * 8;
    return written == len ? kInflateOk : kInflateOutputLimit;
}

} // namespace

Inflater::Inflater() : tables_(new Tables) {}
Inflater::~Inflater() = default;

unsigned Inflater::inflate(InflateOutput& output, const uint8_t* data, std::size_t size) {
    BitReader in{data, size * 8, 0};
    Tables& t = *tables_;
    error = kInflateOk;
    outputAdler32 = 1;
    std::size_t summed = output.used;
    for (bool last = false; !last && error == kInflateOk;) {
        if (!in.has(3)) {
            error = kInflateErrorBlockHeaderPastEnd;
            break;
        }
        last = in.bits(1) != 0;
        const unsigned type = in.bits(2);
        if (type == 0) {
            error = storedBlock(in, output);
        } else if (type == 1) {
            buildFixedTables(t);
            error = decodeHuffmanBlock(in, output, t.fixedLitlenCode, t.fixedLitlen, t.fixedDistCode, t.fixedDist);
        } else if (type == 2) {
            error = readDynamicTables(t, in);
            if (error == kInflateOk)
                error = decodeHuffmanBlock(in, output, t.litlenCode, t.litlen, t.distCode, t.dist);
        } else {
            error = kInflateErrorBadBlockType;
        }
        // Each block's output is summed as soon as it is complete, while most of it is still in
        // the cache: one pass over the whole output at the end waits on memory.
        if (checkAdler32 && error == kInflateOk) {
            outputAdler32 = adler32Update(outputAdler32, output.start + summed, output.used - summed);
            summed = output.used;
        }
    }
    output.finish();
    return error;
}

namespace {

class VectorOutput : public InflateOutput {
public:
    explicit VectorOutput(std::vector<unsigned char>& bytes) : bytes_(bytes) {}
    void grow(std::size_t newCapacity) override {
        bytes_.resize(newCapacity);
        start = bytes_.data();
        capacity = newCapacity;
    }
    void finish() override { bytes_.resize(used); }

private:
    std::vector<unsigned char>& bytes_;
};

class BufferOutput : public InflateOutput {
public:
    explicit BufferOutput(ByteBuffer& bytes) : bytes_(bytes) {}
    void grow(std::size_t newCapacity) override {
        bytes_.resize(newCapacity);
        start = bytes_.data();
        capacity = newCapacity;
    }
    void finish() override { bytes_.resize(used); }

private:
    ByteBuffer& bytes_;
};

// The output size to start with: what the caller expects, but never more than the input could
// produce, so a lying header cannot make us allocate.
std::size_t initialCapacity(std::size_t expected, std::size_t inputSize) {
    const std::size_t producible = inputSize * kInflateMaxExpansion;
    std::size_t guess = expected != 0 ? expected : inputSize * 4;
    return std::max(std::min(guess, producible), kMinOutputCapacity);
}

// Decompresses into `output`, first making room for `expected` bytes unless it already has it.
unsigned zlibDecompressTo(InflateOutput& output, std::size_t expected, const unsigned char* input,
                          std::size_t inputSize, bool checkAdler32) {
    output.used = 0;
    if (input == nullptr || !inputHas(inputSize, 2)) {
        output.finish();
        return kInflateErrorTooShort;
    }
    unsigned error = kInflateOk;
    const unsigned cmf = input[0], flg = input[1];
    if ((cmf * 256 + flg) % 31 != 0)
        error = kInflateErrorHeaderCheck;
    else if ((cmf & 15) != 8 || (cmf >> 4) > 7)
        error = kInflateErrorMethod;
    else if (flg & 32)
        error = kInflateErrorPresetDictionary;
    if (error != kInflateOk) {
        output.finish();
        return error;
    }
    expected = std::min(expected, output.limit);
    if (output.capacity < expected)
        output.grow(expected);
    Inflater inflater;
    inflater.checkAdler32 = checkAdler32;
    error = inflater.inflate(output, input + 2, inputSize - 2);
    if (error != kInflateOk || !checkAdler32)
        return error;
    // The trailer is the last four bytes, wherever the deflate data ended.
    if (!inputHas(inputSize, 4))
        return kInflateErrorAdler32;
    const unsigned char* t = input + inputSize - 4;
    const uint32_t stored = (uint32_t(t[0]) << 24) | (uint32_t(t[1]) << 16) | (uint32_t(t[2]) << 8) | t[3];
    return inflater.outputAdler32 == stored ? kInflateOk : kInflateErrorAdler32;
}

} // namespace

unsigned zlibDecompress(std::vector<unsigned char>& output, const unsigned char* input, std::size_t inputSize,
                        bool checkAdler32) {
    const std::size_t expected = output.capacity();
    output.clear();
    VectorOutput sink(output);
    return zlibDecompressTo(sink, initialCapacity(expected, inputSize), input, inputSize, checkAdler32);
}

unsigned zlibDecompress(std::vector<unsigned char>& output, const std::vector<unsigned char>& input,
                        bool checkAdler32) {
    return zlibDecompress(output, input.data(), input.size(), checkAdler32);
}

unsigned zlibDecompress(ByteBuffer& output, const unsigned char* input, std::size_t inputSize, bool checkAdler32) {
    return zlibDecompress(output, input, inputSize, checkAdler32, kNoOutputLimit);
}

unsigned zlibDecompress(ByteBuffer& output, const unsigned char* input, std::size_t inputSize, bool checkAdler32,
                        std::size_t limit) {
    const std::size_t expected = output.capacity();
    output.clear();
    BufferOutput sink(output);
    sink.limit = limit;
    return zlibDecompressTo(sink, initialCapacity(expected, inputSize), input, inputSize, checkAdler32);
}

unsigned zlibDecompress(InflateOutput& output, const unsigned char* input, std::size_t inputSize, bool checkAdler32) {
    output.used = 0;
    return zlibDecompressTo(output, 0, input, inputSize, checkAdler32);
}

void inflateUsePortableCode(bool portable) {
    fastLoops = portable ? FastLoops{fastLoopPortable, fastLoopPortableNearLimit} : chooseFastLoops();
    adler32UsePortableCode(portable);
}
