// PowerUps: reading the kinds, drawing the capsule a block releases, and the effect timers.
#include "game/PowerUps.h"

#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/LoadDiagnostics.h"
#include "base/SettingReader.h"
#include "base/XmlAttributes.h"
#include "graphics/SpriteManager.h"
#include "sound/SoundManager.h"

namespace {
const char* const kNames[kPowerUpCount] = {"wide", "narrow", "multi", "slow", "sticky", "life"};
} // namespace

const char* powerUpName(PowerUp kind) {
    return kNames[static_cast<std::size_t>(kind)];
}

std::optional<PowerUp> powerUpNamed(const std::string& name) {
    for (std::size_t i = 0; i < kPowerUpCount; ++i)
        if (name == kNames[i])
            return static_cast<PowerUp>(i);
    return std::nullopt;
}

void PowerUps::read(const TiXmlElement* element, SpriteManager* sprites, SoundManager* sounds, const char* source,
                    LoadDiagnostics* diagnostics) {
    looks = {};
    if (element == nullptr)
        return;
    using namespace powerupsettings;
    SettingReader<SceneException>(element, source, diagnostics)(kFallSpeed, fallSpeed)(kChance, chance)(
        kWideFactor, wideFactor)(kNarrowFactor, narrowFactor)(kSlowFactor, slowFactor)(kMaxBalls, maxBalls);
    for (const TiXmlElement* child = element->FirstChildElement("power_up"); child != nullptr;
         child = child->NextSiblingElement("power_up")) {
        try {
            readKind(child, sprites, sounds, source);
        } catch (const BaseException& error) {
            if (!reportLoadError(diagnostics, child, error))
                throw;
        }
    }
}

void PowerUps::readKind(const TiXmlElement* child, SpriteManager* sprites, SoundManager* sounds, const char* source) {
    using namespace powerupsettings;
    std::string name;
    std::string spriteId;
    PowerUpLook read;
    read.duration = kDefaultPowerUpDuration;
    SettingReader<SceneException>(child, source)(kKind, name)(kSprite, spriteId)(kSound, read.sound)(kDuration,
                                                                                                    read.duration);
    const std::optional<PowerUp> kind = powerUpNamed(name);
    if (!kind)
        throw SceneException(source, "Unknown power-up kind \"" + name +
                                         "\" (wide, narrow, multi, slow, sticky or life)!");
    if (spriteId.empty())
        throw SceneException(source, "No sprite for the power-up \"" + name + "\"!");
    read.sprite = sprites != nullptr ? sprites->getSprite(spriteId) : nullptr;
    if (read.sprite == nullptr)
        throw SceneException(source, spriteNotFound(spriteId));
    if (!read.sound.empty() && sounds != nullptr && !sounds->hasSound(read.sound))
        throw SoundException(read.sound, "No sound with that ID to play!");
    read.defined = true;
    looks[static_cast<std::size_t>(*kind)] = read;
}

bool PowerUps::any() const {
    for (const PowerUpLook& entry : looks)
        if (entry.defined)
            return true;
    return false;
}

bool PowerUps::isTimed(PowerUp kind) {
    return kind == PowerUp::Wide || kind == PowerUp::Narrow || kind == PowerUp::Slow || kind == PowerUp::Sticky;
}

std::optional<PowerUp> PowerUps::draw(const std::string& blockCapsule, float levelChance) {
    if (!blockCapsule.empty()) {
        const std::optional<PowerUp> kind = powerUpNamed(blockCapsule);
        return kind && look(*kind).defined ? kind : std::nullopt;
    }
    if (!(levelChance > 0.0f) || !any())
        return std::nullopt;
    // A small linear congruential generator of our own: the same sequence on every machine and
    // every standard library, so the soak's counts never change under a new compiler.
    auto next = [this] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 16777216.0f;
    };
    if (next() >= levelChance)
        return std::nullopt;
    std::size_t defined = 0;
    for (const PowerUpLook& entry : looks)
        defined += entry.defined ? 1 : 0;
    std::size_t pick = static_cast<std::size_t>(next() * static_cast<float>(defined));
    for (std::size_t i = 0; i < kPowerUpCount; ++i) {
        if (!looks[i].defined)
            continue;
        if (pick == 0)
            return static_cast<PowerUp>(i);
        --pick;
    }
    return std::nullopt;
}

void PowerUps::start(PowerUp kind) {
    if (!isTimed(kind))
        return;
    if (kind == PowerUp::Wide)
        remaining[static_cast<std::size_t>(PowerUp::Narrow)] = 0.0f;
    if (kind == PowerUp::Narrow)
        remaining[static_cast<std::size_t>(PowerUp::Wide)] = 0.0f;
    remaining[static_cast<std::size_t>(kind)] = look(kind).duration;
}

bool PowerUps::tick(float dt) {
    bool ended = false;
    for (float& left : remaining) {
        if (left > 0.0f) {
            left -= dt;
            if (!(left > 0.0f)) {
                left = 0.0f;
                ended = true;
            }
        }
    }
    return ended;
}

void PowerUps::endAll() {
    remaining = {};
}
