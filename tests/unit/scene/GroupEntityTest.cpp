// GroupEntity: start and end events with their delays, showing and hiding the children through
// the scene, resets before each showing, its load messages, and destruction.
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <tinyxml.h>
#include <vector>

#include "base/Exceptions.h"
#include "scene/FadeEntity.h"
#include "scene/GroupEntity.h"
#include "scene/SceneTestSupport.h"
#include "scene/SpriteEntity.h"

namespace {

class GroupEntityTest : public scenetest::SceneFixture {
protected:
    // A scene whose first entity is a group with the given attributes and children.
    GroupEntity*
    loadGroup(const std::string& attributes,
              const std::string& children = "<sprite_entity sprite='red'/><sprite_entity sprite='green'/>") {
        scene = loadScene("<s id='main'><entities><group " + attributes + ">" + children + "</group></entities></s>");
        return static_cast<GroupEntity*>(scene->getEntities().at(0));
    }
    std::string loadMessage(const std::string& element) {
        try {
            loadScene("<s id='main'><entities>" + element + "</entities></s>");
        } catch (const BaseException& e) {
            return e.message;
        }
        return "";
    }
    bool inScene(IEntity* entity) const {
        const auto& list = scene->getEntities();
        return std::find(list.begin(), list.end(), entity) != list.end();
    }
    bool childrenInScene(GroupEntity* group) const {
        for (IEntity* child : group->getChildren())
            if (!inScene(child))
                return false;
        return true;
    }
    void raise(const std::string& name) { scene->dispatchEvent(new Event(name)); }
    void step(int n = 1) {
        for (int i = 0; i < n; ++i)
            scene->update(0.25f);
    }

