// The generic scene: entities created by type name from XML, updated in two passes with
// deferred removal, sorted by layer, drawn texture by texture, and collided on request.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "events/EventDispatcher.h"
#include "scene/IEntity.h"
#include "scene/IScene.h"
#include "scene/LoadObserver.h"
#include "scene/SceneContext.h"

class SpriteBatch;
class TiXmlElement;

using OwnedEntities = std::vector<std::unique_ptr<IEntity>>;

// The entities of a list that owns them, in its order, for callers that only look.
std::vector<IEntity*> pointersOf(const OwnedEntities& owned);

// Owns entities and lends them to a scene for a while (a group its children, the game scene its
// levels): they are in the scene's list but never the scene's to destroy. When the scene is asked
// to destroy one, it hands it back through `reclaim` and the entity dies with what that returns.
class IEntityLender {
public:
    virtual ~IEntityLender() = default;
    virtual std::unique_ptr<IEntity> reclaim(IEntity* entity) = 0;
};

// Owns every entity in `entities` that was added, and none that was lent: each entity has one
// owner. An entry of `pendingRemovals` does not own its entity. The scene is also the dispatcher
// its entities register their callbacks on; it does not own those callbacks.
class BaseScene : public EventDispatcher, public IScene {
public:
    explicit BaseScene(const SceneContext& context) : context(context) {}
    // Dispatches "SCENE_ENDED" on itself, then destroys its entities in list order.
    ~BaseScene() override;
    BaseScene(const BaseScene&) = delete;
    BaseScene& operator=(const BaseScene&) = delete;

    // Carries out one removal now: the first occurrence of the entity leaves the list and is
    // destroyed if asked (by its lender, when it was lent). An entity not in the list is left
    // alone. One the scene owned that leaves without being destroyed belongs again to whoever
    // holds it.
    virtual void removeEntityNow(IEntity* entity, bool destroy);

    const std::string& getId() override { return id; }
    void load(const TiXmlHandle& handle) override;
    void update(float dt) override;
    void render() override;
    using IScene::addEntity;
    void addEntity(IEntity* entity) override;
    void removeEntity(IEntity* entity, bool destroy) override;
    // Puts an entity into the list that `lender` keeps owning (IEntityLender). It leaves through
    // removeEntity like any other, or at once through endLoan.
    void lendEntity(IEntity* entity, IEntityLender& lender);
    // The lent entity leaves the list now, outside the update passes; the lender keeps it. For a
    // lender that takes its entities back between frames or dies before the scene.
    void endLoan(IEntity* entity);
    // A new entity of the element's type, loaded into this scene: null for an unknown type, or
    // for one whose error went to the load observer (the entity that threw is destroyed).
    std::unique_ptr<IEntity> loadEntity(TiXmlElement* element);
    std::optional<CollisionResult> testCollision(IEntity* entity) override;
    IEntity* createEntity(const std::string& type) override;
    const SceneContext& getContext() const override { return context; }

    const std::vector<IEntity*>& getEntities() const override { return entities; }
    // With an observer, `load` (and the level files and groups loaded through this scene) report
    // an entity that fails and go on without it (LoadObserver.h). Not owned; null by default.
    void setLoadObserver(LoadObserver* observer) { loadObserver = observer; }
    LoadObserver* getLoadObserver() const override { return loadObserver; }
    bool isStarted() const { return started; }
    // True when the last frame drawn began with an opaque picture over the whole view: the frame
    // loop need not clear the colour buffer under it.
    bool coversView() const { return coveredView; }

protected:
    // Called by update once every entity has moved and before the removals asked for during the
    // frame are carried out: a scene settles here what its entities reported as they moved.
    virtual void afterMoves() {}
    // For a scene that updates in fixed steps and draws between them: with `on`, every update
    // remembers where each entity stood before it; `blend` (0 to 1) then draws each that far from
    // there to where it stands now, so motion stays smooth whatever the frame rate. 1 (the
    // default) draws every entity where it is. An entity that jumped further than
    // kLongestDrawnStep in one step (a ball served, a level brought in) is drawn where it is.
    void rememberStepStarts(bool on);
    void setDrawBlend(float blend) { drawBlend = blend; }
    static constexpr float kLongestDrawnStep = 48.0f;
    void sortByLayer();
    // Dispatches "SCENE_ENDED" on the scene, then destroys its entities in list order, the lent
    // ones through their lenders; only the first call acts. A derived scene that lends entities
    // calls it first in its destructor, while it can still take them back.
    void endScene();

    bool started = false;
    std::string id;
    std::vector<IEntity*> entities;
    std::vector<std::pair<IEntity*, bool>> pendingRemovals;
    LoadObserver* loadObserver = nullptr;

private:
    // Appends the entity to the list and points it at this scene; false, with the message on
    // standard output, when it is there already.
    bool join(IEntity* entity);
    // Takes the entity out of the scene's hold: what the scene owned, or with `destroy`, what its
    // lender hands back; null when the scene held it on loan and keeps nothing.
    std::unique_ptr<IEntity> release(IEntity* entity, bool destroy);

    SceneContext context;
    OwnedEntities owned;
    std::vector<std::pair<IEntity*, IEntityLender*>> loans;
    bool ended = false;
    bool coveredView = false;
    // Where each entity stood before the last update, by entity, for drawing between steps.
    std::vector<std::pair<const IEntity*, Vector2>> stepStarts;
    bool remembersStepStarts = false;
    float drawBlend = 1.0f;
    // Puts every entity that moved in the last step at `drawBlend` of the way there (render).
    void offsetForDrawing();
    void clearDrawOffsets();
    // The batches of the frame being drawn; a member only so its storage is reused.
    std::vector<SpriteBatch*> usedBatches;
};
