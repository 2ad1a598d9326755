// The generic scene: entities created by type name from XML, updated in two passes with
// deferred removal, sorted by layer, drawn texture by texture, and collided on request.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "events/EventDispatcher.h"
#include "scene/IScene.h"
#include "scene/SceneContext.h"

class LoadObserver;
class SpriteBatch;

// Told by a scene just before it destroys one of its entities, so that whoever also holds a
// pointer to that entity (a group holding its children) can drop it instead of keeping a
// dangling one.
class IEntityDestroyedListener {
public:
    virtual ~IEntityDestroyedListener() = default;
    virtual void entityDestroyed(IEntity* entity) = 0;
};

// Owns every entity in `entities`. An entry of `pendingRemovals` does not own its entity.
// The scene is also the dispatcher its entities register their callbacks on; it does not own
// those callbacks, nor the destruction listeners, which must remove themselves before they die.
class BaseScene : public EventDispatcher, public IScene {
public:
    explicit BaseScene(const SceneContext& context) : context(context) {}
    // Dispatches "SCENE_ENDED" on itself, then destroys its entities in list order.
    ~BaseScene() override;
    BaseScene(const BaseScene&) = delete;
    BaseScene& operator=(const BaseScene&) = delete;

    // Carries out one removal now: the first occurrence of the entity leaves the list and is
    // destroyed first if asked. An entity not in the list is left alone.
    virtual void removeEntityNow(IEntity* entity, bool destroy);

    // Listeners hear of every entity that removeEntityNow destroys, before it is destroyed.
    // The scene's own destruction tells nobody: its entities die with everything that holds them.
    void addDestroyedListener(IEntityDestroyedListener* listener);
    void removeDestroyedListener(IEntityDestroyedListener* listener);

    const std::string& getId() override { return id; }
    void load(const TiXmlHandle& handle) override;
    void update(float dt) override;
    void render() override;
    void addEntity(IEntity* entity) override;
    void removeEntity(IEntity* entity, bool destroy) override;
    std::optional<CollisionResult> testCollision(IEntity* entity) override;
    IEntity* createEntity(const std::string& type) override;
    const SceneContext& getContext() const override { return context; }

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
    SceneContext context;
    std::vector<IEntityDestroyedListener*> destroyedListeners;
    // The batches of the frame being drawn; a member only so its storage is reused.
    std::vector<SpriteBatch*> usedBatches;
};
