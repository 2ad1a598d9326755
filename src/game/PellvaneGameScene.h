// The scene that runs the game: it owns a match (the rules: state, score, lives, levels, power-ups)
// and maps it onto entities, sounds and the game's named events; it reads its settings and level
// files, lends the level in play to its entity list, and is the play field its entities see.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Colour.h"
#include "collision/Rect.h"
#include "events/Events.h"
#include "events/Subscriptions.h"
#include "game/GameServices.h"
#include "game/GameSettings.h"
#include "game/HighScoreKeeper.h"
#include "game/Levels.h"
#include "game/Pause.h"
#include "game/PlayField.h"
#include "game/PowerUps.h"
#include "game/StepInput.h"
#include "rules/Match.h"
#include "rules/Recording.h"
#include "scene/BaseScene.h"

class TiXmlElement;
class PellvaneGameScene;
class PellvaneBallEntity;
class PellvanePaddleEntity;

// Forwards the Game's input events that the scene itself answers (pause, resume) to it.
class GameSceneInputCallback final : public IEventCallback {
public:
    explicit GameSceneInputCallback(PellvaneGameScene* scene) : scene(scene) {}
    bool handleEvent(IEvent* event) override;

private:
    PellvaneGameScene* scene;
};

// Holds the scene's stepped input ahead of the base scene, whose context hands it to the entities.
struct SteppedInputHolder {
    StepInput stepInput;
};

// Takes the Game's input while the scene plays a recording back: the watcher's keys.
class WatchControlsCallback final : public IEventCallback {
public:
    explicit WatchControlsCallback(PellvaneGameScene* scene) : scene(scene) {}
    bool handleEvent(IEvent* event) override;

private:
    PellvaneGameScene* scene;
};

// The levels own their entities for the scene's whole life and lend the one in play to the list.
// The game events are raised on the scene's own dispatcher. The entities of the pause overlay are
// in the list like the scene's own; the pause only points at them. The input callback is
// registered on the Game's dispatcher, which outlives the scene, from load to destruction.
class PellvaneGameScene : private SteppedInputHolder, public BaseScene, public IPlayField {
public:
    // What the scene plays back instead of the player's input: a recording given on the command
    // line (its end is checked against it and ends the run), the best game from the title, or the
    // title's demo; either of the last two gives the title back at its end or at a key or click.
    enum class Watching { No, Replay, Best, Demo };

    PellvaneGameScene(const SceneContext& context, const GameServices& services);
    // Dispatches "SCENE_ENDED" and destroys the list, the level in play among it; the other
    // levels' entities follow.
    ~PellvaneGameScene() override;
    PellvaneGameScene(const PellvaneGameScene&) = delete;
    PellvaneGameScene& operator=(const PellvaneGameScene&) = delete;

    // A destroyed entity of the pause overlay is also forgotten by it, and by the paddle.
    void removeEntityNow(IEntity* entity, bool destroy) override;

    void load(const TiXmlHandle& handle) override;
    // With a "step_rate", moves the game in as many fixed steps as the frame's time holds and draws
    // its entities part way between the last two; without, moves it once by `dt`. While paused
    // only the overlay moves.
    void update(float dt) override;

    // Plays `recording` back from the scene's first update: its game starts with the recorded
    // seed and level, and only its inputs reach the entities; nothing of it is kept (no best
    // score, no table entry, no recording). The caller has checked it (replayRefusal).
    void watch(Recording recording, Watching how);
    Watching getWatching() const { return watching; }
    // Why `header` cannot be played back on this scene's data, or empty.
    std::string replayRefusal(const RecordingHeader& header) const;
    // The recording in the file at `path` if this scene can play it back; otherwise none, with
    // `why` saying what the file is (recordings::load) or why it cannot be played (replayRefusal).
    std::optional<Recording> playable(const std::string& path, std::string& why) const;
    // The recorded game's end compared with the replay's: empty until the replay has reached it,
    // then "ended as recorded: ..." or "played differently: ..." (replayMatched says which).
    const std::string& getReplayVerdict() const { return replayVerdict; }
    bool replayMatched() const { return replayAsRecorded; }
    // The game being recorded, so far, with the figures it stands at; none when no game is (a
    // replay, the title, data that moves by frames).
    std::optional<Recording> gameSoFar();
    // Writes the game in progress to the fault recording (and --record's file) after an
    // unexpected error, saying where on standard error.
    void keepGameAfterFault();
    // The watcher's keys: P pauses, F goes faster; anything else leaves a watched game.
    void handleWatchInput(const IEvent& event);
    uint64_t getDataFingerprint() const { return dataFingerprint; }
    // Where the Game's input arrives, before the scene hands it to its entities step by step:
    // what plays the game dispatches its input there, as the main loop does.
    EventDispatcher* getGameInput() const { return stepInput.getLive(); }

