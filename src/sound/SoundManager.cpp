// The sound manager: reading the sound set, loading through SDL_mixer, playing by id, volumes.
#include "sound/SoundManager.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <fstream>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/LoadDiagnostics.h"
#include "base/XmlAttributes.h"
#include "sound/AudioDevice.h"
#include "sound/Limiter.h"
#include "sound/WavFormat.h"

// What the mixer's final stage needs: the limiter and how many channels a frame has.
struct SoundManager::PostMix {
    Limiter limiter;
    int channels;
};

namespace {

// SDL_mixer's volume scale runs from 0 to this.
constexpr double kMixerVolumeScale = 128.0;
// Mixer arguments: every channel, the first free channel, play once, loop forever, no time limit.
constexpr int kAllChannels = -1;
constexpr int kFirstFreeChannel = -1;
constexpr int kPlayOnce = 0;
constexpr int kLoopForever = -1;
constexpr int kNoTimeLimit = -1;
// SDL_RWops ownership flag: the mixer closes the stream after loading.
constexpr int kMixerFreesStream = 1;

// Both volumes are kept within 0..1. SDL_mixer takes a negative volume as a query and leaves
// the volume where it was (the loudest, 128, unless changed), so a music volume below 0 must be
// clamped here, not left to the mixer. Written so that nan, which no comparison admits, ends as
// silence rather than passing through.
float clampVolume(float volume) {
    if (!(volume >= 0.0f))
        return 0.0f;
    return volume > 1.0f ? 1.0f : volume;
}

// A clamped volume x 128 truncated towards zero (1.0 gives 128, 0.7 gives 89).
int toMixerVolume(float volume) {
    return static_cast<int>(volume * kMixerVolumeScale);
}

// SDL_mixer's post-mix hook, on the audio thread: the finished mix of 16-bit samples.
void limitMix(void* postMix, Uint8* stream, int bytes) {
    auto* stage = static_cast<SoundManager::PostMix*>(postMix);
    const std::size_t frames = static_cast<std::size_t>(bytes) / (sizeof(int16_t) * stage->channels);
    stage->limiter.process(reinterpret_cast<int16_t*>(stream), frames, stage->channels);
}

// The file name an sfx or music element holds; an element with no text names no file.
std::string fileName(const TiXmlElement* element, const std::string& file, const char* missingText) {
    std::string name;
    if (!xml::readElementText(element, name))
        throw SoundException(file, missingText);
    return name;
}

// SDL_mixer crashes on some WAV formats it should refuse (WavFormat.h): those are refused here
// first. A file that cannot be opened is left to SDL_mixer, which says so.
void checkWavFormat(const std::string& path, const std::string& name) {
    std::ifstream in(path, std::ios::binary);
    const std::string problem = wavFormatProblem(in);
    if (!problem.empty())
        throw SoundException(name, "SDL_Mixer cannot load this WAV file: " + problem + "!");
}

} // namespace

SoundManager::SoundManager(const std::string& file, LoadDiagnostics* observer) {
    audio::openDevice();
    // A constructor that throws never reaches the destructor: undo the device and the loads here.
    try {
        load(file, observer);
    } catch (...) {
        release();
        throw;
    }
}

SoundManager::~SoundManager() {
    release();
}

void SoundManager::load(const std::string& file, LoadDiagnostics* observer) {
    TiXmlDocument document;
    if (!xml::loadDocument(document, file))
        throw SoundException(file, "Failed to load sounds file!");
    const TiXmlElement* root = document.FirstChildElement("sounds");
    if (root == nullptr)
        throw SoundException(file, "No root container element with sfx or music found in file!");

    using namespace soundsettings;
    std::string prefix;
    if (xml::readText(root, kDirectory.name, prefix))
        prefix += "/";
    xml::readFloat(root, kSfxVolume.name, sfxVolume);
    xml::readFloat(root, kMusicVolume.name, musicVolume);
    musicVolume = clampVolume(musicVolume);
    bool limit = false;
    xml::readBool(root, kLimiter.name, limit);
    if (limit)
        startLimiter();
    setSfxVolume(sfxVolume);

    // Every effect first, then every track. Each duplicate test comes before its load, so a
    // duplicate is reported as such whatever state its file is in.
    for (const TiXmlElement* e = root->FirstChildElement("sfx"); e != nullptr; e = e->NextSiblingElement("sfx")) {
        try {
            loadEffect(e, file, prefix);
        } catch (const BaseException& error) {
            if (!reportLoadError(observer, e, error))
                throw;
        }
    }
    for (const TiXmlElement* e = root->FirstChildElement("music"); e != nullptr; e = e->NextSiblingElement("music")) {
        try {
            loadTrack(e, file, prefix);
        } catch (const BaseException& error) {
            if (!reportLoadError(observer, e, error))
                throw;
        }
    }
}

