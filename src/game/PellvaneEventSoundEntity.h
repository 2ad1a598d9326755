// The "event_sound" entity: plays an effect of the sound set each time the game scene raises an
// event (a bounce, a launch, a lost ball, a cleared level...), so what is heard is data.
#pragma once

#include <memory>
#include <string>

#include "base/Setting.h"
#include "collision/Vector2.h"
#include "events/Events.h"
#include "events/Subscriptions.h"
#include "scene/IEntity.h"

class SoundManager;
class PellvaneEventSoundEntity;

// Attributes of an "event_sound" element; both are required.
namespace eventsoundsettings {
inline constexpr Setting kEvent{"event", ValueKind::EventName, "required", "the game event that plays it"};
inline constexpr Setting kSound{"sound", ValueKind::Text, "required", "the effect, as the sound set names it"};
} // namespace eventsoundsettings

// Forwards the named event to its entity. Owned by the entity.
class EventSoundCallback final : public IEventCallback {
public:
    explicit EventSoundCallback(PellvaneEventSoundEntity* entity) : entity(entity) {}
    bool handleEvent(IEvent* event) override;

private:
    PellvaneEventSoundEntity* entity;
};

// Invisible and never collides. The callback is registered on the dispatcher of the scene given
// to `load` until the entity ends; that scene outlives the entity.
class PellvaneEventSoundEntity : public IEntity {
public:
    PellvaneEventSoundEntity() = default;
    ~PellvaneEventSoundEntity() override;
    PellvaneEventSoundEntity(const PellvaneEventSoundEntity&) = delete;
    PellvaneEventSoundEntity& operator=(const PellvaneEventSoundEntity&) = delete;

    // Reads "event" and "sound", both required; a sound the sound set lacks is a load error.
    void load(const TiXmlHandle& handle, IScene* scene) override;
    void update(float) override {}
    void postUpdate(float) override {}
    void render(SpriteBatch*) override {}
    void reset() override {}
    void onCollision(CollisionResult*) override {}
    bool isActive() override { return false; }
    bool isVisible() override { return false; }
    const Vector2& getPosition() override { return position; }
    int32_t getLayer() override { return 0; }
    IRenderable* getRenderable() override { return nullptr; }
    ICollider* getCollider() override { return nullptr; }
    IScene* getScene() override { return scene; }
    void setScene(IScene* newScene) override { scene = newScene; }

    void play();
    const std::string& getEvent() const { return event; }
    const std::string& getSound() const { return sound; }

private:
    IScene* scene = nullptr;
    Vector2 position;
    std::string event;
    std::string sound;
    std::unique_ptr<EventSoundCallback> callback;
    // The game scene's sounds; not owned.
    SoundManager* sounds = nullptr;
    // The callback's registration on the scene; it ends before the callback.
    Subscriptions subscriptions;
};
