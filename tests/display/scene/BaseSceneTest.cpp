// BaseScene: loading and its messages, the two-pass update, deferred removal, layer order,
// scene events and collision queries.
#include <algorithm>
#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <tinyxml.h>
#include <vector>

#include "base/Exceptions.h"
#include "collision/CollisionResult.h"
#include "collision/SweptCircleCollider.h"
#include "graphics/IRenderable.h"
#include "graphics/Sprite.h"
#include "graphics/SpriteBatch.h"
#include "scene/BoxEntity.h"
#include "scene/IPicture.h"
#include "scene/SceneTestSupport.h"
#include "scene/SpriteEntity.h"

namespace {

using scenetest::SceneFixture;

std::vector<std::string> journal;

// A sprite entity that writes its calls into the journal under its own label and can run a
// hook inside update.
class ProbeEntity : public SpriteEntity {
public:
    ~ProbeEntity() override {
        journal.push_back("destroy " + label);
        ++*destroyCount;
    }
    void load(const TiXmlHandle& handle, IScene* owner) override {
        SpriteEntity::load(handle, owner);
        const char* text = handle.ToElement()->Attribute("label");
        label = text ? text : "?";
    }
    void update(float) override {
        journal.push_back("update " + label);
        if (onUpdate)
            onUpdate(this);
    }
    void postUpdate(float) override { journal.push_back("post " + label); }
    void render(SpriteBatch* batch) override {
        journal.push_back("render " + label);
        SpriteEntity::render(batch);
    }
    void onCollision(CollisionResult*) override { journal.push_back("hit " + label); }

