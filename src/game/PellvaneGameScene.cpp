// PellvaneGameScene: reading the scene, and mapping what the match reports onto the entities,
// the sounds and the game's named events.
#include "game/PellvaneGameScene.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/SettingReader.h"
#include "base/XmlAttributes.h"
#include "collision/AABBCollider.h"
#include "game/BestScore.h"
#include "game/Configuration.h"
#include "game/GameEvents.h"
#include "game/PellvaneBallEntity.h"
#include "game/PellvaneBlockEntity.h"
#include "game/PellvaneCapsuleEntity.h"
#include "game/PellvanePaddleEntity.h"
#include "game/PellvaneShotEntity.h"
#include "game/Recordings.h"
#include "graphics/Sprite.h"
#include "sound/SoundManager.h"

namespace {
const char* const kSource = "pellvane_game";

// The Game's input the scene answers itself.
const std::string* const kInputEvents[] = {&KEYBOARD_KEY_PRESSED_EVENT, &KEYBOARD_KEY_RELEASED_EVENT,
                                           &MOUSE_BUTTON_DOWN_EVENT, &MOUSE_BUTTON_UP_EVENT, &WINDOW_FOCUS_LOST_EVENT};
} // namespace

bool GameSceneInputCallback::handleEvent(IEvent* event) {
    if (event != nullptr)
        scene->handleInput(*event);
    return false;
}

IPlayField& playFieldOf(IScene* scene, const char* source) {
    auto* field = dynamic_cast<IPlayField*>(scene);
    if (field == nullptr)
        throw EntityException(source, "Entity is not in a pellvane_game scene!");
    return *field;
}

namespace {
// The scene's entities take their input from the scene's stepped input, which takes it from the
// Game's.
SceneContext withSteppedInput(SceneContext context, StepInput& input) {
    input.listen(context.input, context.height);
    context.input = input.forEntities();
    return context;
}
} // namespace

PellvaneGameScene::PellvaneGameScene(const SceneContext& context, const GameServices& services)
    : BaseScene(withSteppedInput(context, stepInput)), services(services) {}

PellvaneGameScene::~PellvaneGameScene() {
    // No input reaches a scene being torn down.
    inputSubscriptions.clear();
    // Quitting in the middle of a game keeps its score if it was the best, and the game so far.
    if (match.isInPlay() && watching == Watching::No) {
        settleBestScore();
        keepRecording(false);
    }
    highScores.finish();
    if (gamePause.isPaused())
        quietenMusic(false);
    // The level entities in play are destroyed with the rest of the list, in its order, while the
    // levels can still take them back; the others die with `levels`.
    endScene();
}

void PellvaneGameScene::quietenMusic(bool quiet) {
    if (services.sounds != nullptr)
        services.sounds->setMusicQuiet(quiet);
}

void PellvaneGameScene::showCursor(bool visible) {
    if (services.pointer != nullptr)
        services.pointer->setCursorVisible(visible);
}

void PellvaneGameScene::removeEntityNow(IEntity* entity, bool destroy) {
    // The overlay and the paddle only point at theirs; one that is destroyed must not stay behind.
    if (destroy && std::find(entities.begin(), entities.end(), entity) != entities.end()) {
        gamePause.forget(entity);
        lostBalls.erase(std::remove(lostBalls.begin(), lostBalls.end(), entity), lostBalls.end());
        if (paddle != nullptr)
            paddle->forgetBall(entity);
    }
    BaseScene::removeEntityNow(entity, destroy);
}

void PellvaneGameScene::load(const TiXmlHandle& handle) {
    TiXmlElement* element = handle.ToElement();
    if (element == nullptr)
        throw SceneException(kSource, "Invalid element!");
    readGameSettings(element, settings, kSource, loadObserver);
    highScores.read(element, kSource, loadObserver);
    readBlockSounds(element, settings.blockSounds, services.sounds, kSource, loadObserver);
    readPowerUps(element->FirstChildElement("power_ups"), powerUpSettings, looks, getContext().sprites, services.sounds,
                 kSource, loadObserver);
    levels.read(element, kSource, services.sounds);
    BaseScene::load(handle);
    gamePause.readOverlay(element, *this);
    sortByLayer();
    // The data checker loads with an observer: the player's best score is none of its business.
    int bestScore = 0;
    if (settings.keepBestScore && loadObserver == nullptr) {
        bestScorePath = bestscore::defaultPath();
        const bestscore::Stored stored = bestscore::load(bestScorePath, services.playerFilesToldOf);
        bestScore = stored.score;
        // A file that exists but cannot be replaced still holds the player's: never write it.
        if (!stored.writable || !services.writePlayerFiles)
            bestScorePath.clear();
    }
    highScores.open(loadObserver == nullptr, services.writePlayerFiles, bestScore, services.runTable,
                    services.playerFilesToldOf);
    bestScore = std::max(bestScore, highScores.getScores().best());
    match = Match(settings.match, powerUpSettings, levels.settings(), bestScore);
    if (!inputCallback) {
        inputCallback = std::make_unique<GameSceneInputCallback>(this);
        for (const std::string* name : kInputEvents)
            inputSubscriptions.add(getContext().input, *name, inputCallback.get());
        if (settings.gamepad.on)
            for (const std::string* name : gamepad::kEventNames)
                inputSubscriptions.add(getContext().input, *name, inputCallback.get());
    }
    levels.place(0);
    endPowerUps();
    rememberStepStarts(settings.stepRate > 0);
    stepInput.handOnAtSteps(settings.stepRate > 0);
    std::vector<std::string> dataFiles{kConfigFile};
    dataFiles.insert(dataFiles.end(), levels.files().begin(), levels.files().end());
    dataFingerprint = recordings::fingerprintOf(dataFiles);
    raise(PELLVANE_INITIATED);
    if (loadObserver == nullptr)
        offerWatching();
}

