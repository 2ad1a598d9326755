// Helpers for the game tests: a fresh Game with sprites and a sound manager over generated WAVs,
// game scenes loaded from XML text with level files, a recorder of game events, and a way to
// tell which effect sounds are playing.
#pragma once

#include <SDL_mixer.h>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tinyxml.h>
#include <vector>

#include "events/EventDispatcher.h"
#include "events/Events.h"
#include "game/GameEvents.h"
#include "game/PellvaneBallEntity.h"
#include "game/PellvaneBlockEffect.h"
#include "game/PellvaneBlockEntity.h"
#include "game/PellvaneGameScene.h"
#include "game/PellvanePaddleEntity.h"
#include "scene/SceneTestSupport.h"
#include "sound/SoundManager.h"

namespace gametest {

// The fixed step the scenarios run at.
constexpr float kDt = 1.0f / 60.0f;

// Writes a mono 8-bit PCM WAV of `seconds` of silence at 8000 Hz. The three block sounds get
// different lengths so a playing chunk tells which one it is; they are long enough to be still
// playing when a test looks, however slowly it runs.
inline void writeSilentWav(const std::string& path, float seconds) {
    constexpr uint32_t kRate = 8000;
    const uint32_t samples = static_cast<uint32_t>(seconds * kRate);
    std::string data;
    auto put32 = [&data](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            data.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
    };
    auto put16 = [&data](uint16_t v) {
        data.push_back(static_cast<char>(v & 0xff));
        data.push_back(static_cast<char>(v >> 8));
    };
    data += "RIFF";
    put32(36 + samples);
    data += "WAVEfmt ";
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(kRate);
    put32(kRate); // bytes per second
    put16(1);     // block align
    put16(8);     // bits per sample
    data += "data";
    put32(samples);
    data.append(samples, static_cast<char>(0x80)); // 8-bit silence is the midpoint
    testsupport::writeFile(path, data);
}

// A game scene over a 200 x 300 game area at the origin: a 60 x 10 paddle ("red") at (70, 280)
// holding a 10 x 10 ball ("blue", radius 5) whose centre rides 8 px above it and which launches
// straight up at 240 px/s; white, then red. `levels` is the body of the "levels" element.
// `sceneChildren` come before the scene's own "game_area", so theirs are the first of a name.
inline std::string gameXml(const std::string& levels, const std::string& sceneAttributes = "loaded_delay=\"0\"",
                           const std::string& ballAttributes = "", const std::string& extraEntities = "",
                           const std::string& sceneChildren = "", const std::string& paddleAttributes = "") {
    return "<pellvane_game id=\"game\" " + sceneAttributes + ">" + sceneChildren +
           "<game_area x=\"0\" y=\"0\" width=\"200\" height=\"300\"/><levels>" + levels +
           "</levels><entities>"
           "<paddle sprite=\"red\" x=\"70\" y=\"280\" width=\"60\" height=\"10\" speed=\"100\" "
           "ball_height=\"8\" " +
           paddleAttributes +
           "/>"
           "<ball sprite=\"blue\" colour=\"ffffff\" start_velocity_x=\"0\" start_velocity_y=\"-240\" " +
           ballAttributes + "><colour hex=\"ff0000\"/></ball>" + extraEntities + "</entities></pellvane_game>";
}

// A level file holding `blocks` (block elements on the "green" 20 x 10 sprite).
inline std::string levelXml(const std::string& blocks) {
    return "<level>" + blocks + "</level>";
}

// A block at (x, y) relative to the game area.
inline std::string blockXml(int x, int y, int health) {
    return "<block sprite=\"green\" x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" health=\"" +
           std::to_string(health) + "\"/>";
}

// Records the names of the game events raised on a scene, in order.
class EventRecorder final : public IEventCallback {
public:
    bool handleEvent(IEvent* event) override {
        names.push_back(event->getName());
        return false;
    }
    void listenTo(EventDispatcher& dispatcher) {
        for (const std::string* name : {&PELLVANE_INITIATED, &PELLVANE_GAME_STARTED, &PELLVANE_BALL_LOST,
                                        &PELLVANE_NEW_LEVEL_LOADED, &PELLVANE_NEW_LEVEL_STARTED, &PELLVANE_GAME_OVER})
            dispatcher.registerCallback(*name, this);
    }
    int count(const std::string& name) const {
        int n = 0;
        for (const std::string& each : names)
            n += each == name ? 1 : 0;
        return n;
    }
    std::vector<std::string> names;
};

// A Game with the scene fixture's sprites ("red" and "green" 20x10, "blue" 10x10) and a sound
// manager over "red.wav", "orange.wav" and "yellow.wav".
class GameFixture : public scenetest::SceneFixture {
protected:
    void SetUp() override {
        SceneFixture::SetUp();
        writeSilentWav("red.wav", 8.0f);
        writeSilentWav("orange.wav", 9.0f);
        writeSilentWav("yellow.wav", 10.0f);
        testsupport::writeFile("sounds.xml",
                               "<sounds><sfx>red.wav</sfx><sfx>orange.wav</sfx><sfx>yellow.wav</sfx></sounds>");
        game->setSoundManager(std::make_unique<SoundManager>("sounds.xml"));
    }
    void TearDown() override {
        for (auto& entry : referenceChunks)
            Mix_FreeChunk(entry.second);
        referenceChunks.clear();
        SceneFixture::TearDown();
    }

