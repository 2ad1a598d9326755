// "hit_flash": a short flash where the ball met something, on a game event that carries the place
// (a bounce off the paddle or a wall). The flashes are kept in a fixed pool, so many balls
// bouncing at once cost no allocation and no more than "most" pictures a frame.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "base/Setting.h"
#include "collision/Vector2.h"
#include "events/Events.h"
#include "events/Subscriptions.h"
#include "scene/SpriteEntity.h"

class PellvaneHitFlashEntity;

// The most flashes one entity can show at once: the pool's size.
inline constexpr int kMostHitFlashes = 16;

// Attributes of a "hit_flash" element beside a sprite entity's ("sprite" is the flash, drawn
// centred on the place at its own size, or "width" x "height").
namespace hitflashsettings {
inline constexpr Setting kEvent{"event", ValueKind::EventName, "required",
                                "the game event that flashes: one that carries a place"};
inline constexpr Setting kLifetime{"lifetime", ValueKind::Float, "0.15", "seconds a flash takes to fade out", 0.01, 10};
inline constexpr Setting kMost{
    "most", ValueKind::Integer, "8", "flashes shown at once; a new one takes the oldest's place", 1, kMostHitFlashes};
} // namespace hitflashsettings

// Forwards the event to its entity. Owned by the entity.
class HitFlashCallback final : public IEventCallback {
public:
    explicit HitFlashCallback(PellvaneHitFlashEntity* entity) : entity(entity) {}
    bool handleEvent(IEvent* event) override;

private:
    PellvaneHitFlashEntity* entity;
};

// The callback is registered on the game scene's dispatcher until the entity ends; that scene
// outlives the entity. An event without a place shows nothing.
class PellvaneHitFlashEntity : public SpriteEntity {
public:
    PellvaneHitFlashEntity() = default;
    ~PellvaneHitFlashEntity() override;
    PellvaneHitFlashEntity(const PellvaneHitFlashEntity&) = delete;
    PellvaneHitFlashEntity& operator=(const PellvaneHitFlashEntity&) = delete;

    void load(const TiXmlHandle& handle, IScene* scene) override;
    void update(float dt) override;
    void render(SpriteBatch* batch) override;
    // Every flash goes out (a new level, a new game).
    void reset() override;

    // A flash centred on `at`, in place of the oldest when "most" are showing.
    void flashAt(const Vector2& at);
    // The flashes showing now.
    int getShowing() const;
    const std::string& getEvent() const { return event; }

private:
    struct Flash {
        Vector2 at;
        // Seconds since it came; at `lifetime` or more it is out.
        float age = 0.0f;
        bool showing = false;
    };

    std::string event;
    float lifetime = 0.15f;
    int most = 8;
    std::array<Flash, kMostHitFlashes> flashes{};
    std::unique_ptr<HitFlashCallback> callback;
    // The callback's registration on the scene; it ends before the callback.
    Subscriptions subscriptions;
};
