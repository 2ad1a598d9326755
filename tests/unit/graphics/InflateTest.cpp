// The inflater against zlib (every level and strategy, several kinds of data and sizes), the
// described edge cases, every error code from a hand-made stream, and the table-driven decoder
// against a bit-at-a-time reference on truncated and corrupted streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <zlib.h>

#include "graphics/Inflate.h"
#include "graphics/InflateTestSupport.h"

using namespace inflatetest;

namespace {

const int kStrategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
const char* const kStrategyNames[] = {"default", "filtered", "huffman-only", "rle", "fixed"};

Bytes decodeOk(const Bytes& stream) {
    Bytes out;
    EXPECT_EQ(0u, zlibDecompress(out, stream, true));
    return out;
}

unsigned decodeError(const Bytes& stream, bool checkAdler32 = false) {
    Bytes out;
    return zlibDecompress(out, stream, checkAdler32);
}

// Puts a valid zlib trailer (the Adler-32 of `original`) after a hand-made deflate stream.
Bytes withTrailer(Bytes stream, const Bytes& original) {
    const uint32_t a = adler32(original.data(), original.size());
    stream.resize(stream.size() - 4);
    for (int shift = 24; shift >= 0; shift -= 8)
        stream.push_back(uint8_t(a >> shift));
    return stream;
}

// A dynamic block header whose code length code gives all 19 symbols 5 bits (symbol s is code s),
// followed by the literal/length and distance lengths written plainly, zeros as 17/18 runs.
void dynamicHeader(BitWriter& w, bool final, const std::vector<unsigned>& lit, const std::vector<unsigned>& dist) {
    w.bits(final, 1);
    w.bits(2, 2);
    w.bits(unsigned(lit.size()) - 257, 5);
    w.bits(unsigned(dist.size()) - 1, 5);
    w.bits(15, 4);
    for (int i = 0; i < 19; ++i)
        w.bits(5, 3);
    std::vector<unsigned> all(lit);
    all.insert(all.end(), dist.begin(), dist.end());
    for (std::size_t i = 0; i < all.size();) {
        std::size_t run = 0;
        while (i + run < all.size() && all[i + run] == 0 && run < 138)
            ++run;
        if (run >= 11) {
            w.code(18, 5);
            w.bits(unsigned(run) - 11, 7);
            i += run;
        } else if (run >= 3) {
            w.code(17, 5);
            w.bits(unsigned(run) - 3, 3);
            i += run;
        } else {
            w.code(all[i], 5);
            ++i;
        }
    }
}

// Literal 'A' and end-of-block both of length 1, one distance code of length 1.
std::vector<unsigned> twoSymbolLitlen() {
    std::vector<unsigned> lit(257, 0);
    lit['A'] = 1;
    lit[256] = 1;
    return lit;
}

// An output of the test's own, which keeps the most room the inflater asked it for.
struct RecordingOutput : InflateOutput {
    ByteBuffer bytes;
    std::size_t largestGrow = 0;
    void grow(std::size_t newCapacity) override {
        bytes.resize(newCapacity);
        start = bytes.data();
        capacity = newCapacity;
        largestGrow = std::max(largestGrow, newCapacity);
    }
    void finish() override {}
};

} // namespace

// ---- Differential against zlib -------------------------------------------------------------

TEST(InflateAgainstZlib, EveryLevelAndStrategyOnEveryKindOfData) {
    const Bytes inputs[] = {makeText(70000, 1), makeRuns(70000, 2), makeNoise(40000, 3), makePixels(70000, 4)};
    const char* names[] = {"text", "runs", "noise", "pixels"};
    for (int k = 0; k < 4; ++k)
        for (int level = 0; level <= 9; ++level)
            for (int s = 0; s < 5; ++s) {
                SCOPED_TRACE(std::string(names[k]) + " level " + std::to_string(level) + " " + kStrategyNames[s]);
                EXPECT_EQ(inputs[k], decodeOk(zlibCompress(inputs[k], level, kStrategies[s])));
            }
}

TEST(InflateAgainstZlib, EmptyAndOneByteInputsAtEveryLevelAndStrategy) {
    for (const Bytes& input : {Bytes{}, Bytes{'x'}, Bytes{0}})
        for (int level = 0; level <= 9; ++level)
            for (int s = 0; s < 5; ++s) {
                SCOPED_TRACE("size " + std::to_string(input.size()) + " level " + std::to_string(level));
                EXPECT_EQ(input, decodeOk(zlibCompress(input, level, kStrategies[s])));
            }
}

