// The "group" entity: child entities described inside its element, put into the scene after a
// named start event and taken out after a named end event, each after its own delay.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/Setting.h"
#include "events/Events.h"
#include "events/Subscriptions.h"
#include "scene/BaseScene.h"
#include "scene/IEntity.h"

class GroupEntity;

// Attributes of a "group" element: "start" and "end" are older names of the two events.
namespace groupsettings {
using K = ValueKind;
inline constexpr Setting kStartDelay{"start_delay", K::Float, "0", "seconds from the start event to showing", 0, 3600};
inline constexpr Setting kEndDelay{"end_delay", K::Float, "0", "seconds from the end event to hiding", 0, 3600};
inline constexpr Setting kStartEvent{"start_event", K::EventName, "required",
                                     "event that shows the children (or `start`)"};
inline constexpr Setting kStartEventOld{"start", K::EventName, "required", "older name of `start_event`"};
inline constexpr Setting kEndEvent{"end_event", K::EventName, "required", "event that hides the children (or `end`)"};
inline constexpr Setting kEndEventOld{"end", K::EventName, "required", "older name of `end_event`"};
} // namespace groupsettings

// Forwards the group's start and end events to it. Owned by its group.
class GroupEventCallback final : public IEventCallback {
public:
    explicit GroupEventCallback(GroupEntity* group) : group(group) {}
    bool handleEvent(IEvent* event) override;

private:
    GroupEntity* group;
};

// Owns its children for its whole life and lends them to the scene while they are shown; a child
// the scene destroys while it is shown (a fade that removes itself) is handed back through
// `reclaim` and dies there, so the group never touches it again. The callback is registered on
// the scene given to `load`, which must be a BaseScene and outlives the group, and is
// unregistered before anything else is destroyed.
class GroupEntity : public IEntity, private IEntityLender {
public:
    GroupEntity() = default;
    ~GroupEntity() override;
    GroupEntity(const GroupEntity&) = delete;
    GroupEntity& operator=(const GroupEntity&) = delete;

    void load(const TiXmlHandle& handle, IScene* scene) override;
    void update(float dt) override;
    void postUpdate(float) override {}
    void render(SpriteBatch*) override {}
    void reset() override {}
    void onCollision(CollisionResult*) override {}
    bool isActive() override { return active; }
    bool isVisible() override { return false; }
    const Vector2& getPosition() override;
    int32_t getLayer() override { return 0; }
    IRenderable* getRenderable() override { return nullptr; }
    ICollider* getCollider() override { return nullptr; }
    IScene* getScene() override { return scene; }
    void setScene(IScene* newScene) override { scene = newScene; }
    virtual void showChildren();
    virtual void hideChildren();

    // The start event arms showing, the end event arms hiding; a repeat of the last accepted
    // event is ignored.
    void handleTrigger(const std::string& name);

    std::vector<IEntity*> getChildren() const { return pointersOf(children); }
    bool hasChild(const IEntity* entity) const;
    bool isShown() const { return shown; }
    // The callback the start and end events are registered with.
    IEventCallback* getCallback() const { return callback.get(); }

private:
    IScene* scene = nullptr;
    bool active = true;
    bool shown = false;
    float startDelay = 0.0f;
    float endDelay = 0.0f;
    float timer = 0.0f;
    bool starting = false;
    std::string startEvent;
    std::string endEvent;
    std::unique_ptr<GroupEventCallback> callback;

    std::unique_ptr<IEntity> reclaim(IEntity* entity) override;

    OwnedEntities children;
    // Where the callback is registered and the children are lent; not owned.
    BaseScene* home = nullptr;
    // The callback's registrations on `home`; they end before the callback does.
    Subscriptions subscriptions;
};