void PellvaneGameScene::update(float dt) {
    const float frameTime = dt;
    stepInput.deliver();
    // A track asked for at a level's start comes in once the one before has faded out.
    if (services.sounds != nullptr)
        services.sounds->update();
    if (gamePause.isPaused()) {
        // Only the overlay runs; entities it adds are drawn in layer order now.
        gamePause.update(*this, dt);
        sortByLayer();
        return;
    }
    if (watching != Watching::No)
        dt = watchPaused ? 0.0f : dt * static_cast<float>(watchSpeed);
    if (settings.stepRate <= 0) {
        step(dt);
    } else {
        // The same inputs play the same game whatever the frame rate: the game moves in whole
        // steps, and what is left of the frame's time waits for the next frame. A frame that took
        // longer than kLongestCatchUp (a stall, a dragged window) is not caught up step by step.
        const double stepTime = 1.0 / settings.stepRate;
        unsteppedTime += std::min(static_cast<double>(dt), kLongestCatchUp);
        while (unsteppedTime >= stepTime && !gamePause.isPaused() && !stepInput.replayEnded()) {
            unsteppedTime -= stepTime;
            stepInput.deliver();
            step(static_cast<float>(stepTime));
        }
        setDrawBlend(gamePause.isPaused() ? 1.0f : static_cast<float>(unsteppedTime / stepTime));
    }
    if (watching == Watching::No) {
        countIdle(frameTime);
    } else if (stepInput.replayEnded()) {
        sinceReplayEnd += frameTime;
        finishReplay();
    }
    // The pointer steers the paddle in play; on the other screens it clicks buttons. Nobody
    // steers a game watched.
    showCursor(!match.isInPlay() && watching == Watching::No);
}

void PellvaneGameScene::step(float dt) {
    stepping = true;
    BaseScene::update(dt);
    if (!started) {
        started = true;
        highScores.sceneStarted();
    }
    highScores.update(dt);
    match.step(dt, match.getState() == Playing && levels.isCleared());
    playEvents();
    stepping = false;
    stepInput.stepDone();
    // A game to watch starts once the scene has begun, so what the title shows first is gone.
    if (toWatch)
        startWatching();
}

void PellvaneGameScene::playEvents() {
    for (std::vector<MatchEvent> events = match.takeEvents(); !events.empty(); events = match.takeEvents()) {
        for (const MatchEvent& event : events) {
            switch (event.kind) {
            case MatchEvent::GameStarted:
                raise(PELLVANE_GAME_STARTED);
                startingLevel = true;
                break;
            case MatchEvent::LevelBrought:
                loadLevel(event.level);
                if (!startingLevel && watching == Watching::No)
                    highScores.levelReached(event.level + 1);
                startingLevel = false;
                raise(PELLVANE_NEW_LEVEL_LOADED);
                break;
            case MatchEvent::LevelStarted:
                raise(PELLVANE_NEW_LEVEL_STARTED);
                break;
            case MatchEvent::BallLost:
                raise(PELLVANE_BALL_LOST);
                break;
            case MatchEvent::BallServed:
                raise(PELLVANE_BALL_SERVED);
                break;
            case MatchEvent::GameOver:
                raise(PELLVANE_GAME_OVER);
                if (watching == Watching::No) {
                    const bool best = match.getScore() > highScores.getScores().best();
                    settleBestScore();
                    highScores.gameEnded(match.getScore(), match.getLevelsCompleted() + 1);
                    keepRecording(best);
                    offerWatching();
                }
                break;
            case MatchEvent::LevelCleared:
                raise(PELLVANE_LEVEL_CLEARED);
                break;
            case MatchEvent::AllCleared:
                raise(PELLVANE_ALL_CLEARED);
                break;
            case MatchEvent::PowerUpsEnded:
                endPowerUps();
                break;
            case MatchEvent::PowerUpsChanged:
                applyEffects();
                break;
            case MatchEvent::PowerUpEnded:
                raise(PELLVANE_POWER_UP_ENDED);
                break;
            case MatchEvent::ExtraBalls:
                spawnExtraBalls(event.count);
                break;
            case MatchEvent::LifeEarned:
                raise(PELLVANE_LIFE_EARNED);
                break;
            case MatchEvent::NewBest:
                raise(PELLVANE_NEW_BEST);
                break;
            case MatchEvent::LapStarted:
                raise(PELLVANE_LAP_STARTED);
                break;
            case MatchEvent::VolleyFired:
                spawnVolley(event.powerUp);
                raise(PELLVANE_LASER_FIRED);
                break;
            case MatchEvent::CapsuleCaught: {
                const std::string& sound = getPowerUpLook(event.powerUp).sound;
                if (!sound.empty() && services.sounds != nullptr)
                    services.sounds->playSound(sound);
                raise(PELLVANE_POWER_UP_CAUGHT);
                break;
            }
            }
        }
    }
}

