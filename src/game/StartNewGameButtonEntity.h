// The new-game button: a fade entity that starts a new game when a mouse button is released
// over it while it is fully shown; and the continue button, which starts one where the furthest
// game got.
#pragma once

#include <memory>

#include "events/Events.h"
#include "events/Subscriptions.h"
#include "game/PlayField.h"
#include "scene/FadeEntity.h"

class StartNewGameButtonEntity;

// Forwards mouse releases to its button. Owned by the button.
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
    const StartNewGameButtonCallback* getMouseCallback() const { return callback.get(); }

protected:
    // `source` names the class in its errors.
    explicit StartNewGameButtonEntity(const char* source) : source(source) {}
    // What a click on the shown button starts.
    virtual void press(IPlayField& field) { field.newGame(); }

private:
    const char* source = "StartNewGameButtonEntity";
    // The button's own mouse callback; it hides the fade's trigger callback of the same name,
    // which FadeEntity keeps managing.
    std::unique_ptr<StartNewGameButtonCallback> callback;
    // The callback's registration on the scene's input dispatcher; it ends before the callback.
    Subscriptions clicks;
};

// "continue_button": the same button, starting a game at the highest level reached instead of the
// first (HighScoreKeeper.h), with the starting lives and a score of 0.
class ContinueButtonEntity : public StartNewGameButtonEntity {
public:
    ContinueButtonEntity() : StartNewGameButtonEntity("ContinueButtonEntity") {}

protected:
    void press(IPlayField& field) override { field.continueGame(); }
};
