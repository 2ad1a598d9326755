// Sprite, box and effect entities: their element, their drawing checked by reading pixels back
// through a scene, their collider, and the effect's lifetime.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "collision/AABBCollider.h"
#include "graphics/IRenderable.h"
#include "graphics/SpriteBatch.h"
#include "graphics/SpriteBatchRegistry.h"
#include "scene/BoxEntity.h"
#include "scene/EffectBaseEntity.h"
#include "scene/SceneTestSupport.h"
#include "scene/SpriteEntity.h"

namespace {

using graphicstest::near;
using scenetest::kBlue;
using scenetest::kGreen;
using scenetest::kRed;
using testsupport::readPixel;

const graphicstest::Rgba kBlack{0, 0, 0, 255};

class SpriteEntityTest : public scenetest::SceneFixture {
protected:
    // Loads one entity of type T from an element, in a scene of its own.
    template <class T> T* loadEntity(const std::string& text) {
        document.Clear();
        document.Parse(text.c_str());
        auto* entity = new T();
        entity->load(TiXmlHandle(document.RootElement()), scene.get());
        scene->addEntity(entity);
        return entity;
    }
    std::string loadMessage(const std::string& text) {
        TiXmlDocument doc;
        doc.Parse(text.c_str());
        BoxEntity entity;
        try {
            entity.load(TiXmlHandle(doc.RootElement()), scene.get());
        } catch (const BaseException& e) {
            return e.message;
        }
        return "";
    }
    void draw() {
        graphicstest::prepareFrame();
        scene->render();
    }

    void SetUp() override {
        SceneFixture::SetUp();
        scene = std::make_unique<BaseScene>(game->sceneContext());
    }
    void TearDown() override {
        scene.reset();
        SceneFixture::TearDown();
    }