TEST(InflateAgainstZlib, MoreThanOneMebibyteOfEachKind) {
    const std::size_t n = (1u << 20) + 12345;
    const Bytes inputs[] = {makeText(n, 5), makeRuns(n, 6), makeNoise(n, 7), makePixels(n, 8)};
    for (const Bytes& input : inputs) {
        for (int level : {0, 1, 6, 9})
            EXPECT_EQ(input, decodeOk(zlibCompress(input, level)));
        for (int s = 1; s < 5; ++s)
            EXPECT_EQ(input, decodeOk(zlibCompress(input, 6, kStrategies[s])));
    }
}

TEST(InflateAgainstZlib, SmallWindowsAndMemoryLevelsGiveTheSameBytes) {
    const Bytes input = makeText(200000, 9);
    for (int windowBits = 9; windowBits <= 15; ++windowBits) {
        z_stream s{};
        ASSERT_EQ(Z_OK, deflateInit2(&s, 9, Z_DEFLATED, windowBits, 1 + windowBits % 9, Z_DEFAULT_STRATEGY));
        Bytes out(deflateBound(&s, input.size()));
        s.next_in = const_cast<Bytef*>(input.data());
        s.avail_in = uInt(input.size());
        s.next_out = out.data();
        s.avail_out = uInt(out.size());
        ASSERT_EQ(Z_STREAM_END, deflate(&s, Z_FINISH));
        out.resize(s.total_out);
        deflateEnd(&s);
        EXPECT_EQ(input, decodeOk(out)) << "window bits " << windowBits;
    }
}

TEST(InflateAgainstZlib, OutputSizedAheadTooSmallExactOrLargeAndOldContentsAreReplaced) {
    const Bytes input = makePixels(300000, 10);
    const Bytes stream = zlibCompress(input, 6);
    for (std::size_t reserve : {std::size_t(0), std::size_t(10), input.size(), input.size() * 3}) {
        Bytes out(17, 0xEE);
        out.reserve(reserve);
        ASSERT_EQ(0u, zlibDecompress(out, stream.data(), stream.size(), true));
        EXPECT_EQ(input, out) << "reserved " << reserve;
    }
    ByteBuffer buffer;
    buffer.reserve(input.size());
    ASSERT_EQ(0u, zlibDecompress(buffer, stream.data(), stream.size(), true));
    EXPECT_EQ(input, Bytes(buffer.data(), buffer.data() + buffer.size()));
}

TEST(Adler32, MatchesZlibAcrossTheReductionChunkBoundaries) {
    const Bytes data = makeNoise(100000, 11);
    const Bytes ff(100000, 0xFF); // largest sums: the reduction must keep up
    for (std::size_t n :
         {0, 1, 7, 8, 31, 32, 33, 5549, 5550, 5551, 11100, 11101, 32767, 32768, 32769, 50000, 65567, 100000}) {
        EXPECT_EQ(::adler32(1, data.data(), uInt(n)), adler32(data.data(), n)) << n;
        EXPECT_EQ(::adler32(1, ff.data(), uInt(n)), adler32(ff.data(), n)) << n;
    }
}

TEST(Adler32, CarriedOnFromAnySplitEqualsTheWholeChecksum) {
    const Bytes noise = makeNoise(30000, 12);
    const Bytes ff(30000, 0xFF); // sums carried in close to the modulus
    for (const Bytes* data : {&noise, &ff}) {
        const uint32_t whole = ::adler32(1, data->data(), uInt(data->size()));
        for (std::size_t split : {0, 1, 31, 32, 33, 5550, 5551, 12345, 29999, 30000}) {
            const uint32_t first = adler32(data->data(), split);
            EXPECT_EQ(whole, adler32Update(first, data->data() + split, data->size() - split)) << split;
        }
    }
}

// ---- Described edge cases --------------------------------------------------------------------