    std::string label;
    std::function<void(ProbeEntity*)> onUpdate;
    static int sharedCount;
    int* destroyCount = &sharedCount;
};
int ProbeEntity::sharedCount = 0;

// A box that records the collisions it is told of.
class ProbeBox : public BoxEntity {
public:
    void load(const TiXmlHandle& handle, IScene* owner) override {
        BoxEntity::load(handle, owner);
        label = handle.ToElement()->Attribute("label");
    }
    void onCollision(CollisionResult*) override { journal.push_back("hit " + label); }
    std::string label;
};

// A probe with a swept-circle collider, as a ball would have.
struct MovingProbe : ProbeEntity {
    SweptCircleCollider* collider = nullptr;
    ICollider* getCollider() override { return collider; }
    ~MovingProbe() override { delete collider; }
};

// A scene that knows the "probe" and "probebox" types besides the generic ones.
class ProbeScene : public BaseScene {
public:
    explicit ProbeScene(const SceneContext& context) : BaseScene(context) {}
    IEntity* createEntity(const std::string& type) override {
        if (type == "probe")
            return new ProbeEntity();
        if (type == "probebox")
            return new ProbeBox();
        return BaseScene::createEntity(type);
    }
    using BaseScene::rememberStepStarts;
    using BaseScene::setDrawBlend;
    ProbeEntity* probe(const std::string& label) {
        for (IEntity* e : entities)
            if (auto* p = dynamic_cast<ProbeEntity*>(e); p && p->label == label)
                return p;
        return nullptr;
    }
};

struct SceneListener : IEventCallback {
    bool handleEvent(IEvent* event) override {
        journal.push_back("event " + event->getName());
        return true;
    }
};

class BaseSceneTest : public SceneFixture {
protected:
    void SetUp() override {
        SceneFixture::SetUp();
        journal.clear();
        ProbeEntity::sharedCount = 0;
    }
    std::string sceneXml(const std::string& entities) {
        return "<base_scene id='main'><entities>" + entities + "</entities></base_scene>";
    }
};

std::string loadMessage(GameWorld& game, const std::string& text) {
    TiXmlDocument document;
    document.Parse(text.c_str());
    BaseScene scene(game.sceneContext());
    try {
        scene.load(TiXmlHandle(document.RootElement()));
    } catch (const BaseException& e) {
        return e.message;
    }
    return "";
}

TEST_F(BaseSceneTest, LoadReportsEachMissingPart) {
    BaseScene scene(game->sceneContext());
    try {
        scene.load(TiXmlHandle(static_cast<TiXmlNode*>(nullptr)));
        FAIL() << "no exception";
    } catch (const SceneException& e) {
        EXPECT_EQ("Scene Exception: No ID: XmlHandle is invalid or for a different scene", e.message);
    }
    EXPECT_EQ("Scene Exception: No ID: No id attribute found",
              loadMessage(*game, "<s><entities><box/></entities></s>"));
    EXPECT_EQ("Scene Exception: No ID: No id attribute found", loadMessage(*game, "<s id=''><entities/></s>"));
    EXPECT_EQ("Scene Exception: main: No entities element or entities defined!", loadMessage(*game, "<s id='main'/>"));
    EXPECT_EQ("Scene Exception: main: No entities element or entities defined!",
              loadMessage(*game, "<s id='main'><entities></entities></s>"));
}

TEST_F(BaseSceneTest, UnknownTypesAndCommentsLoadAsAnEmptyScene) {
    auto unknown = loadScene(sceneXml("<dragon/><unicorn sprite='red'/>"));
    EXPECT_TRUE(unknown->getEntities().empty());
    auto comment = loadScene(sceneXml("<!-- nothing here yet -->"));
    EXPECT_TRUE(comment->getEntities().empty());
    EXPECT_EQ("main", comment->getId());
}

TEST_F(BaseSceneTest, AnEntityThatFailsToLoadStopsTheLoadWithItsMessage) {
    EXPECT_EQ("Entity Exception: SpriteEntity: No sprite specified!",
              loadMessage(*game, "<s id='main'><entities><sprite_entity sprite='red'/><box/></entities></s>"));
    // The entities loaded before the failing one stay in the scene; the failing one and those
    // after it never join.
    TiXmlDocument document;
    document.Parse(sceneXml("<probe label='a' sprite='red'/><probe label='b' sprite='green'/><box/>"
                            "<probe label='c' sprite='red'/>")
                       .c_str());
    ProbeScene scene(game->sceneContext());
    EXPECT_THROW(scene.load(TiXmlHandle(document.RootElement())), EntityException);
    ASSERT_EQ(2u, scene.getEntities().size());
    EXPECT_NE(nullptr, scene.probe("a"));
    EXPECT_NE(nullptr, scene.probe("b"));
}

TEST_F(BaseSceneTest, LayersThreeOneTwoAreDrawnOneTwoThreeFromTheFirstFrame) {
    // Three overlapping boxes of one texture, in shades of red, listed as layers 3, 1, 2. Drawn
    // in layer order the layer-3 box covers the layer-1 box, and the layer-2 box the layer-1 box.
    auto scene = loadScene(sceneXml("<sprite_entity sprite='red' x='100' y='100' layer='3' colour='ff0000'/>"
                                    "<sprite_entity sprite='red' x='110' y='100' layer='1' colour='800000'/>"
                                    "<sprite_entity sprite='red' x='120' y='100' layer='2' colour='400000'/>"));
    graphicstest::prepareFrame();
    scene->render();
    EXPECT_TRUE(graphicstest::near(testsupport::readPixel(115, 105), {255, 0, 0, 255})) << "3 over 1";
    EXPECT_TRUE(graphicstest::near(testsupport::readPixel(125, 105), {64, 0, 0, 255})) << "2 over 1";
    EXPECT_TRUE(graphicstest::near(testsupport::readPixel(135, 105), {64, 0, 0, 255}));
}

// A scene stepping in fixed steps draws its entities between their last two steps: a quarter of the
// way is a quarter of the step back; a jump longer than a step can be is drawn where it lands; and
// the offset is only for the picture.
TEST_F(BaseSceneTest, BetweenStepsEntitiesAreDrawnPartWayUnlessTheyJumped) {
    TiXmlDocument document;
    document.Parse(sceneXml("<probe label='p' sprite='red' x='100' y='100'/>").c_str());
    ProbeScene scene(game->sceneContext());
    scene.load(TiXmlHandle(document.RootElement()));
    ProbeEntity* probe = scene.probe("p");
    float step = 20.0f;
    probe->onUpdate = [&step](ProbeEntity* self) { self->setPosition(self->getPosition() + Vector2{step, 0.0f}); };
    scene.rememberStepStarts(true);
    scene.update(0.01f); // 100 -> 120
    auto drawnLeftEdge = [&](float blend) {
        scene.setDrawBlend(blend);
        graphicstest::prepareFrame();
        scene.render();
        int x = 0;
        while (x < 300 && testsupport::readPixel(x, 105)[0] < 128)
            ++x;
        return x;
    };
    EXPECT_EQ(105, drawnLeftEdge(0.25f));
    EXPECT_EQ(120, drawnLeftEdge(1.0f));
    EXPECT_EQ(120.0f, probe->getPosition().x) << "where it is has not moved";
    step = 200.0f;
    scene.update(0.01f); // 120 -> 320: served elsewhere, not flown
    EXPECT_EQ(300, drawnLeftEdge(0.0f)) << "off the 300 pixels looked at: drawn where it landed";
    scene.rememberStepStarts(false);
    step = 20.0f;
    probe->setPosition({100.0f, 100.0f});
    scene.update(0.01f);
    EXPECT_EQ(120, drawnLeftEdge(0.0f)) << "no blend without remembered steps";
}

TEST_F(BaseSceneTest, AFrameWithNoVisibleEntityMakesNoDrawCall) {
    // Hidden sprites, and a group, which is never visible: no batch is taken, so nothing binds
    // a texture or a vertex buffer and nothing reaches the window.
    auto scene = loadScene(sceneXml("<sprite_entity sprite='red' x='10' y='10' visible='false'/>"
                                    "<group start='A' end='B'><sprite_entity sprite='red'/></group>"));
    auto drawBinds = [&] {
        graphicstest::prepareFrame();
        glBindTexture(GL_TEXTURE_2D, 0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        scene->update(0.016f);
        scene->render();
        GLint texture = 0, buffer = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &buffer);
        return texture != 0 || buffer != 0;
    };
    EXPECT_FALSE(drawBinds());
    EXPECT_TRUE(graphicstest::near(testsupport::readPixel(15, 15), {0, 0, 0, 255}));
    Texture* red = game->getSpriteManager()->getSprite("red")->getTexture();
    EXPECT_TRUE(game->getSpriteBatches()->getBatches(red).empty());
    static_cast<SpriteEntity*>(scene->getEntities().front())->setVisible(true);
    EXPECT_TRUE(drawBinds()) << "the same frame with the sprite shown draws it";
    EXPECT_TRUE(graphicstest::near(testsupport::readPixel(15, 15), {255, 0, 0, 255}));
}

TEST_F(BaseSceneTest, AnOpaqueBackdropIsDrawnFirstWithoutBlendingAndCoversTheView) {
    // Half-transparent red: blended over black it would be dark red; opaque, it is written as is.
    // The blended sprite above it, on the same texture, still blends.
    auto scene = loadScene(sceneXml("<sprite_entity sprite='red' x='40' y='0' colour='ffffff80' layer='5'/>"
                                    "<sprite_entity sprite='red' width='800' height='600' colour='ffffff80' "
                                    "opaque='true' layer='-9'/>"));
    graphicstest::prepareFrame();
    scene->update(0.016f);
    scene->render();
    EXPECT_TRUE(graphicstest::near(testsupport::readPixel(5, 5), {255, 0, 0, 255}));
    EXPECT_TRUE(graphicstest::near(testsupport::readPixel(45, 5), {255, 0, 0, 255})) << "red over red";
    EXPECT_TRUE(glIsEnabled(GL_BLEND) && glIsEnabled(GL_ALPHA_TEST)) << "blending is back on for the rest";
    EXPECT_TRUE(scene->coversView());
    static_cast<SpriteEntity*>(scene->getEntities().front())->setPosition({1.0f, 0.0f});
    scene->render();
    EXPECT_FALSE(scene->coversView()) << "a column of the view is left uncovered";
    // With no alpha at all nothing is drawn, so the frame must still clear.
    for (const char* element :
         {"<sprite_entity sprite='red' width='800' height='600' colour='ffffff00' opaque='true'/>",
          "<gradient width='800' height='600' colour='ffffff00' opaque='true'>"
          "<stop row='0' colour='ffffff'/></gradient>"}) {
        auto invisible = loadScene(sceneXml(element));
        invisible->render();
        EXPECT_FALSE(invisible->coversView()) << element;
    }
}

// A picture the scene knows only through IPicture and IRenderable: untextured, over the whole
// view, laid by a clear to green when it may be, a red quad when it is drawn in full.
class ClearedBackdrop final : public IEntity, public IPicture, public IRenderable {
public:
    explicit ClearedBackdrop(bool opaque) : opaque(opaque) {}
    void load(const TiXmlHandle&, IScene*) override {}
    void update(float) override {}
    void postUpdate(float) override {}
    void render(SpriteBatch* batch) override { batch->addColourQuad(0, 0, 800, 600, kRed, kRed); }
    void reset() override {}
    void onCollision(CollisionResult*) override {}
    bool isActive() override { return true; }
    bool isVisible() override { return true; }
    const Vector2& getPosition() override { return position; }
    int32_t getLayer() override { return -9; }
    IRenderable* getRenderable() override { return this; }
    ICollider* getCollider() override { return nullptr; }
    IScene* getScene() override { return nullptr; }
    void setScene(IScene*) override {}
    bool isOpaque() const override { return opaque; }
    bool covers(const Rect&) const override { return true; }
    bool clearColour(Colour& colour) const override {
        colour = {0.0f, 1.0f, 0.0f, 1.0f};
        return true;
    }
    Texture* getTexture() override { return nullptr; }
    bool isUntextured() override { return true; }

private:
    static constexpr Colour kRed{1.0f, 0.0f, 0.0f, 1.0f};
    bool opaque;
    Vector2 position;
};

// The scene asks only the picture: any entity that answers IPicture is laid first, by its clear;
// one that says it is not opaque is drawn in full like any other, and the view is not covered.
TEST_F(BaseSceneTest, TheBackdropIsAskedOnlyThroughThePicture) {
    for (bool opaque : {true, false}) {
        auto scene = loadScene(sceneXml("<sprite_entity sprite='red' x='40' y='0' layer='5'/>"));
        scene->addEntity(new ClearedBackdrop(opaque));
        graphicstest::prepareFrame({90, 90, 90, 255});
        scene->update(0.016f);
        scene->render();
        const std::array<uint8_t, 4> expected{static_cast<uint8_t>(opaque ? 0 : 255),
                                              static_cast<uint8_t>(opaque ? 255 : 0), 0, 255};
        EXPECT_TRUE(graphicstest::near(testsupport::readPixel(400, 300), expected)) << opaque;
        EXPECT_EQ(opaque, scene->coversView());
    }
}

// Stops from black on row 10 to (10, 20, 0) on row 20, the same on row 500, and (20, 40, 0) on
// row 510: each row between two stops gets its exact share, rows outside the stops keep the
// nearest stop's colour. Drawn opaque it covers the view (and its flat middle is filled by a
// clear); a blended gradient and a textured sprite above it are drawn in layer order over it.
TEST_F(BaseSceneTest, AGradientGivesEveryRowItsInterpolatedColour) {
    auto scene = loadScene(sceneXml("<gradient width='800' height='600' opaque='true' layer='-9'>"
                                    "<stop row='10' colour='000000'/><stop row='20' colour='0a1400'/>"
                                    "<stop row='500' colour='0a1400'/><stop row='510' colour='142800'/></gradient>"
                                    "<gradient x='100' y='100' width='50' height='50' layer='2'>"
                                    "<stop row='0' colour='ff000080'/></gradient>"
                                    "<sprite_entity sprite='green' x='120' y='120' layer='3'/>"));
    graphicstest::prepareFrame({90, 90, 90, 255});
    scene->update(0.016f);
    scene->render();
    for (int row : {0, 9, 10, 13, 17, 20, 21, 300, 500, 503, 510, 599}) {
        const int share = std::clamp(row - 10, 0, 10) + std::clamp(row - 500, 0, 10);
        const std::array<uint8_t, 4> pixel = testsupport::readPixel(700, row);
        EXPECT_EQ(share, pixel[0]) << "row " << row;
        EXPECT_EQ(2 * share, pixel[1]) << "row " << row;
        EXPECT_EQ(0, pixel[2]) << "row " << row;
    }
    EXPECT_TRUE(scene->coversView());
    EXPECT_TRUE(graphicstest::near(testsupport::readPixel(105, 105), {133, 10, 0, 255})) << "half red over (10, 20, 0)";
    EXPECT_TRUE(graphicstest::near(testsupport::readPixel(125, 125), {0, 255, 0, 255})) << "the sprite above both";
    EXPECT_TRUE(glIsEnabled(GL_BLEND) && glIsEnabled(GL_ALPHA_TEST) && !glIsEnabled(GL_TEXTURE_2D));
    GLint shading = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shading);
    EXPECT_EQ(GL_SMOOTH, shading) << "the gradient bands need smooth shading";
}

