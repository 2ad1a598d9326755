// The configuration step: each unit is tried on its own, so that the one reading of config.xml
// serves both the game, which stops at the first failure, and the checker, which reports it at
// its place and goes on.
#include "game/Configuration.h"

#include <memory>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "game/GameWorld.h"
#include "game/StartupMessages.h"
#include "graphics/SpriteBatchRegistry.h"
#include "graphics/SpriteManager.h"
#include "graphics/TextureCache.h"
#include "scene/BaseScene.h"
#include "scene/IScene.h"
#include "base/XmlAttributes.h"
#include "sound/SoundManager.h"

// What an observer does not override, it lets pass.
void ConfigurationObserver::unitFailed(ConfigUnit, const TiXmlElement*, const char*, const std::string&) {}
void ConfigurationObserver::fileNamed(ConfigUnit, const std::string&, const TiXmlElement*, const char*) {}
void ConfigurationObserver::sceneMade(const TiXmlElement*, IScene*) {}
void ConfigurationObserver::sceneLoaded(const TiXmlElement*, IScene*) {}

namespace {

class ConfigurationStep {
public:
    ConfigurationStep(GameWorld& game, ConfigurationObserver* observer) : game(game), observer(observer) {}

    void run(TiXmlDocument& document);

private:
    // Each answers false when the step ends there (a failure without an observer).
    bool readSettings(TiXmlElement* config);
    bool loadSprites(TiXmlElement* config);
    bool loadSounds(TiXmlElement* config);
    bool loadScenes(TiXmlElement* config);

    // Reports a failure: to the observer, and the step goes on (true), or as the game's start-up
    // error, which ends it (false).
    bool fail(ConfigUnit unit, const TiXmlElement* element, const char* attribute, const std::string& message) {
        if (observer == nullptr) {
            game.failStartup(message);
            return false;
        }
        observer->unitFailed(unit, element, attribute, message);
        return true;
    }
    // Runs `body`, a unit whose data errors are exceptions; answers as fail does, or true.
    template <class Body>
    bool attempt(ConfigUnit unit, const TiXmlElement* element, const char* attribute, Body&& body) {
        try {
            body();
            return true;
        } catch (const BaseException& error) {
            return fail(unit, element, attribute, error.message);
        }
    }
    void nameFile(ConfigUnit unit, const std::string& path, const TiXmlElement* element, const char* attribute) {
        if (observer != nullptr)
            observer->fileNamed(unit, path, element, attribute);
    }