TEST(InflateEdgeCases, FinalStoredBlockOfLengthZeroIsEmptyWithChecksumOne) {
    const Bytes stream = {0x78, 0x9C, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x01};
    Bytes out(5, 1);
    EXPECT_EQ(0u, zlibDecompress(out, stream, true));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(1u, adler32(nullptr, 0));
    RecordingOutput bare; // no storage at all: the empty copy must not be handed its null start
    EXPECT_EQ(0u, zlibDecompress(bare, stream.data(), stream.size(), true));
    EXPECT_EQ(0u, bare.used);
}

TEST(InflateEdgeCases, HeaderBytes789CPassAnd789DFailWith24) {
    EXPECT_EQ(0u, decodeError({0x78, 0x9C, 0x03, 0x00, 0, 0, 0, 1}, true));
    EXPECT_EQ(24u, decodeError({0x78, 0x9D, 0x03, 0x00, 0, 0, 0, 1}, true));
}

TEST(InflateEdgeCases, LengthOf258AtDistanceOneRepeatsThePreviousByte) {
    BitWriter w;
    w.bits(1, 1);
    w.bits(1, 2);
    fixedLitlen(w, 'q');
    fixedLitlen(w, 285); // length 258, no extra bits
    w.code(0, 5);        // distance 1
    fixedLitlen(w, 256);
    const Bytes expected(259, 'q');
    EXPECT_EQ(expected, decodeOk(withTrailer(w.zlib(), expected)));
}

TEST(InflateEdgeCases, FlippedTrailerByteFailsWith58AndPassesWithTheCheckOff) {
    const Bytes input = makeText(5000, 12);
    const Bytes good = zlibCompress(input, 6);
    for (std::size_t i = good.size() - 4; i < good.size(); ++i) {
        Bytes bad = good;
        bad[i] ^= 0x10;
        Bytes out;
        EXPECT_EQ(58u, zlibDecompress(out, bad, true));
        EXPECT_EQ(0u, zlibDecompress(out, bad, false));
        EXPECT_EQ(input, out);
    }
}

TEST(InflateEdgeCases, BytesBetweenTheFinalBlockAndTheTrailerAreIgnored) {
    const Bytes input = makeText(3000, 13);
    Bytes stream = zlibCompress(input, 9);
    stream.insert(stream.end() - 4, {1, 2, 3, 4, 5, 6, 7});
    EXPECT_EQ(input, decodeOk(stream));
}

TEST(InflateEdgeCases, Symbols286And287AreReadAndSkipped) {
    BitWriter w;
    w.bits(1, 1);
    w.bits(1, 2);
    fixedLitlen(w, 'A');
    fixedLitlen(w, 286);
    fixedLitlen(w, 'B');
    fixedLitlen(w, 287);
    fixedLitlen(w, 256);
    Bytes stream = w.zlib();
    stream.insert(stream.end() - 4, 40, 0); // enough input that the fast path meets them
    const Bytes expected = {'A', 'B'};
    EXPECT_EQ(expected, decodeOk(withTrailer(stream, expected)));
}

TEST(InflateEdgeCases, StoredBlocksAfterHuffmanBlocksAndMatchesAcrossBlocks) {
    const Bytes input = makeRuns(100000, 14);
    z_stream s{};
    ASSERT_EQ(Z_OK, deflateInit(&s, 6));
    Bytes out(200000);
    s.next_out = out.data();
    s.avail_out = uInt(out.size());
    for (std::size_t at = 0; at < input.size(); at += 20000) {
        deflateParams(&s, (at / 20000) % 2 ? 0 : 6, Z_DEFAULT_STRATEGY); // alternate stored and compressed
        s.next_in = const_cast<Bytef*>(input.data() + at);
        s.avail_in = 20000;
        ASSERT_EQ(Z_OK, deflate(&s, Z_NO_FLUSH));
    }
    ASSERT_EQ(Z_STREAM_END, deflate(&s, Z_FINISH));
    out.resize(s.total_out);
    deflateEnd(&s);
    EXPECT_EQ(input, decodeOk(out));
}

// ---- The output's limit -----------------------------------------------------------------------

