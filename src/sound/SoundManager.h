// The sound manager: opens the audio device, loads the effects and music tracks a sound set
// file names, and plays them by id through SDL_mixer.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/Setting.h"

class LoadDiagnostics;
class Limiter;
class TiXmlElement;
struct Mix_Chunk;
typedef struct _Mix_Music Mix_Music;

// Attributes of a sound set's "sounds" element.
namespace soundsettings {
inline constexpr Setting kDirectory{"directory", ValueKind::Text, "none", "directory put before each file name"};
inline constexpr Setting kSfxVolume{"sfx_volume", ValueKind::Float, "1", "volume of the effects, 0 to 1"};
inline constexpr Setting kMusicVolume{"music_volume", ValueKind::Float, "0.7", "volume of the music, 0 to 1"};
inline constexpr Setting kLimiter{"limiter", ValueKind::FlagOff, "false",
                                  "`true`: mixes with headroom and limits the sum, so many sounds never clip"};
} // namespace soundsettings

// Effect volume until the sound set says otherwise.
constexpr float kDefaultSfxVolume = 1.0f;
// Music volume until the sound set says otherwise (89 on the mixer's scale).
constexpr float kDefaultMusicVolume = 0.7f;
// Fade-in of a music track started by playMusic, in milliseconds.
constexpr int kMusicFadeInMs = 2000;
// Fade-out of the track switchMusic replaces, in milliseconds.
constexpr int kMusicFadeOutMs = 800;
// Share of its volume the music keeps while it is turned down (the game's pause).
constexpr float kQuietMusicShare = 0.3f;

// Owns every loaded chunk and track, the open audio device and the limiter the mixer's thread runs
// (Limiter.h): destroying the manager closes audio and then frees the samples, so nothing may keep
// a chunk or track past its lifetime. One manager at a time: SDL_mixer's device, volumes and final
// stage are process-wide.
class SoundManager {
public:
    // Opens audio and loads the sound set `file`; throws SoundException on any data error,
    // with audio closed and everything loaded so far freed again. With an observer an effect or
    // track that fails is reported to it and left out (base/LoadDiagnostics.h); errors of the file still throw.
    explicit SoundManager(const std::string& file, LoadDiagnostics* observer = nullptr);
    ~SoundManager();
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    // Plays the effect with this id once on the first free channel (not at all when every
    // channel is busy). Throws SoundException for an id that is not loaded.
    void playSound(const std::string& id);
    // Whether an effect with this id is loaded.
    bool hasSound(const std::string& id) const;
    // Starts the track with this id, looping, fading in; it replaces a track already playing.
    // Throws SoundException for an id that is not loaded.
    void playMusic(const std::string& id);
    // Whether a track with this id is loaded.
    bool hasMusic(const std::string& id) const;
    // Moves the music on to the track with this id: the one playing fades out over
    // kMusicFadeOutMs, then (at an update) the new one fades in and loops. Nothing changes when it
    // is already the track playing or coming. Throws SoundException for an id that is not loaded.
    void switchMusic(const std::string& id);
    // Starts the track switchMusic asked for once the one before has faded out; call it every frame.
    void update();
    // The track playing, or coming after a fade-out; "" before any.
    const std::string& getMusic() const { return wantedTrack; }
    // Whether the final mix goes through the limiter (the sound set's "limiter", on a 16-bit device).
    bool isLimiting() const { return limiter != nullptr; }
    // Clamps `volume` to 0..1, stores and applies it, and re-applies the music volume (which the
    // sound set's reading has clamped to 0..1 the same way).
    void setSfxVolume(float volume);

    float getSfxVolume() const { return sfxVolume; }
    float getMusicVolume() const { return musicVolume; }

    // Mute silences everything: the effects playing stop, new ones are not started, and the
    // music plays on at volume 0 so that it comes back where it would be. Unmuting restores the
    // music's volume; the stored volumes are never changed.
    void setMuted(bool mute);
    bool isMuted() const { return muted; }
    // Turns the music down to kQuietMusicShare of its volume, or back up.
    void setMusicQuiet(bool quiet);
    bool isMusicQuiet() const { return musicQuiet; }

    // The limiter and what the mixer's hook needs with it (defined with the manager).
    struct PostMix;

private:
    struct Effect {
        Mix_Chunk* chunk; // owned
        std::string name;
    };
    struct Track {
        Mix_Music* music; // owned
        std::string name;
    };

    void load(const std::string& file, LoadDiagnostics* observer);
    void loadEffect(const TiXmlElement* element, const std::string& file, const std::string& prefix);
    void loadTrack(const TiXmlElement* element, const std::string& file, const std::string& prefix);
    void release();
    void applyMusicVolume();
    // Puts the limiter on the mixer's final stage when the device mixes 16-bit samples.
    void startLimiter();
    // The mixer's volume for `volume`: with the limiter, the channels are mixed with its headroom.
    int mixerVolume(float volume) const;
    // The track with this id; throws SoundException when none is loaded.
    const Track& trackNamed(const std::string& id) const;

    // In file order; the id of each is its file name as written in the sound set.
    std::vector<Effect> effects;
    std::vector<Track> music;
    float sfxVolume = kDefaultSfxVolume;
    float musicVolume = kDefaultMusicVolume;
    // The mixer's thread runs it from the post-mix hook while audio is open; null without a limiter.
    std::unique_ptr<PostMix> limiter;
    // The track switchMusic started or queued, and the one waiting for the fade-out to end (null
    // when none waits; it points into `music`).
    std::string wantedTrack;
    const Track* pendingTrack = nullptr;
    bool muted = false;
    bool musicQuiet = false;
};
