// The pointer the game shows and hides: SDL's own state on the real window.
#include <SDL.h>
#include <gtest/gtest.h>

#include "game/GameTestSupport.h"

namespace {

using namespace gametest;

using PointerTest = GameFixture;

// The pointer is SDL's own state on the real window: hidden while a game is in play, shown on the
// title screen, while paused and after game over.
TEST_F(PointerTest, ThePointerHidesOnlyWhileAGameIsInPlay) {
    testsupport::writeFile("one.xml", levelXml(blockXml(0, 0, 1)));
    auto scene = loadGame(gameXml("<level>one.xml</level>"));
    scene->update(kDt);
    EXPECT_EQ(SDL_ENABLE, SDL_ShowCursor(SDL_QUERY));
    scene->newGame();
    scene->update(kDt);
    EXPECT_EQ(SDL_DISABLE, SDL_ShowCursor(SDL_QUERY));
    scene->pause();
    EXPECT_EQ(SDL_ENABLE, SDL_ShowCursor(SDL_QUERY));
    scene->resume();
    EXPECT_EQ(SDL_DISABLE, SDL_ShowCursor(SDL_QUERY));
    for (int lost = 0; lost <= scene->getSettings().match.initialLives; ++lost)
        scene->ballLost();
    scene->update(kDt);
    EXPECT_EQ(SDL_ENABLE, SDL_ShowCursor(SDL_QUERY));
}

} // namespace