TEST_F(BaseSceneTest, RenderingWithoutABatchRegistryIsAnError) {
    SceneContext noBatches = game->sceneContext();
    noBatches.batches = nullptr;
    BaseScene scene(noBatches);
    TiXmlDocument document;
    document.Parse(sceneXml("<sprite_entity sprite='red'/>").c_str());
    scene.load(TiXmlHandle(document.RootElement()));
    try {
        scene.render();
        FAIL() << "a frame was silently not drawn";
    } catch (const SceneException& e) {
        EXPECT_EQ("Scene Exception: main: No sprite batch registry to draw with!", e.message);
    }
}

TEST_F(BaseSceneTest, EntitiesAreUpdatedInLayerOrderFromTheFirstFrameAfterSceneStarted) {
    auto scene = loadScene<ProbeScene>(sceneXml("<probe label='c' layer='3' sprite='red'/>"
                                                "<probe label='a' layer='1' sprite='red'/>"
                                                "<probe label='b' layer='2' sprite='red'/>"));
    SceneListener listener;
    scene->registerCallback(SCENE_STARTED, &listener);
    scene->update(0.016f);
    scene->update(0.016f);
    EXPECT_EQ((std::vector<std::string>{"event SCENE_STARTED", "update a", "update b", "update c", "post a", "post b",
                                        "post c", "update a", "update b", "update c", "post a", "post b", "post c"}),
              journal);
}

