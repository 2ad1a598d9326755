// The game's moving backdrop: a row of particle emitters along the bottom of the window, each
// sending up a column of tinted sprites whose height rises and falls like a slow wave.
#pragma once

#include <cstdint>
#include <vector>

#include "collision/Vector2.h"
#include "base/Colour.h"
#include "base/Setting.h"
#include "scene/IEntity.h"

class Sprite;

// One particle: the top-left corner of its quad, the seconds it has lived and may live.
struct Particle {
    float x;
    float y;
    float age;
    float lifetime;
};

// One column's source. Its particles are kept oldest first.
struct ParticleEmitter {
    float x;
    float y;
    std::vector<Particle> particles;
    // Phase in degrees, kept within 0 to 360.
    float angle;
    // Seconds until the next spawn.
    float spawnTimer;
};

// Attributes of a "background_effect" element and of its children. Particles live as long as
// "particle_age" says, one at a time from each emitter, so the ages and the count are bounded.
namespace backgroundsettings {
using K = ValueKind;
inline constexpr Setting kSprite{"sprite", K::SpriteId, "required", "the particle's picture"};
inline constexpr Setting kWidth{
    "width", K::Float, "the frame's width", "drawn width of a particle; with `gap`, the emitters' spacing", 0, 4096};
inline constexpr Setting kHeight{"height", K::Float, "the frame's height", "drawn height of a particle", 0, 4096};
inline constexpr Setting kLayer{"layer", K::Integer, "-1000", "drawing order", -1000000, 1000000};
inline constexpr Setting kMaxParticles{"max_particles", K::Integer, "400", "most particles alive at once", 0, 100000};
inline constexpr Setting kGap{"gap", K::Float, "0", "pixels between two emitters", -4096, 4096};
inline constexpr Setting kVelocity{"velocity", K::Float, "0", "upward speed, pixels per second", -10000, 10000};
inline constexpr Setting kVariationRate{
    "variation_rate", K::Float, "90", "degrees per second each emitter's angle turns", -100000, 100000};
// "spawn_delay" and "particle_age"
inline constexpr Setting kSpawnMin{"min", K::Float, "0.1", "fewest seconds between two spawns of an emitter", 0, 3600};
inline constexpr Setting kSpawnMax{"max", K::Float, "0.2", "most seconds between two spawns of an emitter", 0, 3600};
inline constexpr Setting kAgeMin{"min", K::Float, "1", "life in seconds at an emitter sine of 0", 0, 600};
inline constexpr Setting kAgeMax{"max", K::Float, "3", "life in seconds at an emitter sine of 0.5", 0, 600};
// "colours"
inline constexpr Setting kStartColour{"start", K::Colour, "00000000", "colour at birth"};
inline constexpr Setting kEndColour{"end", K::Colour, "00000000", "colour at the end of life"};
} // namespace backgroundsettings

// `sprite` belongs to the sprite manager. All particles go into the one batch of the sprite's
// texture, so the configuration's batch size should cover maxParticles plus the other quads of
// that texture (the batch grows past it rather than dropping quads).
class PellvaneBackgroundEFfectEntity : public IEntity {
public:
    // More emitters than this are never made, however small the spacing: the row is at most
    // this many columns wide.
    static constexpr int32_t kMaxEmitters = 65536;

    PellvaneBackgroundEFfectEntity() = default;
    ~PellvaneBackgroundEFfectEntity() override;

    void load(const TiXmlHandle& handle, IScene* scene) override;
    void update(float dt) override;
    void postUpdate(float) override {}
    void render(SpriteBatch* batch) override;
    // Every particle vanishes; the emitters get new random phases and timers.
    void reset() override;
    void onCollision(CollisionResult*) override {}
    bool isActive() override { return true; }
    bool isVisible() override { return true; }
    const Vector2& getPosition() override;
    int32_t getLayer() override { return layer; }
    IRenderable* getRenderable() override;
    ICollider* getCollider() override { return nullptr; }
    IScene* getScene() override { return scene; }
    void setScene(IScene* newScene) override { scene = newScene; }
    // Has no effect: the effect always spans the window.
    virtual void setPosition(const Vector2&) {}

    void createEmitters();
    void clearEmitters();
    const std::vector<ParticleEmitter>& getEmitters() const { return emitters; }
    std::vector<ParticleEmitter>& getEmitters() { return emitters; }

    // The lifetime a particle spawned at this phase gets: particleAgeMin + 2 s (particleAgeMax -
    // particleAgeMin) with s the sine of the angle, so from below zero (never drawn) up to
    // beyond particleAgeMax.
    float lifetimeAt(float angleDegrees) const;
    uint32_t getParticleCount() const { return particleCount; }

    int32_t maxParticles = 400;
    uint32_t particleCount = 0;
    float spawnDelayMin = 0.1f;
    float spawnDelayMax = 0.2f;
    int32_t layer = -1000;
    IScene* scene = nullptr;
    // Without a "velocity" attribute the particles stay where they are born.
    float velocity = 0.0f;
    float particleAgeMin = 1.0f;
    float particleAgeMax = 3.0f;
    float variationRate = 90.0f;
    Sprite* sprite = nullptr;
    float width = 0.0f;
    float height = 0.0f;
    float gap = 0.0f;
    Colour startColour{0.0f, 0.0f, 0.0f, 0.0f};
    Colour endColour{0.0f, 0.0f, 0.0f, 0.0f};

private:
    float nextSpawnDelay() const;

    std::vector<ParticleEmitter> emitters;
};
