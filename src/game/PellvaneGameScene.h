// The scene that runs the game: lives, score and levels on top of the base scene, a state
// machine from loading to game over, the game's entity factory and the game events.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "collision/Rect.h"
#include "game/GameServices.h"
#include "game/GameSettings.h"
#include "game/PowerUps.h"
#include "events/Events.h"
#include "events/Subscriptions.h"
#include "scene/BaseScene.h"
#include "base/Colour.h"

class TiXmlElement;
class PellvaneGameScene;
class PellvaneBallEntity;
class PellvaneBlockEntity;
class PellvanePaddleEntity;

// SDL 1.2 key symbol of the pause key, "p".
constexpr int32_t kKeyPause = 112;

// Forwards the Game's input events that the scene itself answers (pause, resume) to it.
class GameSceneInputCallback final : public IEventCallback {
public:
    explicit GameSceneInputCallback(PellvaneGameScene* scene) : scene(scene) {}
    bool handleEvent(IEvent* event) override;

private:
    PellvaneGameScene* scene;
};

// LevelCleared only with a "cleared_delay": the cleared level stays on screen for that long;
// AllCleared only with an "all_cleared_delay", after the last level, before the next lap.
enum GameState : int32_t {
    Initiated = 0,
    LevelLoaded = 1,
    Playing = 2,
    GameOver = 3,
    LevelCleared = 4,
    AllCleared = 5
};

// The effects hits on the special blocks play ("unbreakable" and "explosive" of "block_sounds").
struct BlockKindSounds {
    std::string unbreakable;
    std::string explosive;
};

// Each level owns its entities for the scene's whole life and lends the current level's to the
// entity list while it is played (IEntityLender). The game events are
// raised on the scene's own dispatcher. The entities of the pause overlay are in the list like
// the scene's own; `pauseOverlay` only points at them. The input callback is registered on the
// Game's dispatcher, which outlives the scene, from load to destruction.
class PellvaneGameScene : public BaseScene, private IEntityLender {
public:
    PellvaneGameScene(const SceneContext& context, const GameServices& services);
    // Dispatches "SCENE_ENDED" and destroys the list, the current level among it; the other
    // levels' entities follow.
    ~PellvaneGameScene() override;
    PellvaneGameScene(const PellvaneGameScene&) = delete;
    PellvaneGameScene& operator=(const PellvaneGameScene&) = delete;

    // A destroyed entity of the pause overlay is also forgotten by it.
    void removeEntityNow(IEntity* entity, bool destroy) override;

    void load(const TiXmlHandle& handle) override;
    void update(float dt) override;

    Rect getGameArea() const { return settings.gameArea; }
    const std::vector<Colour>& getBlockColours() const { return settings.blockColours; }
    // The effect a block's hit plays, by its health before the hit ("block_sounds", or the three
    // default ids for health 3, 2 and 1); null for a health without one.
    const std::string* getBlockHitSound(int health) const;
    std::size_t getBlockSoundCount() const { return blockSounds.size(); }
    const BlockKindSounds& getBlockKindSounds() const { return blockKindSounds; }
    const DebrisSettings& getDebris() const { return settings.debris; }
    float getClearedDelay() const { return settings.clearedDelay; }
    float getLostDelay() const { return settings.lostDelay; }
    // The sounds and the pointer, for the scene and its entities.
    const GameServices& getServices() const { return services; }
    // Raises a game event on the scene's dispatcher (GameEvents.h).
    void raise(const std::string& name);
    int getScore() const { return score; }
    int getLives() const { return lives; }
    int getLevelsCompleted() const { return levelsCompleted; }
    bool isInputEnabled() const { return inputEnabled; }
    GameState getState() const { return state; }
    unsigned getCurrentLevel() const { return currentLevel; }
    std::size_t getLevelCount() const { return levels.size(); }
    std::vector<IEntity*> getLevel(std::size_t index) const { return pointersOf(levels.at(index)); }
    int getInitialLives() const { return settings.initialLives; }
    // Whether `entity` takes part in the game now: an entity of a level file only while that
    // level is being played (not while it waits, nor under the title), any other always.
    bool takesPart(const IEntity* entity) const;
    float getLoadedDelay() const { return settings.loadedDelay; }

    // A game in play (a level loaded or being played) can be paused: then only the pause overlay
    // is updated, the music is turned down, and "PELLVANE_GAME_PAUSED" is raised. P pauses and
    // resumes, losing the window's focus pauses, a click resumes.
    bool isGameInPlay() const {
        return state == LevelLoaded || state == Playing || state == LevelCleared || state == AllCleared;
    }
    bool isPaused() const { return paused; }
    void pause();
    void resume();
    void handleInput(const IEvent& event);
    const std::vector<IEntity*>& getPauseOverlay() const { return pauseOverlay; }

