// The loaders with a LoadObserver, as the data checker runs them: each sprite, sound, entity or
// level file that fails is reported with its element and left out, the rest loads, and every
// entity made is reported with the element it came from. Without an observer the first error
// still throws. Also the texture cache's decode-only mode, which needs no GL.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "scene/LoadObserver.h"
#include "game/PellvaneGameScene.h"
#include "scene/SceneTestSupport.h"
#include "sound/SoundManager.h"

namespace {

struct Recorder : LoadObserver {
    // Line and message of each failure, in order.
    std::vector<std::pair<int, std::string>> failures;
    std::vector<std::string> entities;
    void failed(const TiXmlElement* element, const BaseException& error) override {
        failures.emplace_back(element->Row(), error.message);
    }
    void loaded(const TiXmlElement* element, IEntity*) override { entities.push_back(element->ValueStr()); }
};

struct LoadObserverTest : scenetest::SceneFixture {
    Recorder recorder;
};

TEST_F(LoadObserverTest, SpriteAndSoundSetsGoOnPastEachFailedUnit) {
    testsupport::writeFile("set.xml", "<sprites>\n"
                                      "<sprite id='a' texture='red.png' x='0' y='0' width='20' height='10'/>\n"
                                      "<sprite id='b' texture='gone.png' x='0' y='0' width='1' height='1'/>\n"
                                      "<sprite id='c' texture='red.png' x='0' y='0' width='21' height='10'/>\n"
                                      "<sprite id='d' texture='blue.png' x='90' y='0' width='10' height='10'/>\n"
                                      "</sprites>");
    TextureCache decodeOnly("", false);
    SpriteManager sprites("set.xml", decodeOnly, &recorder);
    ASSERT_EQ(2u, sprites.getSprites().size());
    EXPECT_NE(nullptr, sprites.getSprite("d"));
    ASSERT_EQ(2u, recorder.failures.size());
    EXPECT_EQ(std::make_pair(3, std::string("Resource Exception: gone.png: File not found!")), recorder.failures[0]);
    EXPECT_EQ(std::make_pair(4, std::string("Exception: TextureRegion supplied with invalid dimensions!")),
              recorder.failures[1]);
    const Texture* blue = decodeOnly.getTexture("blue.png");
    EXPECT_EQ(100u, blue->width) << "decoded and measured";
    EXPECT_EQ(0u, blue->glName) << "never uploaded";
    EXPECT_THROW(SpriteManager("set.xml", decodeOnly), ResourceException) << "no observer: the first error throws";

    testsupport::copyFile(std::string(PELLVANE_DATA) + "/sounds/red.wav", "red.wav");
    testsupport::writeFile("sounds.xml", "<sounds>\n<sfx>gone.wav</sfx>\n<sfx>red.wav</sfx>\n<sfx>red.wav</sfx>\n"
                                         "<music/>\n</sounds>");
    recorder.failures.clear();
    SoundManager sounds("sounds.xml", &recorder);
    EXPECT_NO_THROW(sounds.playSound("red.wav"));
    ASSERT_EQ(3u, recorder.failures.size());
    EXPECT_EQ(2, recorder.failures[0].first);
    EXPECT_EQ(std::make_pair(4, std::string("Sound Exception: red.wav: Sfx file defined twice!")),
              recorder.failures[1]);
    EXPECT_EQ(std::make_pair(5, std::string("Sound Exception: sounds.xml: Music element has no file name!")),
              recorder.failures[2]);
}

TEST_F(LoadObserverTest, ScenesGroupsAndLevelsGoOnPastEachFailedEntityOrFile) {
    testsupport::writeFile("levels/good.xml", "<level>\n<block sprite='red'/>\n<block sprite='ghost'/>\n</level>");
    TiXmlDocument document;
    document.Parse("<pellvane_game id='g'>\n"
                   "<levels directory='levels'><level>none.xml</level>\n<level>good.xml</level></levels>\n"
                   "<entities>\n"
                   "<sprite_entity sprite='ghost'/>\n"
                   "<group start='A' end='B'>\n<sprite_entity sprite='red' colour='fff'/>\n<box sprite='blue'/>\n"
                   "</group>\n"
                   "<sprite_entity sprite='green'/>\n"
                   "</entities></pellvane_game>");
    PellvaneGameScene scene(game->sceneContext(), game->gameServices());
    scene.setLoadObserver(&recorder);
    scene.load(TiXmlHandle(document.RootElement()));

    ASSERT_EQ(2u, scene.getLevelCount()) << "a stand-in keeps the numbering";
    EXPECT_TRUE(scene.getLevel(0).empty());
    EXPECT_EQ(1u, scene.getLevel(1).size());
    ASSERT_EQ(4u, recorder.failures.size());
    EXPECT_EQ(std::make_pair(2, std::string("Scene Exception: pellvane_game: Level file failed to load: "
                                            "levels/none.xml")),
              recorder.failures[0]);
    EXPECT_EQ(3, recorder.failures[1].first) << "the block in good.xml, line 3";
    EXPECT_EQ(5, recorder.failures[2].first) << "the scene's sprite_entity";
    EXPECT_EQ(7, recorder.failures[3].first) << "the group's first child";
    EXPECT_EQ((std::vector<std::string>{"block", "box", "group", "sprite_entity"}), recorder.entities);
    EXPECT_EQ(2u, scene.getEntities().size()) << "the group and the green sprite (level 0 is the empty stand-in)";
}

} // namespace
