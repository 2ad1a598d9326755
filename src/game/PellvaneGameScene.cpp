// PellvaneGameScene: reading the scene and its level files, swapping levels in and out of the
// entity list, and the rules that move the game from state to state.
#include "game/PellvaneGameScene.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>
#include <tinyxml.h>

#include "game/BestScore.h"
#include "base/Exceptions.h"
#include "base/SettingReader.h"
#include "scene/LoadObserver.h"
#include "events/Events.h"
#include "game/GameEvents.h"
#include "game/GameTypeNames.h"
#include "game/PellvaneBackgroundEFfectEntity.h"
#include "game/PellvaneBallEntity.h"
#include "game/PellvaneCapsuleEntity.h"
#include "game/PellvaneBlockEntity.h"
#include "game/PellvaneCounterEntities.h"
#include "game/PellvaneEventSoundEntity.h"
#include "game/PellvanePaddleEntity.h"
#include "game/StartNewGameButtonEntity.h"
#include "graphics/Sprite.h"
#include "scene/GroupEntity.h"
#include "scene/IEntity.h"
#include "base/XmlAttributes.h"
#include "sound/SoundManager.h"

namespace {
// The angle between the balls a "multi" capsule makes, in radians.
constexpr float kExtraBallSpread = 0.45f;
const char* const kSource = "pellvane_game";

// a + b, held at the ends of int's range instead of overflowing.
int saturatingAdd(int a, int b) {
    const long long sum = static_cast<long long>(a) + b;
    return static_cast<int>(std::clamp<long long>(sum, INT_MIN, INT_MAX));
}

bool contains(const std::vector<IEntity*>& list, IEntity* entity) {
    return std::find(list.begin(), list.end(), entity) != list.end();
}

// The Game's input the scene answers itself.
const std::string* const kInputEvents[] = {&KEYBOARD_KEY_PRESSED_EVENT, &MOUSE_BUTTON_DOWN_EVENT,
                                           &MOUSE_BUTTON_UP_EVENT, &WINDOW_FOCUS_LOST_EVENT};

} // namespace

bool GameSceneInputCallback::handleEvent(IEvent* event) {
    if (event != nullptr)
        scene->handleInput(*event);
    return false;
}

PellvaneGameScene* gameSceneOf(IScene* scene, const char* source) {
    auto* game = dynamic_cast<PellvaneGameScene*>(scene);
    if (game == nullptr)
        throw EntityException(source, "Entity is not in a pellvane_game scene!");
    return game;
}

PellvaneGameScene::PellvaneGameScene(const SceneContext& context, const GameServices& services)
    : BaseScene(context), services(services) {}

void PellvaneGameScene::quietenMusic(bool quiet) {
    if (services.sounds != nullptr)
        services.sounds->setMusicQuiet(quiet);
}

void PellvaneGameScene::showCursor(bool visible) {
    if (services.pointer != nullptr)
        services.pointer->setCursorVisible(visible);
}

PellvaneGameScene::~PellvaneGameScene() {
    // No input reaches a scene being torn down.
    inputSubscriptions.clear();
    // Quitting in the middle of a game keeps its score if it was the best.
    if (isGameInPlay())
        settleBestScore();
    if (paused)
        quietenMusic(false);
    // The level entities in play are destroyed with the rest of the list, in its order, while the
    // levels can still take them back; the others die with `levels`.
    endScene();
}

void PellvaneGameScene::removeEntityNow(IEntity* entity, bool destroy) {
    // The overlay only points at its entities; one that is destroyed must not stay behind in it.
    if (destroy && contains(entities, entity)) {
        pauseOverlay.erase(std::remove(pauseOverlay.begin(), pauseOverlay.end(), entity), pauseOverlay.end());
        if (paddle != nullptr)
            paddle->forgetBall(entity);
    }
    BaseScene::removeEntityNow(entity, destroy);
}

std::unique_ptr<IEntity> PellvaneGameScene::reclaim(IEntity* entity) {
    // A level keeps its entities for the next time it is played, except one destroyed in play.
    for (OwnedEntities& level : levels) {
        auto found = std::find_if(level.begin(), level.end(), [entity](const auto& e) { return e.get() == entity; });
        if (found != level.end()) {
            std::unique_ptr<IEntity> held = std::move(*found);
            level.erase(found);
            return held;
        }
    }
    return nullptr;
}

