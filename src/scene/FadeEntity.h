// The "fade" entity: a sprite whose alpha fades in after a delay, stays shown (optionally
// pulsing), fades out, and then waits for its next start, stops, or removes itself.
#pragma once

#include <memory>
#include <string>

#include "base/Setting.h"
#include "events/Events.h"
#include "events/Subscriptions.h"
#include "scene/SpriteEntity.h"

class EventDispatcher;
class FadeEntity;

// Attributes of a "fade" element, after those of a sprite entity, and of its children.
namespace fadesettings {
using K = ValueKind;
// A fade, a pulse or a wait longer than an hour is nothing a player sees change.
inline constexpr double kLongest = 3600.0;
inline constexpr Setting kDelay{"delay", K::Float, "0", "seconds before the fade-in starts", 0, kLongest};
inline constexpr Setting kAutoRemove{"auto_remove", K::FlagOff, "false", "`true`: removes itself after its fade-out"};
// "duration"
inline constexpr Setting kIn{"in", K::Float, "0", "seconds of the fade-in", 0, kLongest};
inline constexpr Setting kOut{"out", K::Float, "0", "seconds of the fade-out", 0, kLongest};
inline constexpr Setting kActive{
    "active", K::Float, "0", "seconds shown before fading out by itself, without an `out` trigger", 0, kLongest};
// "alpha"
inline constexpr Setting kMin{"min", K::Float, "0", "alpha when faded out", 0, 1};
inline constexpr Setting kMax{"max", K::Float, "1", "alpha when faded in", 0, 1};
inline constexpr Setting kStart{"start", K::Float, "0", "alpha after loading and after each reset", 0, 1};
// "pulse": its range is the "alpha" one unless it names its own.
inline constexpr Setting kPulseDuration{"duration", K::Float, "1", "seconds of one half of a pulse", 0, kLongest};
inline constexpr Setting kPulseMin{"min", K::Float, "the `alpha` `min`", "lowest alpha of the pulse", 0, 1};
inline constexpr Setting kPulseMax{"max", K::Float, "the `alpha` `max`", "highest alpha of the pulse", 0, 1};
// "trigger"
inline constexpr Setting kInEvent{"in", K::EventName, "none",
                                  "event that starts the fade; without it, the scene's first update"};
inline constexpr Setting kOutEvent{"out", K::EventName, "none", "event that fades a shown fade out"};
inline constexpr Setting kInterrupt{"interrupt", K::FlagOff, "false",
                                    "`true`: `out` also fades out one coming in, `in` brings back one going out"};
} // namespace fadesettings

enum class FadeState : int32_t { Waiting = 0, Delay = 1, FadingIn = 2, Shown = 3, FadingOut = 4, Done = 5 };

// Forwards the fade's trigger events to it. Owned by its fade entity.
class FadeEntityCallback final : public IEventCallback {
public:
    explicit FadeEntityCallback(FadeEntity* entity) : entity(entity) {}
    bool handleEvent(IEvent* event) override;

private:
    FadeEntity* entity;
};

// The callback is registered on the dispatcher of the scene given to `load`, and its
// registrations end with the entity; that scene outlives the entity (it owns it, or owns the
// group that owns it).
class FadeEntity : public SpriteEntity {
public:
    FadeEntity() = default;
    ~FadeEntity() override;
    FadeEntity(const FadeEntity&) = delete;
    FadeEntity& operator=(const FadeEntity&) = delete;

    void load(const TiXmlHandle& handle, IScene* scene) override;
    void update(float dt) override;
    void reset() override;

    // The trigger handling: the in event starts a waiting fade, the out event fades a shown
    // one out; anything else is ignored. With `interrupt` the out event also fades out a fade
    // still in its delay or coming in, and the in event brings back one going out, each from
    // the alpha it has reached.
    void handleTrigger(const std::string& name);
    FadeState getState() const { return state; }
    // The callback the triggers are registered with (null without triggers).
    IEventCallback* getCallback() const { return callback.get(); }

protected:
    // Reads the fade's own attributes and children from `element` (a picture that is no sprite
    // reads its own placement first, then this).
    void loadFade(const TiXmlElement* element, IScene* owner);

private:
    FadeState state = FadeState::Waiting;
    float delay = 0.0f;
    float fadeInDuration = 0.0f;
    float fadeOutDuration = 0.0f;
    float activeDuration = 0.0f;
    float timer = 0.0f;
    bool pulse = false;
    bool pulseRising = true;
    float pulseDuration = 1.0f;
    float pulseMin = 0.0f;
    float pulseMax = 1.0f;
    float pulseTimer = 0.0f;
    float alphaMin = 0.0f;
    float alphaMax = 1.0f;
    float alphaStart = 0.0f;
    bool autoRemove = false;
    bool hasInTrigger = false;
    bool hasOutTrigger = false;
    bool interrupt = false;
    std::string inEvent;
    std::string outEvent;
    std::unique_ptr<FadeEntityCallback> callback;

    void enterShown();
    void stepShown(float dt);
    void finishFadeOut();

    // Where the callback is registered; not owned.
    EventDispatcher* dispatcher = nullptr;
    // The callback's registrations; they end before the callback does.
    Subscriptions subscriptions;
};