    GameWorld& game;
    ConfigurationObserver* observer;
};

void ConfigurationStep::run(TiXmlDocument& document) {
    if (!xml::loadDocument(document, kConfigFile)) {
        fail(ConfigUnit::File, nullptr, nullptr, startup::kConfigFailedToLoad);
        return;
    }
    TiXmlElement* config = document.FirstChildElement("config");
    if (config == nullptr) {
        // The element found instead, if any, is where the mistake is.
        fail(ConfigUnit::Element, document.FirstChildElement(), nullptr, startup::kNoConfigElement);
        return;
    }
    if (!readSettings(config) || !loadSprites(config) || !loadSounds(config) || !loadScenes(config))
        return;
    if (game.getSoundManager() != nullptr)
        attempt(ConfigUnit::Music, nullptr, nullptr, [&] { game.getSoundManager()->playMusic(kMusicId); });
}

bool ConfigurationStep::readSettings(TiXmlElement* config) {
    int batchSize = kDefaultBatchSize;
    xml::readInt(config, configsettings::kBatchSize.name, batchSize);
    if (!attempt(ConfigUnit::BatchSize, config, configsettings::kBatchSize.name,
                 [&] { game.setSpriteBatches(std::make_unique<SpriteBatchRegistry>(batchSize)); }))
        return false;
    // Without "max_fps" the cap follows the display (kMaxFpsOfDisplay).
    int maxFps = game.maxFps;
    const bool capGiven = xml::readInt(config, configsettings::kMaxFps.name, maxFps);
    if (!attempt(ConfigUnit::MaxFps, config, configsettings::kMaxFps.name, [&] {
            if (capGiven && maxFps < 0)
                throw BaseException("Invalid max_fps " + std::to_string(maxFps) + ": it must be 0 (no cap) or more!");
        }))
        return false;
    if (capGiven)
        game.maxFps = maxFps;
    xml::readBool(config, configsettings::kFullScreen.name, game.startFullScreen);

    std::string directory;
    xml::readText(config, configsettings::kTextures.name, directory);
    // Without a GL context (the checker, a headless run) textures are decoded and measured only.
    game.setTextureCache(std::make_unique<TextureCache>(directory, observer == nullptr && !game.headless));
    return true;
}

bool ConfigurationStep::loadSprites(TiXmlElement* config) {
    // Sprites load their textures through the cache, which is why the cache exists first.
    std::string spriteSet;
    if (xml::readText(config, configsettings::kSpriteSet.name, spriteSet)) {
        nameFile(ConfigUnit::SpriteSet, spriteSet, config, configsettings::kSpriteSet.name);
        return attempt(ConfigUnit::SpriteSet, config, configsettings::kSpriteSet.name,
                       [&] { game.setSpriteManager(std::make_unique<SpriteManager>(spriteSet, *game.getTextureCache(), observer)); });
    }
    if (TiXmlElement* firstSprite = config->FirstChildElement("sprite")) {
        return attempt(ConfigUnit::SpriteSet, firstSprite, nullptr, [&] {
            game.setSpriteManager(std::make_unique<SpriteManager>(TiXmlHandle(firstSprite), *game.getTextureCache(), observer));
        });
    }
    return fail(ConfigUnit::SpriteSet, config, nullptr, startup::kNoSprites);
}

bool ConfigurationStep::loadSounds(TiXmlElement* config) {
    std::string soundSet;
    if (!xml::readText(config, configsettings::kSoundSet.name, soundSet))
        return fail(ConfigUnit::SoundSet, config, nullptr, startup::kNoSoundSet);
    nameFile(ConfigUnit::SoundSet, soundSet, config, configsettings::kSoundSet.name);
    return attempt(ConfigUnit::SoundSet, config, configsettings::kSoundSet.name,
                   [&] { game.setSoundManager(std::make_unique<SoundManager>(soundSet, observer)); });
}

bool ConfigurationStep::loadScenes(TiXmlElement* config) {
    TiXmlElement* sceneList = config->FirstChildElement("scenes");
    if (sceneList == nullptr)
        return fail(ConfigUnit::SceneList, config, nullptr, startup::kNoScenes);
    std::string defaultId;
    const bool hasDefault = xml::readText(sceneList, "default", defaultId);
    for (TiXmlElement* element = sceneList->FirstChildElement(); element != nullptr;
         element = element->NextSiblingElement()) {
        IScene* scene = game.createScene(element->ValueStr());
        if (observer != nullptr)
            observer->sceneMade(element, scene);
        if (scene == nullptr)
            continue;
        // Owned by the world before loading, so a scene whose load fails is destroyed with it.
        game.adoptScene(std::unique_ptr<IScene>(scene));
        auto* baseScene = dynamic_cast<BaseScene*>(scene);
        if (observer != nullptr && baseScene != nullptr)
            baseScene->setLoadObserver(observer);
        if (!attempt(ConfigUnit::Scene, element, nullptr, [&] { scene->load(TiXmlHandle(element)); }))
            return false;
        if (observer != nullptr)
            observer->sceneLoaded(element, scene);
        if (hasDefault && scene->getId() == defaultId)
            game.setCurrentScene(scene);
    }
    if (game.getScenes().empty())
        return fail(ConfigUnit::SceneList, sceneList, nullptr, startup::kNoValidScenes);
    if (game.getCurrentScene() == nullptr)
        game.setCurrentScene(game.getScenes().front());
    return true;
}

} // namespace

void configureGame(GameWorld& game, TiXmlDocument& document, ConfigurationObserver* observer) {
    ConfigurationStep(game, observer).run(document);
}
