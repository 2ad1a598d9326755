// The PNG encoder.
//
// Compression is deliberately simple: one fixed-Huffman block needs no code tables, and a greedy
// LZ77 match over a hash chain (three bytes hashed, a bounded walk back) finds the long runs a
// game screen is made of. The images it writes are pictures of levels for the documentation,
// so speed matters little and the output only has to be valid and reasonably small.
#include "graphics/PngEncoder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "graphics/Crc32.h"
#include "graphics/DeflateTables.h"
#include "graphics/Inflate.h"

namespace {
constexpr std::size_t kWindowSize = 32768;
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 258;
// How many earlier places with the same hash are tried before the best match so far is taken.
constexpr int kMaxChain = 48;
constexpr unsigned kHashBits = 15;
constexpr uint32_t kNoPosition = 0xffffffffu;

using deflate::kDistanceBase;
using deflate::kDistanceExtra;
using deflate::kLengthBase;
using deflate::kLengthExtra;

// Deflate's bit order: values from the least significant bit, Huffman codes from the most.
class BitWriter {
public:
    explicit BitWriter(std::vector<unsigned char>& out) : out(out) {}
    void bits(uint32_t value, unsigned count) {
        for (unsigned i = 0; i < count; ++i)
            bit((value >> i) & 1u);
    }
    void code(uint32_t value, unsigned length) {
        for (unsigned i = length; i-- > 0;)
            bit((value >> i) & 1u);
    }
    void flush() {
        if (used > 0)
            out.push_back(current);
        current = 0;
        used = 0;
    }

private:
    void bit(uint32_t b) {
        current = static_cast<unsigned char>(current | (b << used));
        if (++used == 8)
            flush();
    }
    std::vector<unsigned char>& out;
    unsigned char current = 0;
    unsigned used = 0;
};

// The fixed literal/length code (RFC 1951, 3.2.6).
void writeSymbol(BitWriter& writer, unsigned symbol) {
    if (symbol < 144)
        writer.code(0x30 + symbol, 8);
    else if (symbol < 256)
        writer.code(0x190 + (symbol - 144), 9);
    else if (symbol < 280)
        writer.code(symbol - 256, 7);
    else
        writer.code(0xc0 + (symbol - 280), 8);
}

void writeMatch(BitWriter& writer, std::size_t length, std::size_t distance) {
    unsigned l = 28;
    while (kLengthBase[l] > length)
        --l;
    writeSymbol(writer, 257 + l);
    writer.bits(static_cast<uint32_t>(length - kLengthBase[l]), kLengthExtra[l]);
    unsigned d = 29;
    while (kDistanceBase[d] > distance)
        --d;
    writer.code(d, 5);
    writer.bits(static_cast<uint32_t>(distance - kDistanceBase[d]), kDistanceExtra[d]);
}

uint32_t hashAt(const unsigned char* p) {
    const uint32_t v = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    return (v * 2654435761u) >> (32 - kHashBits);
}

void putBigEndian(std::vector<unsigned char>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

void putChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data) {
    putBigEndian(out, static_cast<uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBigEndian(out, pngCrc32(out.data() + start, out.size() - start));
}

unsigned char paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return static_cast<unsigned char>(a);
    return static_cast<unsigned char>(pb <= pc ? b : c);
}

// Filters one row with `type` (0 none, 1 sub, 2 up, 3 average, 4 Paeth) into `out`.
void filterRow(unsigned type, const unsigned char* row, const unsigned char* above, std::size_t length, unsigned bpp,
               unsigned char* out) {
    for (std::size_t i = 0; i < length; ++i) {
        const int a = i >= bpp ? row[i - bpp] : 0;
        const int b = above != nullptr ? above[i] : 0;
        const int c = i >= bpp && above != nullptr ? above[i - bpp] : 0;
        int predicted = 0;
        switch (type) {
        case 1:
            predicted = a;
            break;
        case 2:
            predicted = b;
            break;
        case 3:
            predicted = (a + b) / 2;
            break;
        case 4:
            predicted = paeth(a, b, c);
            break;
        default:
            break;
        }
        out[i] = static_cast<unsigned char>(row[i] - predicted);
    }
}
} // namespace

