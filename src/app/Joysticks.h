// The gamepads and joysticks plugged in when the game starts, opened for the run: SDL 1.2 reports
// the events of opened joysticks only. One plugged in later is not seen until the next start.
#pragma once

#include <SDL.h>
#include <vector>

// SDL's video must be started; the object must go before SDL_Quit.
class Joysticks {
public:
    // Starts SDL's joystick subsystem and opens every joystick present. Without one, or where the
    // subsystem cannot start, there is nothing to open and nothing is said.
    Joysticks();
    ~Joysticks();
    Joysticks(const Joysticks&) = delete;
    Joysticks& operator=(const Joysticks&) = delete;

private:
    bool started = false;
    std::vector<SDL_Joystick*> opened;
};
