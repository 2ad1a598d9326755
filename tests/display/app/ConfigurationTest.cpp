// The configuration step of Game::init: managers and scenes from config.xml, the current scene,
// the music, and every start-up message in order.
#include <SDL_mixer.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <tinyxml.h>
#include <vector>

#include "TestSupport.h"
#include "app/Game.h"
#include "base/Exceptions.h"
#include "game/Configuration.h"
#include "game/GameWorld.h"
#include "graphics/GraphicsTestSupport.h"
#include "graphics/SpriteBatchRegistry.h"
#include "graphics/SpriteManager.h"
#include "graphics/TextureCache.h"
#include "scene/BaseScene.h"
#include "sound/SoundManager.h"

namespace {

using testsupport::copyFile;
using testsupport::writeFile;

const std::string kSounds = std::string(PELLVANE_DATA) + "/sounds/";
const std::string kSpriteSet = "<sprites><sprite id='dot' texture='dot.png' x='0' y='0' width='4' height='4'/>"
                               "<sprite id='dot2' texture='dot.png' x='0' y='0' width='2' height='2'/></sprites>";
const std::string kScene = "<base_scene id='%s'><entities><sprite_entity sprite='dot'/></entities></base_scene>";

// A scratch directory with one texture, a sprite set, the shipped sounds and a sound set.
class ConfigurationTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories("textures");
        graphicstest::writePng("textures/dot.png", 4, 4, graphicstest::solidImage(4, 4, {255, 255, 255, 255}));
        writeFile("sprites.xml", kSpriteSet);
        for (const char* name : {"red.wav", "music.ogg"})
            copyFile(kSounds + name, "sounds/" + std::string(name));
        writeFile("sounds.xml", "<sounds directory='sounds'><sfx>red.wav</sfx><music>music.ogg</music></sounds>");
    }
    void TearDown() override { owned.reset(); }

    static std::string scene(const std::string& id, const std::string& type = "base_scene") {
        return "<" + type + " id='" + id + "'><entities><sprite_entity sprite='dot'/></entities></" + type + ">";
    }

    // Writes config.xml, runs Game::init and returns what it printed on standard output, less the
    // line break that ends a message.
    std::string start(const std::string& config) {
        writeFile("config.xml", config);
        owned = std::make_unique<Game>();
        game = owned.get();
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        game->init(800, 600);
        stderrText = testing::internal::GetCapturedStderr();
        std::string out = testing::internal::GetCapturedStdout();
        if (!out.empty()) {
            EXPECT_EQ('\n', out.back()) << out;
            out.pop_back();
        }
        return out;
    }
    std::string standardConfig(const std::string& attributes, const std::string& children) {
        return "<config textures='textures' spriteset='sprites.xml' soundset='sounds.xml' " + attributes + ">" +
               children + "</config>";
    }

    testsupport::ScratchDir dir;
    std::unique_ptr<Game> owned;
    Game* game = nullptr;
    std::string stderrText;
};

TEST_F(ConfigurationTest, ACompleteConfigurationCreatesEveryManagerAndStartsTheMusic) {
    EXPECT_EQ("", start(standardConfig("", "<scenes>" + scene("only") + "</scenes>")));
    EXPECT_FALSE(game->quitRequested);
    ASSERT_NE(nullptr, game->getSpriteBatches());
    EXPECT_EQ(200, game->getSpriteBatches()->getBatchSize());
    ASSERT_NE(nullptr, game->getSpriteManager());
    EXPECT_NE(nullptr, game->getSpriteManager()->getSprite("dot"));
    EXPECT_NE(nullptr, game->getTextureCache());
    EXPECT_NE(nullptr, game->getSoundManager());
    ASSERT_NE(nullptr, game->getCurrentScene());
    EXPECT_EQ("only", game->getCurrentScene()->getId());
    EXPECT_EQ(1, Mix_PlayingMusic());
}