TEST_F(BaseSceneTest, AnEntityRemovingItselfIsPostUpdatedThenDestroyedOnceAndNotDrawn) {
    auto scene = loadScene<ProbeScene>(sceneXml("<probe label='a' sprite='red'/><probe label='b' sprite='red'/>"));
    scene->probe("a")->onUpdate = [&](ProbeEntity* self) {
        scene->removeEntity(self, true);
        scene->removeEntity(self, true); // the second request finds nothing
    };
    graphicstest::prepareFrame();
    scene->update(0.016f);
    scene->render();
    EXPECT_EQ((std::vector<std::string>{"update a", "update b", "post a", "post b", "destroy a", "render b"}), journal);
    EXPECT_EQ(1, ProbeEntity::sharedCount);
    EXPECT_EQ(1u, scene->getEntities().size());
}

TEST_F(BaseSceneTest, RemovingWithoutDestroyHandsTheEntityBack) {
    auto scene = loadScene<ProbeScene>(sceneXml("<probe label='a' sprite='red'/>"));
    ProbeEntity* a = scene->probe("a");
    scene->removeEntity(a, false);
    scene->removeEntity(nullptr, true);
    scene->update(0.0f);
    EXPECT_TRUE(scene->getEntities().empty());
    EXPECT_EQ(0, ProbeEntity::sharedCount);
    delete a;
}

