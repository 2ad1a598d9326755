// Reading the power-ups: the numbers through their declarations, each kind from its row.
#include "game/PowerUps.h"

#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/LoadDiagnostics.h"
#include "base/SettingReader.h"
#include "graphics/SpriteManager.h"
#include "sound/SoundManager.h"

namespace {
// The sprite `id` names; throws for one the set lacks.
Sprite* findSprite(SpriteManager* sprites, const std::string& id, const char* source) {
    Sprite* sprite = sprites != nullptr ? sprites->getSprite(id) : nullptr;
    if (sprite == nullptr)
        throw SceneException(source, spriteNotFound(id));
    return sprite;
}

void readKind(const TiXmlElement* child, PowerUpSettings& settings, PowerUpLooks& looks, SpriteManager* sprites,
              SoundManager* sounds, Sprite* shot, const char* source) {
    using namespace powerupsettings;
    std::string name;
    std::string spriteId;
    PowerUpLook look;
    float duration = kDefaultPowerUpDuration;
    float weight = 1.0f;
    SettingReader<SceneException>(child, source)(kKind, name)(kSprite, spriteId)(kSound, look.sound)(kDuration, duration)(
        kWeight, weight);
    const std::optional<PowerUp> kind = powerUpNamed(name);
    if (!kind)
        throw SceneException(source, unknownPowerUp(name));
    if (spriteId.empty())
        throw SceneException(source, "No sprite for the power-up \"" + name + "\"!");
    look.sprite = findSprite(sprites, spriteId, source);
    if (kindOf(*kind).change == Change::Guns) {
        if (shot == nullptr)
            throw SceneException(source, "No shot_sprite for the power-up \"" + name + "\"!");
        look.shot = shot;
    }
    if (!look.sound.empty() && sounds != nullptr && !sounds->hasSound(look.sound))
        throw SoundException(look.sound, "No sound with that ID to play!");
    const auto index = static_cast<std::size_t>(*kind);
    looks[index] = look;
    settings.defined[index] = true;
    settings.duration[index] = duration;
    settings.weight[index] = weight;
}
} // namespace

void readPowerUps(const TiXmlElement* element, PowerUpSettings& settings, PowerUpLooks& looks, SpriteManager* sprites,
                  SoundManager* sounds, const char* source, LoadDiagnostics* diagnostics) {
    looks = {};
    settings.defined = {};
    settings.duration = {};
    settings.weight.fill(1.0f);
    if (element == nullptr)
        return;
    using namespace powerupsettings;
    SettingReader<SceneException> read(element, source, diagnostics);
    std::string shotId;
    read(kFallSpeed, settings.fallSpeed)(kChance, settings.chance)(kMaxBalls, settings.maxBalls)(kPoints, settings.points);
    read(kShotSprite, shotId)(kShotSpeed, settings.shotSpeed)(kShotCooldown, settings.shotCooldown);
    Sprite* shot = nullptr;
    if (!shotId.empty()) {
        try {
            shot = findSprite(sprites, shotId, source);
        } catch (const BaseException& error) {
            if (!reportLoadError(diagnostics, element, error))
                throw;
        }
    }
    // The factors of the kinds that change a size or a speed, in the order of the table.
    for (std::size_t i = 0; i < kPowerUpCount; ++i)
        if (kPowerUpFactors[i].setting != nullptr)
            read(*kPowerUpFactors[i].setting, settings.factor[i]);
    for (const TiXmlElement* child = element->FirstChildElement("power_up"); child != nullptr;
         child = child->NextSiblingElement("power_up")) {
        try {
            readKind(child, settings, looks, sprites, sounds, shot, source);
        } catch (const BaseException& error) {
            if (!reportLoadError(diagnostics, child, error))
                throw;
        }
    }
}
