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
#include "game/PellvaneBallEntity.h"
#include "game/PellvaneBlockEffect.h"
#include "game/PellvaneDebrisEffect.h"
#include "graphics/Sprite.h"
#include "graphics/SpriteManager.h"
#include "game/PellvaneGameScene.h"
#include "game/PowerUps.h"
#include "base/XmlAttributes.h"
#include "sound/SoundManager.h"

namespace {
const char* const kSource = "PellvaneBlockEntity";

// The sound of a hit, chosen by the health before it.
const char* const kRedSound = "red.wav";
const char* const kOrangeSound = "orange.wav";
const char* const kYellowSound = "yellow.wav";

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

PellvaneBallEntity* ballOf(const ICollider* collider) {
    return collider != nullptr ? dynamic_cast<PellvaneBallEntity*>(collider->getOwner()) : nullptr;
}
} // namespace

const char* blockHitSound(int health) {
    switch (health) {
    case 3:
        return kRedSound;
    case 2:
        return kOrangeSound;
    case 1:
        return kYellowSound;
    default:
        return nullptr;
    }
}

void PellvaneBlockEntity::load(const TiXmlHandle& handle, IScene* owner) {
    BoxEntity::load(handle, owner);
    const TiXmlElement* element = handle.ToElement();
    if (element == nullptr)
        throw EntityException(kSource, "Invalid xml element!");
    using namespace blocksettings;
    SettingReader<EntityException>(element, kSource, loadObserverOf(owner))(kHealth, initialHealth)(
        kUnbreakable, unbreakable)(kExplosive, explosive)(kCapsule, capsule);
    if (!capsule.empty() && !powerUpNamed(capsule))
        throw EntityException(kSource, "Unknown power-up kind \"" + capsule +
                                           "\" (wide, narrow, multi, slow, sticky or life)!");
    health = initialHealth;
    applyTint();
    const Rect area = gameSceneOf(owner, kSource)->getGameArea();
    position.x += area.x;
    position.y += area.y;
}

void PellvaneBlockEntity::applyTint() {
    // The metal and the bombs are drawn in their own colours.
    if (unbreakable || explosive)
        return;
    const std::vector<Colour>& colours = gameSceneOf(scene, kSource)->getBlockColours();
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

void PellvaneBlockEntity::onCollision(CollisionResult* collision) {
    if (collision == nullptr)
        return;
    PellvaneBallEntity* ball = ballOf(collision->first);
    if (ball == nullptr)
        ball = ballOf(collision->second);
    if (ball == nullptr)
        return;

    PellvaneGameScene* game = gameSceneOf(scene, kSource);
    SoundManager* sounds = game->getServices().sounds;
    if (unbreakable) {
        const std::string& ring = game->getBlockKindSounds().unbreakable;
        if (!ring.empty() && sounds != nullptr)
            sounds->playSound(ring);
        scene->addEntity(std::make_unique<PellvaneBlockEffect>(getSpriteProperties(), kHitEffectLifetime,
                                                               kEffectEndAlpha, kRingEffectEndScale, kRingEffectEndScale));
        return;
    }
    const std::string* sound = game->getBlockHitSound(health);
    if (health == 2)
        ball->cycleColour();
    if (sound != nullptr && sounds != nullptr)
        sounds->playSound(*sound);

    // The copy shows the tint from before the hit.
    if (health != 1 && scene != nullptr)
        scene->addEntity(std::make_unique<PellvaneBlockEffect>(getSpriteProperties(), kHitEffectLifetime,
                                                               kEffectEndAlpha, kHitEffectEndScale, kHitEffectEndScale));
    --health;
    if (health == 0)
        breakBlock();
    else
        applyTint();
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
    PellvaneGameScene* game = gameSceneOf(scene, kSource);
    game->addScore(kPointsPerHealth * initialHealth);
    game->blockBroken(*this);
    if (explosive)
        explode(*game);
}

void PellvaneBlockEntity::explode(PellvaneGameScene& game) {
    const std::string& boom = game.getBlockKindSounds().explosive;
    if (SoundManager* sounds = game.getServices().sounds; sounds != nullptr && !boom.empty())
        sounds->playSound(boom);
    // Every standing block whose box comes within kBlastReach of this one breaks, and an explosive
    // one among them carries the blast on: this block is already out, so a chain never loops.
    const Rect blast{position.x - kBlastReach, position.y - kBlastReach, width + 2.0f * kBlastReach,
                     height + 2.0f * kBlastReach};
    // By index: every break adds its effects to the list.
    for (std::size_t i = 0; i < game.getEntities().size(); ++i) {
        auto* other = dynamic_cast<PellvaneBlockEntity*>(game.getEntities()[i]);
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
    const DebrisSettings& debris = gameSceneOf(scene, kSource)->getDebris();
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