TEST(InflateOutputLimit, AStreamLongerThanTheLimitGivesItsFirstBytesAndStopsThere) {
    // Stored and Huffman blocks, in both builds, into output grown up to the limit and into
    // output with room past it (where the fast loop runs up to the limit); limits inside
    // matches, at the end and past it.
    const Bytes input = makeRuns(100000, 41);
    std::vector<std::size_t> limits = {0, 1, 99999, 100000, 100001};
    for (std::size_t limit = 1000; limit < input.size(); limit += 997)
        limits.push_back(limit);
    for (bool portable : {false, true}) {
        inflateUsePortableCode(portable);
        for (int level : {0, 6}) {
            const Bytes stream = zlibCompress(input, level);
            for (std::size_t limit : limits) {
                const std::string what =
                    std::to_string(portable) + " " + std::to_string(level) + " " + std::to_string(limit);
                ByteBuffer grown;
                const unsigned result = zlibDecompress(grown, stream.data(), stream.size(), true, limit);
                RecordingOutput roomy;
                roomy.grow(input.size() + 1000);
                roomy.limit = limit;
                const unsigned roomyResult = zlibDecompress(roomy, stream.data(), stream.size(), true);
                const std::size_t kept = std::min(limit, input.size());
                EXPECT_EQ(limit < input.size() ? kInflateOutputLimit : kInflateOk, result) << what;
                EXPECT_EQ(result, roomyResult) << what;
                EXPECT_TRUE(grown.size() == kept && std::equal(input.begin(), input.begin() + kept, grown.data()))
                    << what;
                EXPECT_TRUE(roomy.used == kept && std::equal(input.begin(), input.begin() + kept, roomy.bytes.data()))
                    << what;
            }
        }
    }
    inflateUsePortableCode(false);
    // 300 MiB from 1.9 MB, stopped at its first kilobyte without room asked for past it.
    const Bytes bomb = repeatedLastByte({'z'}, std::size_t(300) << 20).zlib();
    RecordingOutput out;
    out.limit = 1000;
    EXPECT_EQ(kInflateOutputLimit, zlibDecompress(out, bomb.data(), bomb.size(), true));
    EXPECT_EQ(1000u, out.used);
    EXPECT_LE(out.largestGrow, 1000u);
    EXPECT_TRUE(std::all_of(out.bytes.data(), out.bytes.data() + out.used, [](uint8_t b) { return b == 'z'; }));
}

// ---- Every error code from a crafted stream ------------------------------------------------

TEST(InflateErrors, ZlibHeaderCodes) {
    EXPECT_EQ(53u, decodeError({}));
    EXPECT_EQ(53u, decodeError({0x78}));
    EXPECT_EQ(24u, decodeError({0x78, 0x00, 0x03, 0x00}));
    EXPECT_EQ(25u, decodeError({0x79, 0x18, 0x03, 0x00}));          // method 9
    EXPECT_EQ(25u, decodeError({0x88, 0x1C, 0x03, 0x00}));          // window field 8
    EXPECT_EQ(26u, decodeError({0x78, 0xBB, 0x03, 0x00}));          // preset dictionary
    EXPECT_EQ(52u, decodeError({0x78, 0x9C}));                      // no deflate data at all
    EXPECT_EQ(52u, decodeError({0x78, 0x9C, 0x01, 0x00}));          // stored header cut
    EXPECT_EQ(20u, decodeError({0x78, 0x9C, 0x07, 0, 0, 0, 0, 0})); // BTYPE 3
    EXPECT_EQ(21u, decodeError({0x78, 0x9C, 0x01, 5, 0, 5, 0, 0, 0, 0, 0}));
    EXPECT_EQ(23u, decodeError({0x78, 0x9C, 0x01, 10, 0, 0xF5, 0xFF, 1, 2, 3}));
    EXPECT_EQ(49u, decodeError({0x78, 0x9C, 0x05, 0x00})); // 13 bits where the header needs 14
}

TEST(InflateErrors, BlockHeaderPastTheEndOfANonFinalBlockFailsWith52) {
    // A non-final empty stored block ends on a byte boundary with nothing after it.
    EXPECT_EQ(52u, decodeError({0x78, 0x9C, 0x00, 0x00, 0x00, 0xFF, 0xFF}));
    // A non-final empty fixed block leaves 6 bits: a header fits, then the stored header does not.
    EXPECT_EQ(52u, decodeError({0x78, 0x9C, 0x02, 0x00}));
}

TEST(InflateErrors, DynamicBlockWithoutEndOfBlockCodeFailsWith64) {
    std::vector<unsigned> lit(257, 0);
    lit['A'] = 1;
    lit['B'] = 1;
    BitWriter w;
    dynamicHeader(w, true, lit, {1});
    EXPECT_EQ(64u, decodeError(w.zlib()));
}

