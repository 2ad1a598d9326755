// The entity and scene types the data can name: for each element name, how to make one and the
// rule of what its loader reads (Schema.h); and the names of the events a scene raises, which the
// data names in triggers. The engine registers its generic types and scene events
// (registerSceneTypes below), the game its own; a scene makes its entities through the registry of
// its context, and the data checker reads the rules and the event names from the same place.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "scene/Schema.h"

class IEntity;
class IScene;
struct SceneContext;

class EntityRegistry {
public:
    using EntityFactory = std::function<IEntity*()>;
    using SceneFactory = std::function<IScene*(const SceneContext&)>;

    // Registers a type under the element name `name`; `rule` (with the id "entity:<name>" or
    // "scene:<name>") must outlive the registry: the registrations keep them as static tables.
    // A second registration of a name replaces the first.
    void addEntityType(const std::string& name, EntityFactory make, const ElementRule& rule);
    void addSceneType(const std::string& name, SceneFactory make, const ElementRule& rule);
    // A rule of a settings element that a type's rule names as a child ("fade/duration").
    void addRule(const ElementRule& rule);
    // Names of events a scene's dispatcher can carry; a name already registered is skipped.
    void addEventNames(const std::vector<std::string>& names);

    // A new, not yet loaded entity or scene for an element name; null for a name not registered.
    IEntity* createEntity(const std::string& name) const;
    IScene* createScene(const std::string& name, const SceneContext& context) const;

    // The rule with that id ("entity:<name>", "scene:<name>", or a settings element's), or null.
    const ElementRule* findRule(const std::string& id) const;
    // The names registered, in the order they were first registered.
    const std::vector<std::string>& entityTypes() const { return entityOrder; }
    const std::vector<std::string>& sceneTypes() const { return sceneOrder; }
    const std::vector<std::string>& eventNames() const { return events; }
    // Every rule registered, types and settings elements alike.
    std::vector<const ElementRule*> rules() const;

private:
    std::map<std::string, EntityFactory> entities;
    std::map<std::string, SceneFactory> scenes;
    // Names in the order they were first registered, for listings and suggestions.
    std::vector<std::string> entityOrder;
    std::vector<std::string> sceneOrder;
    std::vector<std::string> events;
    std::map<std::string, const ElementRule*> rulesById;
};

// The engine's own types: sprite_entity, box, fade, group, counter and gradient, and the base_scene;
// and the events every scene raises.
void registerSceneTypes(EntityRegistry& registry);
