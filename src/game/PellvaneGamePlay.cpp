// PellvaneGameScene's answers to its field and its player: points, capsules and volleys as the
// match allows them, the last ball lost, the pause, and the keys and clicks the scene takes itself.
#include <algorithm>
#include <iterator>

#include "game/GameEvents.h"
#include "game/PellvaneCapsuleEntity.h"
#include "game/PellvaneGameScene.h"
#include "game/PellvanePaddleEntity.h"
#include "game/PellvaneShotEntity.h"
#include "graphics/Sprite.h"

namespace {
// The paddle's guns sit this share of its width in from each end (the middle of the gun picture's
// end caps), at its top.
constexpr float kGunInset = 1.0f / 16.0f;

// SDL 1.2 key symbols that say "go on", as a click does.
constexpr int32_t kKeyGoOn[] = {32, 13}; // Space, Enter

// A click of either button, Space or Enter let go, or the gamepad's launch button let go.
bool asksToGoOn(const IEvent& event, const GamepadSettings& pad) {
    if (const JoystickEvent* joystick = gamepad::event(event, pad))
        return gamepad::button(*joystick, pad) == gamepad::Button::Launch && !gamepad::isButtonDown(*joystick);
    if (const auto* mouse = dynamic_cast<const MouseEvent*>(&event))
        return event.getName() == MOUSE_BUTTON_UP_EVENT &&
               (mouse->button == LeftButton || mouse->button == RightButton);
    if (const auto* key = dynamic_cast<const KeyboardEvent*>(&event))
        return !key->pressed && std::find(std::begin(kKeyGoOn), std::end(kKeyGoOn), key->key) != std::end(kKeyGoOn);
    return false;
}
} // namespace

void PellvaneGameScene::addScore(int points) {
    match.addScore(points);
    playEvents();
}

void PellvaneGameScene::blockBroken(const BrokenBlock& block) {
    match.blockBroken(block.points);
    playEvents();
    const std::optional<PowerUp> kind = match.drawCapsule(block.capsule);
    if (kind && match.isInPlay())
        spawnCapsule(block, *kind);
}

void PellvaneGameScene::spawnCapsule(const BrokenBlock& block, PowerUp kind) {
    const PowerUpLook& look = getPowerUpLook(kind);
    if (look.sprite == nullptr || look.sprite->getFrameCount() == 0)
        return;
    SpriteProperties properties;
    properties.sprite = look.sprite;
    properties.width = static_cast<float>(look.sprite->getFrame(0).getWidth());
    properties.height = static_cast<float>(look.sprite->getFrame(0).getHeight());
    properties.position = block.centre - Vector2{properties.width * 0.5f, properties.height * 0.5f};
    properties.layer = block.layer + 2;
    addEntity(std::make_unique<PellvaneCapsuleEntity>(properties, kind, powerUpSettings.fallSpeed));
}

void PellvaneGameScene::capsuleCaught(PowerUp kind) {
    match.capsuleCaught(kind);
    playEvents();
}

void PellvaneGameScene::fireGuns() {
    match.fireGuns();
    playEvents();
}

void PellvaneGameScene::spawnVolley(PowerUp kind) {
    Sprite* shot = getPowerUpLook(kind).shot;
    const std::optional<Rect> bounds = getPaddleBounds();
    if (shot == nullptr || shot->getFrameCount() == 0 || !bounds)
        return;
    SpriteProperties properties;
    properties.sprite = shot;
    properties.width = static_cast<float>(shot->getFrame(0).getWidth());
    properties.height = static_cast<float>(shot->getFrame(0).getHeight());
    properties.layer = paddle->getLayer();
    for (const float gun : {kGunInset, 1.0f - kGunInset}) {
        properties.position = {bounds->x + bounds->width * gun - properties.width * 0.5f,
                               bounds->y - properties.height};
        addEntity(std::make_unique<PellvaneShotEntity>(properties, powerUpSettings.shotSpeed));
    }
}

void PellvaneGameScene::ballLost() {
    match.lastBallLost();
    playEvents();
}

void PellvaneGameScene::pause() {
    if (!match.isInPlay() || !gamePause.pause())
        return;
    quietenMusic(true);
    showCursor(true);
    raise(PELLVANE_GAME_PAUSED);
}

void PellvaneGameScene::resume() {
    if (!gamePause.resume())
        return;
    quietenMusic(false);
    showCursor(!match.isInPlay());
    raise(PELLVANE_GAME_RESUMED);
}

void PellvaneGameScene::handleInput(const IEvent& event) {
    if (highScores.handleInput(event) || watchBestGame(event))
        return;
    switch (gamePause.request(event, settings.gamepad)) {
    case GamePause::Request::Pause:
        pause();
        break;
    case GamePause::Request::Resume:
        resume();
        break;
    case GamePause::Request::None:
        // The end of a lap that waits for the player goes on at a click or a key.
        if (!gamePause.isPaused() && match.getState() == AllCleared && asksToGoOn(event, settings.gamepad)) {
            match.proceed();
            playEvents();
        }
        break;
    }
}
