// The layout and sample format of a WAV file, read before SDL_mixer is given the file: SDL 1.2
// crashes on some of them instead of refusing them.
#pragma once

#include <istream>
#include <string>

// The formats a sound may declare. SDL 1.2 builds the conversion to the device's format as a
// list of steps in a fixed array of ten, one step per halving or doubling of the sample rate,
// and neither it nor SDL_mixer checks the count: a rate far from the device's (68 Hz, 33 MHz)
// overruns the array, and so does a file of no channels. These bounds hold every real recording
// and keep the rate within four halvings or doublings of any device rate from 22050 to 48000 Hz.
constexpr unsigned kMinWavChannels = 1;
constexpr unsigned kMaxWavChannels = 8;
constexpr unsigned long kMinWavRate = 4000;
constexpr unsigned long kMaxWavRate = 192000;

// Why the RIFF WAVE data in `in` must not reach SDL_mixer, or "" when it may. Data that is not
// RIFF WAVE is SDL_mixer's to judge and refuse, so it gives "". RIFF WAVE data is refused where
// SDL 1.2 or SDL_mixer would read past a buffer, free one twice, divide by zero or never stop:
// a format chunk shorter than the 16 bytes they read, chunks other than LIST and fact before it,
// no format or no data chunk, ADPCM blocks of no bytes; and for the formats above.
std::string wavFormatProblem(std::istream& in);
