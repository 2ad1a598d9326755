// A play-through of the shipped data: the real configuration, scene, levels, sprites and sounds,
// driven at a fixed step by the play-through's autopilot, which only presses keys, as a player would.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

#include "PlayThrough.h"
#include "app/Game.h"
#include "game/GameTestSupport.h"

namespace {

using namespace gametest;

// Makes `dir` the working directory for its lifetime, as the play command does with data/.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& dir) : previous(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~WorkingDirectory() { std::filesystem::current_path(previous); }

private:
    std::filesystem::path previous;
};

// Twenty simulated minutes at the fixed step.
constexpr int kMaxFrames = 20 * 60 * 60;
// Drawing every frame adds nothing the others do not; every tenth keeps rendering in the run.
constexpr int kRenderEvery = 10;

TEST(AutopilotTest, ClearsTheFirstShippedLevelWithThePointsOfItsBlocks) {
    auto owned = std::make_unique<Game>();
    // The capsules come in the same order in every run, so its figures repeat.
    owned->setCapsuleSeed(1);
    WorkingDirectory inData(PELLVANE_DATA);
    Game* game = owned.get();
    game->init(800, 600);
    ASSERT_FALSE(game->quitRequested) << "the shipped configuration loads";
    auto* scene = dynamic_cast<PellvaneGameScene*>(game->getCurrentScene());
    ASSERT_NE(nullptr, scene);
    PellvanePaddleEntity* paddle = GameFixture::firstOf<PellvanePaddleEntity>(*scene);
    PellvaneBallEntity* ball = GameFixture::firstOf<PellvaneBallEntity>(*scene);
    ASSERT_TRUE(paddle != nullptr && ball != nullptr);

    int expectedScore = 0;
    for (IEntity* entity : scene->getLevel(0)) {
        auto* block = dynamic_cast<PellvaneBlockEntity*>(entity);
        ASSERT_NE(nullptr, block);
        expectedScore += kPointsPerHealth * block->getInitialHealth();
    }

    std::srand(20261207u);
    playthrough::Autopilot pilot(*scene, *paddle, *ball, 20261207u);
    scene->newGame();
    int frame = 0;
    int gamesLost = 0;
    int ballsLost = 0;
    int lives = scene->getLives();
    // Until the next level is in play: a cleared level may rest on screen a moment first.
    for (; frame < kMaxFrames && scene->getCurrentLevel() == 0; ++frame) {
        pilot.step(kDt);
        ASSERT_NO_THROW(scene->update(kDt)) << "frame " << frame;
        if (frame % kRenderEvery == 0) {
            ASSERT_NO_THROW(scene->render());
        }
        if (scene->getLives() < lives)
            ++ballsLost;
        lives = scene->getLives();
        if (scene->getState() == GameOver) {
            ++gamesLost;
            scene->newGame();
            lives = scene->getLives();
        }
    }
    std::fprintf(stderr, "autopilot: level 1 cleared after %.1f simulated s, %d balls lost, %d games lost\n",
                 frame * kDt, ballsLost, gamesLost);
    EXPECT_EQ(1, scene->getLevelsCompleted()) << "level 1 not cleared in 20 simulated minutes";
    EXPECT_EQ(1u, scene->getCurrentLevel());
    // Each block paid its points times the chain's multiplier (1 to "chain_most"), and the level's
    // bonus and every capsule caught come on top.
    int capsules = 0;
    for (std::size_t kind = 0; kind < kPowerUpCount; ++kind)
        capsules += scene->getCaughtCount(static_cast<PowerUp>(kind));
    const Match& match = scene->getMatch();
    const int blocksPaid = scene->getScore() - match.getBonus() - capsules * match.getPowerUpSettings().points;
    EXPECT_GE(blocksPaid, expectedScore);
    EXPECT_LE(blocksPaid, expectedScore * match.getSettings().chainMost);
}

} // namespace
