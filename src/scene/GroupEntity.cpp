// GroupEntity: loading the children, the start and end delays, and showing and hiding the
// children through the scene.
#include "scene/GroupEntity.h"

#include <algorithm>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "scene/LoadObserver.h"
#include "collision/Vector2.h"
#include "scene/BaseScene.h"
#include "base/XmlAttributes.h"

namespace {

const char* const kSource = "GroupEntity";
// Lets a delay of exactly 0 still be reached by the first update's step.
constexpr float kDelayEpsilon = 1e-7f;
const Vector2 kOrigin{0.0f, 0.0f};

} // namespace

bool GroupEventCallback::handleEvent(IEvent* event) {
    group->handleTrigger(event->getName());
    return false;
}

GroupEntity::~GroupEntity() {
    // Unregister first so that no event can reach a group being torn down.
    if (home != nullptr) {
        home->removeDestroyedListener(this);
        subscriptions.clear();
    }
    callback.reset();
    for (IEntity* child : children) {
        if (shown && scene != nullptr)
            scene->removeEntity(child, true);
        else
            delete child;
    }
}

const Vector2& GroupEntity::getPosition() {
    return kOrigin;
}

void GroupEntity::load(const TiXmlHandle& handle, IScene* owner) {
    scene = owner;
    TiXmlElement* element = handle.ToElement();
    if (element == nullptr || element->FirstChild() == nullptr)
        throw EntityException(kSource, "Invalid element or has no children!");
    xml::readFloat(element, "start_delay", startDelay);
    xml::readFloat(element, "end_delay", endDelay);
    if (!xml::readText(element, "start_event", startEvent) && !xml::readText(element, "start", startEvent))
        throw EntityException(kSource, "No start event defined!");
    if (!xml::readText(element, "end_event", endEvent) && !xml::readText(element, "end", endEvent))
        throw EntityException(kSource, "No end event defined!");
    // The events travel on a BaseScene's dispatcher and its removals are what the group must
    // hear of; anywhere else the group would load but never show anything.
    auto* base = dynamic_cast<BaseScene*>(owner);
    if (base == nullptr)
        throw EntityException(kSource, "Entity is not in a BaseScene!");
    LoadObserver* observer = base->getLoadObserver();
    for (TiXmlElement* child = element->FirstChildElement(); child != nullptr; child = child->NextSiblingElement()) {
        // The scene's own factory, so that a game scene's types can be grouped too.
        IEntity* entity = scene->createEntity(child->ValueStr());
        if (entity == nullptr)
            continue;
        try {
            entity->load(TiXmlHandle(child), scene);
        } catch (const BaseException& error) {
            delete entity;
            if (!reportLoadError(observer, child, error))
                throw;
            continue;
        } catch (...) {
            delete entity;
            throw;
        }
        if (observer != nullptr)
            observer->loaded(child, entity);
        children.push_back(entity);
    }

    home = base;
    home->addDestroyedListener(this);
    callback = std::make_unique<GroupEventCallback>(this);
    subscriptions.add(home, startEvent, callback.get());
    subscriptions.add(home, endEvent, callback.get());
}

void GroupEntity::entityDestroyed(IEntity* entity) {
    children.erase(std::remove(children.begin(), children.end(), entity), children.end());
}

void GroupEntity::handleTrigger(const std::string& name) {
    if (name == startEvent && !starting) {
        starting = true;
        timer = 0.0f;
    } else if (name == endEvent && starting) {
        starting = false;
        timer = 0.0f;
    }
}

void GroupEntity::update(float dt) {
    // The timer only runs until it has passed the current phase's delay: each phase acts once.
    if (starting) {
        if (timer < startDelay + kDelayEpsilon) {
            timer += dt;
            if (timer > startDelay)
                showChildren();
        }
    } else if (timer < endDelay + kDelayEpsilon) {
        timer += dt;
        if (timer > endDelay)
            hideChildren();
    }
}

void GroupEntity::showChildren() {
    if (shown || scene == nullptr)
        return;
    for (IEntity* child : children) {
        child->reset();
        scene->addEntity(child);
    }
    shown = true;
}

void GroupEntity::hideChildren() {
    if (!shown || scene == nullptr)
        return;
    for (IEntity* child : children)
        scene->removeEntity(child, false);
    shown = false;
}