TEST(InflateErrors, OversubscribedCodesFailWith55) {
    std::vector<unsigned> lit(257, 0);
    lit['A'] = 1;
    lit['B'] = 1;
    lit[256] = 1;
    BitWriter w;
    dynamicHeader(w, true, lit, {1});
    EXPECT_EQ(55u, decodeError(w.zlib()));

    BitWriter d;
    dynamicHeader(d, true, twoSymbolLitlen(), {1, 1, 1});
    EXPECT_EQ(55u, decodeError(d.zlib())) << "distance code";

    BitWriter c; // code length code: four symbols of length 1
    c.bits(1, 1);
    c.bits(2, 2);
    c.bits(0, 5);
    c.bits(0, 5);
    c.bits(0, 4);
    for (int i = 0; i < 4; ++i)
        c.bits(1, 3);
    EXPECT_EQ(55u, decodeError(c.zlib())) << "code length code";
}

TEST(InflateErrors, RepeatCodesRunningPastTheDeclaredLengths) {
    auto header = [](BitWriter& w) {
        w.bits(1, 1);
        w.bits(2, 2);
        w.bits(0, 5); // 257 literal/length lengths
        w.bits(0, 5); // 1 distance length
        w.bits(15, 4);
        for (int i = 0; i < 19; ++i)
            w.bits(5, 3);
    };
    BitWriter a; // 255 zeros, a 1, then 16 repeating it 3 times: 259 > 258
    header(a);
    a.code(18, 5), a.bits(127, 7), a.code(18, 5), a.bits(106, 7), a.code(1, 5), a.code(16, 5), a.bits(0, 2);
    EXPECT_EQ(13u, decodeError(a.zlib()));
    BitWriter b; // 256 zeros then 17 asking for 3
    header(b);
    b.code(18, 5), b.bits(127, 7), b.code(18, 5), b.bits(107, 7), b.code(17, 5), b.bits(0, 3);
    EXPECT_EQ(14u, decodeError(b.zlib()));
    BitWriter c; // 248 zeros then 18 asking for 11
    header(c);
    c.code(18, 5), c.bits(127, 7), c.code(18, 5), c.bits(99, 7), c.code(18, 5), c.bits(0, 7);
    EXPECT_EQ(15u, decodeError(c.zlib()));
    BitWriter d; // 16 as the very first length
    header(d);
    d.code(16, 5), d.bits(0, 2);
    EXPECT_EQ(kInflateErrorRepeatWithoutPrevious, decodeError(d.zlib()));
    BitWriter e; // input ends 4 bits into the 7 extra bits of an 18
    header(e);
    e.code(0, 5), e.code(18, 5);
    ASSERT_EQ(84u, e.bitCount());
    Bytes cut = e.zlib(false);
    EXPECT_EQ(50u, decodeError(cut));
}

// With enough input after it, a dynamic header's lengths are read a word at a time instead of
// through the checked reader; the same streams must fail with the same codes either way.
TEST(InflateErrors, RepeatCodesFailAlikeWhenTheLengthsAreReadAWordAtATime) {
    auto header = [](BitWriter& w, unsigned codeLengthCodes) {
        w.bits(1, 1);
        w.bits(2, 2);
        w.bits(0, 5); // 257 literal/length lengths
        w.bits(0, 5); // 1 distance length
        w.bits(codeLengthCodes - 4, 4);
        for (unsigned i = 0; i < codeLengthCodes; ++i)
            w.bits(5, 3);
    };
    // Room for the longest lengths could take, so the gate lets the word-at-a-time reader in.
    auto padded = [](BitWriter& w) {
        Bytes stream = w.zlib();
        stream.insert(stream.end() - 4, 1024, 0);
        return stream;
    };
    BitWriter a;
    header(a, 19);
    a.code(18, 5), a.bits(127, 7), a.code(18, 5), a.bits(106, 7), a.code(1, 5), a.code(16, 5), a.bits(0, 2);
    EXPECT_EQ(13u, decodeError(padded(a)));
    BitWriter b;
    header(b, 19);
    b.code(18, 5), b.bits(127, 7), b.code(18, 5), b.bits(107, 7), b.code(17, 5), b.bits(0, 3);
    EXPECT_EQ(14u, decodeError(padded(b)));
    BitWriter c;
    header(c, 19);
    c.code(18, 5), c.bits(127, 7), c.code(18, 5), c.bits(99, 7), c.code(18, 5), c.bits(0, 7);
    EXPECT_EQ(15u, decodeError(padded(c)));
    BitWriter d;
    header(d, 19);
    d.code(16, 5), d.bits(0, 2);
    EXPECT_EQ(kInflateErrorRepeatWithoutPrevious, decodeError(padded(d)));
    // Only 16, 17, 18 and 0 have codes (5 bits each, 0 to 3): pattern 4 is unassigned.
    BitWriter e;
    header(e, 4);
    e.code(4, 5);
    EXPECT_EQ(11u, decodeError(padded(e)));
}