    TiXmlDocument document;
    std::unique_ptr<BaseScene> scene;
};

TEST_F(SpriteEntityTest, AnElementWithOnlyASpriteTakesTheFramesSizeAndDefaults) {
    SpriteEntity* e = loadEntity<SpriteEntity>("<sprite_entity sprite='red'/>");
    EXPECT_FLOAT_EQ(0.0f, e->getPosition().x);
    EXPECT_FLOAT_EQ(1.0f, e->getSpriteProperties().scale.x);
    EXPECT_FLOAT_EQ(20.0f, e->getSize().x);
    EXPECT_FLOAT_EQ(10.0f, e->getSize().y);
    EXPECT_TRUE(e->isActive());
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(scene.get(), e->getScene());
    draw();
    EXPECT_TRUE(near(readPixel(1, 1), kRed));
    EXPECT_TRUE(near(readPixel(18, 8), kRed));
    EXPECT_TRUE(near(readPixel(21, 5), kBlack));
    EXPECT_TRUE(near(readPixel(5, 11), kBlack));
}

TEST_F(SpriteEntityTest, WidthAloneStretchesTheSpriteAndKeepsTheFramesHeight) {
    SpriteEntity* e = loadEntity<SpriteEntity>("<sprite_entity sprite='red' x='100' y='50' width='40'/>");
    EXPECT_FLOAT_EQ(10.0f, e->getSize().y);
    draw();
    EXPECT_TRUE(near(readPixel(138, 55), kRed));
    EXPECT_TRUE(near(readPixel(141, 55), kBlack));
}

TEST_F(SpriteEntityTest, ResetRestoresTheLoadedFlagsOnly) {
    SpriteEntity* e =
        loadEntity<SpriteEntity>("<sprite_entity sprite='red' enabled='false' visible='false' x='3' colour='ff0000'/>");
    EXPECT_FALSE(e->isActive());
    e->setEnabled(true);
    e->setVisible(true);
    e->setPosition(Vector2{9, 9});
    e->reset();
    EXPECT_FALSE(e->isActive());
    EXPECT_FALSE(e->isVisible());
    EXPECT_FLOAT_EQ(9.0f, e->getPosition().x);
}

TEST_F(SpriteEntityTest, LoadMessagesNameTheSpriteEntity) {
    EXPECT_EQ("Entity Exception: SpriteEntity: No sprite specified!", loadMessage("<box x='4'/>"));
    EXPECT_EQ("Entity Exception: SpriteEntity: Sprite \"nope\" not found in sprite manager!",
              loadMessage("<box sprite='nope'/>"));
    EXPECT_EQ("Exception: Colour invalid, must be in hex format with one byte for each channel and either RGB or "
              "RGBA:red",
              loadMessage("<box sprite='red' colour='red'/>"));
    BoxEntity entity;
    try {
        entity.load(TiXmlHandle(static_cast<TiXmlNode*>(nullptr)), scene.get());
        FAIL() << "no exception";
    } catch (const EntityException& e) {
        EXPECT_EQ("Entity Exception: SpriteEntity: XmlHandle is invalid or for a different scene", e.message);
    }
    EXPECT_EQ(scene.get(), entity.getScene()); // the scene is kept before anything can fail
}

TEST_F(SpriteEntityTest, Rotation90TurnsTheBoxAboutItsCentre) {
    // A 20x10 box at (100, 100): centre (110, 105); turned, it covers x 105..115, y 95..115.
    loadEntity<SpriteEntity>("<sprite_entity sprite='red' x='100' y='100' rotation='90'/>");
    draw();
    EXPECT_TRUE(near(readPixel(110, 96), kRed));
    EXPECT_TRUE(near(readPixel(110, 114), kRed));
    EXPECT_TRUE(near(readPixel(106, 105), kRed));
    EXPECT_TRUE(near(readPixel(103, 105), kBlack));
    EXPECT_TRUE(near(readPixel(117, 105), kBlack));
    EXPECT_TRUE(near(readPixel(110, 93), kBlack));
}

TEST_F(SpriteEntityTest, ARotatedSpriteComesOutMirroredNotTurned) {
    // Left half red, right half blue. The batch places only two corners, so a 90-degree turn
    // gives the upright box between them with the picture mirrored left to right: blue on the
    // left and red on the right over the whole height. A real turn would put one colour on top.
    loadEntity<SpriteEntity>("<sprite_entity sprite='halves' x='100' y='100' rotation='90'/>");
    draw();
    for (int y : {97, 105, 113}) {
        EXPECT_TRUE(near(readPixel(107, y), kBlue)) << "left column, y " << y;
        EXPECT_TRUE(near(readPixel(113, y), kRed)) << "right column, y " << y;
    }
}

TEST_F(SpriteEntityTest, OffsetMovesBothThePictureAndTheCollider) {
    BoxEntity* box = loadEntity<BoxEntity>("<box sprite='red' x='100' y='100' offset_x='5'/>");
    draw();
    EXPECT_TRUE(near(readPixel(103, 105), kBlack));
    EXPECT_TRUE(near(readPixel(106, 105), kRed));
    EXPECT_TRUE(near(readPixel(124, 105), kRed));
    auto* collider = dynamic_cast<AABBCollider*>(box->getCollider());
    ASSERT_NE(nullptr, collider);
    EXPECT_FLOAT_EQ(105.0f, collider->getBounds().x);
    EXPECT_EQ(box, collider->getOwner());
    box->setPosition(Vector2{200, 0}); // the collider follows the entity
    EXPECT_FLOAT_EQ(205.0f, collider->getBounds().x);
}

TEST_F(SpriteEntityTest, ScaleDrawsLargerButTheColliderKeepsTheUnscaledBox) {
    BoxEntity* box =
        loadEntity<BoxEntity>("<box sprite='red' x='100' y='100' scale_x='2' scale_y='2' static='false'/>");
    EXPECT_FALSE(box->getCollider()->isStatic());
    draw();
    EXPECT_TRUE(near(readPixel(138, 118), kRed));
    EXPECT_TRUE(near(readPixel(142, 118), kBlack));
    Rect bounds = dynamic_cast<AABBCollider*>(box->getCollider())->getBounds();
    EXPECT_FLOAT_EQ(20.0f, bounds.width);
    EXPECT_FLOAT_EQ(10.0f, bounds.height);
}

TEST_F(SpriteEntityTest, ScenesDrawTextureByTextureInTheOrderTexturesFirstCameUp) {
    // Red on layers 0 and 2, green on layer 1, all on the same spot: both reds are drawn first,
    // then the green, which ends on top although a red has the higher layer.
    document.Parse("<s id='s'><entities>"
                   "<sprite_entity sprite='red' x='200' y='200' layer='0'/>"
                   "<sprite_entity sprite='green' x='200' y='200' layer='1'/>"
                   "<sprite_entity sprite='red' x='210' y='200' layer='2'/>"
                   "<sprite_entity sprite='blue' x='300' y='300' layer='3'/>"
                   "<sprite_entity sprite='blue2' x='305' y='300' layer='4'/>"
                   "</entities></s>");
    BaseScene layered(game->sceneContext());
    layered.load(TiXmlHandle(document.RootElement()));
    graphicstest::prepareFrame();
    layered.render();
    EXPECT_TRUE(near(readPixel(215, 205), kGreen));
    EXPECT_TRUE(near(readPixel(225, 205), kRed)); // the second red alone
    EXPECT_TRUE(near(readPixel(302, 305), kBlue));
    EXPECT_TRUE(near(readPixel(312, 305), kBlue)); // a second frame of the same texture
}

// Too faint for the alpha test (0x16 = 22/255), nothing is drawn, so no quad is added; just above
// the test's reference the quad stays. An opaque picture is drawn without the test.
TEST_F(SpriteEntityTest, ATintTooFaintForTheAlphaTestAddsNoQuadToItsBatch) {
    for (const char* alpha : {"00", "16", "1c", "80"}) {
        for (const char* opaque : {"false", "true"}) {
            SpriteEntity* entity =
                loadEntity<SpriteEntity>(std::string("<sprite_entity sprite='red' x='200' y='200' colour='ff0000") +
                                         alpha + "' opaque='" + opaque + "'/>");
            SpriteBatch* batch = game->getSpriteBatches()->getBatch(entity->getRenderable()->getTexture());
            batch->begin();
            entity->render(batch);
            const bool drawn = std::string(alpha) != "00" && (std::string(alpha) != "16" || opaque[0] == 't');
            EXPECT_EQ(drawn ? 1u : 0u, batch->getQuadCount()) << alpha << " opaque " << opaque;
            batch->draw();
        }
    }
}

TEST_F(SpriteEntityTest, SpritePropertiesSnapshotTheLook) {
    SpriteEntity* e = loadEntity<SpriteEntity>(
        "<sprite_entity sprite='red' x='1' y='2' scale_x='3' offset_y='4' rotation='5' layer='6' flip_x='true' "
        "colour='00ff0080'/>");
    SpriteProperties p = e->getSpriteProperties();
    EXPECT_FLOAT_EQ(1.0f, p.position.x);
    EXPECT_FLOAT_EQ(2.0f, p.position.y);
    EXPECT_FLOAT_EQ(3.0f, p.scale.x);
    EXPECT_FLOAT_EQ(4.0f, p.offset.y);
    EXPECT_FLOAT_EQ(5.0f, p.rotation);
    EXPECT_EQ(6, p.layer);
    EXPECT_TRUE(p.flipX);
    EXPECT_FALSE(p.flipY);
    EXPECT_FLOAT_EQ(1.0f, p.colour.green);
    EXPECT_NEAR(0.5f, p.colour.alpha, 0.01f);
    EXPECT_EQ(e->getRenderable(), p.sprite);
    EXPECT_FLOAT_EQ(20.0f, p.width);
}

TEST_F(SpriteEntityTest, AnEffectOutlivesItsLifetimeByOneStepThenIsRemoved) {
    SpriteEntity* source = loadEntity<SpriteEntity>("<sprite_entity sprite='red' width='40' layer='7'/>");
    auto* effect = new EffectBaseEntity(source->getSpriteProperties(), 0.5f);
    EXPECT_EQ(7, effect->getLayer());
    scene->addEntity(effect);
    scene->update(0.25f);
    scene->update(0.25f); // 0.5 is not greater than 0.5
    EXPECT_EQ(2u, scene->getEntities().size());
    scene->update(0.25f);
    EXPECT_EQ(1u, scene->getEntities().size());

    auto* forever = new EffectBaseEntity(source->getSpriteProperties(), 0.0f);
    scene->addEntity(forever);
    for (int i = 0; i < 10; ++i)
        scene->update(1.0f);
    EXPECT_EQ(2u, scene->getEntities().size());
}

} // namespace
