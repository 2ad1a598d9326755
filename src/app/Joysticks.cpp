// Joysticks: SDL's joystick subsystem with every joystick of the start opened.
#include "app/Joysticks.h"

Joysticks::Joysticks() {
    started = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    if (!started)
        return;
    SDL_JoystickEventState(SDL_ENABLE);
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
        if (SDL_Joystick* joystick = SDL_JoystickOpen(i))
            opened.push_back(joystick);
}

Joysticks::~Joysticks() {
    for (SDL_Joystick* joystick : opened)
        SDL_JoystickClose(joystick);
    if (started)
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}
