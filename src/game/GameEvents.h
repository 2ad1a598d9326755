// The game's event names: raised by the game scene on its own dispatcher, heard by the game's
// entities and by scene data (fades and groups that name them).
#pragma once

#include <string>
#include <vector>

#include <optional>

#include "collision/Vector2.h"
#include "events/Events.h"

// An event of the game, raised by the game scene on its own dispatcher. One that happened at a
// place (a bounce: where the ball met what it bounced off) carries it, in window pixels.
class PellvaneEvent : public Event {
public:
    using Event::Event;
    PellvaneEvent(const std::string& name, const Vector2& at) : Event(name), where(at) {}
    std::optional<Vector2> where;
};

extern const std::string PELLVANE_INITIATED;         // end of the scene's loading, level 0 in place
extern const std::string PELLVANE_GAME_STARTED;      // newGame reset lives, score and level count
extern const std::string PELLVANE_BALL_LOST;         // a ball was lost and a life was left
extern const std::string PELLVANE_NEW_LEVEL_LOADED;  // a level has just been brought into play
extern const std::string PELLVANE_NEW_LEVEL_STARTED; // the loading delay has passed; play begins
extern const std::string PELLVANE_GAME_OVER;         // a ball was lost with no life in reserve
extern const std::string PELLVANE_GAME_PAUSED;       // the game in play was paused
extern const std::string PELLVANE_GAME_RESUMED;      // the paused game goes on
// Raised only where the data asks for the behaviour they mark (docs/data-format.md):
extern const std::string PELLVANE_LEVEL_CLEARED;   // the last block broke; the next level follows after "cleared_delay"
extern const std::string PELLVANE_BALL_SERVED;     // "lost_delay" after a lost ball: the paddle takes the next one
extern const std::string PELLVANE_BALL_READY;      // the ball waits on the paddle in play, to be launched
extern const std::string PELLVANE_BALL_LAUNCHED;   // the paddle let the ball go
extern const std::string PELLVANE_BALL_CAUGHT;     // the paddle caught the free ball
extern const std::string PELLVANE_PADDLE_BOUNCE;   // the ball bounced off the paddle (carries where they met)
extern const std::string PELLVANE_WALL_BOUNCE;     // the ball bounced off neither paddle nor block (carries where)
extern const std::string PELLVANE_POWER_UP_CAUGHT; // the paddle caught a falling capsule
extern const std::string PELLVANE_ALL_CLEARED;     // the last level is cleared; the next lap follows after "all_cleared_delay"
extern const std::string PELLVANE_LIFE_EARNED;     // the score reached another "extra_life_every": one more ball
extern const std::string PELLVANE_NEW_BEST;        // the score passed the kept best for the first time in this game
extern const std::string PELLVANE_LAP_STARTED;     // the first level came back after the last, for another lap
extern const std::string PELLVANE_LASER_FIRED;     // the paddle's guns fired a volley
extern const std::string PELLVANE_WATCH_OFFERED;   // the player's best game is kept and can be watched (W)
extern const std::string PELLVANE_REPLAY_STARTED;  // a recorded game is played back (--replay, or W on the title)
extern const std::string PELLVANE_DEMO_STARTED;    // the title's demo is played back
extern const std::string PELLVANE_EXTRA_BALL_LOST; // one of several balls in play left the field: it costs nothing
extern const std::string PELLVANE_CAPSULE_MISSED;  // a falling capsule left the field below the paddle
extern const std::string PELLVANE_POWER_UP_ENDED;  // a timed power-up ran out by itself (not when all end together)
// Raised only in a scene with "high_scores" (HighScoreKeeper.h):
extern const std::string PELLVANE_TITLE_LOGO;      // the title's turn of the logo begins
extern const std::string PELLVANE_TITLE_TABLE;     // the title's turn of the high-score table begins
extern const std::string PELLVANE_TITLE_TURN_OVER; // the title's turn shown ends (before the next, or as a game starts)
extern const std::string PELLVANE_HIGH_SCORE;      // the game that ended takes a place: the initials entry begins
extern const std::string PELLVANE_INITIALS_EDITED; // a letter of the entry changed, or the current one moved
extern const std::string PELLVANE_INITIALS_ENTERED; // the entry is confirmed and in the table
extern const std::string PELLVANE_SCORES_SHOWN;     // after a game: the table shows (after the entry, if any)
extern const std::string PELLVANE_CONTINUE_OFFERED; // CONTINUE would start beyond the first level

// Every name above, in the order of their definitions, for the registry of the names data may give
// a scene's events (registerGameTypes).
const std::vector<std::string>& gameEventNames();