void PellvaneGameScene::loadLevel(unsigned index) {
    levels.bring(index, kSource);
    match.setCurrentLevel(index);
    endPowerUps();
    const std::string& track = levels.music(index);
    if (!track.empty() && services.sounds != nullptr)
        services.sounds->switchMusic(track);
}

bool PellvaneGameScene::takesPart(const IEntity* entity) const {
    const std::optional<std::size_t> level = levels.levelOf(entity);
    return !level || (*level == levels.inPlay() && match.isInPlay());
}

PellvanePaddleEntity* PellvaneGameScene::getPaddle() {
    if (paddle == nullptr) {
        for (IEntity* entity : entities)
            if ((paddle = dynamic_cast<PellvanePaddleEntity*>(entity)) != nullptr)
                break;
    }
    return paddle;
}

std::optional<Rect> PellvaneGameScene::getPaddleBounds() const {
    const ICollider* box = paddle != nullptr ? paddle->getCollider() : nullptr;
    if (box == nullptr || box->getType() != kAABBColliderType)
        return std::nullopt;
    return static_cast<const AABBCollider*>(box)->getBounds();
}

flight::StallField PellvaneGameScene::getStallField() const {
    flight::StallField field{settings.gameArea, {}, {}};
    for (IEntity* entity : entities) {
        auto* block = dynamic_cast<PellvaneBlockEntity*>(entity);
        if (block == nullptr)
            continue;
        if (block->isUnbreakable() && block->isActive())
            field.metal.push_back(
                Rect{block->getPosition().x, block->getPosition().y, block->getSize().x, block->getSize().y});
        else if (block->holdsLevelOpen())
            field.blocks.push_back(block->getCentre());
    }
    return field;
}

void PellvaneGameScene::applyEffects() {
    if (PellvanePaddleEntity* own = getPaddle()) {
        // A wide paddle is drawn with the paddle's wide picture, a narrow one with its narrow one.
        const std::optional<PowerUp> width = match.activeKind(Change::PaddleWidth);
        own->setWidthScale(match.paddleWidthFactor(), width == PowerUp::Wide ? 1 : width == PowerUp::Narrow ? -1 : 0);
        own->setSticky(match.isSticky());
        own->setGuns(match.activeKind(Change::Guns).has_value());
    }
    const float speed = match.ballSpeedFactor();
    for (PellvaneBallEntity* ball : getBalls())
        ball->setSpeedScale(speed);
}

void PellvaneGameScene::endPowerUps() {
    PellvanePaddleEntity* own = getPaddle();
    PellvaneBallEntity* mainBall = own != nullptr ? own->getBall() : nullptr;
    for (IEntity* entity : entities) {
        if (auto* capsule = dynamic_cast<PellvaneCapsuleEntity*>(entity)) {
            capsule->retire();
        } else if (auto* shot = dynamic_cast<PellvaneShotEntity*>(entity)) {
            shot->retire();
        } else if (auto* ball = dynamic_cast<PellvaneBallEntity*>(entity);
                   ball != nullptr && mainBall != nullptr && ball != mainBall) {
            // Before the paddle has found its ball (while loading) no ball is an extra one.
            retireBall(*ball);
        }
    }
    applyEffects();
}

void PellvaneGameScene::settleBestScore() {
    const std::optional<int> best = match.settleBestScore();
    if (best && settings.keepBestScore)
        bestscore::save(bestScorePath, *best);
}

void PellvaneGameScene::continueGame() {
    newGameAt(highScores.continueLevel(levels.count()) - 1, true);
}

void PellvaneGameScene::newGameAt(unsigned index, bool continued, std::optional<uint32_t> seed) {
    if (index >= levels.count())
        throw SceneException(kSource, "Level attmpted to be loaded is out of range!");
    resume();
    // The title gives way to a game watched as to one played; nothing else of it is the table's
    // (nor the best score's: the match of a game watched settles none).
    settleBestScore();
    highScores.gameStarted(continued);
    gameSeed = seed ? *seed : services.capsuleSeed ? *services.capsuleSeed : std::random_device{}();
    match.newGame(index, gameSeed);
    if (watching == Watching::No)
        startRecording(index, continued);
    playEvents();
}

void PellvaneGameScene::raise(const std::string& name) {
    dispatchEvent(new PellvaneEvent(name));
}

void PellvaneGameScene::raiseAt(const std::string& name, const Vector2& at) {
    dispatchEvent(new PellvaneEvent(name, at));
}
