// The game scene's loading: settings and their defaults, level files and their paths, every
// message, the factory, level swapping and ownership.
#include <gtest/gtest.h>
#include <string>

#include "base/Exceptions.h"
#include "game/GameTestSupport.h"
#include "scene/BoxEntity.h"
#include "scene/TypeNames.h"

namespace {

using namespace gametest;

class PellvaneGameSceneTest : public GameFixture {
protected:
    // The message of the exception loading `text` throws, or "" when it loads.
    std::string loadError(const std::string& text, const std::map<std::string, std::string>& files = {}) {
        try {
            loadGame(text, files);
        } catch (const BaseException& error) {
            return error.message;
        }
        return "";
    }
    // A scene with the defaults of everything but what is given.
    static std::string withLevels(const std::string& levels, const std::string& children = "",
                                  const std::string& attributes = "") {
        return R"(<pellvane_game id="game" )" + attributes + ">" + children + levels +
               R"(<entities><paddle sprite="red" x="0" y="280"/><ball sprite="blue"/></entities></pellvane_game>)";
    }
};

TEST_F(PellvaneGameSceneTest, SettingsHaveDefaultsAndAreReadWhenTheyParse) {
    testsupport::writeFile("one.xml", levelXml(blockXml(0, 0, 1)));
    auto plain = loadGame(withLevels("<levels><level>one.xml</level></levels>"));
    EXPECT_EQ(3, plain->getSettings().match.initialLives);
    EXPECT_EQ(3, plain->getLives());
    EXPECT_EQ(0, plain->getScore());
    EXPECT_EQ(0, plain->getLevelsCompleted());
    EXPECT_FLOAT_EQ(0.1f, plain->getSettings().match.loadedDelay);
    const Rect area = plain->getGameArea();
    EXPECT_FLOAT_EQ(32.0f, area.x);
    EXPECT_FLOAT_EQ(32.0f, area.y);
    EXPECT_FLOAT_EQ(736.0f, area.width);
    EXPECT_FLOAT_EQ(568.0f, area.height);
    ASSERT_EQ(3u, plain->getBlockColours().size());
    EXPECT_EQ((Colour{1, 0.5f, 0, 1}), plain->getBlockColours()[1]);
    EXPECT_EQ("game", plain->getId());
    EXPECT_FALSE(plain->isInputEnabled());

    auto custom = loadGame(withLevels("<levels><level>one.xml</level></levels>",
                                      R"(<game_area x="10" width="300"/><game_area x="99"/>
                                         <block_colours><colour r="0.5"/><colour g="0" a="0.25"/></block_colours>)",
                                      R"(lives="7" loaded_delay="2.5")"));
    EXPECT_EQ(7, custom->getLives());
    EXPECT_FLOAT_EQ(2.5f, custom->getSettings().match.loadedDelay);
    EXPECT_FLOAT_EQ(10.0f, custom->getGameArea().x);
    EXPECT_FLOAT_EQ(32.0f, custom->getGameArea().y);
    EXPECT_FLOAT_EQ(300.0f, custom->getGameArea().width);
    ASSERT_EQ(2u, custom->getBlockColours().size());
    EXPECT_EQ((Colour{0.5f, 1, 1, 1}), custom->getBlockColours()[0]);
    EXPECT_EQ((Colour{1, 0, 1, 0.25f}), custom->getBlockColours()[1]);

    auto unparsed =
        loadGame(withLevels("<levels><level>one.xml</level></levels>", "", R"(lives="many" loaded_delay="")"));
    EXPECT_EQ(3, unparsed->getLives());
    EXPECT_FLOAT_EQ(0.1f, unparsed->getSettings().match.loadedDelay);
}

