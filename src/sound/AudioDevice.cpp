// The audio device: SDL_mixer's open call and the restart on SDL's silent driver.
#include "sound/AudioDevice.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdlib>
#include <string>

#include "base/DebugLog.h"

namespace audio {

namespace {

constexpr int kFrequency = 44100;
constexpr Uint16 kFormat = AUDIO_S16SYS;
constexpr int kStereo = 2;
constexpr int kChunkSize = 1024;
// SDL 1.2 picks its audio driver from this variable when the audio subsystem starts.
constexpr const char* kDriverVariable = "SDL_AUDIODRIVER";

bool openMixer() {
    return Mix_OpenAudio(kFrequency, kFormat, kStereo, kChunkSize) == 0;
}

// Sets an environment variable for its lifetime and puts the previous state back afterwards:
// the silent driver is meant for this one restart, not for whatever else reads the variable.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name(name) {
        const char* old = std::getenv(name);
        hadValue = old != nullptr;
        if (hadValue)
            previous = old;
        setenv(name, value, 1);
    }
    ~ScopedEnvironment() {
        if (hadValue)
            setenv(name, previous.c_str(), 1);
        else
            unsetenv(name);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name;
    bool hadValue = false;
    std::string previous;
};

} // namespace

bool openDevice() {
    Mix_Init(MIX_INIT_OGG); // the result is not examined: a missing decoder shows when a load fails
    if (openMixer())
        return true;

    // SDL 1.2 keeps its audio subsystem "initialised" even when no driver could start, and
    // then every open fails; only a full restart of the subsystem lets it pick another driver.
    const std::string reason = SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    {
        ScopedEnvironment silent(kDriverVariable, kSilentDriver);
        SDL_InitSubSystem(SDL_INIT_AUDIO);
    }
    if (openMixer()) {
        debugLog("Could not open the audio device (%s): playing without sound on SDL's %s audio driver.",
                 reason.c_str(), kSilentDriver);
        return true;
    }
    debugLog("Could not open the audio device (%s), nor SDL's %s audio driver (%s).", reason.c_str(), kSilentDriver,
             SDL_GetError());
    return false;
}

} // namespace audio
