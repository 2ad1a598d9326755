// What the game's own rules need beyond a scene's context: the sounds and the system's pointer.
// The game scene is given them when it is made; its entities reach them through it.
#pragma once

#include <cstdint>
#include <optional>

class SoundManager;

// Shows or hides the system's pointer over the window (the application does it with SDL).
class PointerDisplay {
public:
    virtual void setCursorVisible(bool visible) = 0;

protected:
    ~PointerDisplay() = default;
};

// Non-owning; either may be absent (null): then nothing is heard, or the pointer is left alone.
// The owner outlives every game scene made with them.
struct GameServices {
    SoundManager* sounds = nullptr;
    PointerDisplay* pointer = nullptr;
    // The seed every game's capsule draws start from, so that a run repeats (the soak, the tests,
    // the level report). Without one each game draws from a fresh seed and no two games are alike.
    std::optional<uint32_t> capsuleSeed;
    // False for a run that must leave the player's files as they are (a picture taken with
    // --shot): the best score and the high scores are read but never written.
    bool writePlayerFiles = true;
};