void PellvaneGameScene::load(const TiXmlHandle& handle) {
    const TiXmlElement* element = handle.ToElement();
    if (element == nullptr)
        throw SceneException(kSource, "Invalid element!");
    readSettings(element);
    readLevelList(element);
    BaseScene::load(handle);
    readPauseOverlay(handle.ToElement());
    // The data checker loads with an observer: the player's best score is none of its business.
    if (settings.keepBestScore && loadObserver == nullptr) {
        bestScorePath = bestscore::defaultPath();
        const bestscore::Stored stored = bestscore::load(bestScorePath);
        bestScore = stored.score;
        // A file that exists but cannot be read still holds the player's score: never replace it.
        if (!stored.writable)
            bestScorePath.clear();
    }
    if (!inputCallback) {
        inputCallback = std::make_unique<GameSceneInputCallback>(this);
        for (const std::string* name : kInputEvents)
            inputSubscriptions.add(getContext().input, *name, inputCallback.get());
    }
    state = Initiated;
    levelsCompleted = 0;
    currentLevel = 0;
    loadLevel(0, true);
    raise(PELLVANE_INITIATED);
}

void PellvaneGameScene::readSettings(const TiXmlElement* element) {
    readGameSettings(element, settings, kSource, loadObserver);
    lives = settings.initialLives;

    blockSounds.clear();
    blockKindSounds = {};
    if (const TiXmlElement* list = element->FirstChildElement("block_sounds")) {
        SettingReader<SceneException>(list, kSource, loadObserver)(gamesettings::kUnbreakableSound,
                                                                    blockKindSounds.unbreakable)(
            gamesettings::kExplosiveSound, blockKindSounds.explosive);
        for (std::string* kind : {&blockKindSounds.unbreakable, &blockKindSounds.explosive}) {
            if (kind->empty() || services.sounds == nullptr || services.sounds->hasSound(*kind))
                continue;
            const SoundException error(*kind, "No sound with that ID to play!");
            if (!reportLoadError(loadObserver, list, error))
                throw error;
            kind->clear();
        }
        for (const TiXmlElement* child = list->FirstChildElement("sound"); child != nullptr;
             child = child->NextSiblingElement("sound")) {
            std::string id;
            xml::readElementText(child, id);
            blockSounds.push_back(id);
        }
    }
    if (blockSounds.empty()) {
        for (int health = 1; blockHitSound(health) != nullptr; ++health)
            blockSounds.emplace_back(blockHitSound(health));
    }

    powerUps.read(element->FirstChildElement("power_ups"), getContext().sprites, services.sounds, kSource,
                  loadObserver);

}

const std::string* PellvaneGameScene::getBlockHitSound(int health) const {
    if (health < 1 || static_cast<std::size_t>(health) > blockSounds.size() || blockSounds[health - 1].empty())
        return nullptr;
    return &blockSounds[health - 1];
}

void PellvaneGameScene::readLevelList(const TiXmlElement* element) {
    const TiXmlElement* list = element->FirstChildElement("levels");
    const TiXmlElement* first = list != nullptr ? list->FirstChildElement("level") : nullptr;
    if (first == nullptr)
        throw SceneException(kSource, "No levels defined!");
    std::string directory;
    const bool hasDirectory = xml::readText(list, "directory", directory);
    for (const TiXmlElement* level = first; level != nullptr; level = level->NextSiblingElement("level")) {
        const std::size_t before = levels.size();
        try {
            // The file name is the element's text; without one there is nothing to open.
            std::string name;
            if (!xml::readElementText(level, name))
                throw SceneException(kSource, "Level element has no file name!");
            loadLevelFile(hasDirectory ? directory + "/" + name : name);
        } catch (const BaseException& error) {
            if (!reportLoadError(loadObserver, level, error))
                throw;
            // An empty stand-in keeps the numbering of the levels that follow.
            if (levels.size() == before)
                levels.emplace_back();
            levelSettings.resize(levels.size());
        }
    }
}

