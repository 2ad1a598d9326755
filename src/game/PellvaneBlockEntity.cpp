// PellvaneBlockEntity: loading, the tint rule, the reaction to a hit and breaking.
#include "game/PellvaneBlockEntity.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/SettingReader.h"
#include "scene/SceneContext.h"
#include "collision/CollisionResult.h"
#include "collision/ICollider.h"
#include "game/PellvaneBlockEffect.h"
#include "game/PellvaneDebrisEffect.h"
#include "graphics/Sprite.h"
#include "graphics/SpriteManager.h"
#include "game/PlayField.h"
#include "scene/BaseScene.h"
#include "base/XmlAttributes.h"
#include "sound/SoundManager.h"

namespace {
const char* const kSource = "PellvaneBlockEntity";

// Effects: a hit that leaves the block standing, and the break.
constexpr float kHitEffectLifetime = 0.4f;
constexpr float kHitEffectEndScale = 1.5f;
constexpr float kBreakEffectLifetime = 0.6f;
constexpr float kBreakEffectEndScale = 2.0f;
constexpr float kEffectEndAlpha = 0.0f;
// A ring off an unbreakable block: a faint, small flash.
constexpr float kRingEffectEndScale = 1.2f;
// How far a blast reaches past the exploding block's box: the gap between two neighbours of a
// grid, with room to spare.
constexpr float kBlastReach = 6.0f;
} // namespace

void PellvaneBlockEntity::load(const TiXmlHandle& handle, IScene* owner) {
    BoxEntity::load(handle, owner);
    const TiXmlElement* element = handle.ToElement();
    if (element == nullptr)
        throw EntityException(kSource, "Invalid xml element!");
    using namespace blocksettings;
    std::string capsuleName;
    SettingReader<EntityException>(element, kSource, loadObserverOf(owner))(kHealth, initialHealth)(
        kUnbreakable, unbreakable)(kExplosive, explosive)(kCapsule, capsuleName);
    capsule = capsuleName.empty() ? std::nullopt : powerUpNamed(capsuleName);
    if (!capsuleName.empty() && !capsule)
        throw EntityException(kSource, unknownPowerUp(capsuleName));
    health = initialHealth;
    applyTint();
    const Rect area = playFieldOf(owner, kSource).getGameArea();
    position.x += area.x;
    position.y += area.y;
}

void PellvaneBlockEntity::applyTint() {
    // The metal and the bombs are drawn in their own colours.
    if (unbreakable || explosive)
        return;
    const std::vector<Colour>& colours = playFieldOf(scene, kSource).getBlockColours();
    if (colours.empty())
        return;
    // Health 0 and below wrap round as unsigned numbers, as the colour list is a cycle.
    const uint32_t index = static_cast<uint32_t>(health) - 1u;
    colour = colours[index % colours.size()];
}

void PellvaneBlockEntity::reset() {
    BoxEntity::reset();
    health = initialHealth;
    applyTint();
}

BallBounce PellvaneBlockEntity::ballMet(const BallContact&) {
    const bool cycleColour = health == 2;
    if (!takeHit())
        return {BallBounce::Metal};
    BallBounce answer{BallBounce::Block};
    answer.cycleColour = cycleColour;
    return answer;
}

bool PellvaneBlockEntity::takeHit() {
    IPlayField& field = playFieldOf(scene, kSource);
    SoundManager* sounds = field.getServices().sounds;
    if (unbreakable) {
        const std::string& ring = field.getSettings().blockSounds.unbreakable;
        if (!ring.empty() && sounds != nullptr)
            sounds->playSound(ring);
        scene->addEntity(std::make_unique<PellvaneBlockEffect>(getSpriteProperties(), kHitEffectLifetime,
                                                               kEffectEndAlpha, kRingEffectEndScale, kRingEffectEndScale));
        return false;
    }
    const std::string* sound = field.getSettings().blockSounds.hit(health);
    if (sound != nullptr && sounds != nullptr)
        sounds->playSound(*sound);

    // The copy shows the tint from before the hit.
    if (health != 1)
        scene->addEntity(std::make_unique<PellvaneBlockEffect>(getSpriteProperties(), kHitEffectLifetime,
                                                               kEffectEndAlpha, kHitEffectEndScale, kHitEffectEndScale));
    --health;
    if (health == 0)
        breakBlock();
    else
        applyTint();
    return true;
}

