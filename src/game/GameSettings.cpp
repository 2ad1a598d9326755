// Reading a game scene's settings and a level file's through their declarations.
#include "game/GameSettings.h"

#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/SettingReader.h"
#include "base/XmlAttributes.h"
#include "sound/SoundManager.h"

using namespace gamesettings;

void readGameSettings(const TiXmlElement* element, GameSettings& settings, const char* source,
                      LoadDiagnostics* diagnostics) {
    MatchSettings& match = settings.match;
    SettingReader<SceneException> read(element, source, diagnostics);
    read(kLives, match.initialLives)(kLoadedDelay, match.loadedDelay)(kClearedDelay, match.clearedDelay);
    read(kLostDelay, match.lostDelay)(kKeepBestScore, settings.keepBestScore)(kAllClearedDelay, match.allClearedDelay);
    read(kLapSpeedUp, match.lapSpeedUp)(kLifePerLevel, match.lifePerLevel)(kExtraLifeEvery, match.extraLifeEvery);
    read(kChainStep, match.chainStep)(kChainMost, match.chainMost)(kBonusPerLife, match.bonusPerLife);
    read(kBonusPar, match.bonusPar)(kBonusPerSecond, match.bonusPerSecond)(kAllClearedWaits, match.allClearedWaits);
    read(kStepRate, settings.stepRate);

    if (const TiXmlElement* area = element->FirstChildElement("game_area")) {
        SettingReader<SceneException>(area, source, diagnostics)(kAreaX, settings.gameArea.x)(
            kAreaY, settings.gameArea.y)(kAreaWidth, settings.gameArea.width)(kAreaHeight, settings.gameArea.height);
    }

    std::vector<Colour> colours;
    if (const TiXmlElement* list = element->FirstChildElement("block_colours")) {
        for (const TiXmlElement* child = list->FirstChildElement("colour"); child != nullptr;
             child = child->NextSiblingElement("colour"))
            colours.push_back(readChannels<SceneException>(child, source, diagnostics));
    }
    // Without a colour of its own the scene keeps the default ones.
    if (!colours.empty())
        settings.blockColours = colours;

    if (const TiXmlElement* debris = element->FirstChildElement("debris")) {
        DebrisSettings& d = settings.debris;
        SettingReader<SceneException>(debris, source, diagnostics)(kDebrisSprite, d.sprite)(kDebrisCount, d.count)(
            kDebrisSpeed, d.speed)(kDebrisLifetime, d.lifetime)(kDebrisGravity, d.gravity);
    }
    readGamepadSettings(element, settings.gamepad, source, diagnostics);
}

void readLevelSettings(const TiXmlElement* root, LevelSettings& settings, const std::string& path, const char* source,
                       LoadDiagnostics* diagnostics) {
    SettingReader<SceneException>(root, source, diagnostics, "Level file " + path + ": ")(kBallSpeed,
                                                                                           settings.ballSpeed)(
        kPaddleWidth, settings.paddleWidth)(kCapsuleChance, settings.capsuleChance);
}

const std::string* BlockSounds::hit(int health) const {
    if (health < 1 || static_cast<std::size_t>(health) > byHealth.size() || byHealth[health - 1].empty())
        return nullptr;
    return &byHealth[health - 1];
}

void readBlockSounds(const TiXmlElement* element, BlockSounds& blockSounds, const SoundManager* sounds,
                     const char* source, LoadDiagnostics* diagnostics) {
    const TiXmlElement* list = element->FirstChildElement("block_sounds");
    if (list == nullptr)
        return;
    SettingReader<SceneException>(list, source, diagnostics)(kUnbreakableSound, blockSounds.unbreakable)(
        kExplosiveSound, blockSounds.explosive);
    for (std::string* kind : {&blockSounds.unbreakable, &blockSounds.explosive}) {
        if (kind->empty() || sounds == nullptr || sounds->hasSound(*kind))
            continue;
        const SoundException error(*kind, "No sound with that ID to play!");
        if (!reportLoadError(diagnostics, list, error))
            throw error;
        kind->clear();
    }
    std::vector<std::string> byHealth;
    for (const TiXmlElement* child = list->FirstChildElement("sound"); child != nullptr;
         child = child->NextSiblingElement("sound")) {
        std::string id;
        xml::readElementText(child, id);
        byHealth.push_back(id);
    }
    if (!byHealth.empty())
        blockSounds.byHealth = byHealth;
}
