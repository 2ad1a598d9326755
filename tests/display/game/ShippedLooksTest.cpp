// What the shipped game draws for its timers and flashes, read back from the window: the capsule
// timers stand in the HUD band above the field, and a bounce off a wall flashes where the ball met
// it and is gone a moment later.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ShippedGame.h"
#include "TestSupport.h"
#include "game/GameEvents.h"
#include "graphics/GraphicsTestSupport.h"
#include "rules/PowerUps.h"

namespace {

using shippedtest::kDt;
using shippedtest::ShippedGame;
using testsupport::readPixel;

// The frame as the frame loop draws it.
void draw(PellvaneGameScene& scene) {
    graphicstest::prepareFrame();
    scene.render();
}

int brightness(const std::array<uint8_t, 4>& pixel) {
    return pixel[0] + pixel[1] + pixel[2];
}

// Pixels of the rectangle that differ from `before` by more than a little.
int changed(const std::vector<std::array<uint8_t, 4>>& before, int x, int y, int width, int height) {
    int count = 0;
    std::size_t i = 0;
    for (int row = y; row < y + height; ++row)
        for (int column = x; column < x + width; ++column, ++i)
            count += std::abs(brightness(readPixel(column, row)) - brightness(before[i])) > 30 ? 1 : 0;
    return count;
}

std::vector<std::array<uint8_t, 4>> pixels(int x, int y, int width, int height) {
    std::vector<std::array<uint8_t, 4>> read;
    for (int row = y; row < y + height; ++row)
        for (int column = x; column < x + width; ++column)
            read.push_back(readPixel(column, row));
    return read;
}

class WallPlace final : public IEventCallback {
public:
    bool handleEvent(IEvent* event) override {
        if (const auto* game = dynamic_cast<const PellvaneEvent*>(event); game != nullptr && game->where)
            where = game->where;
        return false;
    }
    std::optional<Vector2> where;
};

TEST(ShippedLooksTest, TimersStandInTheHudBandAndAWallBounceFlashesWhereTheBallMetIt) {
    ShippedGame shipped;
    ASSERT_TRUE(shipped.started());
    PellvaneGameScene& scene = *shipped.scene;
    scene.newGame();
    ASSERT_TRUE(shipped.untilPlaying());
    const Rect area = scene.getGameArea();

    // The HUD band is the strip above the field; the field's top left is where timers once stood.
    const int bandTop = 28, bandHeight = static_cast<int>(area.y) - 8 - bandTop;
    draw(scene);
    const auto bandBefore = pixels(16, bandTop, 120, bandHeight);
    const auto fieldBefore = pixels(static_cast<int>(area.x) + 8, static_cast<int>(area.y) + 8, 120, 20);
    scene.capsuleCaught(PowerUp::Sticky);
    scene.update(kDt);
    draw(scene);
    EXPECT_GT(changed(bandBefore, 16, bandTop, 120, bandHeight), 200) << "the timer is drawn in the HUD band";
    EXPECT_LT(changed(fieldBefore, static_cast<int>(area.x) + 8, static_cast<int>(area.y) + 8, 120, 20), 20)
        << "and not in the field";

    // The ball sent into the left wall: a flash where they met, gone a quarter of a second later.
    WallPlace wall;
    scene.registerCallback(PELLVANE_WALL_BOUNCE, &wall);
    gametest::GameFixture::pressKeyOn(*shipped.game, kKeySpace, true);
    gametest::GameFixture::pressKeyOn(*shipped.game, kKeySpace, false);
    scene.update(kDt);
    ASSERT_FALSE(shipped.ball->isHeld());
    shipped.ball->setPosition({area.x + 60.0f, area.y + 300.0f});
    shipped.ball->setVelocity({-400.0f, -150.0f});
    for (int frame = 0; frame < 60 && !wall.where; ++frame)
        scene.update(kDt);
    scene.unregisterCallback(PELLVANE_WALL_BOUNCE, &wall);
    ASSERT_TRUE(wall.where.has_value());
    EXPECT_NEAR(area.x, wall.where->x, 1.0f) << "the place is on the wall";
    // Beside the place, clear of the ball's own picture (radius 8, centred off the wall) and within
    // the flash's: brighter than the field is there a moment later.
    const int fx = static_cast<int>(wall.where->x) + 2, fy = static_cast<int>(wall.where->y);
    const auto aside = [&] { return brightness(readPixel(fx, fy - 13)) + brightness(readPixel(fx, fy + 13)); };
    draw(scene);
    const int flashed = aside();
    for (int frame = 0; frame < 20; ++frame)
        scene.update(kDt);
    draw(scene);
    const int after = aside();
    EXPECT_GT(flashed, after + 100) << "a flash at (" << fx << ", " << fy << ") that fades out";
}

} // namespace
