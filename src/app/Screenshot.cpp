// The picture: fixed steps of simulated time, then one frame drawn and read back from GL.
#include "app/Screenshot.h"

#include <GL/glew.h>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/Game.h"
#include "base/Exceptions.h"
#include "events/Events.h"
#include "game/PellvaneBallEntity.h"
#include "game/PellvaneBlockEntity.h"
#include "game/PellvaneCapsuleEntity.h"
#include "game/PellvaneGameScene.h"
#include "game/PellvanePaddleEntity.h"
#include "graphics/PngEncoder.h"
#include "scene/IScene.h"

namespace {
// Each picture starts from the same random sequence, so the background looks the same every time
// and the pictures change only when the data does.
constexpr unsigned kShotSeed = 1;
constexpr float kStep = 1.0f / 60.0f;
// The scene's first moments before the picture: the shipped title and button have faded in.
constexpr float kStartSeconds = 2.0f;
// From a new game at the level to its picture: the HUD has counted up, the "GET READY" message
// has come and gone and the level has started.
constexpr float kLevelSeconds = 2.0f;
// From the last block broken to the picture: the banner is up and its bonus has counted.
constexpr float kClearedSeconds = 1.0f;
constexpr unsigned kChannels = 3;
constexpr int32_t kKeyReturn = 13;

// Whole steps, counted: a float sum of steps drifts by seconds over an hour of them, and --at
// would picture the wrong moment.
void advance(IScene& scene, float seconds) {
    const long steps = std::lround(static_cast<double>(seconds) / kStep);
    for (long step = 0; step < steps; ++step)
        scene.update(kStep);
}

// Every block that holds the level open takes hits, as from a ball, until it breaks.
void clearLevel(IScene& scene) {
    const std::vector<IEntity*> entities = scene.getEntities();
    for (IEntity* entity : entities)
        if (auto* block = dynamic_cast<PellvaneBlockEntity*>(entity))
            while (block->holdsLevelOpen() && block->takeHit()) {
            }
}

void typeKey(Game& game, int32_t key) {
    game.dispatchEvent(new KeyboardEvent(KEYBOARD_KEY_PRESSED_EVENT, key, true));
    game.dispatchEvent(new KeyboardEvent(KEYBOARD_KEY_RELEASED_EVENT, key, false));
}

// The game in play ends with `score` points: the ball is launched, then every ball in reserve is
// lost, as a player loses them. Then the initials are typed on the Game's input, as the frame loop hands over keys.
void endGame(Game& game, PellvaneGameScene& scene, int score, const std::string& initials, float after) {
    // The ball leaves the paddle first, as it has in any game that ends: its hint is gone.
    typeKey(game, kKeySpace);
    advance(scene, kStep);
    scene.addScore(score);
    while (scene.getState() != GameOver)
        scene.ballLost();
    advance(scene, initials.empty() && after >= 0.0f ? after : kLevelSeconds);
    if (initials.empty())
        return;
    for (char c : initials)
        typeKey(game, std::tolower(static_cast<unsigned char>(c)));
    typeKey(game, kKeyReturn);
    advance(scene, after >= 0.0f ? after : kLevelSeconds);
}

// Seconds a ball waits on the paddle before the player of --play launches it, and the most the
// pointer aims off the ball's centre (so the returns fan out rather than go straight up).
constexpr float kPlayLaunchWait = 0.4f;
constexpr float kPlayAimOffset = 24.0f;
// A capsule is fetched when it reaches the paddle this much sooner than the ball does.
constexpr float kPlayCapsuleMargin = 0.1f;

void pointer(Game& game, const std::string& name, float x, float y, int32_t action, int32_t button) {
    const auto px = static_cast<uint32_t>(std::clamp(x, 0.0f, static_cast<float>(game.getWidth() - 1)));
    const auto py = static_cast<uint32_t>(std::clamp(y, 0.0f, static_cast<float>(game.getHeight() - 1)));
    game.dispatchEvent(new MouseEvent(name, px, py, false, false, action, button));
}

// Seconds until something at `y` moving down at `speed` (up: to the top of the area and back)
// reaches `line`.
float secondsTo(float line, float y, float speed, float top) {
    if (speed > 0.0f)
        return (line - y) / speed;
    return speed < 0.0f ? (y - top + line - top) / -speed : 1e9f;
}

// Plays `seconds` as a player with the pointer would: the paddle goes under the ball that reaches
// it first (a little off its centre, to aim), or under a capsule that comes sooner, and a ball
// that waits on it is launched with a click. Through the Game's input, as the frame loop hands it
// over; the paddle must follow the pointer ("mouse").
void play(Game& game, PellvaneGameScene& scene, float seconds) {
    PellvanePaddleEntity* paddle = scene.getPaddle();
    if (paddle == nullptr)
        return;
    const float line = paddle->getPosition().y;
    const float top = scene.getGameArea().y;
    float waited = 0.0f;
    float elapsed = 0.0f;
    for (; elapsed < seconds; elapsed += kStep) {
        float target = paddle->getCentre().x;
        float soonest = 1e9f;
        bool holding = false;
        for (PellvaneBallEntity* ball : scene.getBalls()) {
            holding = holding || ball->isHeld();
            if (ball->isHeld() || ball->isParked())
                continue;
            const float when = secondsTo(line, ball->getCentre().y, ball->getVelocity().y, top);
            if (when < soonest) {
                soonest = when;
                target = ball->getCentre().x + kPlayAimOffset * std::sin(elapsed * 1.7f);
            }
        }
        const float fall = scene.getMatch().getPowerUpSettings().fallSpeed;
        for (IEntity* entity : scene.getEntities()) {
            auto* capsule = dynamic_cast<PellvaneCapsuleEntity*>(entity);
            if (capsule == nullptr || !capsule->isActive())
                continue;
            const float when = secondsTo(line, capsule->getCentre().y, fall, top);
            if (when >= 0.0f && when + kPlayCapsuleMargin < soonest) {
                soonest = when;
                target = capsule->getCentre().x;
            }
        }
        pointer(game, MOUSE_MOVE_EVENT, target, line, MouseMoved, NoButton);
        waited = holding ? waited + kStep : 0.0f;
        if (waited >= kPlayLaunchWait && scene.getState() == Playing) {
            pointer(game, MOUSE_BUTTON_DOWN_EVENT, target, line, MouseButtonDown, LeftButton);
            pointer(game, MOUSE_BUTTON_UP_EVENT, target, line, MouseButtonUp, LeftButton);
            waited = 0.0f;
        }
        scene.update(kStep);
    }
}

// The frame as the frame loop draws it, read back top row first.
std::vector<unsigned char> drawAndRead(Game& game, IScene& scene) {
    const Colour& clear = game.clearColour;
    glClearColor(clear.red, clear.green, clear.blue, clear.alpha);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    scene.render();
    glFinish();
    const std::size_t row = std::size_t{game.getWidth()} * kChannels;
    std::vector<unsigned char> bottomUp(row * game.getHeight());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, static_cast<GLsizei>(game.getWidth()), static_cast<GLsizei>(game.getHeight()), GL_RGB,
                 GL_UNSIGNED_BYTE, bottomUp.data());
    // GL's rows start at the bottom of the window.
    std::vector<unsigned char> topDown(bottomUp.size());
    for (uint32_t y = 0; y < game.getHeight(); ++y)
        std::copy_n(bottomUp.data() + row * (game.getHeight() - 1 - y), row, topDown.data() + row * y);
    return topDown;
}
} // namespace

