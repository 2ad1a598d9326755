// PellvaneBackgroundEFfectEntity: reading the element, laying out the emitters, spawning,
// ageing and rising particles, and drawing one tinted quad per particle.
#include "game/PellvaneBackgroundEFfectEntity.h"

#include <cmath>
#include <cstdlib>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/SettingReader.h"
#include "scene/BaseScene.h"
#include "scene/SceneContext.h"
#include "game/Interpolate.h"
#include "graphics/Matrix3.h"
#include "graphics/Sprite.h"
#include "graphics/SpriteManager.h"
#include "base/XmlAttributes.h"

namespace {

const char* const kSource = "PellvaneBackgroundEFfectEntity";
constexpr float kFullTurn = 360.0f;
constexpr double kPi = 3.14159265358979323846;
const Vector2 kOrigin{0.0f, 0.0f};

// A uniform value in 0 to 1. Divides by the C library's own RAND_MAX: a fixed 32767 would give
// values far above 1 where RAND_MAX is 2^31 - 1, as it is here.
float random01() {
    return static_cast<float>(std::rand() / static_cast<double>(RAND_MAX));
}

} // namespace

PellvaneBackgroundEFfectEntity::~PellvaneBackgroundEFfectEntity() {
    clearEmitters();
}

const Vector2& PellvaneBackgroundEFfectEntity::getPosition() {
    return kOrigin;
}

IRenderable* PellvaneBackgroundEFfectEntity::getRenderable() {
    return sprite;
}

void PellvaneBackgroundEFfectEntity::load(const TiXmlHandle& handle, IScene* owner) {
    scene = owner;
    TiXmlElement* element = handle.ToElement();
    if (element == nullptr)
        throw EntityException(kSource, "XmlHandle is invalid or for a different scene");
    const char* spriteId = element->Attribute(backgroundsettings::kSprite.name);
    if (spriteId == nullptr)
        throw EntityException(kSource, "No sprite specified!");
    SpriteManager* sprites = contextOf(owner).sprites;
    sprite = sprites != nullptr ? sprites->getSprite(spriteId) : nullptr;
    if (sprite == nullptr)
        throw EntityException(kSource, spriteNotFound(spriteId));

    // The frame's size is the default, and also what a value that is not a number falls back
    // to. A sprite always has at least one frame.
    width = static_cast<float>(static_cast<uint32_t>(sprite->getFrame(0).getWidth()));
    height = static_cast<float>(static_cast<uint32_t>(sprite->getFrame(0).getHeight()));
    using namespace backgroundsettings;
    using Reader = SettingReader<EntityException>;
    LoadDiagnostics* diagnostics = loadObserverOf(owner);
    int layerValue = layer;
    int maxValue = maxParticles;
    Reader(element, kSource, diagnostics)(kWidth, width)(kHeight, height)(kLayer, layerValue)(kMaxParticles, maxValue)(
        kGap, gap)(kVelocity, velocity)(kVariationRate, variationRate);
    layer = layerValue;
    maxParticles = maxValue;
    if (const TiXmlElement* spawn = element->FirstChildElement("spawn_delay"))
        Reader(spawn, kSource, diagnostics)(kSpawnMin, spawnDelayMin)(kSpawnMax, spawnDelayMax);
    if (const TiXmlElement* age = element->FirstChildElement("particle_age"))
        Reader(age, kSource, diagnostics)(kAgeMin, particleAgeMin)(kAgeMax, particleAgeMax);
    if (const TiXmlElement* colours = element->FirstChildElement("colours"))
        Reader(colours, kSource, diagnostics)(kStartColour, startColour)(kEndColour, endColour);
    createEmitters();
}

float PellvaneBackgroundEFfectEntity::nextSpawnDelay() const {
    return spawnDelayMin + (spawnDelayMax - spawnDelayMin) * random01();
}

float PellvaneBackgroundEFfectEntity::lifetimeAt(float angleDegrees) const {
    const float s = static_cast<float>(std::sin(angleDegrees * kPi / 180.0));
    return (1.0f - s) * particleAgeMin + s * (2.0f * particleAgeMax - particleAgeMin);
}

void PellvaneBackgroundEFfectEntity::createEmitters() {
    const float step = gap + width;
    // No spacing (or a negative one) cannot lay out a row.
    if (!(step > 0.0f))
        return;
    // In float, like the step itself: 800 / (800 / 3.0f) is exactly 3 in float, but a little
    // over 3 in double, which would add a fourth emitter beyond the right edge.
    const SceneContext& context = contextOf(scene);
    const float columns = std::ceil(static_cast<float>(context.width) / step);
    const int32_t count = columns > static_cast<float>(kMaxEmitters) ? kMaxEmitters : static_cast<int32_t>(columns);
    const float bottom = static_cast<float>(context.height);
    emitters.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
    for (int32_t i = 0; i < count; ++i) {
        ParticleEmitter emitter{step * static_cast<float>(i), bottom, {}, 0.0f, 0.0f};
        emitter.angle = random01() * kFullTurn;
        emitter.spawnTimer = nextSpawnDelay();
        emitters.push_back(std::move(emitter));
    }
}

void PellvaneBackgroundEFfectEntity::clearEmitters() {
    emitters.clear();
    particleCount = 0;
}

void PellvaneBackgroundEFfectEntity::reset() {
    clearEmitters();
    createEmitters();
}

void PellvaneBackgroundEFfectEntity::update(float dt) {
    for (ParticleEmitter& emitter : emitters) {
        emitter.angle += variationRate * dt;
        if (emitter.angle > kFullTurn)
            emitter.angle -= kFullTurn;

        emitter.spawnTimer -= dt;
        if (emitter.spawnTimer < 0.0f) {
            // The overshoot is not carried over; at the cap the timer still cycles.
            emitter.spawnTimer = nextSpawnDelay();
            if (maxParticles > 0 && particleCount < static_cast<uint32_t>(maxParticles)) {
                emitter.particles.push_back({emitter.x, emitter.y, 0.0f, lifetimeAt(emitter.angle)});
                ++particleCount;
            }
        }

        // Age, retire and rise in one pass that keeps the survivors in order. A particle born
        // with a lifetime below dt (or below zero) goes in the update that made it.
        std::size_t kept = 0;
        for (std::size_t i = 0; i < emitter.particles.size(); ++i) {
            Particle particle = emitter.particles[i];
            particle.age += dt;
            if (particle.age > particle.lifetime) {
                --particleCount;
                continue;
            }
            particle.y -= velocity * dt;
            emitter.particles[kept++] = particle;
        }
        emitter.particles.resize(kept);
    }
}

void PellvaneBackgroundEFfectEntity::render(SpriteBatch* batch) {
    if (sprite == nullptr)
        return;
    for (const ParticleEmitter& emitter : emitters) {
        for (const Particle& particle : emitter.particles) {
            // A particle of lifetime 0 shown after a frame of dt 0 has not aged at all.
            const float t = particle.lifetime > 0.0f ? particle.age / particle.lifetime : 0.0f;
            const Colour colour{interpolate(startColour.red, endColour.red, t, kEaseOutSine),
                                interpolate(startColour.green, endColour.green, t, kEaseOutSine),
                                interpolate(startColour.blue, endColour.blue, t, kEaseOutSine),
                                interpolate(startColour.alpha, endColour.alpha, t, kEaseOutSine)};
            // Fading out, a particle spends about a third of its life too faint to pass the alpha
            // test, and shrinks to its bright core before: renderVisible adds only what can show.
            sprite->renderVisible(batch, Matrix3::translation(particle.x, particle.y), width, height, colour, 0, false,
                                  false);
        }
    }
}
