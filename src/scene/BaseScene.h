// The generic scene: entities created by type name from XML, updated in two passes with
// deferred removal, sorted by layer, drawn texture by texture, and collided on request.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "events/EventDispatcher.h"
#include "scene/IScene.h"

class LoadObserver;
class SpriteBatch;

// Owns every entity in `entities`. An entry of `pendingRemovals` does not own its entity.
// The scene is also the dispatcher its entities register their callbacks on; it does not own
// those callbacks.
class BaseScene : public EventDispatcher, public IScene {
public:
    BaseScene() = default;
    // Dispatches "SCENE_ENDED" on itself, then destroys its entities in list order.
    ~BaseScene() override;

    // Carries out one removal now: the first occurrence of the entity leaves the list and is
    // destroyed first if asked. An entity not in the list is left alone.
    virtual void removeEntityNow(IEntity* entity, bool destroy);

    const std::string& getId() override { return id; }
    void load(const TiXmlHandle& handle) override;
    void update(float dt) override;
    void render() override;
    void addEntity(IEntity* entity) override;
    void removeEntity(IEntity* entity, bool destroy) override;
    CollisionResult* testCollision(IEntity* entity) override;
    IEntity* createEntity(const std::string& type) override;

    const std::vector<IEntity*>& getEntities() const { return entities; }
    // With an observer, `load` (and the level files and groups loaded through this scene) report
    // an entity that fails and go on without it (LoadObserver.h). Not owned; null by default.
    void setLoadObserver(LoadObserver* observer) { loadObserver = observer; }
    LoadObserver* getLoadObserver() const { return loadObserver; }
    bool isStarted() const { return started; }

protected:
    void sortByLayer();

    bool started = false;
    std::string id;
    std::vector<IEntity*> entities;
    std::vector<std::pair<IEntity*, bool>> pendingRemovals;
    LoadObserver* loadObserver = nullptr;

private:
    // The batches of the frame being drawn; a member only so its storage is reused.
    std::vector<SpriteBatch*> usedBatches;
};
