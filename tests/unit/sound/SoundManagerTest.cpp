// The sound manager on SDL's dummy audio driver with the real generated WAV and Ogg files:
// loading, ids, volumes, every error message, cleanup, and the silent fallback.
#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "base/Exceptions.h"
#include "sound/SoundManager.h"

namespace {

using testsupport::copyFile;
using testsupport::ScratchDir;
using testsupport::writeFile;

const std::string kSounds = std::string(PELLVANE_DATA) + "/sounds/";

// Each test runs in its own scratch directory holding copies of the shipped sounds.
struct SoundManagerTest : ::testing::Test {
    ScratchDir scratch;

    void SetUp() override {
        for (const char* name : {"red.wav", "orange.wav", "yellow.wav", "music.ogg"})
            copyFile(kSounds + name, name);
    }

    // Writes sounds.xml with this text inside its `sounds` element.
    static void writeSoundSet(const std::string& attributes, const std::string& children) {
        writeFile("sounds.xml", "<?xml version=\"1.0\"?>\n<sounds " + attributes + ">" + children + "</sounds>\n");
    }

    // The message of the SoundException that constructing from `file` throws, or "" when none.
    static std::string constructionError(const std::string& file) {
        try {
            SoundManager manager(file);
        } catch (const SoundException& error) {
            return error.message;
        }
        return "";
    }