TEST_F(BaseSceneTest, AnEntityAddedDuringTheFirstPassIsUpdatedAndPostUpdatedInThatFrame) {
    auto scene = loadScene<ProbeScene>(sceneXml("<probe label='a' sprite='red'/>"));
    auto* late = new ProbeEntity();
    late->label = "late";
    scene->probe("a")->onUpdate = [&](ProbeEntity* self) {
        scene->addEntity(late);
        self->onUpdate = nullptr;
    };
    scene->update(0.016f);
    EXPECT_EQ((std::vector<std::string>{"update a", "update late", "post a", "post late"}), journal);
    EXPECT_EQ(scene.get(), late->getScene());
}

TEST_F(BaseSceneTest, AddingTheSameEntityTwicePrintsOnceAndKeepsOneElement) {
    auto scene = loadScene<ProbeScene>(sceneXml("<probe label='a' sprite='red'/>"));
    testing::internal::CaptureStdout();
    scene->addEntity(scene->probe("a"));
    EXPECT_EQ("Entity already in scene!", testing::internal::GetCapturedStdout());
    EXPECT_EQ(1u, scene->getEntities().size());
}

TEST_F(BaseSceneTest, SceneEndedIsDispatchedBeforeAnyEntityIsDestroyed) {
    auto scene = loadScene<ProbeScene>(sceneXml("<probe label='a' sprite='red'/>"));
    SceneListener listener;
    scene->registerCallback(SCENE_ENDED, &listener);
    scene.reset();
    EXPECT_EQ((std::vector<std::string>{"event SCENE_ENDED", "destroy a"}), journal);
}