    // The best score: the highest of the one kept from earlier games (read at load when
    // "keep_best_score" is true) and this game's score as it rises.
    int getBestScore() const { return score > bestScore ? score : bestScore; }
    bool keepsBestScore() const { return settings.keepBestScore; }

    // The score saturates at the largest int rather than wrap round.
    void addScore(int points);
    // Called by a ball that left the game area through the bottom. After game over further
    // losses are ignored, so lives stay at -1 and "PELLVANE_GAME_OVER" is raised once.
    void ballLost();
    // The same for a ball of several: one that is not the last in play leaves the game and costs
    // nothing (the paddle's own ball carries on as another did); the last one costs a life.
    void ballLost(PellvaneBallEntity& ball);
    // A block broke: it may release a capsule.
    void blockBroken(const PellvaneBlockEntity& block);
    // The paddle caught a capsule of that kind: its effect starts, or extends if it runs already.
    void powerUpCaught(PowerUp kind);
    const PowerUps& getPowerUps() const { return powerUps; }
    // The balls in the game now, the paddle's own first; and how many of them fly or wait to.
    std::vector<PellvaneBallEntity*> getBalls() const;
    int getBallsInPlay() const;
    // Capsules caught in this scene's life, by kind.
    int getCaughtCount(PowerUp kind) const { return caught[static_cast<std::size_t>(kind)]; }
    PellvanePaddleEntity* getPaddle();
    const LevelSettings& getLevelSettings(std::size_t index) const { return levelSettings.at(index); }
    // Laps of every level completed in this game; each makes the balls faster by "lap_speed_up".
    int getLap() const { return lap; }
    void newGame();
    // A new game that starts at level `index` instead of the first, its level counter showing
    // index + 1 (the level pictures of `--shot --level N`). Throws for an index out of range.
    void newGameAt(unsigned index);
    // Brings level `index` into play. `reset` true is for the first placement only, when no
    // level entity is in the scene yet.
    void loadLevel(unsigned index, bool reset);

private:
    void readSettings(const TiXmlElement* element);
    void readLevelList(const TiXmlElement* element);
    void loadLevelFile(const std::string& path);
    void readPauseOverlay(TiXmlElement* element);
    // A level entity destroyed in play is handed back to its level, which lets it go.
    std::unique_ptr<IEntity> reclaim(IEntity* entity) override;
    // The paddle's width and look, the balls' speed and the sticky paddle, from the level's
    // settings, the lap and the power-ups in force.
    void applyEffects();
    // Every power-up ends: timers, capsules still falling, extra balls.
    void endPowerUps();
    void spawnExtraBalls(int count);
    // An extra ball leaves the game: the paddle lets go of it and the scene destroys it.
    void retireBall(PellvaneBallEntity& ball);
    // The level just cleared was the last: the next lap, or all cleared first.
    void levelCleared();
    bool isLevelCleared() const;
    // The next level comes into play, one more ball in reserve.
    void advanceLevel();
    void updatePaused(float dt);
    bool runsWhilePaused(IEntity* entity) const;
    // A game that ends or is abandoned: its score becomes the best if it beat it.
    void settleBestScore();

    // Shows the pointer on every screen but play (a null pointer display is left alone).
    void showCursor(bool visible);
    void quietenMusic(bool quiet);

    GameServices services;
    GameSettings settings;
    std::vector<OwnedEntities> levels;
    std::vector<LevelSettings> levelSettings;
    PowerUps powerUps;
    std::array<int, kPowerUpCount> caught{};
    BlockKindSounds blockKindSounds;
    PellvanePaddleEntity* paddle = nullptr;
    int lap = 0;
    unsigned currentLevel = 0;
    int levelsCompleted = 0;
    // Before the first new game the counters already show these, so they start where a new
    // game would put them.
    int lives = GameSettings().initialLives;
    int score = 0;
    // Seconds until the next ball is served after a loss; counts only while above 0.
    float serveTimer = 0.0f;
    std::vector<std::string> blockSounds;
    float stateTimer = 0.0f;
    GameState state = Initiated;
    bool inputEnabled = false;
    bool paused = false;
    // A button went down while paused: its release resumes.
    bool resumeArmed = false;
    std::vector<IEntity*> pauseOverlay;
    std::unique_ptr<GameSceneInputCallback> inputCallback;
    // Its registrations on the Game's input; they end before the callback does.
    Subscriptions inputSubscriptions;
    std::string bestScorePath;
    int bestScore = 0;
};

// The game scene an entity lives in; throws EntityException with `source` when the entity is
// not in a game scene (the game's entities need its rules and its game area).
PellvaneGameScene* gameSceneOf(IScene* scene, const char* source);
