// The box and swept-circle colliders through ICollider: the pair table, results and their
// ownership, live references to the owner's fields, offsets, boxes of any size and the owner link.
#include <array>
#include <gtest/gtest.h>
#include <memory>

#include "collision/AABBCollider.h"
#include "collision/CollisionResult.h"
#include "collision/Separation.h"
#include "collision/SweptCircleCollider.h"
#include "scene/IEntity.h"

namespace {

// The least entity that can own a collider: colliders only store and return the pointer.
class OwnerEntity final : public IEntity {
public:
    void load(const TiXmlHandle&, IScene*) override {}
    void update(float) override {}
    void postUpdate(float) override {}
    void render(SpriteBatch*) override {}
    void reset() override {}
    void onCollision(CollisionResult*) override {}
    bool isActive() override { return true; }
    bool isVisible() override { return true; }
    const Vector2& getPosition() override { return position; }
    int32_t getLayer() override { return 0; }
    IRenderable* getRenderable() override { return nullptr; }
    ICollider* getCollider() override { return nullptr; }
    IScene* getScene() override { return nullptr; }
    void setScene(IScene*) override {}
    Vector2 position;
};

using Result = std::optional<CollisionResult>;

} // namespace

TEST(Colliders, ReportTheirKindStaticFlagAndOwner) {
    OwnerEntity first, second;
    const Vector2 where{1.0f, 2.0f};
    AABBCollider box(true, where, 10.0f, 10.0f, {}, &first);
    SweptCircleCollider circle(false, where, where, 3.0f, {}, &first);

    EXPECT_EQ(box.getType(), kAABBColliderType);
    EXPECT_EQ(box.getType(), 0);
    EXPECT_EQ(circle.getType(), kSweptCircleColliderType);
    EXPECT_EQ(circle.getType(), 1);
    EXPECT_TRUE(box.isStatic());
    EXPECT_FALSE(circle.isStatic());
    EXPECT_EQ(box.getOwner(), &first);
    box.setOwner(&second);
    circle.setOwner(&second);
    EXPECT_EQ(box.getOwner(), &second);
    EXPECT_EQ(circle.getOwner(), &second);
}

TEST(Colliders, SameKindsNeverCollide) {
    const Vector2 a{0.0f, 0.0f}, b{5.0f, 5.0f}, far{500.0f, 500.0f};
    AABBCollider box1(true, a, 10.0f, 10.0f, {}, nullptr);
    AABBCollider box2(true, b, 10.0f, 10.0f, {}, nullptr);
    SweptCircleCollider circle1(false, a, far, 8.0f, {}, nullptr);
    SweptCircleCollider circle2(false, b, a, 8.0f, {}, nullptr);

    EXPECT_FALSE(box1.testCollision(&box2));
    EXPECT_FALSE(box1.testCollision(&box1));
    EXPECT_FALSE(circle1.testCollision(&circle2));
    EXPECT_FALSE(circle1.testCollision(&circle1));
    EXPECT_FALSE(box1.testCollision(nullptr));
    EXPECT_FALSE(circle1.testCollision(nullptr));
}

TEST(AABBCollider, BoundsFollowTheOwnersPositionWithOffset) {
    Vector2 position{10.0f, 20.0f};
    AABBCollider box(true, position, 30.0f, 40.0f, {5.0f, -2.0f}, nullptr);
    Rect bounds = box.getBounds();
    EXPECT_EQ(bounds.x, 15.0f);
    EXPECT_EQ(bounds.y, 18.0f);
    EXPECT_EQ(bounds.width, 30.0f);
    EXPECT_EQ(bounds.height, 40.0f);

    position = {100.0f, 200.0f};
    bounds = box.getBounds();
    EXPECT_EQ(bounds.x, 105.0f);
    EXPECT_EQ(bounds.y, 198.0f);
}

TEST(AABBCollider, ANegativeSizeSpansBackFromThePositionForEveryQuery) {
    // Data can give a box any size: 100, 100 with -50 x -20 is the box from 50, 80 to 100, 100.
    const Vector2 position{100.0f, 100.0f};
    AABBCollider box(true, position, -50.0f, -20.0f, {}, nullptr);
    const Rect bounds = box.getBounds();
    EXPECT_EQ((std::array<float, 4>{50.0f, 80.0f, 50.0f, 20.0f}),
              (std::array<float, 4>{bounds.x, bounds.y, bounds.width, bounds.height}));

    // A circle coming from the left stops one radius before its left side.
    const Vector2 start{20.0f, 90.0f}, end{80.0f, 90.0f};
    SweptCircleCollider ball(false, start, end, 5.0f, {}, nullptr);
    const Result hit(ball.testCollision(&box));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->point, (Vector2{45.0f, 90.0f}));
    EXPECT_EQ(hit->normal, (Vector2{-1.0f, 0.0f}));

    // A circle inside is moved out past the nearest side, the left one, whichever way the size runs.
    for (const Rect& rect : {Rect{100.0f, 100.0f, -50.0f, -20.0f}, bounds})
        EXPECT_EQ(separateCircleFromRects({52.0f, 90.0f}, 5.0f, {rect}), (Vector2{45.0f, 90.0f}));
}

