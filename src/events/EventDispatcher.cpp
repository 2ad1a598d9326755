// EventDispatcher: registration, removal that is safe during a walk, and dispatch.
#include "events/EventDispatcher.h"

#include <algorithm>
#include <memory>

void EventDispatcher::registerCallback(const std::string& name, IEventCallback* callback) {
    if (isCallbackRegistered(name, callback))
        return;
    entries[name].push_back(callback);
}

void EventDispatcher::unregisterCallback(const std::string& name, IEventCallback* callback) {
    auto found = entries.find(name);
    if (found == entries.end())
        return;
    auto& list = found->second;
    auto entry = std::find(list.begin(), list.end(), callback);
    if (entry == list.end() || callback == nullptr)
        return;
    if (walking > 0) {
        *entry = nullptr;
        needsSweep = true;
    } else {
        list.erase(entry);
        if (list.empty())
            entries.erase(found);
    }
}

bool EventDispatcher::isCallbackRegistered(const std::string& name, IEventCallback* callback) const {
    auto found = entries.find(name);
    if (found == entries.end())
        return false;
    return std::find(found->second.begin(), found->second.end(), callback) != found->second.end();
}

void EventDispatcher::dispatchEvent(IEvent* event) {
    if (event == nullptr)
        return;
    std::unique_ptr<IEvent> owned(event);
    const std::string name = owned->getName();
    auto found = entries.find(name);
    if (found == entries.end())
        return;

    // Map nodes are stable, so the list reference survives registrations of other names.
    std::vector<IEventCallback*>& list = found->second;
    struct WalkGuard {
        EventDispatcher& dispatcher;
        explicit WalkGuard(EventDispatcher& d) : dispatcher(d) { ++dispatcher.walking; }
        ~WalkGuard() {
            if (--dispatcher.walking == 0 && dispatcher.needsSweep)
                dispatcher.sweep();
        }
    } guard(*this);
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (IEventCallback* callback = list[i])
            callback->handleEvent(owned.get());
    }
}

void EventDispatcher::sweep() {
    needsSweep = false;
    for (auto it = entries.begin(); it != entries.end();) {
        auto& list = it->second;
        list.erase(std::remove(list.begin(), list.end(), nullptr), list.end());
        it = list.empty() ? entries.erase(it) : std::next(it);
    }
}
