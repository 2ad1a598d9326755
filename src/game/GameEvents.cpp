// Definitions of the game's event names. Each definition lists its name too, for the registry (a
// new event is one line here, and its declaration in the header).
#include "game/GameEvents.h"

namespace {
EventNameList gameEvents;
}

const std::string PELLVANE_INITIATED = gameEvents.add("PELLVANE_INITIATED");
const std::string PELLVANE_GAME_STARTED = gameEvents.add("PELLVANE_GAME_STARTED");
const std::string PELLVANE_BALL_LOST = gameEvents.add("PELLVANE_BALL_LOST");
const std::string PELLVANE_NEW_LEVEL_LOADED = gameEvents.add("PELLVANE_NEW_LEVEL_LOADED");
const std::string PELLVANE_NEW_LEVEL_STARTED = gameEvents.add("PELLVANE_NEW_LEVEL_STARTED");
const std::string PELLVANE_GAME_OVER = gameEvents.add("PELLVANE_GAME_OVER");
const std::string PELLVANE_GAME_PAUSED = gameEvents.add("PELLVANE_GAME_PAUSED");
const std::string PELLVANE_GAME_RESUMED = gameEvents.add("PELLVANE_GAME_RESUMED");
const std::string PELLVANE_LEVEL_CLEARED = gameEvents.add("PELLVANE_LEVEL_CLEARED");
const std::string PELLVANE_BALL_SERVED = gameEvents.add("PELLVANE_BALL_SERVED");
const std::string PELLVANE_BALL_READY = gameEvents.add("PELLVANE_BALL_READY");
const std::string PELLVANE_BALL_LAUNCHED = gameEvents.add("PELLVANE_BALL_LAUNCHED");
const std::string PELLVANE_BALL_CAUGHT = gameEvents.add("PELLVANE_BALL_CAUGHT");
const std::string PELLVANE_PADDLE_BOUNCE = gameEvents.add("PELLVANE_PADDLE_BOUNCE");
const std::string PELLVANE_WALL_BOUNCE = gameEvents.add("PELLVANE_WALL_BOUNCE");
const std::string PELLVANE_POWER_UP_CAUGHT = gameEvents.add("PELLVANE_POWER_UP_CAUGHT");
const std::string PELLVANE_ALL_CLEARED = gameEvents.add("PELLVANE_ALL_CLEARED");
const std::string PELLVANE_LIFE_EARNED = gameEvents.add("PELLVANE_LIFE_EARNED");
const std::string PELLVANE_NEW_BEST = gameEvents.add("PELLVANE_NEW_BEST");
const std::string PELLVANE_LAP_STARTED = gameEvents.add("PELLVANE_LAP_STARTED");
const std::string PELLVANE_LASER_FIRED = gameEvents.add("PELLVANE_LASER_FIRED");
const std::string PELLVANE_WATCH_OFFERED = gameEvents.add("PELLVANE_WATCH_OFFERED");
const std::string PELLVANE_REPLAY_STARTED = gameEvents.add("PELLVANE_REPLAY_STARTED");
const std::string PELLVANE_DEMO_STARTED = gameEvents.add("PELLVANE_DEMO_STARTED");
const std::string PELLVANE_EXTRA_BALL_LOST = gameEvents.add("PELLVANE_EXTRA_BALL_LOST");
const std::string PELLVANE_CAPSULE_MISSED = gameEvents.add("PELLVANE_CAPSULE_MISSED");
const std::string PELLVANE_POWER_UP_ENDED = gameEvents.add("PELLVANE_POWER_UP_ENDED");
const std::string PELLVANE_TITLE_LOGO = gameEvents.add("PELLVANE_TITLE_LOGO");
const std::string PELLVANE_TITLE_TABLE = gameEvents.add("PELLVANE_TITLE_TABLE");
const std::string PELLVANE_TITLE_TURN_OVER = gameEvents.add("PELLVANE_TITLE_TURN_OVER");
const std::string PELLVANE_HIGH_SCORE = gameEvents.add("PELLVANE_HIGH_SCORE");
const std::string PELLVANE_INITIALS_EDITED = gameEvents.add("PELLVANE_INITIALS_EDITED");
const std::string PELLVANE_INITIALS_ENTERED = gameEvents.add("PELLVANE_INITIALS_ENTERED");
const std::string PELLVANE_SCORES_SHOWN = gameEvents.add("PELLVANE_SCORES_SHOWN");
const std::string PELLVANE_CONTINUE_OFFERED = gameEvents.add("PELLVANE_CONTINUE_OFFERED");

const std::vector<std::string>& gameEventNames() {
    return gameEvents.all();
}