    // The play field (PlayField.h).
    Rect getGameArea() const override { return settings.gameArea; }
    const std::vector<Colour>& getBlockColours() const override { return settings.blockColours; }
    const GameSettings& getSettings() const override { return settings; }
    const Match& getMatch() const override { return match; }
    bool isPaused() const override { return gamePause.isPaused(); }
    const GameServices& getServices() const override { return services; }
    const PowerUpLook& getPowerUpLook(PowerUp kind) const override { return looks[static_cast<std::size_t>(kind)]; }
    std::optional<Rect> getPaddleBounds() const override;
    flight::StallField getStallField() const override;
    bool takesPart(const IEntity* entity) const override;
    EventDispatcher& getGameEvents() override { return *this; }
    void raise(const std::string& name) override;
    void raiseAt(const std::string& name, const Vector2& at) override;
    void blockBroken(const BrokenBlock& block) override;
    void paddleTouched() override { match.paddleTouched(); }
    // A ball of several that is not the last in play leaves the game and costs nothing (the
    // paddle's own ball carries on as another did); the last one costs a life.
    void ballLost(PellvaneBallEntity& ball) override { lostBalls.push_back(&ball); }
    // The paddle caught a capsule of that kind: its effect starts, or extends if it runs already.
    void capsuleCaught(PowerUp kind) override;
    // A volley of two shots leaves the paddle's guns when the match allows one now.
    void fireGuns() override;
    void newGame() override { newGameAt(0); }
    const HighScoreKeeper& getHighScores() const override { return highScores; }
    // A new game at the highest level reached (HighScoreKeeper), marked as continued.
    void continueGame() override;

    // A new game that starts at level `index` instead of the first, its level counter showing
    // index + 1 (the level pictures of `--shot --level N`); `continued` marks a game begun with
    // CONTINUE. Throws for an index out of range.
    void newGameAt(unsigned index, bool continued = false, std::optional<uint32_t> seed = std::nullopt);
    // Points as they are, outside any chain.
    void addScore(int points);
    // The initials of a game that took a place in the table are being entered: the letter keys
    // are theirs.
    bool isEnteringInitials() const { return highScores.isEntering(); }
    // The last ball in play is lost. After game over further losses are ignored, so lives stay
    // at -1 and "PELLVANE_GAME_OVER" is raised once.
    void ballLost();
    // Brings level `index` into the entity list (the one there leaves it), ends the power-ups and
    // moves the music on to the level's track; the game's state is left as it is.
    void loadLevel(unsigned index);

    // The match's figures, for the game's tools and tests.
    int getScore() const { return match.getScore(); }
    int getLives() const { return match.getLives(); }
    int getLevelsCompleted() const { return match.getLevelsCompleted(); }
    bool isInputEnabled() const { return match.isInputEnabled(); }
    GameState getState() const { return match.getState(); }
    int getLap() const { return match.getLap(); }
    int getBestScore() const { return match.getBestScore(); }
    int getCaughtCount(PowerUp kind) const { return match.getCaughtCount(kind); }
    const PowerUpTimers& getPowerUps() const { return match.getPowerUps(); }
    bool isGameInPlay() const { return match.isInPlay(); }
    bool keepsBestScore() const { return settings.keepBestScore; }

    // The levels: the one whose entities are in the list, and each one's entities and settings.
    unsigned getCurrentLevel() const { return levels.inPlay(); }
    std::size_t getLevelCount() const { return levels.count(); }
    std::vector<IEntity*> getLevel(std::size_t index) const { return levels.entities(index); }
    const LevelSettings& getLevelSettings(std::size_t index) const { return levels.settings().at(index); }
    // The track level `index` plays; "" when the levels leave the music alone (Levels::music).
    const std::string& getLevelMusic(std::size_t index) const { return levels.music(index); }

    // A game in play (a level loaded or being played) can be paused: then only the pause overlay
    // is updated, the music is turned down, and "PELLVANE_GAME_PAUSED" is raised. P pauses and
    // resumes, losing the window's focus pauses, a click resumes.
    void pause();
    void resume();
    void handleInput(const IEvent& event);
    const std::vector<IEntity*>& getPauseOverlay() const { return gamePause.getOverlay(); }