    static bool audioOpen() {
        int frequency = 0, channels = 0;
        Uint16 format = 0;
        return Mix_QuerySpec(&frequency, &format, &channels) != 0;
    }
};

TEST_F(SoundManagerTest, OpensTheDeviceWithTheFixedFormatAndDefaultChannels) {
    writeSoundSet("", "<sfx>red.wav</sfx>");
    testing::internal::CaptureStderr();
    auto manager = std::make_unique<SoundManager>("sounds.xml");
    EXPECT_EQ("", testing::internal::GetCapturedStderr()) << "a working device needs no fallback line";
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    ASSERT_NE(0, Mix_QuerySpec(&frequency, &format, &channels));
    EXPECT_EQ(44100, frequency);
    EXPECT_EQ(AUDIO_S16SYS, format);
    EXPECT_EQ(2, channels);
    EXPECT_EQ(8, Mix_AllocateChannels(-1));
    manager.reset();
    EXPECT_FALSE(audioOpen()) << "destruction closes audio";
}

TEST_F(SoundManagerTest, PlaysEffectsOnceAndMusicLoopingWithAFadeIn) {
    writeSoundSet("", "<sfx>red.wav</sfx><sfx>orange.wav</sfx><music>music.ogg</music>");
    SoundManager manager("sounds.xml");
    manager.playSound("orange.wav");
    EXPECT_GE(Mix_Playing(-1), 1);
    manager.playMusic("music.ogg");
    EXPECT_EQ(1, Mix_PlayingMusic());
    EXPECT_EQ(MIX_FADING_IN, Mix_FadingMusic());
}

TEST_F(SoundManagerTest, ExtraEffectsBeyondTheFreeChannelsAreDroppedSilently) {
    writeSoundSet("", "<sfx>red.wav</sfx>");
    SoundManager manager("sounds.xml");
    for (int i = 0; i < 12; ++i)
        EXPECT_NO_THROW(manager.playSound("red.wav"));
    EXPECT_EQ(8, Mix_Playing(-1));
}

TEST_F(SoundManagerTest, ANewTrackReplacesThePlayingOneWithItsOwnFadeIn) {
    copyFile("music.ogg", "other.ogg");
    writeSoundSet("", "<music>music.ogg</music><music>other.ogg</music>");
    SoundManager manager("sounds.xml");
    manager.playMusic("music.ogg");
    manager.playMusic("other.ogg");
    EXPECT_EQ(1, Mix_PlayingMusic());
    EXPECT_EQ(MIX_FADING_IN, Mix_FadingMusic());
}

TEST_F(SoundManagerTest, TheFileNameIsTheElementsWholeTextAroundComments) {
    writeSoundSet("", "<sfx><!-- hit -->red.wav</sfx><sfx>ora<!-- split -->nge.wav</sfx>"
                      "<music><!-- theme -->music.ogg<!-- loops --></music>");
    SoundManager manager("sounds.xml");
    EXPECT_NO_THROW(manager.playSound("red.wav"));
    EXPECT_NO_THROW(manager.playSound("orange.wav"));
    EXPECT_NO_THROW(manager.playMusic("music.ogg"));
}

TEST_F(SoundManagerTest, DirectoryIsAPrefixOfThePathButNotOfTheId) {
    copyFile("red.wav", "effects/hit.wav");
    copyFile("music.ogg", "effects/tune.ogg");
    writeSoundSet("directory='effects'", "<sfx>hit.wav</sfx><music>tune.ogg</music>");
    SoundManager manager("sounds.xml");
    EXPECT_NO_THROW(manager.playSound("hit.wav"));
    EXPECT_NO_THROW(manager.playMusic("tune.ogg"));
    EXPECT_THROW(manager.playSound("effects/hit.wav"), SoundException);
}

TEST_F(SoundManagerTest, WithoutDirectoryNamesAreRelativeToTheWorkingDirectory) {
    copyFile("red.wav", "effects/hit.wav");
    writeSoundSet("", "<sfx>hit.wav</sfx>");
    EXPECT_EQ("Sound Exception: hit.wav: SDL_Mixer failed to load file!", constructionError("sounds.xml"));
}

TEST_F(SoundManagerTest, AnEmptyDirectoryGivesTheRootPrefix) {
    // "/" + a path written without its leading slash is the absolute path of the file.
    const std::string relativeToRoot = scratch.file("red.wav").substr(1);
    writeSoundSet("directory=''", "<sfx>" + relativeToRoot + "</sfx>");
    SoundManager manager("sounds.xml");
    EXPECT_NO_THROW(manager.playSound(relativeToRoot));
}

TEST_F(SoundManagerTest, DefaultVolumesAre128And89) {
    writeSoundSet("", "<sfx>red.wav</sfx>");
    SoundManager manager("sounds.xml");
    EXPECT_EQ(128, Mix_Volume(-1, -1));
    EXPECT_EQ(89, Mix_VolumeMusic(-1));
    EXPECT_FLOAT_EQ(1.0f, manager.getSfxVolume());
    EXPECT_FLOAT_EQ(0.7f, manager.getMusicVolume());
}

TEST_F(SoundManagerTest, EffectVolumeIsClampedToZeroAndOne) {
    struct Case {
        const char* text;
        float stored;
        int mixer;
    };
    for (const Case& c : {Case{"1.5", 1.0f, 128}, Case{"-0.2", 0.0f, 0}, Case{"0.5", 0.5f, 64}, Case{"0.3", 0.3f, 38},
                          Case{"loud", 1.0f, 128}, Case{"nan", 0.0f, 0}}) {
        SCOPED_TRACE(c.text);
        writeSoundSet(std::string("sfx_volume='") + c.text + "'", "<sfx>red.wav</sfx>");
        SoundManager manager("sounds.xml");
        EXPECT_FLOAT_EQ(c.stored, manager.getSfxVolume());
        EXPECT_EQ(c.mixer, Mix_Volume(-1, -1));
    }
}

TEST_F(SoundManagerTest, MusicVolumeIsClampedToZeroAndOneLikeTheEffectVolume) {
    struct Case {
        const char* text;
        float stored;
        int mixer;
    };
    // SDL_mixer would take a negative volume as a query and leave the music at its loudest.
    for (const Case& c :
         {Case{"0.25", 0.25f, 32}, Case{"1.5", 1.0f, 128}, Case{"-0.2", 0.0f, 0}, Case{"1e30", 1.0f, 128},
          Case{"-1e30", 0.0f, 0}, Case{"nan", 0.0f, 0}, Case{"0.999", 0.999f, 127}}) {
        SCOPED_TRACE(c.text);
        writeSoundSet(std::string("music_volume='") + c.text + "'", "<music>music.ogg</music>");
        SoundManager manager("sounds.xml");
        EXPECT_FLOAT_EQ(c.stored, manager.getMusicVolume());
        EXPECT_EQ(c.mixer, Mix_VolumeMusic(-1));
        EXPECT_EQ(128, Mix_Volume(-1, -1)) << "the effect volume is independent";
    }
}

TEST_F(SoundManagerTest, SetSfxVolumeClampsAndReappliesTheMusicVolume) {
    writeSoundSet("music_volume='0.5'", "<sfx>red.wav</sfx>");
    SoundManager manager("sounds.xml");
    Mix_VolumeMusic(3); // changed behind the manager's back
    manager.setSfxVolume(0.25f);
    EXPECT_EQ(32, Mix_Volume(-1, -1));
    EXPECT_EQ(64, Mix_VolumeMusic(-1));
    manager.setSfxVolume(7.0f);
    EXPECT_FLOAT_EQ(1.0f, manager.getSfxVolume());
    EXPECT_EQ(128, Mix_Volume(-1, -1));
    manager.setSfxVolume(-1.0f);
    EXPECT_FLOAT_EQ(0.0f, manager.getSfxVolume());
    EXPECT_EQ(0, Mix_Volume(-1, -1));
}

TEST_F(SoundManagerTest, QuietTurnsTheMusicDownAndMuteSilencesEverythingOverIt) {
    writeSoundSet("music_volume='0.5'", "<sfx>red.wav</sfx><music>music.ogg</music>");
    SoundManager manager("sounds.xml");
    manager.setMusicQuiet(true);
    EXPECT_EQ(static_cast<int>(0.5f * kQuietMusicShare * 128), Mix_VolumeMusic(-1));
    manager.setMuted(true);
    manager.playSound("red.wav");
    EXPECT_EQ(0, Mix_Playing(-1));
    manager.setMusicQuiet(false);
    EXPECT_EQ(0, Mix_VolumeMusic(-1)) << "still muted";
    manager.setMuted(false);
    EXPECT_EQ(64, Mix_VolumeMusic(-1));
}

TEST_F(SoundManagerTest, TheSameNameMayBeAnEffectAndATrack) {
    writeSoundSet("", "<sfx>red.wav</sfx><music>red.wav</music>");
    SoundManager manager("sounds.xml");
    manager.playSound("red.wav");
    EXPECT_GE(Mix_Playing(-1), 1);
    manager.playMusic("red.wav");
    EXPECT_EQ(1, Mix_PlayingMusic());
}

TEST_F(SoundManagerTest, UnknownIdsThrowForEachListSeparately) {
    writeSoundSet("", "<sfx>red.wav</sfx><music>music.ogg</music>");
    SoundManager manager("sounds.xml");
    auto playError = [](auto&& play) {
        try {
            play();
        } catch (const SoundException& error) {
            return error.message;
        }
        return std::string();
    };
    EXPECT_EQ("Sound Exception: music.ogg: No sound with that ID to play!",
              playError([&] { manager.playSound("music.ogg"); }));
    EXPECT_EQ("Sound Exception: RED.wav: No sound with that ID to play!",
              playError([&] { manager.playSound("RED.wav"); }));
    EXPECT_EQ("Sound Exception: red.wav: No music with that ID to play!",
              playError([&] { manager.playMusic("red.wav"); }));
    EXPECT_EQ("Sound Exception: : No music with that ID to play!", playError([&] { manager.playMusic(""); }));
}

TEST_F(SoundManagerTest, DataErrorsCarryTheirMessages) {
    writeFile("not-audio.wav", "RIFF but not really a wave file");
    struct Case {
        const char* xml;
        const char* message;
    };
    const Case cases[] = {
        {"<sounds><sfx>red.wav</sfx>", "Sound Exception: sounds.xml: Failed to load sounds file!"},
        {"<sound><sfx>red.wav</sfx></sound>",
         "Sound Exception: sounds.xml: No root container element with sfx or music found in file!"},
        {"<sounds><sfx>missing.wav</sfx></sounds>", "Sound Exception: missing.wav: SDL_Mixer failed to load file!"},
        {"<sounds><sfx>not-audio.wav</sfx></sounds>", "Sound Exception: not-audio.wav: SDL_Mixer failed to load file!"},
        {"<sounds><sfx>red.wav</sfx><sfx>orange.wav</sfx><sfx>red.wav</sfx></sounds>",
         "Sound Exception: red.wav: Sfx file defined twice!"},
        {"<sounds><music>music.ogg</music><music>music.ogg</music></sounds>",
         "Sound Exception: music.ogg: Music file defined twice!"},
        // Every effect loads before any track: the later sfx element is reported first.
        {"<sounds><music>missing.ogg</music><sfx>missing.wav</sfx></sounds>",
         "Sound Exception: missing.wav: SDL_Mixer failed to load file!"},
        {"<sounds><sfx>red.wav</sfx><sfx/></sounds>", "Sound Exception: sounds.xml: Sfx element has no file name!"},
        {"<sounds><sfx></sfx></sounds>", "Sound Exception: sounds.xml: Sfx element has no file name!"},
        {"<sounds><music/></sounds>", "Sound Exception: sounds.xml: Music element has no file name!"},
        {"<sounds><music>  </music></sounds>", "Sound Exception: sounds.xml: Music element has no file name!"},
        {"<sounds><music><!-- none --></music></sounds>",
         "Sound Exception: sounds.xml: Music element has no file name!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xml);
        writeFile("sounds.xml", c.xml);
        EXPECT_EQ(c.message, constructionError("sounds.xml"));
        EXPECT_FALSE(audioOpen()) << "a failed construction closes audio again";
    }
    EXPECT_EQ("Sound Exception: absent.xml: Failed to load sounds file!", constructionError("absent.xml"));
}

TEST_F(SoundManagerTest, WavFormatsThatCrashSdlAreRefusedBeforeItSeesThem) {
    // The shipped effect with no channels, at 68 Hz (its format after a LIST chunk), and with a
    // format chunk cut short: SDL_mixer would overrun its conversion steps on the first two.
    std::ifstream in("red.wav", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ("fmt ", bytes.substr(12, 4));
    writeFile("silent.wav", bytes.substr(0, 22) + '\0' + bytes.substr(23));
    const std::string list("LIST\4\0\0\0note", 12), rate68("D\0\0\0", 4);
    writeFile("slow.wav", bytes.substr(0, 12) + list + bytes.substr(12, 12) + rate68 + bytes.substr(28));
    writeFile("cut.wav", bytes.substr(0, 24));
    const std::string cannot = ": SDL_Mixer cannot load this WAV file: ";
    writeSoundSet("", "<sfx>silent.wav</sfx>");
    EXPECT_EQ("Sound Exception: silent.wav" + cannot +
                  "it declares 0 channels at 44100 Hz; a sound needs 1 to 8 "
                  "channels at 4000 to 192000 Hz!",
              constructionError("sounds.xml"));
    writeSoundSet("", "<music>slow.wav</music>");
    EXPECT_EQ("Sound Exception: slow.wav" + cannot +
                  "it declares 1 channel at 68 Hz; a sound needs 1 to 8 "
                  "channels at 4000 to 192000 Hz!",
              constructionError("sounds.xml"));
    writeSoundSet("", "<sfx>cut.wav</sfx>");
    EXPECT_EQ("Sound Exception: cut.wav" + cannot + "its format chunk is cut short!", constructionError("sounds.xml"));
}

TEST_F(SoundManagerTest, WavLayoutsThatSdlMisreadsAreRefusedBeforeItSeesThem) {
    // Each made from the shipped effect (its format chunk at bytes 12 to 35, then its data), and
    // each once found to make SDL or SDL_mixer read past a buffer, free one twice, divide by zero
    // or hang.
    std::ifstream in("red.wav", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(std::string("fmt \x10\0\0\0", 8), bytes.substr(12, 8));
    const std::string header = bytes.substr(0, 12), format = bytes.substr(20, 16), data = bytes.substr(36);
    const std::string size14("\x0e\0\0\0", 4), size8("\x08\0\0\0", 4), junk("JUNK\4\0\0\0none", 12);
    struct Case {
        const char* element;
        std::string file, reason;
    } cases[] = {
        {"sfx", header + "fmt " + size14 + format.substr(0, 14) + data, "its format chunk is cut short"},
        {"music", header + "fmt " + size14 + format.substr(0, 14) + data, "its format chunk is cut short"},
        {"sfx", "RIFFWAVE" + ("fmt " + size8) + format.substr(0, 8) + data, "its format chunk is cut short"},
        {"music", header + junk + bytes.substr(12),
         "its format chunk does not come first (only LIST and fact chunks may come before it)"},
        {"music", header + data, "its format chunk does not come first (only LIST and fact chunks may come before it)"},
        {"sfx", header, "it has no format chunk"},
        {"sfx", bytes.substr(0, 36), "it has no data chunk after its format chunk"},
        {"sfx",
         bytes.substr(0, 20) + std::string("\2\0", 2) + format.substr(2, 10) + std::string("\0\0", 2) +
             bytes.substr(34),
         "its ADPCM blocks are 0 bytes long"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        writeFile("bad.wav", c.file);
        writeSoundSet("", std::string("<") + c.element + ">bad.wav</" + c.element + ">");
        EXPECT_EQ("Sound Exception: bad.wav: SDL_Mixer cannot load this WAV file: " + c.reason + "!",
                  constructionError("sounds.xml"));
    }
}

TEST_F(SoundManagerTest, AMusicLoadFailureCarriesSdlsErrorText) {
    writeFile("broken.ogg", "OggS but nothing after it");
    const std::string prefix = "SDL_Mixer failed to load file: ";
    for (const char* name : {"missing.ogg", "broken.ogg"}) {
        SCOPED_TRACE(name);
        writeSoundSet("", std::string("<sfx>red.wav</sfx><music>") + name + "</music>");
        SDL_ClearError();
        const std::string message = constructionError("sounds.xml");
        const std::string expectedStart = std::string("Sound Exception: ") + name + ": " + prefix;
        ASSERT_EQ(expectedStart, message.substr(0, expectedStart.size()));
        const std::string sdlText = message.substr(expectedStart.size());
        EXPECT_FALSE(sdlText.empty());
        EXPECT_EQ(SDL_GetError(), sdlText);
    }
}

TEST_F(SoundManagerTest, WorksAgainAfterAFailedConstruction) {
    writeSoundSet("", "<sfx>red.wav</sfx><sfx>missing.wav</sfx>");
    EXPECT_NE("", constructionError("sounds.xml"));
    writeSoundSet("", "<sfx>red.wav</sfx>");
    SoundManager manager("sounds.xml");
    manager.playSound("red.wav");
    EXPECT_GE(Mix_Playing(-1), 1);
}

TEST(ShippedSoundSet, LoadsWithEveryIdTheGameUses) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(PELLVANE_DATA);
    std::string error;
    try {
        SoundManager manager("sounds.xml");
        for (const char* id : {"red.wav", "orange.wav", "yellow.wav"})
            manager.playSound(id);
        EXPECT_EQ(3, Mix_Playing(-1));
        manager.playMusic("music.ogg");
        EXPECT_EQ(1, Mix_PlayingMusic());
    } catch (const SoundException& e) {
        error = e.message;
    }
    std::filesystem::current_path(previous);
    EXPECT_EQ("", error);
}

// Restarts SDL's audio subsystem on another driver, and puts the harness's driver back afterwards
// whatever happens.
class SwitchedAudioDriver {
public:
    explicit SwitchedAudioDriver(const char* driver) {
        const char* old = std::getenv("SDL_AUDIODRIVER");
        previous = old != nullptr ? old : "dummy";
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        setenv("SDL_AUDIODRIVER", driver, 1);
        SDL_InitSubSystem(SDL_INIT_AUDIO);
    }
    ~SwitchedAudioDriver() {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        setenv("SDL_AUDIODRIVER", previous.c_str(), 1);
        SDL_InitSubSystem(SDL_INIT_AUDIO);
    }
    SwitchedAudioDriver(const SwitchedAudioDriver&) = delete;
    SwitchedAudioDriver& operator=(const SwitchedAudioDriver&) = delete;

private:
    std::string previous;
};

// A driver that does not exist, as on a machine without a sound device.
class UnusableAudioDriver : public SwitchedAudioDriver {
public:
    static constexpr const char* kDriver = "pellvane-no-such-driver";
    UnusableAudioDriver() : SwitchedAudioDriver(kDriver) {}
};

// SDL's disk driver: everything the mixer puts out goes to `file`, about 20 times faster than it
// would play.
class DiskAudioDriver {
public:
    explicit DiskAudioDriver(const std::string& file) {
        setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "1", 1);
        driver = std::make_unique<SwitchedAudioDriver>("disk");
    }

private:
    std::unique_ptr<SwitchedAudioDriver> driver;
};

// The samples of a recording the disk driver made.
std::vector<int16_t> samplesOf(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

TEST_F(SoundManagerTest, TheLimiterMixesWithHeadroomAndNoSumReachesFullScale) {
    // Four of the loudest effects at once, each peaking at -3 dB: their sum is far past full scale.
    writeSoundSet("limiter='true' music_volume='0.5'", "<sfx>red.wav</sfx><music>music.ogg</music>");
    auto peakOfFour = [](const std::string& recording) {
        {
            DiskAudioDriver disk(recording);
            SoundManager manager("sounds.xml");
            manager.playMusic("music.ogg");
            for (int i = 0; i < 4; ++i)
                manager.playSound("red.wav");
            SDL_Delay(150);
        }
        int peak = 0, fullScale = 0;
        for (const int16_t sample : samplesOf(recording)) {
            peak = std::max(peak, std::abs(static_cast<int>(sample)));
            fullScale += sample == 32767 || sample == -32768;
        }
        return std::make_pair(peak, fullScale);
    };
    const auto [limited, limitedAtFullScale] = peakOfFour(scratch.file("limited.raw"));
    EXPECT_EQ(0, limitedAtFullScale);
    EXPECT_GT(limited, 16000) << "still loud";
    writeSoundSet("music_volume='0.5'", "<sfx>red.wav</sfx><music>music.ogg</music>");
    const auto [plain, plainAtFullScale] = peakOfFour(scratch.file("plain.raw"));
    EXPECT_GT(plainAtFullScale, 100) << "without the limiter the same sum clips";

    // The channels are mixed 12 dB down and made up again at the end.
    writeSoundSet("limiter='true' music_volume='0.5'", "<sfx>red.wav</sfx><music>music.ogg</music>");
    SoundManager manager("sounds.xml");
    EXPECT_TRUE(manager.isLimiting());
    EXPECT_EQ(32, Mix_Volume(-1, -1));
    EXPECT_EQ(16, Mix_VolumeMusic(-1));
    manager.setMusicQuiet(true);
    EXPECT_EQ(4, Mix_VolumeMusic(-1));
    manager.setSfxVolume(0.5f);
    EXPECT_EQ(16, Mix_Volume(-1, -1));
    EXPECT_FLOAT_EQ(0.5f, manager.getSfxVolume()) << "the stored volume is the data's";
}

TEST_F(SoundManagerTest, OnlyTrueTurnsTheLimiterOn) {
    for (const char* text : {"false", "yes", "1", "TRUE"}) {
        SCOPED_TRACE(text);
        writeSoundSet(std::string("limiter='") + text + "'", "<sfx>red.wav</sfx>");
        SoundManager manager("sounds.xml");
        EXPECT_FALSE(manager.isLimiting());
        EXPECT_EQ(128, Mix_Volume(-1, -1));
    }
}

TEST_F(SoundManagerTest, SwitchingTracksFadesTheOldOneOutBeforeTheNewOneFadesIn) {
    copyFile("music.ogg", "other.ogg");
    writeSoundSet("", "<music>music.ogg</music><music>other.ogg</music>");
    SoundManager manager("sounds.xml");
    EXPECT_EQ("", manager.getMusic());
    manager.playMusic("music.ogg");
    EXPECT_EQ("music.ogg", manager.getMusic());
    manager.switchMusic("music.ogg");
    EXPECT_EQ(MIX_FADING_IN, Mix_FadingMusic()) << "the track playing goes on";

    manager.switchMusic("other.ogg");
    EXPECT_EQ("other.ogg", manager.getMusic());
    EXPECT_EQ(MIX_FADING_OUT, Mix_FadingMusic());
    manager.switchMusic("other.ogg");
    manager.update();
    EXPECT_EQ(MIX_FADING_OUT, Mix_FadingMusic()) << "the new track waits for the fade-out";
    // The silent driver mixes faster than real time, so the fade's length is not measured here.
    const Uint32 start = SDL_GetTicks();
    while (Mix_FadingMusic() != MIX_FADING_IN && SDL_GetTicks() - start < 5000) {
        SDL_Delay(10);
        manager.update();
    }
    EXPECT_EQ(MIX_FADING_IN, Mix_FadingMusic());
    EXPECT_EQ(1, Mix_PlayingMusic());

    EXPECT_TRUE(manager.hasMusic("other.ogg"));
    EXPECT_FALSE(manager.hasMusic("missing.ogg"));
    EXPECT_THROW(manager.switchMusic("missing.ogg"), SoundException);
    EXPECT_EQ("other.ogg", manager.getMusic());
}

TEST_F(SoundManagerTest, AnUnusableDeviceFallsBackToTheSilentDriverWithOneLine) {
    writeSoundSet("", "<sfx>red.wav</sfx><music>music.ogg</music>");
    UnusableAudioDriver unusable;
    ASSERT_EQ(-1, Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024)) << "the driver must really be unusable";

    testing::internal::CaptureStderr();
    std::unique_ptr<SoundManager> manager;
    std::string error;
    try {
        manager = std::make_unique<SoundManager>("sounds.xml");
    } catch (const SoundException& e) {
        error = e.message;
    }
    const std::string log = testing::internal::GetCapturedStderr();
    ASSERT_EQ("", error);

    const std::string tail = ": playing without sound on SDL's dummy audio driver.\n";
    EXPECT_EQ(0u, log.find("Could not open the audio device (")) << log;
    ASSERT_GE(log.size(), tail.size());
    EXPECT_EQ(tail, log.substr(log.size() - tail.size())) << log;
    EXPECT_EQ(log.size() - 1, log.find('\n')) << "exactly one line";

    char name[32] = "";
    ASSERT_NE(nullptr, SDL_AudioDriverName(name, sizeof name));
    EXPECT_STREQ("dummy", name);
    EXPECT_STREQ(UnusableAudioDriver::kDriver, std::getenv("SDL_AUDIODRIVER")) << "the variable is put back";
    EXPECT_TRUE(audioOpen());
    manager->playSound("red.wav");
    EXPECT_GE(Mix_Playing(-1), 1);
    manager->playMusic("music.ogg");
    EXPECT_EQ(1, Mix_PlayingMusic());
    EXPECT_EQ(128, Mix_Volume(-1, -1));
    EXPECT_EQ(89, Mix_VolumeMusic(-1));
}

} // namespace
