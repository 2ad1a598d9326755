// The checks of the loaded game scene that place a level's blocks: inside the game area, apart,
// and far enough above the paddle for the player to answer a ball a block turns back.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "check/GameChecks.h"
#include "game/GameTestSupport.h"

namespace {

using namespace gametest;

class GameChecksTest : public GameFixture {
protected:
    // The warnings of checkGameScene on the levels of `scene`, each "file:line: message", where a
    // level's entities stand on lines 1, 2, ... of its file.
    static std::vector<std::string> warnings(PellvaneGameScene& scene, const std::vector<std::string>& files) {
        std::vector<LevelFile> levels;
        EntityOrigins origins;
        for (std::size_t i = 0; i < files.size(); ++i) {
            levels.push_back({files[i], Location{files[i], 0, 0}, true});
            int line = 0;
            for (IEntity* entity : scene.getLevel(i))
                origins[entity] = {Location{files[i], ++line, 1}, "block"};
        }
        Findings findings;
        std::map<std::string, Location> sounds;
        checkGameScene(scene, levels, origins, findings, sounds);
        std::vector<std::string> lines;
        for (const Finding& finding : findings.sorted())
            lines.push_back(finding.where.file + ":" + std::to_string(finding.where.line) + ": " + finding.message);
        return lines;
    }
};

TEST_F(GameChecksTest, BlocksMustLeaveTheBallRoomAboveThePaddleAtTheLevelsSpeed) {
    // The paddle's top is at 280 and the ball's max_speed is 400: 0.2 s of flight is 80 px, so a
    // block may end at 200. At a level's ball_speed of 1.5 the ball covers 120 px in that time.
    auto scene = loadGame(
        gameXml("<level>near.xml</level><level>fast.xml</level>", "loaded_delay=\"0\"", "max_speed=\"400\""),
        {{"near.xml",
          levelXml(blockXml(0, 190, 1) + blockXml(30, 191, 1) + blockXml(60, 285, 1) + blockXml(120, 295, 1))},
         {"fast.xml", "<level ball_speed=\"1.5\">" + blockXml(0, 150, 1) + blockXml(30, 160, 1) + "</level>"}});
    // Files never named to the findings come by name.
    const std::vector<std::string> expected = {
        "fast.xml:2: block ends 110 px above the paddle's top: a ball it turns back at 600 pixels per second "
        "reaches the paddle in less than 0.2 s (keep 120 px clear)",
        "near.xml:2: block ends 79 px above the paddle's top: a ball it turns back at 400 pixels per second "
        "reaches the paddle in less than 0.2 s (keep 80 px clear)",
        "near.xml:3: block ends 15 px below the paddle's top: a ball it turns back at 400 pixels per second "
        "reaches the paddle in less than 0.2 s (keep 80 px clear)",
        "near.xml:4: block at (120, 295), 20 x 10, reaches outside the game area (0, 0), 200 x 300",
        "near.xml:4: block ends 25 px below the paddle's top: a ball it turns back at 400 pixels per second "
        "reaches the paddle in less than 0.2 s (keep 80 px clear)",
    };
    EXPECT_EQ(expected, warnings(*scene, {"near.xml", "fast.xml"}));
}

} // namespace
