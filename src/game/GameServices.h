// What the game's own rules need beyond a scene's context: the sounds and the system's pointer.
// The game scene is given them when it is made; its entities reach them through it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class HighScores;
class IScene;
class SoundManager;

// Shows or hides the system's pointer over the window (the application does it with SDL).
class PointerDisplay {
public:
    virtual void setCursorVisible(bool visible) = 0;

protected:
    ~PointerDisplay() = default;
};

// What a scene may ask of the application that runs it, outside its own frame.
class SceneSwitcher {
public:
    // At the next frame the scene is made and loaded afresh from the data in place of the one
    // running, and `prepare` is run on the new one: a game watched, or the title again with
    // nothing of what was watched kept.
    virtual void remakeScene(std::function<void(IScene&)> prepare) = 0;
    // The run ends after this frame with `status` as the program's exit status.
    virtual void endRun(int status) = 0;

protected:
    ~SceneSwitcher() = default;
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
    // Where every game of the run is recorded besides the player's own recordings (--record);
    // empty: nowhere else.
    std::string recordTo;
    // The player's files were read by an earlier scene of this run, which said what there was to
    // say of them: a scene made again reads them without a word.
    bool playerFilesToldOf = false;
    // The high-score table of the run, which outlives every scene (null: each scene keeps its own).
    HighScores* runTable = nullptr;
    // Absent where nothing runs the scene frame by frame (a test, the checker): a scene then
    // watches nothing and asks for no other.
    SceneSwitcher* switcher = nullptr;
};
