// Reading a game scene's settings and a level file's through their declarations.
#include "game/GameSettings.h"

#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/SettingReader.h"

using namespace gamesettings;

void readGameSettings(const TiXmlElement* element, GameSettings& settings, const char* source,
                      LoadDiagnostics* diagnostics) {
    MatchSettings& match = settings.match;
    SettingReader<SceneException> read(element, source, diagnostics);
    read(kLives, match.initialLives)(kLoadedDelay, match.loadedDelay)(kClearedDelay, match.clearedDelay);
    read(kLostDelay, match.lostDelay)(kKeepBestScore, settings.keepBestScore)(kAllClearedDelay, match.allClearedDelay);
    read(kLapSpeedUp, match.lapSpeedUp);

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
}

void readLevelSettings(const TiXmlElement* root, LevelSettings& settings, const std::string& path, const char* source,
                       LoadDiagnostics* diagnostics) {
    SettingReader<SceneException>(root, source, diagnostics, "Level file " + path + ": ")(kBallSpeed,
                                                                                           settings.ballSpeed)(
        kPaddleWidth, settings.paddleWidth)(kCapsuleChance, settings.capsuleChance);
}
