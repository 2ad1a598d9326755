// EntityRegistry: the maps from element names to factories and rules, and the event names.
#include "scene/EntityRegistry.h"

#include <algorithm>

void EntityRegistry::addEntityType(const std::string& name, EntityFactory make, const ElementRule& rule) {
    if (entities.count(name) == 0)
        entityOrder.push_back(name);
    entities[name] = std::move(make);
    addRule(rule);
}

void EntityRegistry::addSceneType(const std::string& name, SceneFactory make, const ElementRule& rule) {
    if (scenes.count(name) == 0)
        sceneOrder.push_back(name);
    scenes[name] = std::move(make);
    addRule(rule);
}

void EntityRegistry::addRule(const ElementRule& rule) {
    rulesById[rule.id] = &rule;
}

void EntityRegistry::addEventNames(const std::vector<std::string>& names) {
    for (const std::string& name : names)
        if (std::find(events.begin(), events.end(), name) == events.end())
            events.push_back(name);
}

IEntity* EntityRegistry::createEntity(const std::string& name) const {
    auto found = entities.find(name);
    return found != entities.end() ? found->second() : nullptr;
}

IScene* EntityRegistry::createScene(const std::string& name, const SceneContext& context) const {
    auto found = scenes.find(name);
    return found != scenes.end() ? found->second(context) : nullptr;
}

const ElementRule* EntityRegistry::findRule(const std::string& id) const {
    auto found = rulesById.find(id);
    return found != rulesById.end() ? found->second : nullptr;
}

std::vector<const ElementRule*> EntityRegistry::rules() const {
    std::vector<const ElementRule*> all;
    for (const auto& entry : rulesById)
        all.push_back(entry.second);
    return all;
}
