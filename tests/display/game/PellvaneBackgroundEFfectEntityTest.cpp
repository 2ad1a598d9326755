// The particle background: the emitter row, the spawn and lifetime rule, rising and retiring
// particles, the particle cap, reset, the ease-out colour, and 400 particles drawn in one batch.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "game/HudTestSupport.h"
#include "game/PellvaneBackgroundEFfectEntity.h"

namespace {

using graphicstest::near;
using testsupport::readPixel;

class PellvaneBackgroundEFfectEntityTest : public hudtest::HudFixture {
protected:
    // An effect of the sprite "blue" (10 x 10) with the given attributes and children.
    PellvaneBackgroundEFfectEntity* loadEffect(const std::string& attributes, const std::string& children = "") {
        loadGame("<background_effect sprite='blue' " + attributes + ">" + children + "</background_effect>");
        return find<PellvaneBackgroundEFfectEntity>();
    }
    std::string loadMessage(const std::string& element) {
        TiXmlDocument document;
        document.Parse(element.c_str());
        BaseScene plain(game->sceneContext());
        PellvaneBackgroundEFfectEntity effect;
        try {
            effect.load(TiXmlHandle(document.RootElement()), &plain);
        } catch (const BaseException& e) {
            return e.message;
        }
        return "";
    }
    static std::size_t liveParticles(const PellvaneBackgroundEFfectEntity& effect) {
        std::size_t n = 0;
        for (const ParticleEmitter& emitter : effect.getEmitters())
            n += emitter.particles.size();
        return n;
    }
};

TEST_F(PellvaneBackgroundEFfectEntityTest, Width16AndNoGapMake50EmittersAlongTheBottom) {
    PellvaneBackgroundEFfectEntity* effect = loadEffect("width='16' gap='0'");
    ASSERT_EQ(50u, effect->getEmitters().size());
    for (std::size_t i = 0; i < 50; ++i) {
        EXPECT_FLOAT_EQ(16.0f * i, effect->getEmitters()[i].x);
        EXPECT_FLOAT_EQ(600.0f, effect->getEmitters()[i].y);
    }
    EXPECT_EQ(27u, loadEffect("width='30'")->getEmitters().size()); // ceil(26.67), the last partly off
    EXPECT_EQ(40u, loadEffect("width='16' gap='4'")->getEmitters().size());
}

TEST_F(PellvaneBackgroundEFfectEntityTest, TheCountIsTheWidthOverTheStepInFloatRoundedUp) {
    // Steps of 800 / n in float: in float the quotient is exactly n, so there are n emitters and
    // none starts beyond the right edge (in double it is a hair above n, which would round up).
    for (int n : {3, 7, 9, 11, 13}) {
        char width[32];
        std::snprintf(width, sizeof width, "%.9g", static_cast<double>(800.0f / static_cast<float>(n)));
        PellvaneBackgroundEFfectEntity* effect = loadEffect(std::string("width='") + width + "'");
        EXPECT_EQ(std::size_t(n), effect->getEmitters().size()) << "width " << width;
        EXPECT_LT(effect->getEmitters().back().x, 800.0f);
    }
}

TEST_F(PellvaneBackgroundEFfectEntityTest, AStepOfZeroOrLessMakesNoEmittersAndNothingHappens) {
    for (const char* attributes : {"width='0'", "width='10' gap='-10'", "width='10' gap='-25'"}) {
        PellvaneBackgroundEFfectEntity* effect = loadEffect(attributes, "<spawn_delay min='0' max='0'/>");
        EXPECT_TRUE(effect->getEmitters().empty()) << attributes;
        step(4);
        EXPECT_EQ(0u, effect->getParticleCount());
        graphicstest::prepareFrame();
        scene->render();
        EXPECT_TRUE(near(readPixel(5, 595), {0, 0, 0, 255}));
    }
}

TEST_F(PellvaneBackgroundEFfectEntityTest, AVanishingStepIsCappedInsteadOfMakingMillionsOfEmitters) {
    PellvaneBackgroundEFfectEntity* effect = loadEffect("width='0.0001'");
    EXPECT_EQ(std::size_t(PellvaneBackgroundEFfectEntity::kMaxEmitters), effect->getEmitters().size());
}

TEST_F(PellvaneBackgroundEFfectEntityTest, RandomPhasesAndTimersStayWithinTheirRanges) {
    std::srand(12345);
    PellvaneBackgroundEFfectEntity* effect = loadEffect("width='2'", "<spawn_delay min='0.5' max='0.75'/>");
    ASSERT_EQ(400u, effect->getEmitters().size());
    float lowest = 360.0f, highest = 0.0f;
    for (const ParticleEmitter& emitter : effect->getEmitters()) {
        EXPECT_GE(emitter.angle, 0.0f);
        EXPECT_LE(emitter.angle, 360.0f);
        EXPECT_GE(emitter.spawnTimer, 0.5f);
        EXPECT_LE(emitter.spawnTimer, 0.75f);
        lowest = std::min(lowest, emitter.angle);
        highest = std::max(highest, emitter.angle);
    }
    EXPECT_LT(lowest, 30.0f); // spread over the whole turn, not squeezed into a corner
    EXPECT_GT(highest, 330.0f);
}

TEST_F(PellvaneBackgroundEFfectEntityTest, APhaseWhoseSineIsOneHalfGivesParticlesOfParticleAgeMax) {
    PellvaneBackgroundEFfectEntity* effect =
        loadEffect("width='400' variation_rate='0'", "<spawn_delay min='10' max='10'/><particle_age min='1' max='3'/>");
    ParticleEmitter& emitter = effect->getEmitters().at(0);
    emitter.angle = 30.0f;
    emitter.spawnTimer = 0.0f;
    step(1, 0.5f);
    ASSERT_EQ(1u, emitter.particles.size());
    EXPECT_NEAR(3.0f, emitter.particles[0].lifetime, 1e-5f);
    EXPECT_FLOAT_EQ(10.0f, emitter.spawnTimer); // the overshoot is not carried over
    step(4, 0.5f);
    EXPECT_EQ(1u, emitter.particles.size()); // age 2.5
    step(1, 0.49f);
    EXPECT_EQ(1u, emitter.particles.size()); // age 2.99
    step(1, 0.02f);
    EXPECT_TRUE(emitter.particles.empty());
    EXPECT_EQ(0u, effect->getParticleCount());
    EXPECT_FLOAT_EQ(-3.0f, effect->lifetimeAt(270.0f)); // the troughs: never drawn
    EXPECT_FLOAT_EQ(5.0f, effect->lifetimeAt(90.0f));
}

TEST_F(PellvaneBackgroundEFfectEntityTest, AParticleLivingFiveSecondsAtVelocity60Rises300Pixels) {
    PellvaneBackgroundEFfectEntity* effect =
        loadEffect("width='400' velocity='60' variation_rate='0'", "<spawn_delay min='100' max='100'/>");
    ParticleEmitter& emitter = effect->getEmitters().at(0);
    emitter.angle = 90.0f;
    emitter.spawnTimer = 0.0f;
    for (int i = 0; i < 49; ++i)
        step(1, 0.1f);
    ASSERT_EQ(1u, emitter.particles.size());
    EXPECT_NEAR(600.0f - 60.0f * 4.9f, emitter.particles[0].y, 0.01f);
    step(1, 0.1f);
    ASSERT_EQ(1u, emitter.particles.size()); // age 5.0 is not past its lifetime of 5
    EXPECT_NEAR(300.0f, emitter.particles[0].y, 0.01f);
    EXPECT_FLOAT_EQ(0.0f, emitter.particles[0].x);
}

TEST_F(PellvaneBackgroundEFfectEntityTest, WithoutVelocityParticlesStayWhereTheyAreBorn) {
    PellvaneBackgroundEFfectEntity* effect = loadEffect("width='400'", "<particle_age min='9' max='9'/>");
    EXPECT_FLOAT_EQ(0.0f, effect->velocity);
    step(8);
    ASSERT_GT(effect->getParticleCount(), 0u);
    for (const ParticleEmitter& emitter : effect->getEmitters())
        for (const Particle& particle : emitter.particles)
            EXPECT_FLOAT_EQ(600.0f, particle.y);
}

TEST_F(PellvaneBackgroundEFfectEntityTest, AtTheCapOf400SpawnsAreSkippedWhileTimersKeepCycling) {
    PellvaneBackgroundEFfectEntity* effect =
        loadEffect("width='1'", "<spawn_delay min='0.01' max='0.02'/><particle_age min='50' max='50'/>");
    ASSERT_EQ(800u, effect->getEmitters().size());
    for (int i = 0; i < 10; ++i) {
        step(1, 0.05f);
        EXPECT_LE(effect->getParticleCount(), 400u);
        EXPECT_EQ(effect->getParticleCount(), liveParticles(*effect));
        for (const ParticleEmitter& emitter : effect->getEmitters())
            EXPECT_GT(emitter.spawnTimer, 0.0f);
    }
    EXPECT_EQ(400u, effect->getParticleCount());
    EXPECT_EQ(400, loadEffect("")->maxParticles);
    EXPECT_EQ(7, loadEffect("max_particles='7'")->maxParticles);
}

TEST_F(PellvaneBackgroundEFfectEntityTest, ParticlesSpawnAgainOnceSomeHaveDiedAtTheCap) {
    // A cap of 5 is reached within a frame or two; every particle lives 0.3 s. Two seconds on,
    // the first ones are long gone, so live particles there were born after the cap freed up.
    PellvaneBackgroundEFfectEntity* effect = loadEffect(
        "width='100' max_particles='5'", "<spawn_delay min='0.01' max='0.02'/><particle_age min='0.3' max='0.3'/>");
    bool capped = false;
    for (int i = 0; i < 40; ++i) {
        step(1, 0.05f);
        capped = capped || effect->getParticleCount() == 5;
        ASSERT_LE(effect->getParticleCount(), 5u);
    }
    EXPECT_TRUE(capped);
    EXPECT_GT(liveParticles(*effect), 0u);
    EXPECT_EQ(effect->getParticleCount(), liveParticles(*effect));
}

TEST_F(PellvaneBackgroundEFfectEntityTest, ResetClearsEveryParticleAndGivesNewPhases) {
    PellvaneBackgroundEFfectEntity* effect =
        loadEffect("width='16'", "<spawn_delay min='0.01' max='0.02'/><particle_age min='50' max='50'/>");
    step(2, 0.05f);
    ASSERT_GT(effect->getParticleCount(), 0u);
    std::vector<float> before;
    for (const ParticleEmitter& emitter : effect->getEmitters())
        before.push_back(emitter.angle);
    effect->reset();
    EXPECT_EQ(0u, effect->getParticleCount());
    EXPECT_EQ(0u, liveParticles(*effect));
    ASSERT_EQ(50u, effect->getEmitters().size());
    int changed = 0;
    for (std::size_t i = 0; i < before.size(); ++i)
        changed += effect->getEmitters()[i].angle != before[i];
    EXPECT_GT(changed, 45);
}

TEST_F(PellvaneBackgroundEFfectEntityTest, LoadReadsItsAttributesAndFallsBackToTheFrameSize) {
    PellvaneBackgroundEFfectEntity* effect =
        loadEffect("width='abc' height='x' layer='-5' gap='2' velocity='40' variation_rate='12'",
                   "<spawn_delay min='0.3' max='0.4'/><particle_age min='2' max='4'/>"
                   "<colours start='ff000080' end='00ff00'/>");
    EXPECT_FLOAT_EQ(10.0f, effect->width);
    EXPECT_FLOAT_EQ(10.0f, effect->height);
    EXPECT_EQ(-5, effect->getLayer());
    EXPECT_FLOAT_EQ(2.0f, effect->gap);
    EXPECT_FLOAT_EQ(40.0f, effect->velocity);
    EXPECT_FLOAT_EQ(12.0f, effect->variationRate);
    EXPECT_FLOAT_EQ(0.3f, effect->spawnDelayMin);
    EXPECT_FLOAT_EQ(0.4f, effect->spawnDelayMax);
    EXPECT_FLOAT_EQ(2.0f, effect->particleAgeMin);
    EXPECT_FLOAT_EQ(4.0f, effect->particleAgeMax);
    EXPECT_FLOAT_EQ(1.0f, effect->startColour.red);
    EXPECT_FLOAT_EQ(128.0f / 255.0f, effect->startColour.alpha);
    EXPECT_FLOAT_EQ(1.0f, effect->endColour.green);
    EXPECT_EQ(67u, effect->getEmitters().size()); // ceil(800 / 12)
    effect->setPosition({50, 50});
    EXPECT_FLOAT_EQ(0.0f, effect->getPosition().x);
    EXPECT_FLOAT_EQ(0.0f, effect->getPosition().y);
    EXPECT_TRUE(effect->isActive());
    EXPECT_TRUE(effect->isVisible());
    EXPECT_EQ(nullptr, effect->getCollider());
    EXPECT_EQ(-1000, loadEffect("")->getLayer());
}

TEST_F(PellvaneBackgroundEFfectEntityTest, LoadFailuresHaveTheirMessages) {
    const std::string source = "Entity Exception: PellvaneBackgroundEFfectEntity: ";
    PellvaneBackgroundEFfectEntity effect;
    try {
        effect.load(TiXmlHandle(static_cast<TiXmlNode*>(nullptr)), nullptr);
        FAIL() << "no exception";
    } catch (const EntityException& e) {
        EXPECT_EQ(source + "XmlHandle is invalid or for a different scene", e.message);
    }
    EXPECT_EQ(source + "No sprite specified!", loadMessage("<background_effect/>"));
    EXPECT_EQ(source + "Sprite \"mist\" not found in sprite manager!",
              loadMessage("<background_effect sprite='mist'/>"));
    EXPECT_NE(std::string::npos,
              loadMessage("<background_effect sprite='blue'><colours start='fff'/></background_effect>")
                  .find("Colour invalid"));
}

TEST_F(PellvaneBackgroundEFfectEntityTest, ParticlesAreTintedByTheEaseOutColourOfTheirAge) {
    PellvaneBackgroundEFfectEntity* effect = loadEffect(
        "width='400' height='20'", "<spawn_delay min='100' max='100'/><colours start='000000' end='ffffff'/>");
    ParticleEmitter& emitter = effect->getEmitters().at(0);
    emitter.particles.push_back({100.0f, 100.0f, 1.0f, 2.0f}); // halfway: sin(pi / 4) of the way
    emitter.particles.push_back({300.0f, 100.0f, 0.0f, 0.0f}); // lifetime 0 after a dt 0 frame
    effect->particleCount = 2;
    graphicstest::prepareFrame({255, 0, 0, 255});
    scene->render();
    // The blue texture times the tint: 255 sin(pi / 4) = 180 of blue.
    EXPECT_TRUE(near(readPixel(105, 105), {0, 0, 180, 255}, 3));
    EXPECT_TRUE(near(readPixel(305, 105), {0, 0, 0, 255}));   // t = 0: the start colour
    EXPECT_TRUE(near(readPixel(105, 125), {255, 0, 0, 255})); // the 400 x 20 quad ends at y 120
}

TEST_F(PellvaneBackgroundEFfectEntityTest, FourHundredParticlesAndAnotherQuadOfTheSameTextureAreAllDrawn) {
    // 400 emitters two pixels apart each spawn one particle that rises 20 pixels at once: a band
    // of 400 quads at y 580..600, plus a sprite of the same texture: more than the 200 quads the
    // registry's batches hold.
    loadGame("<background_effect sprite='blue' width='2' height='20' velocity='1000' variation_rate='0'>"
             "<spawn_delay min='0.01' max='0.01'/><particle_age min='50' max='50'/>"
             "<colours start='ffffff' end='ffffff'/></background_effect>"
             "<sprite_entity sprite='blue2' x='300' y='100'/>");
    auto* effect = find<PellvaneBackgroundEFfectEntity>();
    for (ParticleEmitter& emitter : effect->getEmitters())
        emitter.spawnTimer = 0.01f;
    step(1, 0.02f);
    ASSERT_EQ(400u, effect->getParticleCount());
    ASSERT_EQ(200, game->getSpriteBatches()->getBatchSize());
    graphicstest::prepareFrame();
    scene->render();
    int drawn = 0;
    for (int x = 0; x < 800; x += 2)
        drawn += near(readPixel(x + 1, 590), {0, 0, 255, 255}) ? 1 : 0; // the blue texture, tinted white
    EXPECT_EQ(400, drawn);
    EXPECT_TRUE(near(readPixel(305, 105), {0, 0, 255, 255}));
}

} // namespace
