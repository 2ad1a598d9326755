// The zlib (RFC 1950) and deflate (RFC 1951) decoder that PNG image data goes through.
// It only decodes; every failure is a numeric code, nothing is thrown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/ByteBuffer.h"

// Result codes of zlibDecompress and Inflater::inflate; 0 is success.
constexpr unsigned kInflateOk = 0;
constexpr unsigned kInflateErrorSymbolPastEnd = 10;        // input ended while decoding a Huffman symbol
constexpr unsigned kInflateErrorCodeNotInTable = 11;       // bit pattern that the (incomplete) code leaves unassigned
constexpr unsigned kInflateErrorRepeat16PastEnd = 13;      // repeat code 16 runs past HLIT + HDIST lengths
constexpr unsigned kInflateErrorRepeat17PastEnd = 14;      // repeat code 17 runs past HLIT + HDIST lengths
constexpr unsigned kInflateErrorRepeat18PastEnd = 15;      // repeat code 18 runs past HLIT + HDIST lengths
constexpr unsigned kInflateErrorBadCodeLengthSymbol = 16;  // code length symbol above 18
constexpr unsigned kInflateErrorBadDistanceSymbol = 18;    // distance symbol 30 or 31
constexpr unsigned kInflateErrorBadBlockType = 20;         // BTYPE 3
constexpr unsigned kInflateErrorStoredLength = 21;         // LEN and NLEN do not match
constexpr unsigned kInflateErrorStoredPastEnd = 23;        // stored data runs past the end of the input
constexpr unsigned kInflateErrorHeaderCheck = 24;          // zlib header is not a multiple of 31
constexpr unsigned kInflateErrorMethod = 25;               // compression method not 8 or window above 7
constexpr unsigned kInflateErrorPresetDictionary = 26;     // FDICT set
constexpr unsigned kInflateErrorDynamicHeaderPastEnd = 49; // input ended in a dynamic block header
constexpr unsigned kInflateErrorRepeatBitsPastEnd = 50;    // input ended in a repeat code's extra bits
constexpr unsigned kInflateErrorExtraBitsPastEnd = 51;     // input ended before a length's or distance's extra bits
constexpr unsigned kInflateErrorBlockHeaderPastEnd = 52;   // input ended at a block or stored block header
constexpr unsigned kInflateErrorTooShort = 53;             // zlib data shorter than 2 bytes
constexpr unsigned kInflateErrorOversubscribed = 55;       // code lengths need more codes than exist
constexpr unsigned kInflateErrorAdler32 = 58;              // trailer checksum does not match the output
constexpr unsigned kInflateErrorNoEndOfBlock = 64;         // symbol 256 has code length 0
// A back-reference whose distance reaches before the first output byte.
constexpr unsigned kInflateErrorDistanceTooFar = 70;
// Repeat code 16 as the very first code length, with no previous length to repeat.
constexpr unsigned kInflateErrorRepeatWithoutPrevious = 71;
// Not a fault of the data: the stream holds more than the output's limit. The run wrote the
// first `limit` bytes and stopped there; the rest was never inflated nor its checksum checked.
constexpr unsigned kInflateOutputLimit = 74;
// No limit on the output.
constexpr std::size_t kNoOutputLimit = SIZE_MAX;

// No deflate stream expands more than this: a 258-byte match from two 1-bit codes. Callers
// that size output from a header cap it with this times the compressed size.
constexpr std::size_t kInflateMaxExpansion = 1032;

// The RFC 1950 checksum of `length` bytes, starting from 1.
uint32_t adler32(const unsigned char* data, std::size_t length);
// The checksum `adler` of some bytes carried on over `length` more.
uint32_t adler32Update(uint32_t adler, const unsigned char* data, std::size_t length);

// The decoder's hot loop and the checksum are built twice: for this processor's extensions
// (BMI and BMI2, AVX2), chosen once at start-up, and for plain x86-64. Passing true runs the
// plain builds from then on, false the chosen ones again: for tests and benchmarks that hold
// both to the same results. Not for use while another thread decodes.
void inflateUsePortableCode(bool portable);
void adler32UsePortableCode(bool portable);

// Decompresses a zlib stream. The output is replaced by the decompressed bytes; its capacity on
// entry is taken as the expected size, so a caller that knows it reserves ahead and the output
// never moves. The trailer is always the last 4 bytes of the input.
unsigned zlibDecompress(std::vector<unsigned char>& output, const std::vector<unsigned char>& input, bool checkAdler32);
unsigned zlibDecompress(std::vector<unsigned char>& output, const unsigned char* input, std::size_t inputSize,
                        bool checkAdler32);
// The same into a buffer that is not zero-filled as it grows (the PNG decoder's choice); with
// `limit`, stopping after that many bytes where the stream holds more (kInflateOutputLimit).
unsigned zlibDecompress(ByteBuffer& output, const unsigned char* input, std::size_t inputSize, bool checkAdler32);
unsigned zlibDecompress(ByteBuffer& output, const unsigned char* input, std::size_t inputSize, bool checkAdler32,
                        std::size_t limit);

// Where the inflater writes: `start` holds `capacity` bytes of room of which `used` are written
// (the room past `used` may be scribbled on). The inflater asks for more room only when a block
// needs it, never for more than `limit` bytes, and calls finish once at the end. It inflates
// no byte past the first `limit`: a stream that holds more stops there (kInflateOutputLimit),
// so a caller that knows how much it needs never inflates what follows, however much that is.
class InflateOutput {
public:
    virtual ~InflateOutput() = default;
    // Makes room for at least `newCapacity` bytes keeping the first `used`; updates start and capacity.
    virtual void grow(std::size_t newCapacity) = 0;
    // Trims the storage to the `used` bytes.
    virtual void finish() = 0;

    uint8_t* start = nullptr;
    std::size_t capacity = 0;
    std::size_t used = 0;
    std::size_t limit = kNoOutputLimit;
};

// Decompresses a zlib stream into `output` from its start, with the room it has: grow() is
// called only when the data needs more. For callers that place the output themselves.
unsigned zlibDecompress(InflateOutput& output, const unsigned char* input, std::size_t inputSize, bool checkAdler32);

// The state of one decompression run over raw deflate data (no zlib wrapper).
class Inflater {
public:
    Inflater();
    ~Inflater();
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Decodes `size` bytes of deflate data, appending to `output`. Returns, and keeps in `error`,
    // the first error met. Bytes after the final block are not looked at.
    unsigned inflate(InflateOutput& output, const uint8_t* data, std::size_t size);

    unsigned error = kInflateOk;
    bool checkAdler32 = true;
    // With checkAdler32, the Adler-32 of the bytes this run appended, summed block by block.
    uint32_t outputAdler32 = 1;

    // The code tables (literal/length, distance, code length), defined where they are used.
    struct Tables;

private:
    std::unique_ptr<Tables> tables_;
};