TEST(InflateErrors, InputEndingInsideASymbolFailsWith10AndAnUnassignedPatternWith11) {
    std::vector<unsigned> lit(257, 0);
    lit['A'] = 1; // code 0
    lit[256] = 2; // code 10; 11 is unassigned
    BitWriter w;
    dynamicHeader(w, true, lit, {1});
    const std::size_t headerBits = w.bitCount();
    w.code(0, 1);
    w.code(3, 2);
    Bytes atEnd = w.zlib(false);
    atEnd.resize(2 + (headerBits + 3 + 7) / 8);
    EXPECT_EQ(11u, decodeError(atEnd));
    Bytes roomy = w.zlib();
    roomy.insert(roomy.end(), 64, 0);
    EXPECT_EQ(11u, decodeError(roomy)) << "through the table-driven path";

    BitWriter cut; // a lone 1 bit at the very end, where 256 needs two
    dynamicHeader(cut, true, lit, {1});
    while (cut.bitCount() % 8 != 7)
        cut.code(0, 1);
    cut.code(1, 1);
    EXPECT_EQ(10u, decodeError(cut.zlib(false)));

    BitWriter none; // a distance code with no codes at all: any pattern is unassigned
    dynamicHeader(none, true,
                  [] {
                      std::vector<unsigned> l(258, 0);
                      l['A'] = 2, l[256] = 2, l[257] = 2;
                      return l;
                  }(),
                  {0});
    none.code(0, 2), none.code(2, 2), none.code(0, 1);
    EXPECT_EQ(11u, decodeError(none.zlib()));
}

TEST(InflateErrors, ExtraBitsPastTheEndFailWith51) {
    BitWriter w;
    w.bits(1, 1);
    w.bits(1, 2);
    while (w.bitCount() % 8 != 0)
        fixedLitlen(w, 200); // 9 bits each
    fixedLitlen(w, 284);     // 8 bits, then 5 extra bits that are not there
    EXPECT_EQ(51u, decodeError(w.zlib(false)));

    BitWriter d;
    d.bits(1, 1);
    d.bits(1, 2);
    while (d.bitCount() % 8 != 4)
        fixedLitlen(d, 200);
    fixedLitlen(d, 257);
    d.code(29, 5); // ends on a byte boundary; its 13 extra bits are missing
    EXPECT_EQ(51u, decodeError(d.zlib(false)));
}

TEST(InflateErrors, DistanceSymbols30And31FailWith18) {
    for (unsigned symbol : {30u, 31u}) {
        BitWriter w;
        w.bits(1, 1);
        w.bits(1, 2);
        fixedLitlen(w, 'a');
        fixedLitlen(w, 257);
        w.code(symbol, 5);
        fixedLitlen(w, 256);
        Bytes stream = w.zlib();
        EXPECT_EQ(18u, decodeError(stream));
        stream.insert(stream.end(), 32, 0);
        EXPECT_EQ(18u, decodeError(stream)) << "through the table-driven path";
    }
}

TEST(InflateErrors, DistanceBeforeTheFirstOutputByteFails) {
    for (int padding : {0, 32}) {
        BitWriter w;
        w.bits(1, 1);
        w.bits(1, 2);
        fixedLitlen(w, 'a');
        fixedLitlen(w, 257);
        w.code(1, 5); // distance 2, one byte written
        fixedLitlen(w, 256);
        Bytes stream = w.zlib();
        stream.insert(stream.end(), padding, 0);
        EXPECT_EQ(kInflateErrorDistanceTooFar, decodeError(stream));
    }
}

