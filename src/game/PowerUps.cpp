// PowerUps: reading the kinds, drawing the capsule a block releases, and the effect timers.
#include "game/PowerUps.h"

#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/LoadDiagnostics.h"
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
    for (const std::string& fault : {xml::readFloatInRange(element, "fall_speed", fallSpeed, 1.0f, 10000.0f),
                                     xml::readFloatInRange(element, "chance", chance, 0.0f, 1.0f),
                                     xml::readFloatInRange(element, "wide_factor", wideFactor, 0.05f, 10.0f),
                                     xml::readFloatInRange(element, "narrow_factor", narrowFactor, 0.05f, 10.0f),
                                     xml::readFloatInRange(element, "slow_factor", slowFactor, 0.05f, 10.0f),
                                     xml::readIntInRange(element, "max_balls", maxBalls, 1, kMostBalls)})
        if (!fault.empty())
            throw SceneException(source, fault);
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
    std::string name;
    xml::readText(child, "kind", name);
    const std::optional<PowerUp> kind = powerUpNamed(name);
    if (!kind)
        throw SceneException(source, "Unknown power-up kind \"" + name +
                                         "\" (wide, narrow, multi, slow, sticky or life)!");
    PowerUpLook& entry = looks[static_cast<std::size_t>(*kind)];
    std::string spriteId;
    if (!xml::readText(child, "sprite", spriteId) || spriteId.empty())
        throw SceneException(source, "No sprite for the power-up \"" + name + "\"!");
    entry.sprite = sprites != nullptr ? sprites->getSprite(spriteId) : nullptr;
    if (entry.sprite == nullptr)
        throw SceneException(source, spriteNotFound(spriteId));
    entry.sound.clear();
    xml::readText(child, "sound", entry.sound);
    if (!entry.sound.empty() && sounds != nullptr && !sounds->hasSound(entry.sound))
        throw SoundException(entry.sound, "No sound with that ID to play!");
    entry.duration = kDefaultPowerUpDuration;
    const std::string fault = xml::readFloatInRange(child, "duration", entry.duration, 0.0f, 3600.0f);
    if (!fault.empty())
        throw SceneException(source, fault);
    entry.defined = true;
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