void PellvaneGameScene::loadLevelFile(const std::string& path) {
    TiXmlDocument document;
    if (!xml::loadDocument(document, path))
        throw SceneException(kSource, "Level file failed to load: " + path);
    TiXmlElement* root = document.FirstChildElement("level");
    if (root == nullptr || root->FirstChild() == nullptr)
        throw SceneException(kSource, "Level file had no root level element" + path);
    // The level joins the list before its entities load, so a failure part-way leaves every
    // entity made so far owned by its level, which the scene destroys.
    levels.emplace_back();
    // With an observer a setting out of range is reported and the level's blocks still load, so
    // their own mistakes are found too.
    readLevelSettings(root, levelSettings.emplace_back(), path, kSource, loadObserver);
    for (TiXmlElement* child = root->FirstChildElement(); child != nullptr; child = child->NextSiblingElement()) {
        if (std::unique_ptr<IEntity> entity = loadEntity(child))
            levels.back().push_back(std::move(entity));
    }
}

void PellvaneGameScene::readPauseOverlay(TiXmlElement* element) {
    TiXmlElement* overlay = element->FirstChildElement("pause_overlay");
    if (overlay == nullptr)
        return;
    for (TiXmlElement* child = overlay->FirstChildElement(); child != nullptr; child = child->NextSiblingElement()) {
        if (std::unique_ptr<IEntity> entity = loadEntity(child)) {
            pauseOverlay.push_back(entity.get());
            addEntity(std::move(entity));
        }
    }
    sortByLayer();
}

void PellvaneGameScene::loadLevel(unsigned index, bool reset) {
    if (index >= levels.size())
        throw SceneException(kSource, "Level attmpted to be loaded is out of range!");
    if (!reset && index == currentLevel) {
        // The same level again (a new game, a one-level lap) starts as clean as another would.
        for (const std::unique_ptr<IEntity>& entity : levels[index])
            entity->reset();
        endPowerUps();
        return;
    }
    if (!reset) {
        // Out of the list, not destroyed: the level is played again later.
        for (const std::unique_ptr<IEntity>& entity : levels[currentLevel])
            endLoan(entity.get());
    }
    currentLevel = index;
    for (const std::unique_ptr<IEntity>& entity : levels[index]) {
        entity->reset();
        lendEntity(entity.get(), *this);
    }
    endPowerUps();
}

bool PellvaneGameScene::takesPart(const IEntity* entity) const {
    for (std::size_t i = 0; i < levels.size(); ++i) {
        for (const std::unique_ptr<IEntity>& member : levels[i])
            if (member.get() == entity)
                return i == currentLevel && isGameInPlay();
    }
    return true;
}

bool PellvaneGameScene::isLevelCleared() const {
    for (const std::unique_ptr<IEntity>& entity : levels[currentLevel]) {
        // An unbreakable block stands for ever and never holds its level open.
        const auto* block = dynamic_cast<const PellvaneBlockEntity*>(entity.get());
        if (block != nullptr ? block->holdsLevelOpen() : entity->isActive())
            return false;
    }
    return true;
}

void PellvaneGameScene::update(float dt) {
    if (paused) {
        updatePaused(dt);
        return;
    }
    BaseScene::update(dt);
    switch (state) {
    case LevelLoaded:
        stateTimer += dt;
        if (stateTimer > settings.loadedDelay) {
            inputEnabled = true;
            state = Playing;
            raise(PELLVANE_NEW_LEVEL_STARTED);
        }
        break;
    case Playing:
        if (serveTimer > 0.0f) {
            serveTimer -= dt;
            if (!(serveTimer > 0.0f)) {
                serveTimer = 0.0f;
                raise(PELLVANE_BALL_SERVED);
            }
        }
        if (powerUps.tick(dt))
            applyEffects();
        if (isLevelCleared())
            levelCleared();
        break;
    case LevelCleared:
    case AllCleared:
        stateTimer += dt;
        if (stateTimer > (state == AllCleared ? settings.allClearedDelay : settings.clearedDelay)) {
            if (state == AllCleared)
                ++lap;
            advanceLevel();
        }
        break;
    case Initiated:
    case GameOver:
        break;
    }
    // The pointer steers the paddle in play; on the other screens it clicks buttons.
    showCursor(!isGameInPlay());
}

