// Subscriptions: registering and the unregistering that comes with the end of the set.
#include "events/Subscriptions.h"

#include "events/EventDispatcher.h"

void Subscriptions::add(EventDispatcher* dispatcher, const std::string& name, IEventCallback* callback) {
    if (dispatcher == nullptr || callback == nullptr)
        return;
    dispatcher->registerCallback(name, callback);
    entries.push_back({dispatcher, name, callback});
}

void Subscriptions::clear() {
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry)
        entry->dispatcher->unregisterCallback(entry->name, entry->callback);
    entries.clear();
}
