// The application object: fixed GL state, the shared managers, the scenes and the current
// scene. main owns the one the game runs (the checker and the tests make their own); all input
// events are dispatched on it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/FramePacer.h"
#include "events/EventDispatcher.h"
#include "base/Colour.h"
#include "game/GameServices.h"
#include "scene/EntityRegistry.h"
#include "scene/SceneContext.h"

class IScene;
class SpriteBatchRegistry;
class TextureCache;
class SpriteManager;
class SoundManager;
class SystemKeys;

class Game : public EventDispatcher, public PointerDisplay {
public:
    // Registers the engine's and the game's types; the managers come with init.
    Game();
    ~Game() override;
    // Owns its managers and scenes through plain pointers: never copied.
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Stores the window size, sets the GL state and runs the configuration step (Configuration.h).
    // Never throws: failures are reported and leave quitRequested set.
    void init(uint32_t width, uint32_t height);
    void initGL();

    // Shows or hides the system's pointer over the window; asks SDL only when that changes.
    void setCursorVisible(bool visible) override;

    // Reports a start-up error on standard output (verbatim, no line break) and through
    // debugLog, and ends the run.
    void failStartup(const std::string& text);

    // The scene and entity types the data can name.
    const EntityRegistry& getRegistry() const { return registry; }
    // A new scene for a scene element name, or null.
    IScene* createScene(const std::string& type);
    // The managers, the input dispatcher and the window size, as scenes are given them.
    SceneContext sceneContext();
    // The sounds and the pointer, as the game scene is given them.
    GameServices gameServices();

    uint32_t getWidth() const { return width; }
    uint32_t getHeight() const { return height; }
    SpriteBatchRegistry* getSpriteBatches() const { return spriteBatches; }
    TextureCache* getTextureCache() const { return textures; }
    SpriteManager* getSpriteManager() const { return sprites; }
    SoundManager* getSoundManager() const { return sounds; }
    IScene* getCurrentScene() const { return currentScene; }
    const std::vector<IScene*>& getScenes() const { return scenes; }

    // Hand the Game a shared manager, which it owns from then on (a previous one is destroyed).
    // The configuration step fills them; tests that build managers directly use them too.
    void setSpriteBatches(SpriteBatchRegistry* registry);
    void setTextureCache(TextureCache* cache);
    void setSpriteManager(SpriteManager* manager);
    void setSoundManager(SoundManager* manager);
    // Appends a scene, which the Game owns from then on; the configuration step makes them.
    void adoptScene(IScene* scene);
    // The scene that runs: one of getScenes().
    void setCurrentScene(IScene* scene) { currentScene = scene; }

    // Set when start-up failed; the main loop ends at the top of its next frame.
    bool quitRequested = false;
    uint32_t width = 0;
    uint32_t height = 0;
    // Frames per second at most ("max_fps" of config.xml); 0 leaves the loop unthrottled.
    int maxFps = kDefaultMaxFps;
    // Full screen from the start ("fullscreen" of config.xml).
    bool startFullScreen = false;
    // The colour each frame is cleared with; fixed, not configurable.
    const Colour clearColour{0.4f, 0.4f, 0.7f, 1.0f};

private:

    // Owned; null until the configuration step creates them.
    SpriteBatchRegistry* spriteBatches = nullptr;
    TextureCache* textures = nullptr;
    SpriteManager* sprites = nullptr;
    SoundManager* sounds = nullptr;
    // One of `scenes`, not owned separately.
    IScene* currentScene = nullptr;
    // Owned, in file order.
    std::vector<IScene*> scenes;
    bool cursorVisible = true;
    EntityRegistry registry;
    // What game scenes are given; the sound manager is filled in when it is made.
    GameServices services;
    // Mute and full screen; made once start-up has succeeded.
    std::unique_ptr<SystemKeys> systemKeys;
};

// The fixed GL state every frame is drawn with: the viewport and a pixel projection of `width` x
// `height` (origin top-left, y down), blending, the alpha test and byte-aligned unpacking.
void initGlState(uint32_t width, uint32_t height);