void PellvaneGameScene::levelCleared() {
    serveTimer = 0.0f;
    ++levelsCompleted;
    lives = saturatingAdd(lives, 1); // one extra ball for every cleared level
    // Capsules still falling and extra balls do not outlive their level.
    endPowerUps();
    const bool lastLevel = currentLevel + 1 >= levels.size();
    if (lastLevel && settings.allClearedDelay > 0.0f) {
        // The end of a lap: the score is shown a while, then the first level comes back faster.
        inputEnabled = false;
        stateTimer = 0.0f;
        state = AllCleared;
        raise(PELLVANE_ALL_CLEARED);
    } else if (settings.clearedDelay > 0.0f) {
        // The level stays on screen a moment, the ball at rest, before the next one.
        inputEnabled = false;
        stateTimer = 0.0f;
        state = LevelCleared;
        raise(PELLVANE_LEVEL_CLEARED);
    } else {
        if (lastLevel)
            ++lap;
        advanceLevel();
    }
}

PellvanePaddleEntity* PellvaneGameScene::getPaddle() {
    if (paddle == nullptr) {
        for (IEntity* entity : entities)
            if ((paddle = dynamic_cast<PellvanePaddleEntity*>(entity)) != nullptr)
                break;
    }
    return paddle;
}

std::vector<PellvaneBallEntity*> PellvaneGameScene::getBalls() const {
    std::vector<PellvaneBallEntity*> balls;
    PellvaneBallEntity* own = paddle != nullptr ? paddle->getBall() : nullptr;
    if (own != nullptr)
        balls.push_back(own);
    for (IEntity* entity : entities) {
        auto* ball = dynamic_cast<PellvaneBallEntity*>(entity);
        if (ball != nullptr && ball != own && ball->isActive())
            balls.push_back(ball);
    }
    return balls;
}

int PellvaneGameScene::getBallsInPlay() const {
    int count = 0;
    for (PellvaneBallEntity* ball : getBalls())
        count += ball->isActive() && !ball->isParked() ? 1 : 0;
    return count;
}

void PellvaneGameScene::applyEffects() {
    const LevelSettings& level = levelSettings.at(currentLevel);
    const bool wide = powerUps.isActive(PowerUp::Wide);
    const bool narrow = powerUps.isActive(PowerUp::Narrow);
    if (PellvanePaddleEntity* own = getPaddle()) {
        const float factor = wide ? powerUps.wideFactor : narrow ? powerUps.narrowFactor : 1.0f;
        own->setWidthScale(level.paddleWidth * factor, wide ? 1 : narrow ? -1 : 0);
        own->setSticky(powerUps.isActive(PowerUp::Sticky));
    }
    float speed = level.ballSpeed * (1.0f + settings.lapSpeedUp * static_cast<float>(lap));
    if (powerUps.isActive(PowerUp::Slow))
        speed *= powerUps.slowFactor;
    for (PellvaneBallEntity* ball : getBalls())
        ball->setSpeedScale(speed);
}

void PellvaneGameScene::endPowerUps() {
    powerUps.endAll();
    PellvanePaddleEntity* own = getPaddle();
    PellvaneBallEntity* mainBall = own != nullptr ? own->getBall() : nullptr;
    for (IEntity* entity : entities) {
        if (auto* capsule = dynamic_cast<PellvaneCapsuleEntity*>(entity)) {
            capsule->retire();
        } else if (auto* ball = dynamic_cast<PellvaneBallEntity*>(entity);
                   ball != nullptr && mainBall != nullptr && ball != mainBall) {
            // Before the paddle has found its ball (while loading) no ball is an extra one.
            retireBall(*ball);
        }
    }
    applyEffects();
}

