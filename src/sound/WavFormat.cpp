// Walks the chunks of a RIFF WAVE stream as SDL 1.2 and SDL_mixer read them, and checks what
// they would misread: the order of the chunks, the size and values of each format chunk.
#include "sound/WavFormat.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t kChunkHeaderBytes = 8; // four-letter id, little-endian 32-bit size
// The format chunk as both readers take it, whatever its declared size: format tag (2 bytes),
// channels (2), sample rate (4), bytes a second (4), block size (2), bits a sample (2).
constexpr std::size_t kFormatBytes = 16;
// The format tags of the ADPCM encodings SDL's effect loader decodes; it divides the data's
// length by the block size.
constexpr unsigned kMsAdpcm = 2;
constexpr unsigned kImaAdpcm = 0x11;

std::uint32_t readLe32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

unsigned readLe16(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}

bool readBytes(std::istream& in, unsigned char* out, std::size_t count) {
    return static_cast<bool>(in.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count)));
}

bool isId(const unsigned char* p, const char* id) {
    return std::memcmp(p, id, 4) == 0;
}

// What is wrong with one format chunk's first kFormatBytes, or "".
std::string formatProblem(const unsigned char* format) {
    const unsigned tag = readLe16(format);
    const unsigned channels = readLe16(format + 2);
    const unsigned long rate = readLe32(format + 4);
    const unsigned blockBytes = readLe16(format + 12);
    if (channels < kMinWavChannels || channels > kMaxWavChannels || rate < kMinWavRate || rate > kMaxWavRate)
        return "it declares " + std::to_string(channels) + (channels == 1 ? " channel at " : " channels at ") +
               std::to_string(rate) + " Hz; a sound needs " + std::to_string(kMinWavChannels) + " to " +
               std::to_string(kMaxWavChannels) + " channels at " + std::to_string(kMinWavRate) + " to " +
               std::to_string(kMaxWavRate) + " Hz";
    if ((tag == kMsAdpcm || tag == kImaAdpcm) && blockBytes == 0)
        return "its ADPCM blocks are 0 bytes long";
    return "";
}

// Walks the chunks from the stream's position to its end. Both readers take the first chunk
// that is neither LIST nor fact as the format chunk, and then look for a data chunk: with
// anything else first SDL_mixer's music loader frees a buffer twice, and without a data chunk
// SDL's effect loader never stops reading. Chunks follow each other with no padding, as both
// readers walk them. Every format chunk is checked, not only the one they take.
std::string chunkProblem(std::istream& in) {
    bool formatSeen = false, dataSeen = false;
    unsigned char chunk[kChunkHeaderBytes];
    while (readBytes(in, chunk, sizeof chunk)) {
        const std::uint32_t size = readLe32(chunk + 4);
        if (isId(chunk, "fmt ")) {
            unsigned char format[kFormatBytes];
            if (size < kFormatBytes || !readBytes(in, format, sizeof format))
                return "its format chunk is cut short";
            const std::string problem = formatProblem(format);
            if (!problem.empty())
                return problem;
            formatSeen = true;
            in.seekg(size - kFormatBytes, std::ios::cur);
            continue;
        }
        if (!formatSeen && !isId(chunk, "LIST") && !isId(chunk, "fact"))
            return "its format chunk does not come first (only LIST and fact chunks may come before it)";
        dataSeen = dataSeen || isId(chunk, "data");
        in.seekg(size, std::ios::cur);
    }
    if (!formatSeen)
        return "it has no format chunk";
    return dataSeen ? "" : "it has no data chunk after its format chunk";
}

} // namespace

std::string wavFormatProblem(std::istream& in) {
    unsigned char header[12] = {};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    const std::streamsize got = in.gcount();
    // SDL's effect loader takes "RIFFWAVE" or "WAVEWAVE" as a header of 8 bytes, with the chunks
    // right after it; SDL_mixer's music loader knows only "RIFF", a size and "WAVE".
    const bool shortHeader = got >= 8 && (isId(header, "RIFF") || isId(header, "WAVE")) && isId(header + 4, "WAVE");
    const bool header12 = got == 12 && isId(header, "RIFF") && isId(header + 8, "WAVE");
    for (const std::streamoff start : {shortHeader ? 8 : -1, header12 ? 12 : -1}) {
        if (start < 0)
            continue;
        in.clear();
        in.seekg(start);
        const std::string problem = chunkProblem(in);
        if (!problem.empty())
            return problem;
    }
    return "";
}
