// The game scene's high scores ("high_scores" of the scene): the table read when the scene loads
// and saved when it changes, the initials entered after a game that takes a place, the title's
// turns of logo and table, and the level CONTINUE starts at. It raises the named events the data
// shows all this with (GameEvents.h); the scene tells it what the match did and hands it input.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/Setting.h"
#include "rules/HighScores.h"
#include "rules/InitialsEditor.h"

// The local date as the table writes it (YYYY-MM-DD), or empty when the clock cannot say.
std::string today();

class IEvent;
class IPlayField;
class JoystickEvent;
class LoadDiagnostics;
class TiXmlElement;

// Attributes of the scene's "high_scores" element.
namespace highscoresettings {
using K = ValueKind;
inline constexpr Setting kKeep{"keep", K::FlagOn, "true",
                               "the table and the furthest level are kept between runs; false: for the run"};
inline constexpr Setting kLogoTime{"logo_time", K::Float, "8", "seconds of the title's turn of the logo", 0, 3600};
inline constexpr Setting kTableTime{"table_time", K::Float, "8", "seconds of the title's turn of the table", 0, 3600};
inline constexpr Setting kClickDelay{
    "click_delay", K::Float, "1", "seconds into the entry before a click, Space or a pad button confirms it", 0, 60};
} // namespace highscoresettings

struct HighScoreSettings {
    // The scene has a "high_scores" element: without one there is no table, no entry and no turns.
    bool on = false;
    // Kept in the player's data directory between runs (HighScoreFile.h); otherwise for the run.
    bool keep = true;
    // Seconds the title shows its logo, then its table, in turn; either 0 keeps the logo.
    float logoTime = 8.0f;
    float tableTime = 8.0f;
    // Seconds into an entry before a click confirms it: a click meant for the ball just lost must
    // not enter the initials unseen.
    float clickDelay = 1.0f;
};

// Raises its events on the play field it is made with, which outlives it (the scene owns both).
class HighScoreKeeper {
public:
    explicit HighScoreKeeper(IPlayField& field) : field(field) {}

    // Reads the "high_scores" child of the scene element, if there is one. A setting out of range
    // throws SceneException with `source`, or is reported to `diagnostics` and keeps its default.
    void read(const TiXmlElement* sceneElement, const char* source, LoadDiagnostics* diagnostics);
    // The table to start from: the file's when it is kept and `readFile` (the data checker reads
    // none), with `bestScore` (the best score kept before there was a table) carried over into it.
    // With `writeFile` false the file is never written (a picture taken with --shot). The table is
    // kept in `runTable` when given (the run's, which outlives the scene); with `again` a scene
    // made again in the run takes it as the scene before left it, saying nothing of the file.
    void open(bool readFile, bool writeFile, int bestScore, HighScores* runTable = nullptr, bool again = false);

    // What the game did.
    // The scene's first update: the title's first turn, and CONTINUE offered if it starts further.
    void sceneStarted();
    void update(float dt);
    // A game began (`continued`: with CONTINUE): the title's turns end, and an entry still open is
    // confirmed as it stands.
    void gameStarted(bool continued);
    // A game reached level number `level` (counted from 1 in the level list) by clearing the one
    // before.
    void levelReached(unsigned level);
    // The game ended with `score` at level number `level` (the level counter's): the entry
    // begins when it takes a place ("PELLVANE_HIGH_SCORE"), the table shows otherwise.
    void gameEnded(int score, int level);
    // The scene ends: an open entry is confirmed and whatever changed is saved.
    void finish();

    // The player's input while an entry is open: letters, Up and Down, Left, Right, Backspace and
    // Enter at once, a click or Space after "click_delay"; with the scene's gamepad on, the d-pad as the
    // arrow keys and the launch or pause button as a click. True when the entry took it.
    bool handleInput(const IEvent& event);
    // Ends the open entry: it goes into the table at its place, the file is saved, the table shows.
    void confirm();

    // What the entities draw.
    const HighScores& getScores() const { return *scores; }
    // The place of the entry the last game made, once entered; none before, and once a game starts.
    std::optional<std::size_t> getMarked() const { return marked; }
    // The initials being entered, or last entered (their picture fades out after the entry).
    const InitialsEditor& getEntry() const { return editor; }
    bool isEntering() const { return entering; }
    // The level number CONTINUE starts at: the highest reached, within the `levelCount` levels.
    unsigned continueLevel(std::size_t levelCount) const;

private:
    bool padInput(const JoystickEvent& pad);
    void edited(bool changed);
    // The open entry goes into the table and the file.
    void enter();
    // The table after a game, and CONTINUE when it starts beyond the first level.
    void showScores();
    void offerContinue();
    void save();

    IPlayField& field;
    HighScoreSettings settings;
    // The table: the run's when the scene was given it, otherwise its own.
    HighScores ownScores;
    HighScores* scores = &ownScores;
    // Where the table is kept; empty when it is not (or must not be) written.
    std::string path;
    // The furthest level rose since the file was last written.
    bool levelRose = false;

    InitialsEditor editor;
    bool entering = false;
    float enteringFor = 0.0f;
    HighScore pending;
    std::optional<std::size_t> marked;
    bool continued = false;

    // The title's turns run from the scene's start to the first game.
    enum class Turn { None, Logo, Table } turn = Turn::None;
    float turnTime = 0.0f;
};
