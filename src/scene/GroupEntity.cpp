// GroupEntity: loading the children, the start and end delays, and showing and hiding the
// children through the scene.
#include "scene/GroupEntity.h"

#include <algorithm>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/SettingReader.h"
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
    // Unregister first so that no event can reach a group being torn down; shown children leave
    // the scene's list before they die with `children`.
    subscriptions.clear();
    callback.reset();
    if (shown && home != nullptr) {
        for (const std::unique_ptr<IEntity>& child : children)
            home->endLoan(child.get());
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
    using namespace groupsettings;
    SettingReader<EntityException>(element, kSource, loadObserverOf(owner))(kStartDelay, startDelay)(kEndDelay,
                                                                                                    endDelay);
    if (!xml::readText(element, kStartEvent.name, startEvent) && !xml::readText(element, kStartEventOld.name, startEvent))
        throw EntityException(kSource, "No start event defined!");
    if (!xml::readText(element, kEndEvent.name, endEvent) && !xml::readText(element, kEndEventOld.name, endEvent))
        throw EntityException(kSource, "No end event defined!");
    // The events travel on a BaseScene's dispatcher and its removals are what the group must
    // hear of; anywhere else the group would load but never show anything.
    auto* base = dynamic_cast<BaseScene*>(owner);
    if (base == nullptr)
        throw EntityException(kSource, "Entity is not in a BaseScene!");
    for (TiXmlElement* child = element->FirstChildElement(); child != nullptr; child = child->NextSiblingElement()) {
        // The scene's own factory, so that a game scene's types can be grouped too.
        if (std::unique_ptr<IEntity> entity = base->loadEntity(child))
            children.push_back(std::move(entity));
    }

    home = base;
    callback = std::make_unique<GroupEventCallback>(this);
    subscriptions.add(home, startEvent, callback.get());
    subscriptions.add(home, endEvent, callback.get());
}

bool GroupEntity::hasChild(const IEntity* entity) const {
    return std::any_of(children.begin(), children.end(), [entity](const auto& c) { return c.get() == entity; });
}

std::unique_ptr<IEntity> GroupEntity::reclaim(IEntity* entity) {
    auto found = std::find_if(children.begin(), children.end(), [entity](const auto& c) { return c.get() == entity; });
    if (found == children.end())
        return nullptr;
    std::unique_ptr<IEntity> child = std::move(*found);
    children.erase(found);
    return child;
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
    if (shown || home == nullptr)
        return;
    for (const std::unique_ptr<IEntity>& child : children) {
        child->reset();
        home->lendEntity(child.get(), *this);
    }
    shown = true;
}

void GroupEntity::hideChildren() {
    if (!shown || home == nullptr)
        return;
    for (const std::unique_ptr<IEntity>& child : children)
        home->removeEntity(child.get(), false);
    shown = false;
}