std::vector<unsigned char> zlibCompressFixed(const unsigned char* data, std::size_t size) {
    std::vector<unsigned char> out = {0x78, 0x01}; // deflate, 32 KiB window, no dictionary
    BitWriter writer(out);
    writer.bits(1, 1); // the final block
    writer.bits(1, 2); // fixed Huffman codes
    std::vector<uint32_t> head(std::size_t{1} << kHashBits, kNoPosition);
    std::vector<uint32_t> previous(kWindowSize, kNoPosition);
    auto insert = [&](std::size_t at) {
        if (at + kMinMatch > size)
            return;
        const uint32_t h = hashAt(data + at);
        previous[at % kWindowSize] = head[h];
        head[h] = static_cast<uint32_t>(at);
    };
    std::size_t at = 0;
    while (at < size) {
        std::size_t bestLength = 0, bestDistance = 0;
        if (at + kMinMatch <= size) {
            const std::size_t limit = std::min(kMaxMatch, size - at);
            uint32_t candidate = head[hashAt(data + at)];
            for (int chain = 0; chain < kMaxChain && candidate != kNoPosition; ++chain) {
                const std::size_t distance = at - candidate;
                if (distance == 0 || distance > kWindowSize)
                    break;
                std::size_t length = 0;
                while (length < limit && data[candidate + length] == data[at + length])
                    ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = distance;
                    if (length == limit)
                        break;
                }
                const uint32_t next = previous[candidate % kWindowSize];
                if (next == kNoPosition || next >= candidate)
                    break; // the slot was reused by a newer place: the chain ends here
                candidate = next;
            }
        }
        if (bestLength >= kMinMatch) {
            writeMatch(writer, bestLength, bestDistance);
            for (std::size_t i = 0; i < bestLength; ++i)
                insert(at + i);
            at += bestLength;
        } else {
            writeSymbol(writer, data[at]);
            insert(at);
            ++at;
        }
    }
    writeSymbol(writer, 256); // end of block
    writer.flush();
    putBigEndian(out, adler32(data, size));
    return out;
}

std::vector<unsigned char> encodePng(const unsigned char* pixels, uint32_t width, uint32_t height, unsigned channels) {
    if (pixels == nullptr || width == 0 || height == 0 || (channels != 3 && channels != 4))
        return {};
    const std::size_t rowLength = std::size_t{width} * channels;
    // Each row goes out with the filter whose output has the smallest sum of magnitudes, the usual
    // guess at what compresses best.
    std::vector<unsigned char> filtered;
    filtered.reserve((rowLength + 1) * height);
    std::vector<unsigned char> candidate(rowLength), best(rowLength);
    for (uint32_t y = 0; y < height; ++y) {
        const unsigned char* row = pixels + rowLength * y;
        const unsigned char* above = y > 0 ? row - rowLength : nullptr;
        unsigned bestType = 0;
        uint64_t bestCost = UINT64_MAX;
        for (unsigned type = 0; type <= 4; ++type) {
            filterRow(type, row, above, rowLength, channels, candidate.data());
            uint64_t cost = 0;
            for (unsigned char byte : candidate)
                cost += static_cast<uint64_t>(std::abs(static_cast<int>(static_cast<signed char>(byte))));
            if (cost < bestCost) {
                bestCost = cost;
                bestType = type;
                best.swap(candidate);
            }
        }
        filtered.push_back(static_cast<unsigned char>(bestType));
        filtered.insert(filtered.end(), best.begin(), best.end());
    }

    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<unsigned char> header;
    putBigEndian(header, width);
    putBigEndian(header, height);
    header.push_back(8);                                                 // bits per channel
    header.push_back(static_cast<unsigned char>(channels == 4 ? 6 : 2)); // RGBA or RGB
    header.push_back(0);                                                 // deflate
    header.push_back(0);                                                 // adaptive filtering
    header.push_back(0);                                                 // not interlaced
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", zlibCompressFixed(filtered.data(), filtered.size()));
    putChunk(png, "IEND", {});
    return png;
}

bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