    // The balls in the game now, the paddle's own first; and how many of them fly or wait to.
    std::vector<PellvaneBallEntity*> getBalls() const;
    int getBallsInPlay() const;
    PellvanePaddleEntity* getPaddle();

private:
    void readBestScore();
    // One move of the game by `dt`: its entities, the high-score table, the match.
    void step(float dt);
    // Turns what the match reports into entities, sounds and named events, until it has no more.
    void playEvents();
    // The paddle's width and look, the balls' speed and the sticky paddle, from the match.
    void applyEffects();
    // Every power-up ends on the field: capsules still falling, extra balls; then the effects.
    void endPowerUps();
    void spawnCapsule(const BrokenBlock& block, PowerUp kind);
    void spawnExtraBalls(int count);
    // One shot from each of the paddle's guns, with the look of the kind that arms them.
    void spawnVolley(PowerUp kind);
    // An extra ball leaves the game: the paddle lets go of it and the scene destroys it.
    void retireBall(PellvaneBallEntity& ball);
    // The balls lost this frame, in the order they left: an extra ball goes, the paddle's own
    // carries on as another in play, or the player loses it.
    void afterMoves() override { settleLostBalls(); }
    void settleLostBalls();
    void settleLostBall(PellvaneBallEntity& ball);
    // A game that ends or is abandoned: its score becomes the best if it beat it.
    void settleBestScore();
    // Shows the pointer on every screen but play (a null pointer display is left alone).
    void showCursor(bool visible);
    void quietenMusic(bool quiet);

    GameServices services;
    GameSettings settings;
    PowerUpSettings powerUpSettings;
    PowerUpLooks looks{};
    Levels levels{*this};
    Match match;
    GamePause gamePause;
    PellvanePaddleEntity* paddle = nullptr;
    std::unique_ptr<GameSceneInputCallback> inputCallback;
    // Its registrations on the Game's input; they end before the callback does.
    Subscriptions inputSubscriptions;
    // Where the best score is kept; empty when it is not (or must not be) written.
    std::string bestScorePath;
    HighScoreKeeper highScores{*this};
    // The scene has been updated once (its title has begun).
    bool started = false;
    // The next level brought into play is a game's first: it is where the game began, not a level
    // reached by play.
    bool startingLevel = false;
    // Balls that left the field this frame, settled once every ball has moved (ballLost).
    std::vector<PellvaneBallEntity*> lostBalls;
    // The recording to watch starts its game.
    void startWatching();
    // "PELLVANE_WATCH_OFFERED" when the player's best game can be watched.
    void offerWatching();
    // Starts the recording of a game that has just begun, live.
    void startRecording(unsigned index, bool continued);
    // Keeps the game just ended (or left) as the last game, with `best` as the best too, and in
    // --record's file.
    void keepRecording(bool best);
    // Compares the replay's end with its recording's, once, and acts on it.
    void finishReplay();
    // Title or game over, nobody at the controls for "demo_after" seconds: the demo.
    void countIdle(float dt);
    // Another scene in this one's place, watching `recording` (or the title when none).
    void remake(std::optional<Recording> recording, Watching how);
    // The recording at `path` if it can be watched here; otherwise none, with one line said.
    std::optional<Recording> watchable(const std::string& path, const char* what) const;

    // W on the title (or after a game): the best game is watched. True when the key was that.
    bool watchBestGame(const IEvent& event);

    uint64_t dataFingerprint = 0;
    // Within step: a game that ends now ends with this step.
    bool stepping = false;
    uint32_t gameSeed = 0;
    Watching watching = Watching::No;
    // The recording to play once the scene has started, and the watcher's speed and pause.
    std::optional<Recording> toWatch;
    int watchSpeed = 1;
    bool watchPaused = false;
    // Seconds since the replay reached its end; then the verdict.
    float sinceReplayEnd = 0.0f;
    std::string replayVerdict;
    bool replayAsRecorded = false;
    bool replayFinished = false;
    std::unique_ptr<WatchControlsCallback> watchControls;
    // Seconds with no input on the title; the demo once it failed to load stays off.
    float idleTime = 0.0f;
    bool demoRefused = false;
    // With a "step_rate": the frames' time not yet moved through, less than a step after update.
    double unsteppedTime = 0.0;
    static constexpr double kLongestCatchUp = 0.25;
};
