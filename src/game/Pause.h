// Pausing a game in play: whether it is paused, the overlay of entities that alone run while it is
// (the "pause_overlay" of the scene), and what of the player's input pauses or resumes it. The
// scene does what a pause means for the rest (the music, the pointer, the events).
#pragma once

#include <vector>

class BaseScene;
class IEntity;
struct GamepadSettings;
class IEvent;
class TiXmlElement;

class GamePause {
public:
    // What an input asks of the pause.
    enum class Request { None, Pause, Resume };

    // Loads the "pause_overlay" children of the scene element into the scene; the overlay only
    // points at them.
    void readOverlay(TiXmlElement* sceneElement, BaseScene& scene);
    // P and the gamepad's pause button toggle, a lost focus pauses, and while paused a whole
    // click (button down, then up) or a whole press of the gamepad's launch button resumes; the
    // wheel, which SDL reports as buttons too, does not count.
    Request request(const IEvent& event, const GamepadSettings& pad);

    // Each answers whether it changed anything.
    bool pause();
    bool resume();
    bool isPaused() const { return paused; }

    // While paused only the overlay runs: its entities and the children of its groups.
    void update(BaseScene& scene, float dt) const;
    // An overlay entity that is destroyed leaves the overlay.
    void forget(const IEntity* entity);
    const std::vector<IEntity*>& getOverlay() const { return overlay; }

private:
    bool runsWhilePaused(IEntity* entity) const;

    bool paused = false;
    // A button (of the mouse or the gamepad) went down while paused: its release resumes.
    bool resumeArmed = false;
    std::vector<IEntity*> overlay;
};
