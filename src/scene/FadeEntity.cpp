// FadeEntity: reading the fade's children, the state machine that animates the alpha, and
// the trigger events heard on the scene's dispatcher.
#include "scene/FadeEntity.h"

#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/SettingReader.h"
#include "scene/BaseScene.h"
#include "base/XmlAttributes.h"

namespace {

const char* const kSource = "FadeEntity";

float lerp(float a, float b, float f) {
    return (1.0f - f) * a + f * b;
}

// a / b, or 0 when b is 0: a range whose two ends are equal has nowhere to move, so the
// position within it is its start and the alpha holds at that one value.
float fraction(float a, float b) {
    return b != 0.0f ? a / b : 0.0f;
}

} // namespace

bool FadeEntityCallback::handleEvent(IEvent* event) {
    entity->handleTrigger(event->getName());
    return false;
}

FadeEntity::~FadeEntity() = default;

void FadeEntity::load(const TiXmlHandle& handle, IScene* owner) {
    SpriteEntity::load(handle, owner);
    loadFade(handle.ToElement(), owner);
}

void FadeEntity::loadFade(const TiXmlElement* element, IScene* owner) {
    using namespace fadesettings;
    using Reader = SettingReader<EntityException>;
    LoadDiagnostics* diagnostics = loadObserverOf(owner);
    Reader(element, kSource, diagnostics)(kDelay, delay)(kAutoRemove, autoRemove);

    if (const TiXmlElement* duration = element->FirstChildElement("duration")) {
        Reader(duration, kSource, diagnostics)(kIn, fadeInDuration)(kOut, fadeOutDuration)(kActive, activeDuration);
    }
    if (const TiXmlElement* alpha = element->FirstChildElement("alpha")) {
        Reader(alpha, kSource, diagnostics)(kMin, alphaMin)(kMax, alphaMax)(kStart, alphaStart);
        colour.alpha = alphaStart;
    }
    if (const TiXmlElement* pulseElement = element->FirstChildElement("pulse")) {
        pulse = true;
        pulseMin = alphaMin;
        pulseMax = alphaMax;
        Reader(pulseElement, kSource, diagnostics)(kPulseDuration, pulseDuration)(kPulseMin, pulseMin)(kPulseMax,
                                                                                                       pulseMax);
    }
    if (const TiXmlElement* trigger = element->FirstChildElement("trigger")) {
        // The scene's events travel on a BaseScene's dispatcher; anywhere else a trigger would
        // never be heard and the fade would wait for ever.
        dispatcher = dynamic_cast<BaseScene*>(owner);
        if (dispatcher == nullptr)
            throw EntityException(kSource, "Entity is not in a BaseScene!");
        if (xml::readText(trigger, kInEvent.name, inEvent)) {
            if (!callback)
                callback = std::make_unique<FadeEntityCallback>(this);
            subscriptions.add(dispatcher, inEvent, callback.get());
            hasInTrigger = true;
        }
        if (xml::readText(trigger, kOutEvent.name, outEvent)) {
            if (!callback)
                callback = std::make_unique<FadeEntityCallback>(this);
            subscriptions.add(dispatcher, outEvent, callback.get());
            hasOutTrigger = true;
        }
        xml::readBool(trigger, kInterrupt.name, interrupt);
    }
    state = hasInTrigger ? FadeState::Waiting : FadeState::Delay;
}

void FadeEntity::update(float dt) {
    timer += dt;
    switch (state) {
    case FadeState::Waiting:
    case FadeState::Done:
        timer = 0.0f;
        break;
    case FadeState::Delay:
        if (timer > delay) {
            timer = 0.0f;
            state = FadeState::FadingIn;
        }
        break;
    case FadeState::FadingIn:
        if (timer < fadeInDuration)
            colour.alpha = lerp(alphaMin, alphaMax, timer / fadeInDuration);
        else
            enterShown();
        break;
    case FadeState::Shown:
        stepShown(dt);
        break;
    case FadeState::FadingOut:
        if (timer < fadeOutDuration)
            colour.alpha = lerp(alphaMax, alphaMin, timer / fadeOutDuration);
        else
            finishFadeOut();
        break;
    }
}

void FadeEntity::enterShown() {
    colour.alpha = alphaMax;
    state = FadeState::Shown;
    timer = 0.0f;
    if (pulse) {
        // Start the pulse where the fade-in left the alpha.
        pulseTimer = fraction(alphaMax - pulseMin, pulseMax - pulseMin) * pulseDuration;
        pulseRising = pulseMax > alphaMax;
    }
}

void FadeEntity::stepShown(float dt) {
    if (!hasOutTrigger && activeDuration <= timer) {
        if (activeDuration < timer) {
            state = FadeState::FadingOut;
            // Continue the fade-out from the present alpha rather than jumping to the top.
            timer = (1.0f - fraction(colour.alpha - alphaMin, alphaMax - alphaMin)) * fadeOutDuration;
        }
        return;
    }
    if (!pulse)
        return;
    // A pulse with no length has no halves to swing through: it holds at its top rather than
    // jumping between its two ends every frame.
    if (!(pulseDuration > 0.0f)) {
        colour.alpha = pulseMax;
        return;
    }
    pulseTimer += dt;
    if (pulseTimer > pulseDuration) {
        pulseTimer = 0.0f;
        pulseRising = !pulseRising;
    }
    const float p = pulseTimer / pulseDuration;
    colour.alpha = pulseRising ? lerp(pulseMin, pulseMax, p) : lerp(pulseMax, pulseMin, p);
}

void FadeEntity::finishFadeOut() {
    colour.alpha = alphaMin;
    if (autoRemove) {
        if (scene != nullptr)
            scene->removeEntity(this, true);
        return;
    }
    timer = 0.0f;
    state = hasInTrigger ? FadeState::Waiting : FadeState::Done;
}

void FadeEntity::handleTrigger(const std::string& name) {
    if (hasInTrigger && state == FadeState::Waiting && name == inEvent) {
        state = FadeState::Delay;
        timer = 0.0f;
    } else if (hasOutTrigger && state == FadeState::Shown && name == outEvent) {
        state = FadeState::FadingOut;
        timer = 0.0f;
    } else if (interrupt && hasOutTrigger && name == outEvent &&
               (state == FadeState::Delay || state == FadeState::FadingIn)) {
        // Out from where the fade-in got to (a fade still in its delay has not left alphaMin).
        const float shown =
            state == FadeState::FadingIn ? fraction(colour.alpha - alphaMin, alphaMax - alphaMin) : 0.0f;
        state = FadeState::FadingOut;
        timer = (1.0f - shown) * fadeOutDuration;
    } else if (interrupt && hasInTrigger && name == inEvent && state == FadeState::FadingOut) {
        state = FadeState::FadingIn;
        timer = fraction(colour.alpha - alphaMin, alphaMax - alphaMin) * fadeInDuration;
    }
}

// Unlike a sprite's reset, the flags stay: a fade restarts its animation only.
void FadeEntity::reset() {
    timer = 0.0f;
    colour.alpha = alphaStart;
    state = hasInTrigger ? FadeState::Waiting : FadeState::Delay;
}
