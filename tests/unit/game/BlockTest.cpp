// Blocks and their effects: the reaction to a hit by health, what does not count as a hit,
// reset, the effect's animation and lifetime, and the three easings of interpolate.
#include <cmath>
#include <gtest/gtest.h>
#include <string>

#include "collision/CollisionResult.h"
#include "game/GameTestSupport.h"
#include "game/Interpolate.h"

namespace {

using namespace gametest;

class BlockTest : public GameFixture {
protected:
    void SetUp() override {
        GameFixture::SetUp();
        scene = loadGame(gameXml("<level>one.xml</level>"),
                         {{"one.xml", levelXml(blockXml(10, 20, 4) + blockXml(40, 20, 1))}});
        ball = first<PellvaneBallEntity>(*scene);
        paddle = first<PellvanePaddleEntity>(*scene);
        hard = dynamic_cast<PellvaneBlockEntity*>(scene->getLevel(0)[0]);
        soft = dynamic_cast<PellvaneBlockEntity*>(scene->getLevel(0)[1]);
    }
    void TearDown() override {
        scene.reset();
        GameFixture::TearDown();
    }
    // The ball meets `block` from below, as its bounce tells it.
    void hitByBall(PellvaneBlockEntity* block) { block->ballMet({ball, block->getCentre(), {0, 1}, {0, 240}}); }