    std::unique_ptr<BaseScene> scene;
};

TEST_F(GroupEntityTest, ChildrenAreLoadedButNotInTheSceneUntilTheStartEvent) {
    GroupEntity* group = loadGroup("start_event='GO' end_event='STOP'");
    ASSERT_EQ(2u, group->getChildren().size());
    EXPECT_EQ(1u, scene->getEntities().size());
    EXPECT_EQ(scene.get(), group->getChildren()[0]->getScene());
    EXPECT_FALSE(group->isVisible());
    EXPECT_TRUE(group->isActive());
    EXPECT_EQ(0, group->getLayer());
    EXPECT_FLOAT_EQ(0.0f, group->getPosition().x);
    step(3);
    EXPECT_EQ(1u, scene->getEntities().size());
}

TEST_F(GroupEntityTest, SceneStartedShowsTheChildrenInTheFirstUpdateWhereTheyAreAlsoUpdated) {
    GroupEntity* group = loadGroup("start_event='SCENE_STARTED' end_event='STOP'", "<fade sprite='red'/>");
    auto* fade = static_cast<FadeEntity*>(group->getChildren().at(0));
    step();
    EXPECT_TRUE(group->isShown());
    EXPECT_TRUE(inScene(fade));
    EXPECT_EQ(FadeState::FadingIn, fade->getState()); // its Delay step ran in the same update
}

TEST_F(GroupEntityTest, AStartDelayOfOneShowsTheChildrenOnceMoreThanASecondHasPassed) {
    GroupEntity* group = loadGroup("start_event='GO' end_event='STOP' start_delay='1'");
    raise("GO");
    step(4);
    EXPECT_FALSE(childrenInScene(group));
    step();
    EXPECT_TRUE(childrenInScene(group));
}

TEST_F(GroupEntityTest, StartThenEndBeforeTheDelayNeverShowsTheChildren) {
    GroupEntity* group = loadGroup("start_event='GO' end_event='STOP' start_delay='1'");
    raise("GO");
    step(2);
    raise("STOP");
    step(10);
    EXPECT_FALSE(group->isShown());
    EXPECT_EQ(1u, scene->getEntities().size());
}

TEST_F(GroupEntityTest, EndThenStartBeforeTheEndDelayKeepsTheChildrenWithoutReset) {
    GroupEntity* group = loadGroup("start_event='GO' end_event='STOP' end_delay='1'");
    raise("GO");
    step();
    ASSERT_TRUE(childrenInScene(group));
    auto* child = static_cast<SpriteEntity*>(group->getChildren()[0]);
    child->setVisible(false);
    raise("STOP");
    step(2);
    raise("GO");
    step(10);
    EXPECT_TRUE(childrenInScene(group));
    EXPECT_FALSE(child->isVisible()); // not reset
}

TEST_F(GroupEntityTest, ASecondStartEventIsIgnoredAndDoesNotRestartTheDelay) {
    GroupEntity* group = loadGroup("start_event='GO' end_event='STOP' start_delay='1'");
    raise("GO");
    step(3);
    raise("GO");
    step(2);
    EXPECT_TRUE(childrenInScene(group));
}

TEST_F(GroupEntityTest, TheEndEventHidesTheChildrenAfterItsDelayAndTheyStayOwnedByTheGroup) {
    GroupEntity* group = loadGroup("start_event='GO' end_event='STOP' end_delay='0.5'");
    raise("GO");
    step();
    ASSERT_EQ(3u, scene->getEntities().size());
    raise("STOP");
    step(2);
    EXPECT_EQ(3u, scene->getEntities().size());
    step();
    EXPECT_EQ(1u, scene->getEntities().size());
    EXPECT_FALSE(group->isShown());
    EXPECT_EQ(2u, group->getChildren().size());
}

TEST_F(GroupEntityTest, ChildrenAreResetBeforeEachShowing) {
    GroupEntity* group = loadGroup("start_event='GO' end_event='STOP'",
                                   "<fade sprite='red'><duration in='10'/><trigger in='IN'/></fade>");
    auto* fade = static_cast<FadeEntity*>(group->getChildren().at(0));
    raise("IN"); // heard while out of the scene
    EXPECT_EQ(FadeState::Delay, fade->getState());
    raise("GO");
    step();
    ASSERT_TRUE(inScene(fade));
    EXPECT_EQ(FadeState::Waiting, fade->getState()); // reset before the first showing
    raise("IN");
    step(2);
    EXPECT_EQ(FadeState::FadingIn, fade->getState());
    EXPECT_GT(fade->getColour().alpha, 0.0f);
    raise("STOP");
    step();
    ASSERT_FALSE(inScene(fade));
    raise("GO");
    step();
    EXPECT_TRUE(inScene(fade));
    EXPECT_EQ(FadeState::Waiting, fade->getState()); // and again before the second
    EXPECT_FLOAT_EQ(0.0f, fade->getColour().alpha);
}

TEST_F(GroupEntityTest, AGroupWhoseOnlyChildIsACommentLoadsEmpty) {
    GroupEntity* group = loadGroup("start_event='GO' end_event='STOP'", "<!-- later -->");
    EXPECT_TRUE(group->getChildren().empty());
    raise("GO");
    step();
    EXPECT_TRUE(group->isShown());
}

TEST_F(GroupEntityTest, StartAndEndAreUsedWhenTheEventAttributesAreMissing) {
    // Each group shows on the event it starts with and hides on the one it ends with.
    auto showsAndHides = [this](GroupEntity* group, const char* start, const char* notStart, const char* end,
                                const char* notEnd) {
        raise(notStart);
        step();
        EXPECT_FALSE(group->isShown()) << notStart;
        raise(start);
        step();
        EXPECT_TRUE(group->isShown()) << start;
        raise(notEnd);
        step();
        EXPECT_TRUE(group->isShown()) << notEnd;
        raise(end);
        step();
        EXPECT_FALSE(group->isShown()) << end;
    };
    showsAndHides(loadGroup("start='BEGIN' end='FINISH'"), "BEGIN", "OTHER", "FINISH", "ELSE");
    showsAndHides(loadGroup("start_event='A' start='B' end_event='C' end='D'"), "A", "B", "C", "D");
}

TEST_F(GroupEntityTest, EachLoadFailureHasItsMessage) {
    EXPECT_EQ("Entity Exception: GroupEntity: Invalid element or has no children!",
              loadMessage("<group start='A' end='B'/>"));
    EXPECT_EQ("Entity Exception: GroupEntity: No start event defined!",
              loadMessage("<group end='B'><sprite_entity sprite='red'/></group>"));
    EXPECT_EQ("Entity Exception: GroupEntity: No end event defined!",
              loadMessage("<group start_event='A'><sprite_entity sprite='red'/></group>"));
    EXPECT_EQ("Entity Exception: SpriteEntity: No sprite specified!",
              loadMessage("<group start='A' end='B'><sprite_entity/></group>"));
    GroupEntity group;
    try {
        group.load(TiXmlHandle(static_cast<TiXmlNode*>(nullptr)), nullptr);
        FAIL() << "no exception";
    } catch (const EntityException& e) {
        EXPECT_EQ("Entity Exception: GroupEntity: Invalid element or has no children!", e.message);
    }
    TiXmlDocument document;
    document.Parse("<group start='A' end='B'><sprite_entity sprite='red'/></group>");
    try {
        group.load(TiXmlHandle(document.RootElement()), nullptr);
        FAIL() << "a group outside a BaseScene was accepted";
    } catch (const EntityException& e) {
        EXPECT_EQ("Entity Exception: GroupEntity: Entity is not in a BaseScene!", e.message);
    }
}

// A fade with auto_remove destroys itself at the end of its fade-out. The group must forget it,
// whatever comes next: hiding, showing again, or the end of the scene (the sanitizer run checks
// that nothing touches the freed fade).
TEST_F(GroupEntityTest, AChildThatDestroysItselfIsForgottenByItsGroup) {
    enum class Then { SceneEnds, EndThenSceneEnds, EndThenShowAgain };
    for (Then then : {Then::SceneEnds, Then::EndThenSceneEnds, Then::EndThenShowAgain}) {
        GroupEntity* group = loadGroup("start_event='GO' end_event='STOP'",
                                       "<fade sprite='red' auto_remove='true'><duration in='0.25' out='0.25'/></fade>"
                                       "<sprite_entity sprite='green'/>");
        IEntity* sprite = group->getChildren().at(1);
        raise("GO");
        step(4); // shown, faded in, shown, faded out and destroyed
        ASSERT_EQ(2u, scene->getEntities().size()) << "the group and the sprite";
        ASSERT_EQ(std::vector<IEntity*>{sprite}, group->getChildren());
        if (then != Then::SceneEnds) {
            raise("STOP");
            step();
            EXPECT_EQ(1u, scene->getEntities().size());
        }
        if (then == Then::EndThenShowAgain) {
            raise("GO");
            step();
            EXPECT_TRUE(inScene(sprite));
            EXPECT_EQ(2u, scene->getEntities().size());
        }
        scene.reset();
    }
}

TEST_F(GroupEntityTest, UnknownChildTypesAreSkipped) {
    GroupEntity* group = loadGroup("start='A' end='B'", "<dragon/><sprite_entity sprite='red'/>");
    EXPECT_EQ(1u, group->getChildren().size());
}

TEST_F(GroupEntityTest, DestroyingTheGroupUnregistersItAndDestroysItsChildren) {
    GroupEntity* shownGroup =
        loadGroup("start_event='GO' end_event='STOP'", "<fade sprite='red'><trigger in='IN'/></fade>");
    auto* fade = static_cast<FadeEntity*>(shownGroup->getChildren().at(0));
    const auto* callback = static_cast<const GroupEventCallback*>(shownGroup->getCallback());
    const auto* fadeCallback = static_cast<const FadeEntityCallback*>(fade->getCallback());
    raise("GO");
    step();
    ASSERT_TRUE(inScene(fade));
    scene->removeEntity(shownGroup, true);
    step(); // the group goes first; its request for the shown child joins the same loop
    EXPECT_TRUE(scene->getEntities().empty());
    EXPECT_FALSE(scene->isCallbackRegistered("GO", const_cast<GroupEventCallback*>(callback)));
    EXPECT_FALSE(scene->isCallbackRegistered("IN", const_cast<FadeEntityCallback*>(fadeCallback)));
    raise("GO");
    raise("IN");

    // A hidden group destroys its children itself; the sanitizer run checks nothing leaks.
    GroupEntity* hidden = loadGroup("start_event='GO' end_event='STOP'");
    scene->removeEntity(hidden, true);
    step();
    EXPECT_TRUE(scene->getEntities().empty());
}

TEST_F(GroupEntityTest, AShownGroupDiesWithItsSceneWithoutDestroyingChildrenTwice) {
    loadGroup("start_event='GO' end_event='STOP'");
    raise("GO");
    step();
    ASSERT_EQ(3u, scene->getEntities().size());
    scene.reset(); // the scene destroys the children as its own; the group only asks
}

} // namespace
