// Opening SDL_mixer's audio device, with a silent fallback for machines that have no usable
// sound device, so that a player without speakers can still play.
#pragma once

namespace audio {

// SDL's audio driver that opens everywhere and plays nothing.
constexpr const char* kSilentDriver = "dummy";

// Mix_Init for Ogg Vorbis, then Mix_OpenAudio at 44100 Hz, 16-bit native order, stereo, 1024
// sample frames a chunk. When the device will not open, SDL's audio is restarted once on the
// silent driver and one line on standard error says so. True when audio is open at the end.
bool openDevice();

} // namespace audio
