// Registration and dispatch rules of the EventDispatcher.
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "events/EventDispatcher.h"
#include "events/Subscriptions.h"

namespace {

// Counts its own destructions so tests can tell that the dispatcher destroyed each event.
class CountedEvent : public Event {
public:
    CountedEvent(const std::string& name, int& destroyed) : Event(name), destroyed(destroyed) {}
    ~CountedEvent() override { ++destroyed; }
    int& destroyed;
};

// A callback that records its calls in a shared log and may run an action inside the call.
class RecordingCallback final : public IEventCallback {
public:
    RecordingCallback(std::string label, std::vector<std::string>& log, bool result = false)
        : label(std::move(label)), log(log), result(result) {}
    bool handleEvent(IEvent* event) override {
        log.push_back(label + ":" + event->getName());
        if (action)
            action(event);
        return result;
    }
    std::string label;
    std::vector<std::string>& log;
    bool result;
    std::function<void(IEvent*)> action;
};

struct DispatcherTest : ::testing::Test {
    EventDispatcher dispatcher;
    std::vector<std::string> log;
    int destroyed = 0;
    void dispatch(const std::string& name) { dispatcher.dispatchEvent(new CountedEvent(name, destroyed)); }
};

TEST_F(DispatcherTest, CallsCallbacksInRegistrationOrderAndReachesOnesAddedDuringTheWalk) {
    RecordingCallback first("first", log), second("second", log), third("third", log);
    first.action = [&](IEvent*) { dispatcher.registerCallback("E", &third); };
    dispatcher.registerCallback("E", &first);
    dispatcher.registerCallback("E", &second);
    dispatch("E");
    EXPECT_EQ((std::vector<std::string>{"first:E", "second:E", "third:E"}), log);
    EXPECT_EQ(1, destroyed);
}

TEST_F(DispatcherTest, DuplicateRegistrationLeavesOneEntry) {
    RecordingCallback callback("cb", log);
    dispatcher.registerCallback("E", &callback);
    dispatcher.registerCallback("E", &callback);
    EXPECT_TRUE(dispatcher.isCallbackRegistered("E", &callback));
    dispatch("E");
    EXPECT_EQ(1u, log.size());
    dispatcher.unregisterCallback("E", &callback);
    EXPECT_FALSE(dispatcher.isCallbackRegistered("E", &callback));
    dispatch("E");
    EXPECT_EQ(1u, log.size());
}

TEST_F(DispatcherTest, OneCallbackUnderBothKeyboardNamesTellsThemApartByPressed) {
    std::vector<bool> pressed;
    struct KeyCallback : IEventCallback {
        std::vector<bool>* pressed;
        bool handleEvent(IEvent* event) override {
            pressed->push_back(static_cast<KeyboardEvent*>(event)->pressed);
            return true;
        }
    } callback;
    callback.pressed = &pressed;
    dispatcher.registerCallback(KEYBOARD_KEY_PRESSED_EVENT, &callback);
    dispatcher.registerCallback(KEYBOARD_KEY_RELEASED_EVENT, &callback);
    dispatcher.dispatchEvent(new KeyboardEvent(KEYBOARD_KEY_PRESSED_EVENT, 97, true));
    dispatcher.dispatchEvent(new KeyboardEvent(KEYBOARD_KEY_RELEASED_EVENT, 97, false));
    EXPECT_EQ((std::vector<bool>{true, false}), pressed);
}

TEST_F(DispatcherTest, UnknownNameOrNullEventCallsNothingAndDestroysTheEvent) {
    RecordingCallback callback("cb", log);
    dispatcher.registerCallback("E", &callback);
    dispatch("OTHER");
    dispatcher.dispatchEvent(nullptr);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(1, destroyed);
}

TEST_F(DispatcherTest, ResultOfACallbackDoesNotStopTheWalk) {
    RecordingCallback yes("yes", log, true), no("no", log, false), last("last", log, true);
    dispatcher.registerCallback("E", &yes);
    dispatcher.registerCallback("E", &no);
    dispatcher.registerCallback("E", &last);
    dispatch("E");
    EXPECT_EQ(3u, log.size());
}

TEST_F(DispatcherTest, UnregisteringOneOfTwoKeepsTheOtherInOrder) {
    RecordingCallback a("a", log), b("b", log), c("c", log);
    dispatcher.registerCallback("E", &a);
    dispatcher.registerCallback("E", &b);
    dispatcher.unregisterCallback("E", &a);
    dispatcher.unregisterCallback("E", &a); // not registered any more: ignored
    dispatcher.registerCallback("E", &c);
    dispatch("E");
    EXPECT_EQ((std::vector<std::string>{"b:E", "c:E"}), log);
}

TEST_F(DispatcherTest, RemovingEntriesDuringAWalkIsSafeAndSkipsOnlyTheRemovedOnes) {
    RecordingCallback a("a", log), b("b", log), c("c", log);
    auto* doomed = new RecordingCallback("doomed", log);
    // a removes itself and destroys the callback that comes after b.
    a.action = [&](IEvent*) {
        dispatcher.unregisterCallback("E", &a);
        dispatcher.unregisterCallback("E", doomed);
        delete doomed;
    };
    dispatcher.registerCallback("E", &a);
    dispatcher.registerCallback("E", &b);
    dispatcher.registerCallback("E", doomed);
    dispatcher.registerCallback("E", &c);
    dispatch("E");
    EXPECT_EQ((std::vector<std::string>{"a:E", "b:E", "c:E"}), log);
    log.clear();
    dispatch("E");
    EXPECT_EQ((std::vector<std::string>{"b:E", "c:E"}), log);
    EXPECT_EQ(2, destroyed);
}

TEST_F(DispatcherTest, NestedDispatchCompletesBeforeTheWalkGoesOn) {
    RecordingCallback outer("outer", log), inner("inner", log), after("after", log);
    outer.action = [&](IEvent*) { dispatch("INNER"); };
    dispatcher.registerCallback("OUTER", &outer);
    dispatcher.registerCallback("OUTER", &after);
    dispatcher.registerCallback("INNER", &inner);
    dispatch("OUTER");
    EXPECT_EQ((std::vector<std::string>{"outer:OUTER", "inner:INNER", "after:OUTER"}), log);
    EXPECT_EQ(2, destroyed);
}

TEST_F(DispatcherTest, EventIsDestroyedWhenACallbackThrows) {
    RecordingCallback thrower("thrower", log);
    thrower.action = [](IEvent*) { throw 42; };
    dispatcher.registerCallback("E", &thrower);
    EXPECT_THROW(dispatch("E"), int);
    EXPECT_EQ(1, destroyed);
    // The dispatcher is still usable: the walk state was unwound.
    thrower.action = nullptr;
    dispatch("E");
    EXPECT_EQ(2u, log.size());
}

TEST(DispatcherLifetime, DestroyingADispatcherDoesNotDestroyCallbacks) {
    struct CountingCallback : IEventCallback {
        int* destructions;
        ~CountingCallback() { ++*destructions; }
        bool handleEvent(IEvent*) override { return false; }
    };
    int destructions = 0;
    {
        CountingCallback callback;
        callback.destructions = &destructions;
        {
            EventDispatcher dispatcher;
            dispatcher.registerCallback("E", &callback);
        }
        EXPECT_EQ(0, destructions);
    }
    EXPECT_EQ(1, destructions);
}

TEST(DispatcherLifetime, SubscriptionsEndWithTheirOwnerAndANullDispatcherTakesNone) {
    EventDispatcher scene, input;
    std::vector<std::string> log;
    RecordingCallback callback("c", log);
    {
        Subscriptions subscriptions;
        subscriptions.add(&scene, "E", &callback);
        subscriptions.add(&input, "K", &callback);
        subscriptions.add(nullptr, "E", &callback);
        EXPECT_TRUE(scene.isCallbackRegistered("E", &callback));
        EXPECT_TRUE(input.isCallbackRegistered("K", &callback));
    }
    EXPECT_FALSE(scene.isCallbackRegistered("E", &callback));
    EXPECT_FALSE(input.isCallbackRegistered("K", &callback));
}

} // namespace
