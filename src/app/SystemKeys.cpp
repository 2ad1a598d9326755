// SystemKeys: mute through the sound manager, full screen through SDL's in-place toggle.
#include "app/SystemKeys.h"

#include <SDL.h>
#include <cstdio>

#include "app/Game.h"
#include "game/PellvaneGameScene.h"
#include "sound/SoundManager.h"

bool toggleFullScreen() {
    SDL_Surface* screen = SDL_GetVideoSurface();
    if (screen != nullptr && SDL_WM_ToggleFullScreen(screen) != 0)
        return true;
    // Opening the window again in the other mode would make a new GL context, and every texture
    // would be lost with the old one: staying in the present mode is the safe answer.
    char driver[32] = "none";
    SDL_VideoDriverName(driver, sizeof driver);
    std::fprintf(stderr,
                 "pellvane: full screen is not available: the video driver \"%s\" cannot switch an open "
                 "OpenGL window in place\n",
                 driver);
    return false;
}

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
        toggleFullScreen();
        return true;
    }
    return false;
}