// ---- The table-driven decoder against the bit-at-a-time reference ---------------------------

namespace {

void expectSameAsReference(const Bytes& stream, const std::string& what) {
    Bytes ours, theirs;
    const unsigned ourError = zlibDecompress(ours, stream, false);
    ReferenceInflater reference;
    const unsigned theirError = stream.size() < 2 ? 53 : reference.run(theirs, stream.data() + 2, stream.size() - 2);
    ASSERT_EQ(theirError, ourError) << what;
    if (ourError == 0) {
        ASSERT_EQ(theirs, ours) << what;
    }
}

std::vector<Bytes> sampleStreams() {
    std::vector<Bytes> streams;
    const Bytes inputs[] = {makeText(3000, 21), makeRuns(3000, 22), makeNoise(600, 23), makePixels(3000, 24)};
    for (const Bytes& input : inputs)
        for (int s = 0; s < 5; ++s)
            streams.push_back(zlibCompress(input, s == 0 ? 9 : 6, kStrategies[s]));
    streams.push_back(zlibCompress(makeText(500, 25), 0));
    return streams;
}

} // namespace

TEST(InflateAgainstReference, EveryTruncationGivesTheSameCode) {
    for (const Bytes& stream : sampleStreams())
        for (std::size_t cut = 0; cut <= stream.size(); ++cut)
            expectSameAsReference(Bytes(stream.begin(), stream.begin() + cut), "cut at " + std::to_string(cut));
}

TEST(InflateAgainstReference, CorruptedStreamsGiveTheSameCodeAndBytes) {
    std::mt19937 rng(77);
    for (const Bytes& stream : sampleStreams())
        for (int trial = 0; trial < 300; ++trial) {
            Bytes bad = stream;
            const int flips = 1 + trial % 3;
            for (int f = 0; f < flips; ++f) {
                const std::size_t at = 2 + rng() % (bad.size() - 2);
                bad[at] ^= uint8_t(trial % 2 ? 1u << (rng() % 8) : rng());
            }
            expectSameAsReference(bad, "trial " + std::to_string(trial));
        }
}

TEST(InflateAgainstReference, RandomBytesAfterAValidHeaderGiveTheSameCode) {
    std::mt19937 rng(78);
    for (int trial = 0; trial < 3000; ++trial) {
        Bytes stream = {0x78, 0x9C};
        const std::size_t n = 1 + rng() % 200;
        for (std::size_t i = 0; i < n; ++i)
            stream.push_back(uint8_t(rng()));
        // Steer most trials to fixed or dynamic blocks, which random bytes rarely finish.
        stream[2] = uint8_t((stream[2] & ~6u) | ((1 + trial % 2) << 1));
        expectSameAsReference(stream, "trial " + std::to_string(trial));
    }
}

// The plain x86-64 builds of the hot loop and the checksum, which this machine's extensions
// would otherwise hide, against zlib and the reference.
TEST(InflatePortableBuild, DecodesAndChecksAlike) {
    struct Portable {
        Portable() { inflateUsePortableCode(true); }
        ~Portable() { inflateUsePortableCode(false); }
    } portable;
    const Bytes inputs[] = {makeText(200000, 31), makeRuns(200000, 32), makeNoise(50000, 33), makePixels(200000, 34)};
    for (const Bytes& input : inputs)
        for (int level : {1, 6, 9})
            EXPECT_EQ(input, decodeOk(zlibCompress(input, level)));
    const Bytes ff(100000, 0xFF);
    for (std::size_t n : {0, 31, 32, 5550, 5551, 32768, 32800, 50000}) {
        EXPECT_EQ(::adler32(1, inputs[2].data(), uInt(n)), adler32(inputs[2].data(), n)) << n;
        EXPECT_EQ(::adler32(1, ff.data(), uInt(n)), adler32(ff.data(), n)) << n;
    }
    EXPECT_EQ(::adler32(1, ff.data(), uInt(ff.size())), adler32(ff.data(), ff.size()));
    for (const Bytes& stream : sampleStreams())
        for (std::size_t cut = 0; cut <= stream.size(); cut += 7)
            expectSameAsReference(Bytes(stream.begin(), stream.begin() + cut), "cut at " + std::to_string(cut));
}
