// What the main loop and the Game see of a scene. The order of the operations is part of the
// interface: derived classes add their own virtual operations after these.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "collision/CollisionResult.h"
#include "scene/IEntity.h"

class LoadObserver;
class TiXmlHandle;
struct SceneContext;

class IScene {
public:
    virtual ~IScene() = default;
    virtual const std::string& getId() = 0;
    virtual void load(const TiXmlHandle& handle) = 0;
    virtual void update(float dt) = 0;
    virtual void render() = 0;
    // The scene takes ownership.
    virtual void addEntity(IEntity* entity) = 0;
    void addEntity(std::unique_ptr<IEntity> entity) { addEntity(entity.release()); }
    // Takes the entity out at the end of the current or next update, destroying it if asked.
    virtual void removeEntity(IEntity* entity, bool destroy) = 0;
    // The entity's collider against every other active one: the hit nearest along the entity's
    // path (the first in list order among equals), whose entity is told through onCollision.
    virtual std::optional<CollisionResult> testCollision(IEntity* entity) = 0;
    // A new, not yet loaded entity for a type name, or null.
    virtual IEntity* createEntity(const std::string& type) = 0;
    // The managers and the view the scene was made with (SceneContext.h).
    virtual const SceneContext& getContext() const = 0;
    // What loading through the scene reports each failed entity to and goes on (LoadObserver.h):
    // the data checker. Null for the game's start-up, which stops at the first error.
    virtual LoadObserver* getLoadObserver() const = 0;
    // The entities in the scene now, in update and drawing order.
    virtual const std::vector<IEntity*>& getEntities() const = 0;
};
