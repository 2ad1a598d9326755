// SystemKeys: mute through the sound manager, full screen through the Game's screen mode.
#include "app/SystemKeys.h"

#include "app/Game.h"
#include "app/ScreenMode.h"
#include "game/PellvaneGameScene.h"
#include "sound/SoundManager.h"

SystemKeys::SystemKeys(Game& game) : game(game) {
    keys.add(&game, KEYBOARD_KEY_PRESSED_EVENT, this);
}

bool SystemKeys::handleEvent(IEvent* event) {
    auto* key = dynamic_cast<KeyboardEvent*>(event);
    if (key == nullptr)
        return false;
    // While initials are typed, M is a letter.
    const auto* scene = dynamic_cast<const PellvaneGameScene*>(game.getCurrentScene());
    if (key->key == kKeyMute && !(scene != nullptr && scene->isEnteringInitials())) {
        if (SoundManager* sounds = game.getSoundManager())
            sounds->setMuted(!sounds->isMuted());
        return true;
    }
    if (key->key == kKeyFullScreen) {
        if (ScreenMode* screen = game.getScreenMode())
            screen->toggle();
        return true;
    }
    return false;
}