TEST_F(PellvaneGameSceneTest, BlocksSitRelativeToTheGameAreaAndTakeTheirColourFromTheCycle) {
    auto scene = loadGame(gameXml("<level>one.xml</level>", "", "", "", R"(<game_area x="40" y="50"/>)"),
                          {{"one.xml", levelXml(blockXml(5, 6, 1) + blockXml(0, 0, 2) + blockXml(0, 0, 3) +
                                                blockXml(0, 0, 4) + R"(<block sprite="green"/>)")}});
    const auto& level = scene->getLevel(0);
    ASSERT_EQ(5u, level.size());
    auto* b = dynamic_cast<PellvaneBlockEntity*>(level[0]);
    EXPECT_FLOAT_EQ(45.0f, b->getPosition().x);
    EXPECT_FLOAT_EQ(56.0f, b->getPosition().y);
    const Colour expected[] = {{1, 1, 0, 1}, {1, 0.5f, 0, 1}, {1, 0, 0, 1}, {1, 1, 0, 1}, {1, 1, 0, 1}};
    for (std::size_t i = 0; i < level.size(); ++i)
        EXPECT_EQ(expected[i], dynamic_cast<PellvaneBlockEntity*>(level[i])->getColour()) << "block " << i;
    EXPECT_EQ(1, dynamic_cast<PellvaneBlockEntity*>(level[4])->getHealth()) << "health defaults to 1";
    EXPECT_FLOAT_EQ(45.0f, dynamic_cast<AABBCollider*>(b->getCollider())->getBounds().x)
        << "the collider follows the moved position";
}

TEST_F(PellvaneGameSceneTest, ASingleBlockColourTintsEveryHealth) {
    auto scene = loadGame(gameXml("<level>one.xml</level>", "", "", "",
                                  R"(<block_colours><colour r="0.25" g="0.5" b="0.75"/></block_colours>)"),
                          {{"one.xml", levelXml(blockXml(0, 0, 1) + blockXml(0, 0, 2) + blockXml(0, 0, 3))}});
    for (IEntity* entity : scene->getLevel(0))
        EXPECT_EQ((Colour{0.25f, 0.5f, 0.75f, 1}), dynamic_cast<PellvaneBlockEntity*>(entity)->getColour());
}