    // Writes each level file, then loads a game scene from `text` with `recorder` (if any)
    // listening from before the load, so it hears "PELLVANE_INITIATED" too.
    std::unique_ptr<PellvaneGameScene> loadGame(const std::string& text,
                                                const std::map<std::string, std::string>& files = {},
                                                EventRecorder* recorder = nullptr) {
        for (const auto& file : files)
            testsupport::writeFile(file.first, file.second);
        TiXmlDocument document;
        document.Parse(text.c_str());
        auto scene = std::make_unique<PellvaneGameScene>(game->sceneContext(), game->gameServices());
        if (recorder != nullptr)
            recorder->listenTo(*scene);
        scene->load(TiXmlHandle(document.RootElement()));
        return scene;
    }

    // The ids of the block sounds playing on the mixer's channels, in channel order.
    std::vector<std::string> playingSounds() {
        if (referenceChunks.empty()) {
            for (const char* id : {"red.wav", "orange.wav", "yellow.wav"})
                referenceChunks[id] = Mix_LoadWAV(id);
        }
        std::vector<std::string> ids;
        for (int channel = 0; channel < Mix_AllocateChannels(-1); ++channel) {
            if (!Mix_Playing(channel))
                continue;
            const Mix_Chunk* chunk = Mix_GetChunk(channel);
            for (const auto& entry : referenceChunks) {
                if (chunk != nullptr && entry.second != nullptr && chunk->alen == entry.second->alen)
                    ids.push_back(entry.first);
            }
        }
        return ids;
    }

    template <class T> static std::vector<T*> entitiesOf(const BaseScene& scene) {
        std::vector<T*> found;
        for (IEntity* entity : scene.getEntities()) {
            if (auto* typed = dynamic_cast<T*>(entity))
                found.push_back(typed);
        }
        return found;
    }
    template <class T> static T* first(const BaseScene& scene) { return firstOf<T>(scene); }

    void pressKey(int32_t key) { pressKeyOn(*game, key, true); }
    void releaseKey(int32_t key) { pressKeyOn(*game, key, false); }

public:
    // A key going down or up, dispatched on `input` (the Game) as the main loop does.
    static void pressKeyOn(EventDispatcher& input, int32_t key, bool pressed) {
        input.dispatchEvent(
            new KeyboardEvent(pressed ? KEYBOARD_KEY_PRESSED_EVENT : KEYBOARD_KEY_RELEASED_EVENT, key, pressed));
    }
    template <class T> static T* firstOf(const BaseScene& scene) {
        std::vector<T*> all = entitiesOf<T>(scene);
        return all.empty() ? nullptr : all.front();
    }

protected:
    // Runs update at the fixed step until `done` holds or `maxFrames` have run; the frames run.
    template <class Done> static int runUntil(PellvaneGameScene& scene, Done done, int maxFrames = 600) {
        int frames = 0;
        while (!done() && frames < maxFrames) {
            scene.update(kDt);
            ++frames;
        }
        return frames;
    }

    std::map<std::string, Mix_Chunk*> referenceChunks;
};

} // namespace gametest