void PellvaneBlockEntity::breakBlock() {
    if (!enabled || unbreakable)
        return;
    enabled = false;
    visible = false;
    if (scene != nullptr)
        scene->addEntity(std::make_unique<PellvaneBlockEffect>(getSpriteProperties(), kBreakEffectLifetime,
                                                               kEffectEndAlpha, kBreakEffectEndScale, kBreakEffectEndScale));
    throwDebris();
    IPlayField& field = playFieldOf(scene, kSource);
    field.blockBroken({kPointsPerHealth * initialHealth, getCentre(), layer, capsule});
    if (explosive)
        explode(field);
}

void PellvaneBlockEntity::explode(IPlayField& field) {
    const std::string& boom = field.getSettings().blockSounds.explosive;
    if (SoundManager* sounds = field.getServices().sounds; sounds != nullptr && !boom.empty())
        sounds->playSound(boom);
    // Every standing block whose box comes within kBlastReach of this one breaks, and an explosive
    // one among them carries the blast on: this block is already out, so a chain never loops.
    const Rect blast{position.x - kBlastReach, position.y - kBlastReach, width + 2.0f * kBlastReach,
                     height + 2.0f * kBlastReach};
    // By index: every break adds its effects to the list.
    const std::vector<IEntity*>& entities = scene->getEntities();
    for (std::size_t i = 0; i < entities.size(); ++i) {
        auto* other = dynamic_cast<PellvaneBlockEntity*>(entities[i]);
        if (other == nullptr || other == this || !other->holdsLevelOpen())
            continue;
        const Vector2 at = other->getPosition();
        const Vector2 size = other->getSize();
        if (at.x < blast.x + blast.width && at.x + size.x > blast.x && at.y < blast.y + blast.height &&
            at.y + size.y > blast.y) {
            other->health = 0;
            other->breakBlock();
        }
    }
}

void PellvaneBlockEntity::throwDebris() {
    const DebrisSettings& debris = playFieldOf(scene, kSource).getSettings().debris;
    SpriteManager* sprites = contextOf(scene).sprites;
    Sprite* shard = debris.count > 0 && sprites != nullptr ? sprites->getSprite(debris.sprite) : nullptr;
    if (shard == nullptr || shard->getFrameCount() == 0)
        return;
    // The shards fly out evenly round the block's centre, upwards a little more, each turned by a
    // fixed amount from the block's place so that no two breaks look alike; no randomness, so runs
    // stay reproducible.
    SpriteProperties look = getSpriteProperties();
    look.sprite = shard;
    look.frame = 0;
    look.scale = {1.0f, 1.0f};
    look.rotation = 0.0f;
    look.width = static_cast<float>(shard->getFrame(0).getWidth());
    look.height = static_cast<float>(shard->getFrame(0).getHeight());
    look.layer += 1;
    const Vector2 centre = position + Vector2{width * 0.5f - look.width * 0.5f, height * 0.5f - look.height * 0.5f};
    const float twist = std::fmod(position.x * 0.37f + position.y * 0.61f, 1.0f);
    for (int i = 0; i < debris.count; ++i) {
        const float angle = 6.2831853f * (static_cast<float>(i) + twist) / static_cast<float>(debris.count);
        const float reach = 0.6f + 0.4f * std::fmod(twist + static_cast<float>(i) * 0.618f, 1.0f);
        const Vector2 velocity{std::cos(angle) * debris.speed * reach,
                               std::sin(angle) * debris.speed * reach - debris.speed * 0.5f};
        look.position = centre + Vector2{std::cos(angle) * width * 0.3f, std::sin(angle) * height * 0.3f};
        scene->addEntity(std::make_unique<PellvaneDebrisEffect>(look, debris.lifetime, velocity, debris.gravity,
                                                                (i % 2 == 0 ? 1.0f : -1.0f) * (240.0f + 300.0f * reach)));
    }
}