TEST(AABBCollider, TestsTheCirclesStartOnly) {
    OwnerEntity boxOwner, ballOwner;
    const Vector2 boxPosition{100.0f, 100.0f};
    AABBCollider box(true, boxPosition, 50.0f, 20.0f, {}, &boxOwner);
    // The circle's centre is its start plus (4, 4): (94, 110), 6 px left of the box.
    Vector2 start{90.0f, 106.0f}, end{300.0f, 106.0f};
    SweptCircleCollider ball(false, start, end, 6.0f, {4.0f, 4.0f}, &ballOwner);

    const Result hit(box.testCollision(&ball));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->first, &box);
    EXPECT_EQ(hit->second, &ball);
    EXPECT_EQ(hit->first->getOwner(), &boxOwner);
    EXPECT_EQ(hit->second->getOwner(), &ballOwner);
    EXPECT_EQ(hit->point, (Vector2{100.0f, 110.0f}));
    EXPECT_EQ(hit->normal, (Vector2{0.0f, 0.0f}));

    // The end runs through the box, but a box only looks at where the circle is now.
    start = {80.0f, 106.0f};
    EXPECT_FALSE(box.testCollision(&ball).has_value());
}

TEST(SweptCircleCollider, FallingOntoABoxGivesTheOwnersPositionAtContact) {
    OwnerEntity ballOwner;
    const Vector2 boxPosition{100.0f, 100.0f};
    AABBCollider box(true, boxPosition, 50.0f, 20.0f, {}, nullptr);
    // A 10 x 10 ball whose circle of radius 5 sits at its centre.
    Vector2 position{120.0f, 40.0f}, nextPosition{120.0f, 140.0f};
    SweptCircleCollider ball(false, position, nextPosition, 5.0f, {5.0f, 5.0f}, &ballOwner);

    const Result hit(ball.testCollision(&box));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->first, &ball);
    EXPECT_EQ(hit->second, &box);
    // Contact centre (125, 95) minus the offset.
    EXPECT_EQ(hit->point, (Vector2{120.0f, 90.0f}));
    EXPECT_EQ(hit->normal, (Vector2{0.0f, -1.0f}));
}

TEST(SweptCircleCollider, ReadsStartAndEndAtEveryTest) {
    const Vector2 boxPosition{100.0f, 100.0f};
    AABBCollider box(true, boxPosition, 50.0f, 20.0f, {}, nullptr);
    Vector2 position{120.0f, 40.0f}, nextPosition{120.0f, 60.0f};
    SweptCircleCollider ball(false, position, nextPosition, 5.0f, {}, nullptr);
    EXPECT_EQ(ball.getStartCentre(), (Vector2{120.0f, 40.0f}));
    EXPECT_FALSE(ball.testCollision(&box).has_value());

    nextPosition = {120.0f, 140.0f};
    EXPECT_EQ(ball.getEndCentre(), (Vector2{120.0f, 140.0f}));
    const Result down(ball.testCollision(&box));
    ASSERT_TRUE(down);
    EXPECT_EQ(down->point, (Vector2{120.0f, 95.0f}));

    // Moving the box moves what the circle hits.
    AABBCollider movedBox(true, boxPosition, 50.0f, 20.0f, {0.0f, 10.0f}, nullptr);
    const Result lower(ball.testCollision(&movedBox));
    ASSERT_TRUE(lower);
    EXPECT_EQ(lower->point, (Vector2{120.0f, 105.0f}));
}

TEST(SweptCircleCollider, StandingCircleHitsWithoutNormal) {
    const Vector2 boxPosition{100.0f, 100.0f};
    AABBCollider box(true, boxPosition, 50.0f, 20.0f, {}, nullptr);
    const Vector2 still{92.0f, 105.0f};
    SweptCircleCollider ball(false, still, still, 6.0f, {3.0f, 3.0f}, nullptr);

    const Result hit(ball.testCollision(&box));
    ASSERT_TRUE(hit);
    // The box point nearest to the centre (95, 108), less the offset.
    EXPECT_EQ(hit->point, (Vector2{97.0f, 105.0f}));
    EXPECT_EQ(hit->normal, (Vector2{0.0f, 0.0f}));
}

TEST(SweptCircleCollider, DestroyedThroughTheInterface) {
    const Vector2 a{0.0f, 0.0f};
    std::unique_ptr<ICollider> circle = std::make_unique<SweptCircleCollider>(false, a, a, 1.0f, Vector2{}, nullptr);
    std::unique_ptr<ICollider> box = std::make_unique<AABBCollider>(true, a, 1.0f, 1.0f, Vector2{}, nullptr);
    const Result hit(circle->testCollision(box.get()));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->second, box.get());
}
