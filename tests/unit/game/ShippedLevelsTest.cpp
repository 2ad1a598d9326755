// The shipped levels as data: each loads through the real game scene, keeps its blocks inside the
// game area without overlaps, uses healths 1 to 4, and no two levels are laid out alike.
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "game/GameTestSupport.h"

namespace {

// How far below the game area's top a block may reach: the paddle's top is 496 px down.
constexpr float kLowestBlockBottom = 400.0f;

using namespace gametest;

class ShippedLevelsTest : public GameFixture {};

TEST_F(ShippedLevelsTest, EveryLevelFitsTheGameAreaWithoutOverlapsAndTheyAllDiffer) {
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
    TiXmlPrinter areaText, levelsText;
    area->Accept(&areaText);
    levels->Accept(&levelsText);
    auto scene = loadGame(R"(<pellvane_game id="game">)" + areaText.Str() + levelsText.Str() +
                          R"(<entities><paddle sprite="red" x="400" y="560"/><ball sprite="blue"/></entities>
                             </pellvane_game>)");

    ASSERT_GE(scene->getLevelCount(), 8u);
    const Rect bounds = scene->getGameArea();
    std::set<std::vector<std::pair<int, int>>> layouts;
    std::set<int> healthsSeen;
    for (std::size_t i = 0; i < scene->getLevelCount(); ++i) {
        const std::vector<IEntity*>& level = scene->getLevel(i);
        EXPECT_GE(level.size(), 20u) << "level " << i + 1;
        std::vector<std::pair<int, int>> layout;
        std::vector<Rect> boxes;
        for (IEntity* entity : level) {
            auto* block = dynamic_cast<PellvaneBlockEntity*>(entity);
            ASSERT_NE(nullptr, block) << "level " << i + 1 << " holds only blocks";
            EXPECT_GE(block->getInitialHealth(), 1);
            EXPECT_LE(block->getInitialHealth(), 4);
            healthsSeen.insert(block->getInitialHealth());
            const Rect box{block->getPosition().x, block->getPosition().y, block->getSize().x, block->getSize().y};
            EXPECT_GE(box.x, bounds.x) << "level " << i + 1;
            EXPECT_LE(box.x + box.width, bounds.x + bounds.width) << "level " << i + 1;
            EXPECT_GE(box.y, bounds.y) << "level " << i + 1;
            // Low shapes are welcome, but the ball needs room above the paddle to be played.
            EXPECT_LE(box.y + box.height, bounds.y + kLowestBlockBottom) << "level " << i + 1;
            for (const Rect& other : boxes) {
                const bool apart = box.x >= other.x + other.width || other.x >= box.x + box.width ||
                                   box.y >= other.y + other.height || other.y >= box.y + box.height;
                EXPECT_TRUE(apart) << "level " << i + 1 << " has overlapping blocks at " << box.x << ", " << box.y;
            }
            boxes.push_back(box);
            layout.emplace_back(static_cast<int>(box.x) * 10 + block->getInitialHealth(), static_cast<int>(box.y));
        }
        layouts.insert(layout);
    }
    EXPECT_EQ(scene->getLevelCount(), layouts.size()) << "no two levels share a layout and strength mix";
    EXPECT_EQ((std::set<int>{1, 2, 3, 4}), healthsSeen);
}

} // namespace
