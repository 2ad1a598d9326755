// The WAV format gate: the shipped sounds pass, formats that overrun SDL 1.2's conversion are
// named, and whatever is not a RIFF WAVE with a format chunk is left to SDL_mixer.
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

#include "sound/WavFormat.h"

namespace {

std::string le(unsigned long value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xff);
    return out;
}

std::string chunk(const std::string& id, const std::string& body) {
    return id + le(body.size(), 4) + body;
}

std::string format(unsigned channels, unsigned long rate) {
    return chunk("fmt ", le(1, 2) + le(channels, 2) + le(rate, 4) + le(rate * 2 * channels, 4) + le(2 * channels, 2) +
                             le(16, 2));
}

std::string wave(const std::string& chunks) {
    return "RIFF" + le(4 + chunks.size(), 4) + "WAVE" + chunks;
}

std::string problem(const std::string& bytes) {
    std::istringstream in(bytes);
    return wavFormatProblem(in);
}

} // namespace

TEST(WavFormat, TheShippedEffectsAndTheBoundsThemselvesPass) {
    for (const char* name : {"red.wav", "orange.wav", "yellow.wav"}) {
        std::ifstream in(std::string(PELLVANE_DATA) + "/sounds/" + name, std::ios::binary);
        EXPECT_EQ("", wavFormatProblem(in)) << name;
    }
    const std::string data = chunk("data", std::string(8, '\0'));
    EXPECT_EQ("", problem(wave(format(kMinWavChannels, kMinWavRate) + data)));
    EXPECT_EQ("", problem(wave(format(kMaxWavChannels, kMaxWavRate) + data)));
}

TEST(WavFormat, NoChannelsOrARateFarFromTheDevicesIsNamed) {
    const std::string data = chunk("data", std::string(8, '\0'));
    EXPECT_EQ("it declares 0 channels at 44100 Hz; a sound needs 1 to 8 channels at 4000 to 192000 Hz",
              problem(wave(format(0, 44100) + data)));
    for (unsigned long rate : {0ul, 68ul, kMinWavRate - 1, kMaxWavRate + 1, 33598532ul, 0xfffffffful})
        EXPECT_NE("", problem(wave(format(2, rate) + data))) << rate;
    EXPECT_NE("", problem(wave(format(kMaxWavChannels + 1, 44100) + data)));
}

TEST(WavFormat, EveryFormatChunkIsCheckedWhereverItIs) {
    const std::string list = chunk("LIST", std::string(5000, 'x'));
    EXPECT_NE("", problem(wave(list + format(0, 44100))));
    EXPECT_NE("", problem(wave(format(2, 44100) + list + format(2, 68))));
}

TEST(WavFormat, ACutFormatChunkIsNamedAndTheRestIsLeftToSdl) {
    EXPECT_EQ("its format chunk is cut short", problem(wave(chunk("fmt ", le(1, 2) + le(2, 2)))));
    EXPECT_EQ("its format chunk is cut short", problem(wave(format(2, 44100)).substr(0, 24)));
    for (const std::string& other : {std::string(), std::string("RIFF"), std::string("OggS") + std::string(40, '\0'),
                                     "RIFF" + le(4, 4) + "AVI " + format(0, 0), wave(""),
                                     wave(chunk("data", "") + "fm")})
        EXPECT_EQ("", problem(other));
}