TEST_F(PellvaneGameSceneTest, LevelPathsUseTheDirectoryWhenThereIsOne) {
    testsupport::writeFile("levels/a.xml", levelXml(blockXml(0, 0, 1)));
    testsupport::writeFile("b.xml", levelXml(blockXml(0, 0, 2) + blockXml(30, 0, 2)));
    auto scene = loadGame(withLevels(R"(<levels directory="levels"><level>a.xml</level><level>../b.xml</level>
                                        </levels>)"));
    ASSERT_EQ(2u, scene->getLevelCount());
    EXPECT_EQ(1u, scene->getLevel(0).size());
    EXPECT_EQ(2u, scene->getLevel(1).size());
    auto commented = loadGame(withLevels(R"(<levels directory="levels"><level><!-- first -->a.xml</level></levels>)"));
    EXPECT_EQ(1u, commented->getLevelCount()) << "a comment before the file name is not the end of it";
    EXPECT_EQ("Scene Exception: pellvane_game: Level file failed to load: a.xml",
              loadError(withLevels("<levels><level>a.xml</level></levels>")));
}

TEST_F(PellvaneGameSceneTest, EveryLoadingMistakeHasItsMessage) {
    testsupport::writeFile("one.xml", levelXml(blockXml(0, 0, 1)));
    const std::string prefix = "Scene Exception: pellvane_game: ";
    EXPECT_EQ(prefix + "No levels defined!", loadError(withLevels("")));
    EXPECT_EQ(prefix + "No levels defined!", loadError(withLevels("<levels><other>one.xml</other></levels>")));
    EXPECT_EQ(prefix + "Level file failed to load: missing.xml",
              loadError(withLevels("<levels><level>missing.xml</level></levels>")));
    EXPECT_EQ(
        prefix + "Level file had no root level element" + "other.xml",
        loadError(withLevels("<levels><level>other.xml</level></levels>"), {{"other.xml", "<stage><x/></stage>"}}));
    EXPECT_EQ(prefix + "Level file had no root level element" + "empty.xml",
              loadError(withLevels("<levels><level>empty.xml</level></levels>"), {{"empty.xml", "<level/>"}}));
    EXPECT_EQ(prefix + "Level element has no file name!",
              loadError(withLevels("<levels><level>one.xml</level><level/></levels>")));
    EXPECT_EQ(prefix + "Level element has no file name!",
              loadError(withLevels("<levels><level><!-- x --></level></levels>")));
    EXPECT_EQ("Scene Exception: No ID: No id attribute found",
              loadError(R"(<pellvane_game><levels><level>one.xml</level></levels></pellvane_game>)"))
        << "the base scene's checks follow the game's own";

    auto scene = std::make_unique<PellvaneGameScene>(game->sceneContext(), game->gameServices());
    try {
        scene->load(TiXmlHandle(static_cast<TiXmlNode*>(nullptr)));
        ADD_FAILURE() << "an invalid handle loads";
    } catch (const SceneException& error) {
        EXPECT_EQ(prefix + "Invalid element!", error.message);
    }

    auto loaded = loadGame(withLevels("<levels><level>one.xml</level></levels>"));
    try {
        loaded->loadLevel(1);
        ADD_FAILURE() << "a level past the end loads";
    } catch (const SceneException& error) {
        EXPECT_EQ(prefix + "Level attmpted to be loaded is out of range!", error.message);
    }
}

TEST_F(PellvaneGameSceneTest, AnEntityThatFailsInALevelFileEndsTheLoadWithItsOwnMessage) {
    EXPECT_EQ("Entity Exception: SpriteEntity: No sprite specified!",
              loadError(withLevels("<levels><level>bad.xml</level></levels>"),
                        {{"bad.xml", levelXml(blockXml(0, 0, 1) + "<block/>")}}));
}

TEST_F(PellvaneGameSceneTest, UnknownTagsAreSkippedAndATextOnlyLevelIsClearedAtOnce) {
    auto scene = loadGame(gameXml("<level>one.xml</level><level>text.xml</level>"),
                          {{"one.xml", levelXml("<!-- c --><dragon/>" + blockXml(0, 0, 1) + "<new_game/>")},
                           {"text.xml", "<level>nothing to see</level>"}});
    EXPECT_EQ(1u, scene->getLevel(0).size());
    EXPECT_EQ(0u, scene->getLevel(1).size());
    scene->loadLevel(1);
    scene->newGame();
    scene->loadLevel(1);
    scene->update(kDt); // LevelLoaded -> Playing
    ASSERT_EQ(Playing, scene->getState());
    scene->update(kDt);
    EXPECT_EQ(1, scene->getLevelsCompleted());
    EXPECT_EQ(0u, scene->getCurrentLevel());
}

TEST_F(PellvaneGameSceneTest, TheFactoryKnowsTheGameTypesAndFallsBackToTheGenericOnes) {
    PellvaneGameScene scene(game->sceneContext(), game->gameServices());
    auto made = [&](const std::string& type) { return std::unique_ptr<IEntity>(scene.createEntity(type)); };
    EXPECT_NE(nullptr, dynamic_cast<PellvanePaddleEntity*>(made("paddle").get()));
    EXPECT_NE(nullptr, dynamic_cast<PellvaneBallEntity*>(made("ball").get()));
    EXPECT_NE(nullptr, dynamic_cast<PellvaneBlockEntity*>(made("block").get()));
    auto box = made(BOX_ENTITY_TYPE);
    EXPECT_NE(nullptr, dynamic_cast<BoxEntity*>(box.get()));
    EXPECT_EQ(nullptr, dynamic_cast<PellvaneBlockEntity*>(box.get()));
    EXPECT_NE(nullptr, dynamic_cast<SpriteEntity*>(made(SPRITE_ENTITY_TYPE).get()));
    EXPECT_EQ(nullptr, made("Paddle"));
    EXPECT_EQ(nullptr, made(""));

    std::unique_ptr<IScene> fromGame(game->createScene("pellvane_game"));
    EXPECT_NE(nullptr, dynamic_cast<PellvaneGameScene*>(fromGame.get()));
}

TEST_F(PellvaneGameSceneTest, LevelsSwapInAndOutOfTheEntityListAndTheSceneOwnsThemAll) {
    auto scene = loadGame(gameXml("<level>one.xml</level><level>two.xml</level><level>three.xml</level>"),
                          {{"one.xml", levelXml(blockXml(0, 0, 1) + blockXml(30, 0, 1))},
                           {"two.xml", levelXml(blockXml(0, 30, 1))},
                           {"three.xml", levelXml(blockXml(0, 60, 1))}});
    const std::size_t base = scene->getEntities().size() - 2;
    auto* a = scene->getLevel(0)[0];
    auto* c = scene->getLevel(2)[0];
    scene->loadLevel(2);
    EXPECT_EQ(base + 1, scene->getEntities().size());
    EXPECT_EQ(c, scene->getEntities().back());
    dynamic_cast<PellvaneBlockEntity*>(c)->breakBlock();
    scene->loadLevel(2);
    EXPECT_TRUE(c->isActive()) << "loading the current level again resets it in place";
    EXPECT_EQ(base + 2, scene->getEntities().size()) << "plus the break effect";

    // A level entity destroyed through a removal leaves its level too.
    scene->removeEntity(c, true);
    scene->update(kDt);
    EXPECT_TRUE(scene->getLevel(2).empty());
    scene->loadLevel(0);
    EXPECT_EQ(a, scene->getLevel(0)[0]);
    // The scene is destroyed on level 0 with levels 1 and 2 out of the list: the sanitizer run
    // shows they are freed once.
}

TEST_F(PellvaneGameSceneTest, AnEventSoundPlaysOnItsEventAndEveryMistakeInItIsALoadError) {
    testsupport::writeFile("one.xml", levelXml(blockXml(0, 0, 1)));
    const auto withSound = [](const std::string& attributes) {
        return gameXml("<level>one.xml</level>", "loaded_delay=\"0\"", "", "<event_sound " + attributes + "/>");
    };
    auto scene = loadGame(withSound("event='PELLVANE_GAME_STARTED' sound='orange.wav'"));
    EXPECT_TRUE(playingSounds().empty());
    scene->newGame();
    EXPECT_EQ(std::vector<std::string>{"orange.wav"}, playingSounds());
    scene.reset();

    // One in a level file is heard only while its level is played: not under the title, not
    // while another level is.
    testsupport::writeFile("two.xml", levelXml(blockXml(0, 0, 1) +
                                               "<event_sound event='PELLVANE_NEW_LEVEL_LOADED' sound='red.wav'/>"));
    Mix_HaltChannel(-1);
    scene = loadGame(gameXml("<level>one.xml</level><level>two.xml</level>", "loaded_delay=\"0\""));
    scene->loadLevel(1);
    scene->raise(PELLVANE_NEW_LEVEL_LOADED);
    scene->newGame();
    EXPECT_TRUE(playingSounds().empty()) << "on the title, and with the first level in play";
    scene->newGameAt(1);
    EXPECT_EQ(std::vector<std::string>{"red.wav"}, playingSounds());
    scene.reset();

    const std::string source = "Entity Exception: PellvaneEventSoundEntity: ";
    EXPECT_EQ(source + "No event specified!", loadError(withSound("sound='red.wav'")));
    EXPECT_EQ(source + "No sound specified!", loadError(withSound("event='PELLVANE_GAME_OVER' sound=''")));
    // Found at start-up, not at the first game over.
    EXPECT_EQ("Sound Exception: boom.wav: No sound with that ID to play!",
              loadError(withSound("event='PELLVANE_GAME_OVER' sound='boom.wav'")));
}

} // namespace