    std::unique_ptr<PellvaneGameScene> scene;
    PellvaneBallEntity* ball = nullptr;
    PellvanePaddleEntity* paddle = nullptr;
    PellvaneBlockEntity* hard = nullptr;
    PellvaneBlockEntity* soft = nullptr;
};

TEST_F(BlockTest, AHealthFourBlockStartsYellowAndItsFirstHitIsSilent) {
    EXPECT_EQ((Colour{1, 1, 0, 1}), hard->getColour());
    hitByBall(hard);
    EXPECT_EQ(3, hard->getHealth());
    EXPECT_EQ((Colour{1, 0, 0, 1}), hard->getColour());
    EXPECT_TRUE(playingSounds().empty());
    const auto effects = entitiesOf<PellvaneBlockEffect>(*scene);
    ASSERT_EQ(1u, effects.size());
    EXPECT_EQ((Colour{1, 1, 0, 1}), effects[0]->getColour());
    hitByBall(hard);
    EXPECT_EQ(std::vector<std::string>{"red.wav"}, playingSounds());
}

TEST_F(BlockTest, OnlyABallMeetingItHitsABlockAndItAnswersHowTheBallLeaves) {
    // A collision with anything else (whichever side of the record) leaves it standing.
    for (CollisionResult record : {CollisionResult{paddle->getCollider(), soft->getCollider(), {}, {}},
                                   CollisionResult{soft->getCollider(), ball->getCollider(), {}, {}}})
        soft->onCollision(&record);
    soft->onCollision(nullptr);
    EXPECT_TRUE(soft->isActive());
    EXPECT_EQ(0, scene->getScore());

    const BallBounce answer = soft->ballMet({ball, soft->getCentre(), {0, 1}, {0, 240}});
    EXPECT_EQ(BallBounce::Block, answer.kind);
    EXPECT_FALSE(answer.velocity) << "a block leaves the mirrored velocity alone";
    EXPECT_FALSE(soft->isActive());
    EXPECT_EQ(10, scene->getScore());
    hitByBall(hard); // health 4 to 3: no colour change for the ball
    EXPECT_FALSE(hard->ballMet({ball, hard->getCentre(), {0, 1}, {0, 240}}).cycleColour) << "3 to 2";
    EXPECT_TRUE(hard->ballMet({ball, hard->getCentre(), {0, 1}, {0, 240}}).cycleColour) << "a hit at health 2";
}

TEST_F(BlockTest, ScoreIsTenPerUnitOfInitialHealth) {
    for (int hit = 0; hit < 4; ++hit)
        hitByBall(hard);
    EXPECT_FALSE(hard->isActive());
    EXPECT_EQ(40, scene->getScore());
}

TEST_F(BlockTest, ResetRestoresHealthTintAndFlagsButNotThePosition) {
    hitByBall(hard);
    hitByBall(soft);
    hard->setPosition({99.0f, hard->getPosition().y});
    hard->reset();
    soft->reset();
    EXPECT_EQ(4, hard->getHealth());
    EXPECT_EQ((Colour{1, 1, 0, 1}), hard->getColour());
    EXPECT_FLOAT_EQ(99.0f, hard->getPosition().x);
    EXPECT_TRUE(soft->isActive() && soft->isVisible());
    EXPECT_EQ(1, soft->getHealth());
}

TEST_F(BlockTest, TheEffectGrowsAboutItsCentreAndFadesWithSmoothStep) {
    SpriteProperties look;
    look.position = {100, 50};
    look.width = 20;
    look.height = 10;
    look.colour = {1, 0.5f, 0, 0.8f};
    auto* effect = new PellvaneBlockEffect(look, 0.4f, 0.0f, 1.5f, 1.5f);
    EXPECT_FLOAT_EQ(95.0f, effect->endPosition.x);
    EXPECT_FLOAT_EQ(47.5f, effect->endPosition.y);
    scene->addEntity(effect);
    effect->update(0.2f);
    EXPECT_FLOAT_EQ(0.4f, effect->getColour().alpha) << "half of the start alpha at t = 0.5";
    EXPECT_FLOAT_EQ(1.25f, effect->getSpriteProperties().scale.x);
    EXPECT_FLOAT_EQ(1.25f, effect->getSpriteProperties().scale.y);
    EXPECT_FLOAT_EQ(97.5f, effect->getPosition().x);
    EXPECT_FLOAT_EQ(48.75f, effect->getPosition().y);
    // Centre = position + size * scale / 2 stays at (110, 55).
    EXPECT_FLOAT_EQ(110.0f, effect->getPosition().x + 20.0f * effect->getSpriteProperties().scale.x * 0.5f);

    effect->update(0.1f);
    EXPECT_NEAR(0.8f * (1.0f - 0.84375f), effect->getColour().alpha, 1e-6) << "smooth step at t = 0.75";
    scene->update(0.15f); // elapsed 0.45 > 0.4: removed at the end of this update
    EXPECT_TRUE(entitiesOf<PellvaneBlockEffect>(*scene).empty());
}

TEST_F(BlockTest, AnEffectWithLifetimeZeroNeverAnimatesNorLeaves) {
    SpriteProperties look;
    look.position = {10, 10};
    look.width = 20;
    look.height = 10;
    auto* effect = new PellvaneBlockEffect(look, 0.0f, 0.0f, 2.0f, 2.0f);
    scene->addEntity(effect);
    for (int i = 0; i < 30; ++i)
        scene->update(kDt);
    ASSERT_EQ(1u, entitiesOf<PellvaneBlockEffect>(*scene).size());
    EXPECT_FLOAT_EQ(1.0f, effect->getColour().alpha);
    EXPECT_FLOAT_EQ(1.0f, effect->getSpriteProperties().scale.x);
    EXPECT_FLOAT_EQ(10.0f, effect->getPosition().x);
}

TEST(InterpolateTest, TheThreeEasingsAndNoClamping) {
    EXPECT_FLOAT_EQ(2.5f, interpolate(0.0f, 10.0f, 0.25f, kEaseLinear));
    EXPECT_FLOAT_EQ(1.5625f, interpolate(0.0f, 10.0f, 0.25f, kEaseSmoothStep));
    EXPECT_FLOAT_EQ(5.0f, interpolate(0.0f, 10.0f, 0.5f, kEaseSmoothStep));
    EXPECT_FLOAT_EQ(10.0f * std::sin(0.25f * 3.1415927f / 2.0f), interpolate(0.0f, 10.0f, 0.25f, kEaseOutSine));
    EXPECT_FLOAT_EQ(10.0f, interpolate(0.0f, 10.0f, 1.0f, kEaseOutSine));
    EXPECT_FLOAT_EQ(4.0f, interpolate(4.0f, 8.0f, 0.0f, kEaseSmoothStep));
    EXPECT_FLOAT_EQ(12.0f, interpolate(4.0f, 8.0f, 2.0f, kEaseLinear)) << "t past 1 extrapolates";
    EXPECT_FLOAT_EQ(-2.0f, interpolate(0.0f, 10.0f, -0.2f, 7)) << "an unknown easing is linear";
}

} // namespace