void SoundManager::loadEffect(const TiXmlElement* element, const std::string& file, const std::string& prefix) {
    const std::string name = fileName(element, file, "Sfx element has no file name!");
    for (const Effect& effect : effects)
        if (effect.name == name)
            throw SoundException(name, "Sfx file defined twice!");
    checkWavFormat(prefix + name, name);
    Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromFile((prefix + name).c_str(), "rb"), kMixerFreesStream);
    if (chunk == nullptr)
        throw SoundException(name, "SDL_Mixer failed to load file!");
    effects.push_back({chunk, name});
}

void SoundManager::loadTrack(const TiXmlElement* element, const std::string& file, const std::string& prefix) {
    const std::string name = fileName(element, file, "Music element has no file name!");
    for (const Track& track : music)
        if (track.name == name)
            throw SoundException(name, "Music file defined twice!");
    checkWavFormat(prefix + name, name);
    Mix_Music* track = Mix_LoadMUS((prefix + name).c_str());
    if (track == nullptr)
        throw SoundException(name, std::string("SDL_Mixer failed to load file: ") + SDL_GetError());
    music.push_back({track, name});
}

void SoundManager::startLimiter() {
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    // SDL may open the device in another format than asked for; the limiter knows only this one.
    if (Mix_QuerySpec(&frequency, &format, &channels) == 0 || format != AUDIO_S16SYS || channels <= 0)
        return;
    limiter = std::make_unique<PostMix>(PostMix{Limiter(frequency), channels});
    Mix_SetPostMix(limitMix, limiter.get());
}

int SoundManager::mixerVolume(float volume) const {
    return toMixerVolume(limiter != nullptr ? volume * Limiter::headroomGain() : volume);
}

void SoundManager::release() {
    // The hook goes before the limiter it points at; closing audio then stops the mixer thread,
    // which reads the samples, before they are freed.
    Mix_SetPostMix(nullptr, nullptr);
    Mix_CloseAudio();
    for (const Effect& effect : effects)
        Mix_FreeChunk(effect.chunk);
    for (const Track& track : music)
        Mix_FreeMusic(track.music);
    effects.clear();
    music.clear();
}

bool SoundManager::hasSound(const std::string& id) const {
    for (const Effect& effect : effects)
        if (effect.name == id)
            return true;
    return false;
}

void SoundManager::playSound(const std::string& id) {
    for (const Effect& effect : effects) {
        if (effect.name == id) {
            if (muted)
                return;
            // The channel is not checked: with every channel busy the effect is simply not heard.
            Mix_PlayChannelTimed(kFirstFreeChannel, effect.chunk, kPlayOnce, kNoTimeLimit);
            return;
        }
    }
    throw SoundException(id, "No sound with that ID to play!");
}

const SoundManager::Track& SoundManager::trackNamed(const std::string& id) const {
    for (const Track& track : music)
        if (track.name == id)
            return track;
    throw SoundException(id, "No music with that ID to play!");
}

bool SoundManager::hasMusic(const std::string& id) const {
    return std::any_of(music.begin(), music.end(), [&](const Track& track) { return track.name == id; });
}

void SoundManager::playMusic(const std::string& id) {
    const Track& track = trackNamed(id);
    wantedTrack = id;
    pendingTrack = nullptr;
    Mix_FadeInMusic(track.music, kLoopForever, kMusicFadeInMs);
}

void SoundManager::switchMusic(const std::string& id) {
    const Track& track = trackNamed(id);
    if (id == wantedTrack)
        return;
    wantedTrack = id;
    pendingTrack = &track;
    // SDL_mixer's fade-in waits, holding up the caller, for a fade-out to end: the new track starts
    // from update once the old one is quiet, never from here.
    if (Mix_PlayingMusic() && Mix_FadingMusic() != MIX_FADING_OUT)
        Mix_FadeOutMusic(kMusicFadeOutMs);
    update();
}

void SoundManager::update() {
    if (pendingTrack == nullptr || Mix_PlayingMusic())
        return;
    Mix_FadeInMusic(pendingTrack->music, kLoopForever, kMusicFadeInMs);
    pendingTrack = nullptr;
}

void SoundManager::setSfxVolume(float volume) {
    sfxVolume = clampVolume(volume);
    Mix_Volume(kAllChannels, mixerVolume(sfxVolume));
    applyMusicVolume();
}

void SoundManager::setMuted(bool mute) {
    muted = mute;
    if (muted)
        Mix_HaltChannel(kAllChannels);
    applyMusicVolume();
}

void SoundManager::setMusicQuiet(bool quiet) {
    musicQuiet = quiet;
    applyMusicVolume();
}

void SoundManager::applyMusicVolume() {
    const float share = muted ? 0.0f : musicQuiet ? kQuietMusicShare : 1.0f;
    Mix_VolumeMusic(mixerVolume(musicVolume * share));
}