TEST_F(ConfigurationTest, BatchSizeDefaultsTo200AndReadsLikePercentD) {
    const std::string scenes = "<scenes>" + scene("s") + "</scenes>";
    start(standardConfig("batchsize='64'", scenes));
    EXPECT_EQ(64, game->getSpriteBatches()->getBatchSize());
    start(standardConfig("batchsize='lots'", scenes));
    EXPECT_EQ(200, game->getSpriteBatches()->getBatchSize());
}

TEST_F(ConfigurationTest, ABatchSizeOutOfRangeEndsTheStartUpNamingTheAttribute) {
    const std::string out = start(standardConfig("batchsize='0'", "<scenes>" + scene("s") + "</scenes>"));
    EXPECT_TRUE(game->quitRequested);
    EXPECT_NE(std::string::npos, out.find("batchsize")) << out;
}

TEST_F(ConfigurationTest, ANegativeMaxFpsEndsTheStartUp) {
    EXPECT_EQ("Exception: Invalid max_fps -1: it must be 0 (no cap) or more!",
              start(standardConfig("max_fps='-1'", "<scenes>" + scene("s") + "</scenes>")));
}

TEST_F(ConfigurationTest, ASpriteSetFileWinsOverInlineSprites) {
    start(standardConfig("", "<sprite id='inline' texture='dot.png' x='0' y='0' width='1' height='1'/><scenes>" +
                                 scene("s") + "</scenes>"));
    EXPECT_NE(nullptr, game->getSpriteManager()->getSprite("dot2"));
    EXPECT_EQ(nullptr, game->getSpriteManager()->getSprite("inline"));
}

TEST_F(ConfigurationTest, InlineSpritesAreReadWhenThereIsNoSpriteSet) {
    start("<config textures='textures' soundset='sounds.xml'>"
          "<sprite id='dot' texture='dot.png' x='0' y='0' width='1' height='1'/><other/>"
          "<sprite id='two' texture='dot.png' x='1' y='1' width='1' height='1'/><scenes>" +
          scene("s") + "</scenes></config>");
    EXPECT_FALSE(game->quitRequested);
    EXPECT_NE(nullptr, game->getSpriteManager()->getSprite("two"));
}

TEST_F(ConfigurationTest, ScenesAreCreatedInOrderAndTheFirstIsCurrentWithoutDefault) {
    start(standardConfig("", "<scenes>" + scene("first") + "<mystery id='x'/>" + scene("second") + "</scenes>"));
    ASSERT_EQ(2u, game->getScenes().size());
    EXPECT_EQ("first", game->getScenes()[0]->getId());
    EXPECT_EQ("second", game->getScenes()[1]->getId());
    EXPECT_EQ(game->getScenes()[0], game->getCurrentScene());
    // The scenes hold the managers they were made with: none is swapped under them.
    EXPECT_THROW(game->setSpriteManager(nullptr), std::logic_error);
    EXPECT_NE(nullptr, game->getSpriteManager());
}

TEST_F(ConfigurationTest, DefaultNamesTheCurrentSceneAndTheLaterOfTwoWithThatIdWins) {
    start(standardConfig("", "<scenes default='b'>" + scene("a") + scene("b") + scene("b") + "</scenes>"));
    ASSERT_EQ(3u, game->getScenes().size());
    EXPECT_EQ(game->getScenes()[2], game->getCurrentScene());
    start(standardConfig("", "<scenes default='nowhere'>" + scene("a") + scene("b") + "</scenes>"));
    EXPECT_EQ(game->getScenes()[0], game->getCurrentScene());
}

