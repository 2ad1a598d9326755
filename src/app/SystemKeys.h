// The keys that work on every screen, whatever the scene shows: M turns all sound off and on
// (except while initials are typed, when it is a letter), F11 switches between the window and
// full screen (ScreenMode.h).
#pragma once

#include <cstdint>

#include "events/Events.h"
#include "events/Subscriptions.h"

class Game;

// SDL 1.2 key symbols.
constexpr int32_t kKeyMute = 109;       // "m"
constexpr int32_t kKeyFullScreen = 292; // F11

// Registered on the Game's dispatcher for key presses from construction to destruction; the
// Game outlives it (it owns it).
class SystemKeys final : public IEventCallback {
public:
    explicit SystemKeys(Game& game);
    SystemKeys(const SystemKeys&) = delete;
    SystemKeys& operator=(const SystemKeys&) = delete;

    // True for the two keys above.
    bool handleEvent(IEvent* event) override;

private:
    Game& game;
    // Its registration on the Game, which ends with it.
    Subscriptions keys;
};
