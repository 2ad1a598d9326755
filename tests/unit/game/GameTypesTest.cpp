// The registry of the engine's and the game's types: every type it makes has the rule the data
// checker walks its element with, every type rule has a type that makes it, and every rule named
// as a base or a child is there.
#include <gtest/gtest.h>
#include <memory>

#include "check/DataSchema.h"
#include "game/GameServices.h"
#include "game/GameTypes.h"
#include "scene/EntityRegistry.h"
#include "scene/IEntity.h"
#include "scene/IScene.h"
#include "scene/SceneContext.h"

namespace {

TEST(GameTypesTest, EveryRegisteredTypeHasItsRuleAndEveryRuleItsTypeAndEveryNamedRuleIsThere) {
    EntityRegistry registry;
    const GameServices services;
    registerSceneTypes(registry);
    registerGameTypes(registry, services);

    ASSERT_GE(registry.entityTypes().size(), 15u);
    for (const std::string& type : registry.entityTypes()) {
        EXPECT_NE(nullptr, registry.findRule("entity:" + type)) << type;
        std::unique_ptr<IEntity> made(registry.createEntity(type));
        EXPECT_NE(nullptr, made) << type;
    }
    ASSERT_EQ(2u, registry.sceneTypes().size());
    for (const std::string& type : registry.sceneTypes()) {
        EXPECT_NE(nullptr, registry.findRule("scene:" + type)) << type;
        std::unique_ptr<IScene> made(registry.createScene(type, SceneContext{}));
        EXPECT_NE(nullptr, made) << type;
    }
    EXPECT_EQ(nullptr, registry.createEntity("Paddle"));
    EXPECT_EQ(nullptr, registry.createScene("menu_scene", SceneContext{}));

    for (const ElementRule* rule : registry.rules()) {
        const std::string id = rule->id;
        if (id.rfind("entity:", 0) == 0) {
            EXPECT_NE(nullptr, std::unique_ptr<IEntity>(registry.createEntity(id.substr(7)))) << id << " has no type";
        } else if (id.rfind("scene:", 0) == 0) {
            EXPECT_NE(nullptr, std::unique_ptr<IScene>(registry.createScene(id.substr(6), SceneContext{}))) << id;
        }
        if (rule->base != nullptr) {
            EXPECT_NE(nullptr, findRule(registry, rule->base)) << id << " names base " << rule->base;
        }
        for (const ChildRule& child : rule->children) {
            EXPECT_NE(nullptr, findRule(registry, child.rule)) << id << " names child rule " << child.rule;
        }
    }
}

} // namespace