TEST_F(ConfigurationTest, EachMissingItemIsReportedWithItsMessage) {
    struct Case {
        std::string config, message;
    } cases[] = {
        {"<config", "Failed to load config file."},
        {"<settings/>", "No config element found in config file."},
        {"<config soundset='sounds.xml'><scenes/></config>", "No sprites or spriteset file defined"},
        {"<config textures='textures' spriteset='sprites.xml'><scenes/></config>", "No sound set defined!"},
        {standardConfig("", ""), "No scenes defined"},
        {standardConfig("", "<scenes><mystery/></scenes>"), "No valid scenes created!"},
        {standardConfig("", "<scenes></scenes>"), "No valid scenes created!"},
        {standardConfig("", "<scenes><base_scene/></scenes>"), "Scene Exception: No ID: No id attribute found"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.message, start(c.config)) << c.config;
        EXPECT_EQ(c.message + "\n", stderrText);
        EXPECT_TRUE(game->quitRequested);
    }
}

TEST_F(ConfigurationTest, ADirectoryWhereAFileShouldBeIsReportedLikeAMissingFile) {
    // TinyXML would size its buffer from a directory's end offset, which is no size at all.
    std::filesystem::create_directories("folder");
    const std::string scenes = "<scenes>" + scene("s") + "</scenes>";
    struct Case {
        std::string config, message;
    } cases[] = {
        {"<config textures='textures' spriteset='folder' soundset='sounds.xml'>" + scenes + "</config>",
         "Sprite Exception: SpriteManager: Failed to load file: folder"},
        {"<config textures='textures' spriteset='sprites.xml' soundset='folder'>" + scenes + "</config>",
         "Sound Exception: folder: Failed to load sounds file!"},
        {standardConfig("", "<scenes><pellvane_game id='g'><levels directory='.'><level>folder</level></levels>"
                            "<entities><sprite_entity sprite='dot'/></entities></pellvane_game></scenes>"),
         "Scene Exception: pellvane_game: Level file failed to load: ./folder"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.message, start(c.config)) << c.config;
    }
    std::filesystem::remove("config.xml");
    std::filesystem::create_directories("config.xml");
    owned = std::make_unique<Game>();
    game = owned.get();
    testing::internal::CaptureStdout();
    game->init(800, 600);
    EXPECT_EQ("Failed to load config file.\n", testing::internal::GetCapturedStdout());
    EXPECT_TRUE(game->quitRequested);
}

TEST_F(ConfigurationTest, AFailingSoundSetEndsTheStartUpWithItsMessage) {
    writeFile("sounds.xml", "<sounds><sfx>missing.wav</sfx></sounds>");
    const std::string out = start(standardConfig("", "<scenes>" + scene("s") + "</scenes>"));
    EXPECT_EQ(0u, out.find("Sound Exception: ")) << out;
    EXPECT_TRUE(game->quitRequested);
    EXPECT_NE(nullptr, game->getSpriteManager()); // made before the failure, destroyed with the Game
    EXPECT_EQ(nullptr, game->getCurrentScene());
}

// An observer that follows only the scenes: the failures of the other units pass it by, and the
// step still goes on past each of them.
class SceneFollower final : public ConfigurationObserver {
public:
    void failed(const TiXmlElement*, const BaseException&) override {}
    void loaded(const TiXmlElement*, IEntity*) override {}
    void sceneLoaded(const TiXmlElement* element, IScene*) override { scenes.push_back(element->Attribute("id")); }
    std::vector<std::string> scenes;
};

TEST_F(ConfigurationTest, AnObserverFollowsWhatItOverridesAndTheStepGoesOnPastEveryFailure) {
    // No batch size to make batches with and no sound set: two units fail before the scenes.
    writeFile("config.xml", "<config batchsize='0' textures='textures' spriteset='sprites.xml'><scenes>" + scene("a") +
                                scene("b") + "</scenes></config>");
    GameWorld world;
    TiXmlDocument document;
    SceneFollower follower;
    configureGame(world, document, &follower);
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), follower.scenes);
    EXPECT_FALSE(world.quitRequested);
    EXPECT_EQ(nullptr, world.getSpriteBatches());
    EXPECT_EQ(nullptr, world.getSoundManager());
    EXPECT_EQ(2u, world.getScenes().size());
}

} // namespace
