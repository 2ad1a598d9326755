// What one start-up of the game makes: the shared managers, the entity registry, the scenes and
// the current scene, and the settings of config.xml. The application's Game is one, with a window;
// the data checker makes one without. All input events are dispatched on it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "events/EventDispatcher.h"
#include "game/GameServices.h"
#include "rules/HighScores.h"
#include "scene/EntityRegistry.h"
#include "scene/SceneContext.h"

class IScene;
class SpriteBatchRegistry;
class TextureCache;
class SpriteManager;
class SoundManager;

// The view the game is made for, in pixels: the window's size, and what the checker assumes.
constexpr uint32_t kViewWidth = 800;
constexpr uint32_t kViewHeight = 600;
// The frame-rate cap when config.xml names no "max_fps": the display's refresh rate, read when the
// window is open (the frame loop's choice, FrameCap.h).
constexpr int kMaxFpsOfDisplay = -1;

// Owns its managers (each made once by the configuration step, never replaced while a scene
// lives) and its scenes; destroys the scenes first, since their entities use the managers.
class GameWorld : public EventDispatcher, public SceneSwitcher {
public:
    // Registers the engine's and the game's types. `pointer` (not owned, may be null) is the
    // display of the system's pointer the game scenes are given.
    explicit GameWorld(PointerDisplay* pointer = nullptr);
    ~GameWorld() override;
    GameWorld(const GameWorld&) = delete;
    GameWorld& operator=(const GameWorld&) = delete;

    // SceneSwitcher: the scene remade at the next settleScenes, the run ended.
    void remakeScene(std::function<void(IScene&)> prepare) override;
    void endRun(int status) override;
    // Carries out a remake asked for during the last frame; the frame loop calls it before it
    // updates the current scene. A remake that fails to load leaves the scene running as it was,
    // with one line on standard error.
    void settleScenes();
    // The exit status asked for with endRun; 1 when start-up failed.
    int getEndStatus() const { return endStatus; }
    // Every game of the run is recorded to `path` as well (GameServices::recordTo).
    void recordTo(const std::string& path) { services.recordTo = path; }

    // Reports a start-up error with reportFatal (DebugLog.h), unless it is empty, and ends the run.
    void failStartup(const std::string& text);

    // A new scene for a scene element name, or null; made with this world's context and services.
    IScene* createScene(const std::string& type);
    // The managers, the input dispatcher, the registry and the view size, as scenes are given them.
    SceneContext sceneContext();
    // The sounds and the pointer, as game scenes are given them.
    GameServices gameServices();
    // Every game scene made from now on starts each game's capsule draws from `seed` (GameServices).
    void setCapsuleSeed(std::optional<uint32_t> seed) { services.capsuleSeed = seed; }
    // Every game scene made from now on reads the player's files but never writes them (GameServices).
    void leavePlayerFilesAlone() { services.writePlayerFiles = false; }
    // The scene and entity types the data can name.
    const EntityRegistry& getRegistry() const { return registry; }

    uint32_t getWidth() const { return width; }
    uint32_t getHeight() const { return height; }
    SpriteBatchRegistry* getSpriteBatches() const { return spriteBatches.get(); }
    TextureCache* getTextureCache() const { return textures.get(); }
    SpriteManager* getSpriteManager() const { return sprites.get(); }
    SoundManager* getSoundManager() const { return sounds.get(); }
    IScene* getCurrentScene() const { return currentScene; }
    std::vector<IScene*> getScenes() const;

    // The configuration step makes the managers, each once (Configuration.h); tests that build
    // managers directly use them too. Scenes hold the managers they were made with, so a manager
    // is never replaced once a scene exists: that throws std::logic_error.
    void setSpriteBatches(std::unique_ptr<SpriteBatchRegistry> registry);
    void setTextureCache(std::unique_ptr<TextureCache> cache);
    void setSpriteManager(std::unique_ptr<SpriteManager> manager);
    void setSoundManager(std::unique_ptr<SoundManager> manager);
    // Appends a scene, which the world owns from then on; the configuration step makes them.
    void adoptScene(std::unique_ptr<IScene> scene);
    // The scene that runs: one of getScenes().
    void setCurrentScene(IScene* scene) { currentScene = scene; }

    // Set when start-up failed; the main loop ends at the top of its next frame.
    bool quitRequested = false;
    uint32_t width = 0;
    uint32_t height = 0;
    // Frames per second at most ("max_fps" of config.xml); 0 leaves the loop unthrottled,
    // kMaxFpsOfDisplay caps at the display's refresh rate.
    int maxFps = kMaxFpsOfDisplay;
    // Full screen from the start ("fullscreen" of config.xml).
    bool startFullScreen = false;
    // No window and no GL context: textures are decoded but never uploaded, and nothing may be
    // drawn. The game's rules run as in a window (the golden run, the soak, a replay's check).
    bool headless = false;

private:
    template <class T> void replaceManager(std::unique_ptr<T>& slot, std::unique_ptr<T> manager);

    std::unique_ptr<SpriteBatchRegistry> spriteBatches;
    std::unique_ptr<TextureCache> textures;
    std::unique_ptr<SpriteManager> sprites;
    std::unique_ptr<SoundManager> sounds;
    // One of `scenes`, not owned separately.
    IScene* currentScene = nullptr;
    // In file order.
    std::vector<std::unique_ptr<IScene>> scenes;
    EntityRegistry registry;
    // What game scenes are given; the sound manager is filled in when it is made.
    GameServices services;
    HighScores runTable;
    std::function<void(IScene&)> pendingRemake;
    int endStatus = 1;
};
