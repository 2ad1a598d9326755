// The registry of the engine's and the game's types: every type it makes has the rule the data
// checker walks its element with, every type rule has a type that makes it, and every rule named
// as a base or a child is there. And the event names it holds: the ones defined, each written once
// in the sources, and the ones docs/data-format.md lists.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <sstream>

#include "check/DataSchema.h"
#include "events/Events.h"
#include "game/GameEvents.h"
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

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The names in the first column of the table under "## Events", in order.
std::vector<std::string> documentedEvents(const std::string& docs) {
    std::vector<std::string> names;
    const std::size_t start = docs.find("\n## Events\n");
    if (start == std::string::npos)
        return names;
    std::istringstream section(docs.substr(start + 1, docs.find("\n## ", start + 1) - start));
    for (std::string line; std::getline(section, line);)
        if (line.rfind("| \"", 0) == 0)
            names.push_back(line.substr(3, line.find('"', 3) - 3));
    return names;
}

TEST(GameTypesTest, TheEventNamesAreTheDefinedOnesEachWrittenOnceInTheSourcesAndAllDocumented) {
    EntityRegistry registry;
    const GameServices services;
    registerSceneTypes(registry);
    registerGameTypes(registry, services);
    // Registering a name again lists it once.
    registry.addEventNames({SCENE_STARTED, PELLVANE_GAME_OVER});

    std::vector<std::string> defined = sceneEventNames();
    defined.insert(defined.end(), gameEventNames().begin(), gameEventNames().end());
    EXPECT_EQ(defined, registry.eventNames());
    for (const std::string* name :
         {&SCENE_STARTED, &SCENE_ENDED, &PELLVANE_INITIATED, &PELLVANE_POWER_UP_CAUGHT, &PELLVANE_ALL_CLEARED})
        EXPECT_EQ(1, std::count(defined.begin(), defined.end(), *name)) << *name;
    EXPECT_EQ(0, std::count(defined.begin(), defined.end(), KEYBOARD_KEY_PRESSED_EVENT)) << "not a scene's event";

    // Each name is a string literal in one place of src/, its definition; comments may quote it.
    const std::string root = std::string(PELLVANE_DATA) + "/..";
    std::map<std::string, int> written;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root + "/src")) {
        if (!entry.is_regular_file())
            continue;
        std::istringstream source(readText(entry.path().string()));
        for (std::string line; std::getline(source, line);) {
            const std::string code = line.substr(0, line.find("//"));
            for (const std::string& name : registry.eventNames())
                for (std::size_t at = code.find('"' + name + '"'); at != std::string::npos;
                     at = code.find('"' + name + '"', at + 1))
                    ++written[name];
        }
    }
    for (const std::string& name : registry.eventNames())
        EXPECT_EQ(1, written[name]) << name << " is written " << written[name] << " times in src/";

    EXPECT_EQ(registry.eventNames(), documentedEvents(readText(root + "/docs/data-format.md")))
        << "docs/data-format.md's Events table lists every registered event, in order";
}

} // namespace
