// The shipped levels as a set: each loads through the real game scene, holds only blocks of healths
// 1 to 4, and no two are laid out alike. Where the blocks may stand (inside the area, apart, with
// room above the paddle) is the data checker's to say: check.shipped_data runs it on data/.
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "game/GameTestSupport.h"

namespace {

using namespace gametest;

class ShippedLevelsTest : public GameFixture {};

TEST_F(ShippedLevelsTest, EveryLevelHoldsBlocksOfEachStrengthAndTheyAllDiffer) {
    // The shipped sprite set's block sprites, with the fixture's scratch textures behind them.
    testsupport::writeFile("sprites.xml", R"(<sprites>
        <sprite id="block" texture="red.png" x="0" y="0" width="20" height="10"/>
        <sprite id="block_small" texture="red.png" x="0" y="0" width="20" height="10"/>
        <sprite id="block_hard" texture="red.png" x="0" y="0" width="20" height="10"/>
        <sprite id="block_steel" texture="red.png" x="0" y="0" width="20" height="10"/>
        <sprite id="block_steel_small" texture="red.png" x="0" y="0" width="20" height="10"/>
        <sprite id="block_bomb" texture="red.png" x="0" y="0" width="20" height="10"/>
        <sprite id="block_bomb_small" texture="red.png" x="0" y="0" width="20" height="10"/>
        <sprite id="red" texture="red.png" x="0" y="0" width="20" height="10"/>
        <sprite id="blue" texture="blue.png" x="0" y="0" width="10" height="10"/>
    </sprites>)");
    game->setSpriteManager(std::make_unique<SpriteManager>("sprites.xml", *game->getTextureCache()));
    // The shipped scene's game area and level list, read from the shipped configuration.
    TiXmlDocument config(std::string(PELLVANE_DATA) + "/config.xml");
    ASSERT_TRUE(config.LoadFile());
    TiXmlElement* shipped = config.FirstChildElement("config")->FirstChildElement("scenes")->FirstChildElement();
    ASSERT_EQ("pellvane_game", shipped->ValueStr());
    TiXmlElement* area = shipped->FirstChildElement("game_area");
    TiXmlElement* levels = shipped->FirstChildElement("levels");
    ASSERT_TRUE(area != nullptr && levels != nullptr);
    levels->SetAttribute("directory", std::string(PELLVANE_DATA) + "/" + levels->Attribute("directory"));
    // The fixture's sound set has none of the shipped tracks the levels name.
    for (TiXmlElement* level = levels->FirstChildElement("level"); level != nullptr;
         level = level->NextSiblingElement("level"))
        level->RemoveAttribute("music");
    TiXmlPrinter areaText, levelsText;
    area->Accept(&areaText);
    levels->Accept(&levelsText);
    auto scene = loadGame(R"(<pellvane_game id="game">)" + areaText.Str() + levelsText.Str() +
                          R"(<entities><paddle sprite="red" x="400" y="560"/><ball sprite="blue"/></entities>
                             </pellvane_game>)");

    ASSERT_GE(scene->getLevelCount(), 8u);
    std::set<std::vector<std::pair<int, int>>> layouts;
    std::set<int> healthsSeen;
    for (std::size_t i = 0; i < scene->getLevelCount(); ++i) {
        const std::vector<IEntity*>& level = scene->getLevel(i);
        EXPECT_GE(level.size(), 20u) << "level " << i + 1;
        std::vector<std::pair<int, int>> layout;
        for (IEntity* entity : level) {
            auto* block = dynamic_cast<PellvaneBlockEntity*>(entity);
            ASSERT_NE(nullptr, block) << "level " << i + 1 << " holds only blocks";
            EXPECT_GE(block->getInitialHealth(), 1);
            EXPECT_LE(block->getInitialHealth(), 4);
            healthsSeen.insert(block->getInitialHealth());
            const Vector2 at = block->getPosition();
            layout.emplace_back(static_cast<int>(at.x) * 10 + block->getInitialHealth(), static_cast<int>(at.y));
        }
        layouts.insert(layout);
    }
    EXPECT_EQ(scene->getLevelCount(), layouts.size()) << "no two levels share a layout and strength mix";
    EXPECT_EQ((std::set<int>{1, 2, 3, 4}), healthsSeen);
}

} // namespace
