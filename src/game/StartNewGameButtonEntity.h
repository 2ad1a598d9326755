// The new-game button: a fade entity that starts a new game when a mouse button is released
// over it while it is fully shown, and with "keys" at Space or Enter or the gamepad's launch or
// pause button too, out of play; and the continue button, which starts one where the furthest
// game got (its key C, the gamepad's continue button).
#pragma once

#include <memory>

#include "base/Setting.h"
#include "events/Events.h"
#include "events/Subscriptions.h"
#include "game/PlayField.h"
#include "scene/FadeEntity.h"

class StartNewGameButtonEntity;

// Attributes of a "new_game_button" and a "continue_button", after those of a fade.
namespace buttonsettings {
inline constexpr Setting kKeys{"keys", ValueKind::FlagOff, "false",
                               "`true`: out of play, keys and the gamepad press it too (Space or Enter; C)"};
} // namespace buttonsettings

// Forwards mouse releases, and with "keys" key and gamepad events, to its button. Owned by the
// button.
class StartNewGameButtonCallback final : public IEventCallback {
public:
    explicit StartNewGameButtonCallback(StartNewGameButtonEntity* button) : button(button) {}
    bool handleEvent(IEvent* event) override;

private:
    StartNewGameButtonEntity* button;
};

// The callback is registered on the Game's dispatcher, where the main loop raises mouse
// events, from load until destruction. The button must live in a game scene.
class StartNewGameButtonEntity : public FadeEntity {
public:
    StartNewGameButtonEntity() = default;
    ~StartNewGameButtonEntity() override;

    void load(const TiXmlHandle& handle, IScene* scene) override;

    // True when the point lies over the drawn button, borders included.
    bool isOver(float x, float y) const;
    // A release at (x, y): starts a new game when the button is shown and the point is over
    // it. Returns whether it did.
    bool handleRelease(uint32_t x, uint32_t y);
    // With "keys": one of the button's keys or gamepad buttons went down or up. The release of a
    // press begun while the button was shown, with no game in play and no initials being entered,
    // presses it: the Enter that confirms initials, or a Space held from play, never does.
    // Returns whether the event was the button's.
    bool handleStartInput(const IEvent& event);
    const StartNewGameButtonCallback* getMouseCallback() const { return callback.get(); }

protected:
    // `source` names the class in its errors.
    explicit StartNewGameButtonEntity(const char* source) : source(source) {}
    // What a click on the shown button starts.
    virtual void press(IPlayField& field) { field.newGame(); }
    // The keys (SDL 1.2 key symbols) and gamepad buttons that press it, with "keys".
    virtual bool isStartKey(int32_t key) const;
    virtual bool isStartButton(gamepad::Button button) const;

private:
    const char* source = "StartNewGameButtonEntity";
    // The button's own mouse callback; it hides the fade's trigger callback of the same name,
    // which FadeEntity keeps managing.
    std::unique_ptr<StartNewGameButtonCallback> callback;
    // The callback's registrations on the scene's input dispatcher; they end before the callback.
    Subscriptions clicks;
    // A key or gamepad button of the button's went down while it could be pressed.
    bool startArmed = false;
};

// "continue_button": the same button, starting a game at the highest level reached instead of the
// first (HighScoreKeeper.h), with the starting lives and a score of 0.
class ContinueButtonEntity : public StartNewGameButtonEntity {
public:
    ContinueButtonEntity() : StartNewGameButtonEntity("ContinueButtonEntity") {}

protected:
    void press(IPlayField& field) override { field.continueGame(); }
    bool isStartKey(int32_t key) const override;
    bool isStartButton(gamepad::Button button) const override;
};
