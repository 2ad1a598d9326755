// Test helpers for the inflater: zlib as the reference compressor, sample data of several kinds,
// a bit writer for hand-made streams, and a plain bit-at-a-time reference inflater that walks
// a two-entries-per-node code tree, against which the table-driven decoder's codes are checked.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>
#include <zlib.h>

namespace inflatetest {

using Bytes = std::vector<unsigned char>;

inline Bytes zlibCompress(const Bytes& data, int level, int strategy = Z_DEFAULT_STRATEGY, int memLevel = 8) {
    z_stream s{};
    if (deflateInit2(&s, level, Z_DEFLATED, 15, memLevel, strategy) != Z_OK)
        throw std::runtime_error("deflateInit2");
    Bytes out(deflateBound(&s, data.size()) + 16);
    s.next_in = const_cast<Bytef*>(data.data());
    s.avail_in = uInt(data.size());
    s.next_out = out.data();
    s.avail_out = uInt(out.size());
    if (deflate(&s, Z_FINISH) != Z_STREAM_END)
        throw std::runtime_error("deflate");
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

// English-like words with punctuation: what text and XML compress like.
inline Bytes makeText(std::size_t n, unsigned seed) {
    static const char* words[] = {
        "the ",   "ball ",    "paddle ", "block ", "<sprite name=\"", "\"/>\n", "level ", "score ",
        "lives ", "texture ", "and ",    "of ",    "bounce ",         "a ",     "fade ",  ", "};
    std::mt19937 rng(seed);
    Bytes out;
    while (out.size() < n) {
        const char* w = words[rng() % (sizeof words / sizeof *words)];
        out.insert(out.end(), w, w + std::char_traits<char>::length(w));
    }
    out.resize(n);
    return out;
}

// Long runs of a few values, with some short patterns: exercises distance 1 and short distances.
inline Bytes makeRuns(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes out;
    while (out.size() < n) {
        const unsigned kind = rng() % 3, length = 1 + rng() % 300;
        if (kind == 0) {
            out.insert(out.end(), length, uint8_t(rng() % 4));
        } else {
            const unsigned period = 2 + rng() % 7;
            uint8_t pattern[8];
            for (unsigned i = 0; i < period; ++i)
                pattern[i] = uint8_t(rng());
            for (unsigned i = 0; i < length; ++i)
                out.push_back(pattern[i % period]);
        }
    }
    out.resize(n);
    return out;
}

inline Bytes makeNoise(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes out(n);
    for (auto& b : out)
        b = uint8_t(rng());
    return out;
}

// Smooth gradients with noise, four bytes per pixel: what image data looks like after filtering.
inline Bytes makePixels(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes out(n);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = uint8_t((i / 4 % 251) + (i % 4) * 40 + (rng() % 5));
    return out;
}

// Writes bits least significant first, and Huffman codes most significant bit first.
class BitWriter {
public:
    void bits(uint32_t value, unsigned count) {
        for (unsigned i = 0; i < count; ++i)
            bit((value >> i) & 1);
    }
    void code(uint32_t code, unsigned length) {
        for (unsigned i = length; i-- > 0;)
            bit((code >> i) & 1);
    }
    void alignToByte() {
        while (used_ % 8 != 0)
            bit(0);
    }
    void byte(uint8_t value) { bits(value, 8); }
    std::size_t bitCount() const { return used_; }
    // The stream behind a zlib header, with a zero trailer unless `trailer` is false.
    Bytes zlib(bool trailer = true) const {
        Bytes out(2 + bytes_.size() + (trailer ? 4 : 0), 0);
        out[0] = 0x78;
        out[1] = 0x9C;
        std::copy(bytes_.begin(), bytes_.end(), out.begin() + 2);
        return out;
    }
    const Bytes& bytes() const { return bytes_; }

private:
    void bit(unsigned b) {
        if (used_ % 8 == 0)
            bytes_.push_back(0);
        bytes_.back() |= uint8_t(b << (used_ % 8));
        ++used_;
    }
    Bytes bytes_;
    std::size_t used_ = 0;
};

// Fixed-code literal/length codes (RFC 1951 3.2.6) for hand-made fixed blocks.
inline void fixedLitlen(BitWriter& w, unsigned symbol) {
    if (symbol < 144)
        w.code(0x30 + symbol, 8);
    else if (symbol < 256)
        w.code(0x190 + symbol - 144, 9);
    else if (symbol < 280)
        w.code(symbol - 256, 7);
    else
        w.code(0xC0 + symbol - 280, 8);
}

// A final fixed block of `literals`, then matches of 258 at distance 1 repeating the last of
// them up to `total` bytes, then end of block: 13 bits for every 258 bytes of output.
inline BitWriter repeatedLastByte(const Bytes& literals, std::size_t total) {
    BitWriter w;
    w.bits(1, 1);
    w.bits(1, 2);
    for (uint8_t literal : literals)
        fixedLitlen(w, literal);
    for (std::size_t n = literals.size(); n + 258 <= total; n += 258) {
        fixedLitlen(w, 285); // length 258, no extra bits
        w.code(0, 5);        // distance 1
    }
    fixedLitlen(w, 256);
    return w;
}

// ---- A reference inflater written for clarity only: one bit at a time, a code tree stored
// as two entries per inner node (symbol, next node, or 32767 when never filled).
class ReferenceInflater {
public:
    unsigned run(Bytes& out, const uint8_t* in, std::size_t size) {
        data_ = in;
        bitLength_ = size * 8;
        pos_ = 0;
        out.clear();
        for (;;) {
            if (pos_ + 3 > bitLength_)
                return 52;
            const unsigned final = bits(1), type = bits(2);
            unsigned e = 0;
            if (type == 0)
                e = stored(out);
            else if (type == 1)
                e = fixed(out);
            else if (type == 2)
                e = dynamic(out);
            else
                return 20;
            if (e)
                return e;
            if (final)
                return 0;
        }
    }

private:
    struct Tree {
        std::vector<unsigned> table;
        unsigned symbols = 0;
    };
    static constexpr unsigned kUnfilled = 32767;

    unsigned bit() {
        const unsigned b = (data_[pos_ >> 3] >> (pos_ & 7)) & 1;
        ++pos_;
        return b;
    }
    unsigned bits(unsigned n) {
        unsigned v = 0;
        for (unsigned i = 0; i < n; ++i)
            v |= bit() << i;
        return v;
    }
    bool has(std::size_t n) const { return pos_ + n <= bitLength_; }

    // Canonical codes per RFC 1951 3.2.2; a code value that overflows its length is over-subscribed.
    static unsigned build(Tree& tree, const std::vector<unsigned>& lengths) {
        const unsigned n = unsigned(lengths.size());
        tree.symbols = n;
        tree.table.assign(2 * n, kUnfilled);
        unsigned count[16] = {}, next[16] = {};
        for (unsigned l : lengths)
            ++count[l];
        count[0] = 0;
        unsigned code = 0;
        for (unsigned len = 1; len < 16; ++len) {
            code = (code + count[len - 1]) << 1;
            next[len] = code;
        }
        unsigned filled = 0;
        for (unsigned s = 0; s < n; ++s) {
            const unsigned len = lengths[s];
            if (len == 0)
                continue;
            const unsigned c = next[len]++;
            if (c >= (1u << len))
                return 55;
            unsigned node = 0;
            for (unsigned i = 0; i < len; ++i) {
                const unsigned b = (c >> (len - 1 - i)) & 1;
                unsigned& slot = tree.table[2 * node + b];
                if (i + 1 == len) {
                    if (slot != kUnfilled)
                        return 55;
                    slot = s;
                } else if (slot == kUnfilled) {
                    if (++filled >= n)
                        return 55;
                    slot = filled + n;
                    node = filled;
                } else {
                    if (slot < n)
                        return 55;
                    node = slot - n;
                }
            }
        }
        return 0;
    }

    int decode(const Tree& tree, unsigned& error) {
        unsigned node = 0;
        for (;;) {
            if (!has(1)) {
                error = 10;
                return -1;
            }
            const unsigned entry = tree.table[2 * node + bit()];
            if (entry < tree.symbols)
                return int(entry);
            node = entry - tree.symbols;
            if (node >= tree.symbols) {
                error = 11;
                return -1;
            }
        }
    }

    unsigned stored(Bytes& out) {
        pos_ = (pos_ + 7) / 8 * 8;
        if (pos_ > bitLength_ || !has(32))
            return 52;
        const unsigned len = bits(16), nlen = bits(16);
        if (len + nlen != 65535)
            return 21;
        if (!has(std::size_t(len) * 8))
            return 23;
        for (unsigned i = 0; i < len; ++i)
            out.push_back(uint8_t(bits(8)));
        return 0;
    }

    unsigned fixed(Bytes& out) {
        std::vector<unsigned> lit(288), dist(32, 5);
        for (unsigned i = 0; i < 288; ++i)
            lit[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
        Tree l, d;
        build(l, lit);
        build(d, dist);
        return block(out, l, d);
    }

    unsigned dynamic(Bytes& out) {
        static const unsigned order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
        if (!has(14))
            return 49;
        const unsigned hlit = bits(5) + 257, hdist = bits(5) + 1, hclen = bits(4) + 4;
        if (!has(3 * hclen))
            return 49;
        std::vector<unsigned> clen(19, 0);
        for (unsigned i = 0; i < hclen; ++i)
            clen[order[i]] = bits(3);
        Tree cl;
        if (unsigned e = build(cl, clen))
            return e;
        std::vector<unsigned> lengths;
        const unsigned total = hlit + hdist;
        while (lengths.size() < total) {
            unsigned e = 0;
            const int s = decode(cl, e);
            if (s < 0)
                return e;
            if (s < 16) {
                lengths.push_back(unsigned(s));
                continue;
            }
            unsigned repeat = 0, value = 0, extra = 0, base = 0, overrun = 0;
            if (s == 16) {
                if (lengths.empty())
                    return 71;
                extra = 2, base = 3, overrun = 13, value = lengths.back();
            } else if (s == 17) {
                extra = 3, base = 3, overrun = 14;
            } else {
                extra = 7, base = 11, overrun = 15;
            }
            if (!has(extra))
                return 50;
            repeat = base + bits(extra);
            if (lengths.size() + repeat > total)
                return overrun;
            lengths.insert(lengths.end(), repeat, value);
        }
        std::vector<unsigned> lit(lengths.begin(), lengths.begin() + hlit), dist(lengths.begin() + hlit, lengths.end());
        lit.resize(288, 0);
        dist.resize(32, 0);
        if (lit[256] == 0)
            return 64;
        Tree l, d;
        if (unsigned e = build(l, lit))
            return e;
        if (unsigned e = build(d, dist))
            return e;
        return block(out, l, d);
    }

    unsigned block(Bytes& out, const Tree& lit, const Tree& dist) {
        static const unsigned lbase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static const unsigned lextra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                            2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        static const unsigned dbase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                           33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                           1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
        for (;;) {
            unsigned e = 0;
            const int s = decode(lit, e);
            if (s < 0)
                return e;
            if (s < 256) {
                out.push_back(uint8_t(s));
                continue;
            }
            if (s == 256)
                return 0;
            if (s >= 286)
                continue;
            if (!has(lextra[s - 257]))
                return 51;
            const unsigned length = lbase[s - 257] + bits(lextra[s - 257]);
            const int d = decode(dist, e);
            if (d < 0)
                return e;
            if (d >= 30)
                return 18;
            const unsigned dextra = d < 4 ? 0 : unsigned(d) / 2 - 1;
            if (!has(dextra))
                return 51;
            const std::size_t distance = dbase[d] + bits(dextra);
            if (distance > out.size())
                return 70;
            for (unsigned i = 0; i < length; ++i)
                out.push_back(out[out.size() - distance]);
        }
    }

    const uint8_t* data_ = nullptr;
    std::size_t bitLength_ = 0, pos_ = 0;
};

} // namespace inflatetest
