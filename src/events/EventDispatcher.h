// Synchronous named-event dispatch: callbacks registered under a name are called in
// registration order, and the dispatched event is always destroyed afterwards.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "events/Events.h"

// Does not own the callbacks it points at. A callback must be unregistered (or the dispatcher
// destroyed) before the callback object is deleted.
class EventDispatcher {
public:
    EventDispatcher() = default;
    EventDispatcher(const EventDispatcher&) = delete;
    EventDispatcher& operator=(const EventDispatcher&) = delete;
    virtual ~EventDispatcher() = default;

    void registerCallback(const std::string& name, IEventCallback* callback);
    void unregisterCallback(const std::string& name, IEventCallback* callback);
    bool isCallbackRegistered(const std::string& name, IEventCallback* callback) const;
    // Takes ownership of the event; a null event is ignored.
    void dispatchEvent(IEvent* event);

private:
    // Each name's callbacks in registration order. A walk indexes the live list, so entries
    // appended during the walk are reached. Entries removed during a walk are only nulled and
    // swept once no walk is under way, so indices stay valid and nothing is skipped or repeated.
    std::map<std::string, std::vector<IEventCallback*>> entries;
    int walking = 0;
    bool needsSweep = false;

    void sweep();
};
