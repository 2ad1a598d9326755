// Callback registrations that end with their owner: each one added is unregistered when the set
// is cleared or destroyed, so an object that holds its callbacks and a Subscriptions (declared
// after them, so it goes first) never leaves a dispatcher pointing at a deleted callback.
#pragma once

#include <string>
#include <vector>

class EventDispatcher;
class IEventCallback;

// The dispatchers must outlive the set (they are the scene or the Game that own its owner).
class Subscriptions {
public:
    Subscriptions() = default;
    ~Subscriptions() { clear(); }
    Subscriptions(const Subscriptions&) = delete;
    Subscriptions& operator=(const Subscriptions&) = delete;

    // Registers `callback` under `name` on `dispatcher`; a null dispatcher registers nothing.
    void add(EventDispatcher* dispatcher, const std::string& name, IEventCallback* callback);
    // Unregisters everything added, in reverse order.
    void clear();
    bool empty() const { return entries.empty(); }

private:
    struct Entry {
        EventDispatcher* dispatcher;
        std::string name;
        IEventCallback* callback;
    };
    std::vector<Entry> entries;
};