// Owns probes and lends them to a scene; destroys one only when the scene hands it back.
struct ProbeLender : IEntityLender {
    ProbeEntity* make(const std::string& label) {
        held.push_back(std::make_unique<ProbeEntity>());
        auto* probe = static_cast<ProbeEntity*>(held.back().get());
        probe->label = label;
        return probe;
    }
    std::unique_ptr<IEntity> reclaim(IEntity* entity) override {
        auto found = std::find_if(held.begin(), held.end(), [&](const auto& e) { return e.get() == entity; });
        journal.push_back("reclaim " + static_cast<ProbeEntity*>(entity)->label);
        std::unique_ptr<IEntity> back = std::move(*found);
        held.erase(found);
        return back;
    }
    OwnedEntities held;
};

TEST_F(BaseSceneTest, EveryEntityHasOneOwnerAndDiesOnceWithItInListOrder) {
    ProbeLender lender; // outlives the scene, as a level list outlives its game scene
    auto scene = loadScene<ProbeScene>(sceneXml("<probe label='a' sprite='red'/>"));
    for (const char* label : {"gone", "back", "early", "kept"})
        scene->lendEntity(lender.make(label), lender);
    auto* owned = new ProbeEntity();
    owned->label = "z";
    scene->addEntity(owned);
    scene->removeEntity(scene->probe("gone"), true);
    scene->removeEntity(scene->probe("back"), false);
    scene->update(0.0f);
    scene->endLoan(scene->probe("early"));
    EXPECT_EQ(3u, scene->getEntities().size());
    scene.reset();
    std::vector<std::string> deaths;
    std::copy_if(journal.begin(), journal.end(), std::back_inserter(deaths),
                 [](const std::string& line) { return line.rfind("update", 0) != 0 && line.rfind("post", 0) != 0; });
    EXPECT_EQ((std::vector<std::string>{"reclaim gone", "destroy gone", "destroy a", "reclaim kept", "destroy kept",
                                        "destroy z"}),
              deaths);
    ASSERT_EQ(2u, lender.held.size()) << "what left the scene alive went back to its lender";
    lender.held.clear();
    EXPECT_EQ(6, ProbeEntity::sharedCount);
}

TEST_F(BaseSceneTest, TestCollisionReportsTheNearestHitAlongThePathOnly) {
    // Two boxes across the path of a circle moving right; both are in the way, the nearer wins
    // although the other is listed first, and only it is told. Equal distances go to the first
    // listed.
    auto scene = loadScene<ProbeScene>(sceneXml("<sprite_entity sprite='red' x='500'/>"
                                                "<probebox label='far' sprite='red' x='100' y='0' layer='1'/>"
                                                "<probebox label='near' sprite='red' x='60' y='0' layer='2'/>"));
    Vector2 start{0, 0}, end{200, 0};
    auto* ball = new MovingProbe();
    ball->label = "ball";
    ball->collider = new SweptCircleCollider(false, start, end, 5.0f, Vector2{5, 5}, nullptr);
    scene->addEntity(ball);
    EXPECT_EQ(ball, ball->collider->getOwner());
    std::optional<CollisionResult> result = scene->testCollision(ball);
    ASSERT_TRUE(result.has_value());
    // Contact when the centre is 5 short of x = 60: the owner's position is then x = 50.
    EXPECT_FLOAT_EQ(50.0f, result->point.x);
    EXPECT_EQ(ball->collider, result->first);
    EXPECT_EQ((std::vector<std::string>{"hit near"}), journal);

    journal.clear();
    for (IEntity* entity : scene->getEntities()) {
        if (auto* box = dynamic_cast<ProbeBox*>(entity); box && box->label == "near")
            box->setPosition({100, 0}); // level with the far one, which is listed first
    }
    result = scene->testCollision(ball);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ((std::vector<std::string>{"hit far"}), journal);
}

TEST_F(BaseSceneTest, TestCollisionByAnInactiveEntityOrOneWithoutColliderThrows) {
    auto scene = loadScene<ProbeScene>(sceneXml("<probe label='a' sprite='red'/><box sprite='red' enabled='false'/>"));
    try {
        scene->testCollision(scene->probe("a"));
        FAIL() << "no exception";
    } catch (const SceneException& e) {
        EXPECT_EQ("Scene Exception: main: testCollision called by an inactive entity or an entity without a collider!",
                  e.message);
    }
    EXPECT_THROW(scene->testCollision(scene->getEntities().back()), SceneException);
}

} // namespace
