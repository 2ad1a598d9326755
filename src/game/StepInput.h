// The game scene's input, handed on at fixed steps: what the player does reaches the scene's
// entities before a step begins, never in the middle of one, so a game is its seed and its
// inputs. Live, the Game's input events are queued as they come and handed on at the next step,
// and while a game is recorded each is written down with the step it came before. Replaying, the
// recording's inputs are handed on at their steps instead, and the live ones go to the watcher.
//
// The entities see the same events either way, rebuilt from the recorded values: the pointer's
// height is not part of play and is not recorded, so a replay reports every pointer event at the
// view's bottom edge.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <utility>

#include "events/EventDispatcher.h"
#include "events/Events.h"
#include "events/Subscriptions.h"
#include "rules/Recording.h"

class StepInput final : public IEventCallback {
public:
    StepInput() = default;
    StepInput(const StepInput&) = delete;
    StepInput& operator=(const StepInput&) = delete;

    // Starts taking the Game's input events from `live` (null: none come); `viewHeight` is where
    // a replayed pointer is.
    void listen(EventDispatcher* liveInput, uint32_t viewHeight);
    // The dispatcher the scene's entities subscribe to for input.
    EventDispatcher* forEntities() { return &stepped; }
    // The one the Game's input arrives on.
    EventDispatcher* getLive() const { return live; }
    bool handleEvent(IEvent* event) override;
    // A scene that moves once a frame, by the frame's time, has no steps to hand input on at: its
    // entities get each event as it comes, untouched, and nothing is recorded. The default.
    void handOnAtSteps(bool on) { atSteps = on; }

    // Hands on what is due before the next step: every live input queued (recording them while
    // a game is recorded), or the recording's inputs of this step.
    void deliver();
    // A step is over.
    void stepDone() { ++step; }
    uint32_t stepsDone() const { return step; }

    // A game begins now, live: steps count from 0 and, when `header` is given, every input from
    // here on is recorded under it. The pointer's place is its first input, so that the game
    // starts from the same place when it is replayed.
    void gameStarted(std::optional<RecordingHeader> header);
    // The game so far, its header's step count filled in (counting the step under way when
    // `midStep`); null when none is recorded.
    const Recording* recorded(bool midStep);
    // True once after any live input has come: someone is at the controls.
    bool takeLiveInput() { return std::exchange(liveInput, false); }
    // Ends the recording of the game (its inputs stay readable until the next begins).
    void stopRecording() { recording = false; }

    // From now on every live event goes to `watcher` (null: nowhere) and none to the entities.
    void giveLiveInputTo(IEventCallback* newWatcher);
    // Plays `replay` back from now: step 0 begins, and only its inputs reach the entities.
    void replay(Recording replay);
    bool isReplaying() const { return replaying; }
    // Every recorded input has been handed on and every recorded step taken.
    bool replayEnded() const;
    const Recording& getReplay() const { return game; }

private:
    // The input as the recording keeps it, if play takes any note of it.
    std::optional<RecordedInput> convert(const IEvent& event);
    // A copy of `event` on the entities' dispatcher.
    void forward(const IEvent& event);
    // Raises `input` on the entities' dispatcher as the event it was.
    void raise(const RecordedInput& input);

    EventDispatcher stepped;
    EventDispatcher* live = nullptr;
    Subscriptions subscriptions;
    std::deque<RecordedInput> queue;
    uint32_t step = 0;
    // The pointer as the entities were last told of it, and the buttons held.
    int32_t pointerX = 0;
    // Where the last pointer input queued put it (the entities learn of it at the next step).
    int32_t queuedX = 0;
    uint32_t pointerY = 0;
    uint32_t replayY = 0;
    bool leftHeld = false;
    bool rightHeld = false;
    // The game recorded or replayed.
    Recording game;
    bool recording = false;
    bool replaying = false;
    std::size_t nextReplayed = 0;
    IEventCallback* watcher = nullptr;
    bool watched = false;
    bool liveInput = false;
    bool atSteps = false;
};
