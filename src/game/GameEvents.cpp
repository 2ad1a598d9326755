// Definitions of the game's event names.
#include "game/GameEvents.h"

const std::string PELLVANE_INITIATED = "PELLVANE_INITIATED";
const std::string PELLVANE_GAME_STARTED = "PELLVANE_GAME_STARTED";
const std::string PELLVANE_BALL_LOST = "PELLVANE_BALL_LOST";
const std::string PELLVANE_NEW_LEVEL_LOADED = "PELLVANE_NEW_LEVEL_LOADED";
const std::string PELLVANE_NEW_LEVEL_STARTED = "PELLVANE_NEW_LEVEL_STARTED";
const std::string PELLVANE_GAME_OVER = "PELLVANE_GAME_OVER";
const std::string PELLVANE_GAME_PAUSED = "PELLVANE_GAME_PAUSED";
const std::string PELLVANE_GAME_RESUMED = "PELLVANE_GAME_RESUMED";