void prepareShot(Game& game) {
    // A picture shows the player's high scores, but a game it ends there is no game of theirs.
    game.leavePlayerFilesAlone();
    game.setCapsuleSeed(kShotSeed);
}

namespace {
// Runs the scene to the moment the options ask for: 0, or the exit status of a request the game
// cannot meet.
int stageShot(Game& game, IScene* scene, const ShotOptions& options) {
    if (options.replay != nullptr) {
        // The game starts at the scene's first step; the picture is taken that far into it.
        dynamic_cast<PellvaneGameScene&>(*scene).watch(*options.replay, PellvaneGameScene::Watching::Replay);
        advance(*scene, kStep + (options.replaySeconds >= 0.0f ? options.replaySeconds : kStartSeconds));
        return 0;
    }
    advance(*scene, options.startSeconds >= 0.0f ? options.startSeconds : kStartSeconds);
    const bool gameOver = options.gameOverScore >= 0;
    const bool playing = options.playSeconds >= 0.0f;
    if (options.level > 0 || gameOver || options.clear || playing) {
        auto* gameScene = dynamic_cast<PellvaneGameScene*>(scene);
        const char* option = options.level > 0 ? "--level"
                             : gameOver        ? "--game-over"
                             : options.clear   ? "--clear"
                                               : "--play";
        if (gameScene == nullptr) {
            std::fprintf(stderr, "%s: the scene that runs is not a pellvane_game scene\n", option);
            return 2;
        }
        if (options.level > gameScene->getLevelCount()) {
            std::fprintf(stderr, "--level %u: the game has %zu levels\n", options.level,
                         gameScene->getLevelCount());
            return 2;
        }
        gameScene->newGameAt(options.level > 0 ? options.level - 1 : 0);
        const bool last = !gameOver && !options.clear && !playing;
        advance(*scene, last && options.afterSeconds >= 0.0f ? options.afterSeconds : kLevelSeconds);
        if (playing) {
            play(game, *gameScene, options.playSeconds);
            advance(*scene, std::max(options.afterSeconds, 0.0f));
        }
        if (gameOver)
            endGame(game, *gameScene, static_cast<int>(options.gameOverScore), options.initials,
                    options.afterSeconds);
        if (options.clear) {
            // The ball is in flight when a level is cleared in play.
            typeKey(game, kKeySpace);
            advance(*scene, kStep);
            clearLevel(*scene);
            advance(*scene, options.afterSeconds >= 0.0f ? options.afterSeconds : kClearedSeconds);
        }
    }
    return 0;
}
} // namespace

int takeShot(Game& game, const ShotOptions& options) {
    IScene* scene = game.getCurrentScene();
    if (game.quitRequested || scene == nullptr)
        return 1;
    std::srand(kShotSeed);
    try {
        if (const int status = stageShot(game, scene, options); status != 0)
            return status;
        const std::vector<unsigned char> pixels = drawAndRead(game, *scene);
        if (!writeFile(options.file, encodePng(pixels.data(), game.getWidth(), game.getHeight(), kChannels))) {
            std::fprintf(stderr, "--shot: could not write %s\n", options.file.c_str());
            return 1;
        }
    } catch (const BaseException& error) {
        std::fprintf(stderr, "%s\n", error.message.c_str());
        return 1;
    }
    return 0;
}
