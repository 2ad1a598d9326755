// Walks the chunks of a RIFF WAVE stream and checks the channels and sample rate of each format
// chunk against what SDL 1.2 can convert without overrunning its conversion steps.
#include "sound/WavFormat.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t kChunkHeaderBytes = 8; // four-letter id, little-endian 32-bit size
// The start of a format chunk: format tag (2 bytes), channels (2), sample rate (4).
constexpr std::size_t kFormatBytes = 8;

std::uint32_t readLe32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool readBytes(std::istream& in, unsigned char* out, std::size_t count) {
    return static_cast<bool>(in.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count)));
}

} // namespace

std::string wavFormatProblem(std::istream& in) {
    unsigned char header[12];
    if (!readBytes(in, header, sizeof header) || std::memcmp(header, "RIFF", 4) != 0 ||
        std::memcmp(header + 8, "WAVE", 4) != 0)
        return "";
    // Chunks follow each other with no padding, as both SDL readers walk them.
    unsigned char chunk[kChunkHeaderBytes];
    while (readBytes(in, chunk, sizeof chunk)) {
        const std::uint32_t size = readLe32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) != 0) {
            in.seekg(size, std::ios::cur);
            continue;
        }
        unsigned char format[kFormatBytes];
        if (size < kFormatBytes || !readBytes(in, format, sizeof format))
            return "its format chunk is cut short";
        const unsigned channels = format[2] | (format[3] << 8);
        const unsigned long rate = readLe32(format + 4);
        if (channels < kMinWavChannels || channels > kMaxWavChannels || rate < kMinWavRate || rate > kMaxWavRate)
            return "it declares " + std::to_string(channels) + (channels == 1 ? " channel at " : " channels at ") +
                   std::to_string(rate) + " Hz; a sound needs " + std::to_string(kMinWavChannels) + " to " +
                   std::to_string(kMaxWavChannels) + " channels at " + std::to_string(kMinWavRate) + " to " +
                   std::to_string(kMaxWavRate) + " Hz";
        in.seekg(size - kFormatBytes, std::ios::cur);
    }
    return "";
}
