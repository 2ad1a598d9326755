// The game's event names: raised by the game scene on its own dispatcher, heard by the game's
// entities and by scene data (fades and groups that name them).
#pragma once

#include <string>

extern const std::string PELLVANE_INITIATED;         // end of the scene's loading, level 0 in place
extern const std::string PELLVANE_GAME_STARTED;      // newGame reset lives, score and level count
extern const std::string PELLVANE_BALL_LOST;         // a ball was lost and a life was left
extern const std::string PELLVANE_NEW_LEVEL_LOADED;  // a level has just been brought into play
extern const std::string PELLVANE_NEW_LEVEL_STARTED; // the loading delay has passed; play begins
extern const std::string PELLVANE_GAME_OVER;         // a ball was lost with no life in reserve
extern const std::string PELLVANE_GAME_PAUSED;       // the game in play was paused
extern const std::string PELLVANE_GAME_RESUMED;      // the paused game goes on