void PellvaneGameScene::blockBroken(const PellvaneBlockEntity& block) {
    const LevelSettings& level = levelSettings.at(currentLevel);
    const float chance = level.capsuleChance >= 0.0f ? level.capsuleChance : powerUps.chance;
    const std::optional<PowerUp> kind = powerUps.draw(block.getCapsule(), chance);
    if (!kind || !isGameInPlay())
        return;
    const PowerUpLook& look = powerUps.look(*kind);
    if (look.sprite == nullptr || look.sprite->getFrameCount() == 0)
        return;
    SpriteProperties properties;
    properties.sprite = look.sprite;
    properties.width = static_cast<float>(look.sprite->getFrame(0).getWidth());
    properties.height = static_cast<float>(look.sprite->getFrame(0).getHeight());
    properties.position = block.getCentre() - Vector2{properties.width * 0.5f, properties.height * 0.5f};
    properties.layer = block.getSpriteProperties().layer + 2;
    addEntity(std::make_unique<PellvaneCapsuleEntity>(properties, *kind, powerUps.fallSpeed));
}

void PellvaneGameScene::powerUpCaught(PowerUp kind) {
    if (state != Playing)
        return;
    ++caught[static_cast<std::size_t>(kind)];
    const PowerUpLook& look = powerUps.look(kind);
    if (!look.sound.empty() && services.sounds != nullptr)
        services.sounds->playSound(look.sound);
    switch (kind) {
    case PowerUp::Multi:
        spawnExtraBalls(2);
        break;
    case PowerUp::Life:
        lives = saturatingAdd(lives, 1);
        break;
    default:
        powerUps.start(kind);
        break;
    }
    applyEffects();
    raise(PELLVANE_POWER_UP_CAUGHT);
}

void PellvaneGameScene::spawnExtraBalls(int count) {
    PellvanePaddleEntity* own = getPaddle();
    PellvaneBallEntity* source = own != nullptr ? own->getBall() : nullptr;
    if (source == nullptr || source->isParked())
        return;
    // From the ball where it is, or from the paddle when it waits there: the new balls leave at
    // an angle either side of its way, at its speed.
    const Vector2 way = source->isHeld() ? source->getStartVelocity() : source->getVelocity();
    const int room = powerUps.maxBalls - static_cast<int>(getBalls().size());
    for (int i = 0; i < std::min(count, room); ++i) {
        const float turn = (i % 2 == 0 ? 1.0f : -1.0f) * kExtraBallSpread * static_cast<float>(1 + i / 2);
        const float c = std::cos(turn);
        const float t = std::sin(turn);
        Vector2 velocity{way.x * c - way.y * t, way.x * t + way.y * c};
        if (velocity.y > 0.0f && source->isHeld())
            velocity.y = -velocity.y;
        std::unique_ptr<PellvaneBallEntity> twin = source->makeTwin(velocity);
        twin->limitAngle();
        addEntity(std::move(twin));
    }
}

void PellvaneGameScene::retireBall(PellvaneBallEntity& ball) {
    // Out of play at once (no longer counted, collided or drawn); destroyed at the end of the update.
    if (paddle != nullptr)
        paddle->forgetBall(&ball);
    ball.setEnabled(false);
    ball.setVisible(false);
    removeEntity(&ball, true);
}

void PellvaneGameScene::ballLost(PellvaneBallEntity& ball) {
    if (state == GameOver || !ball.isActive())
        return;
    PellvanePaddleEntity* own = getPaddle();
    PellvaneBallEntity* mainBall = own != nullptr ? own->getBall() : nullptr;
    if (&ball != mainBall && mainBall != nullptr) {
        // An extra ball: it leaves, whatever else is in play.
        retireBall(ball);
        return;
    }
    for (PellvaneBallEntity* other : getBalls()) {
        if (other == &ball || !other->isActive())
            continue;
        // The paddle's own ball carries on as this one did.
        ball.takeOver(*other);
        if (own != nullptr)
            own->handOver(*other);
        retireBall(*other);
        return;
    }
    ballLost();
}

void PellvaneGameScene::advanceLevel() {
    loadLevel(static_cast<unsigned>((currentLevel + 1) % levels.size()), false);
    stateTimer = 0.0f;
    state = LevelLoaded;
    raise(PELLVANE_NEW_LEVEL_LOADED);
}

void PellvaneGameScene::updatePaused(float dt) {
    // Only the overlay runs. Removals it asks for wait for the first frame after the pause, when
    // the base scene's update carries them out; entities it adds are drawn in layer order now.
    for (std::size_t i = 0; i < entities.size(); ++i) {
        if (entities[i]->isActive() && runsWhilePaused(entities[i]))
            entities[i]->update(dt);
    }
    for (std::size_t i = 0; i < entities.size(); ++i) {
        if (entities[i]->isActive() && runsWhilePaused(entities[i]))
            entities[i]->postUpdate(dt);
    }
    sortByLayer();
}

bool PellvaneGameScene::runsWhilePaused(IEntity* entity) const {
    for (IEntity* member : pauseOverlay) {
        if (member == entity)
            return true;
        // A group of the overlay brings its children along.
        if (auto* group = dynamic_cast<GroupEntity*>(member)) {
            if (group->hasChild(entity))
                return true;
        }
    }
    return false;
}

void PellvaneGameScene::pause() {
    if (paused || !isGameInPlay())
        return;
    paused = true;
    resumeArmed = false;
    quietenMusic(true);
    showCursor(true);
    raise(PELLVANE_GAME_PAUSED);
}

void PellvaneGameScene::resume() {
    if (!paused)
        return;
    paused = false;
    resumeArmed = false;
    quietenMusic(false);
    showCursor(!isGameInPlay());
    raise(PELLVANE_GAME_RESUMED);
}

void PellvaneGameScene::handleInput(const IEvent& event) {
    const std::string name = event.getName();
    if (name == WINDOW_FOCUS_LOST_EVENT) {
        pause();
    } else if (name == KEYBOARD_KEY_PRESSED_EVENT) {
        const auto* key = dynamic_cast<const KeyboardEvent*>(&event);
        if (key != nullptr && key->key == kKeyPause) {
            if (paused)
                resume();
            else
                pause();
        }
    } else if (paused) {
        // A whole click resumes, so its release cannot reach anything that reacts to releases
        // (the paddle's launch) as a fresh click. The wheel, which SDL reports as buttons too,
        // does not count.
        const auto* mouse = dynamic_cast<const MouseEvent*>(&event);
        if (mouse == nullptr)
            return;
        const bool button = mouse->button >= LeftButton && mouse->button <= RightButton;
        if (name == MOUSE_BUTTON_DOWN_EVENT)
            resumeArmed = button;
        else if (name == MOUSE_BUTTON_UP_EVENT && resumeArmed && button)
            resume();
    }
}

void PellvaneGameScene::settleBestScore() {
    if (score <= bestScore)
        return;
    bestScore = score;
    if (settings.keepBestScore)
        bestscore::save(bestScorePath, bestScore);
}

void PellvaneGameScene::newGame() {
    newGameAt(0);
}

void PellvaneGameScene::newGameAt(unsigned index) {
    if (index >= levels.size())
        throw SceneException(kSource, "Level attmpted to be loaded is out of range!");
    resume();
    settleBestScore();
    score = 0;
    levelsCompleted = static_cast<int>(index);
    lives = settings.initialLives;
    serveTimer = 0.0f;
    lap = 0;
    // A game started in the middle of another starts as one from the title: the paddle waits
    // for the level to start.
    inputEnabled = false;
    powerUps.restartDraws(services.capsuleSeed ? *services.capsuleSeed : std::random_device{}());
    raise(PELLVANE_GAME_STARTED);
    loadLevel(index, false);
    // In play before the event, so the level's own listeners hear it.
    stateTimer = 0.0f;
    state = LevelLoaded;
    raise(PELLVANE_NEW_LEVEL_LOADED);
}

void PellvaneGameScene::addScore(int points) {
    score = saturatingAdd(score, points);
}

void PellvaneGameScene::ballLost() {
    // Nobody takes the ball back after game over, so it reports its loss every frame until the
    // next game; counting those would run the lives down without end.
    if (state == GameOver)
        return;
    endPowerUps();
    --lives;
    if (lives >= 0) {
        serveTimer = settings.lostDelay;
        raise(PELLVANE_BALL_LOST);
        return;
    }
    raise(PELLVANE_GAME_OVER);
    state = GameOver;
    inputEnabled = false;
    settleBestScore();
}

void PellvaneGameScene::raise(const std::string& name) {
    dispatchEvent(new PellvaneEvent(name));
}
