// Definitions of the game's entity type names.
#include "game/GameTypeNames.h"

const std::string PADDLE_ENTITY_TYPE = "paddle";
const std::string BALL_ENTITY_TYPE = "ball";
const std::string BLOCK_ENTITY_TYPE = "block";
const std::string NEW_GAME_BUTTON_ENTITY_TYPE = "new_game_button";
const std::string SCORE_COUNTER_ENTITY_TYPE = "score_counter";
const std::string LEVEL_COUNTER_ENTITY_TYPE = "level_counter";
const std::string LIVES_COUNTER_ENTITY_TYPE = "lives_counter";
const std::string BACKGROUND_EFFECT_ENTITY_TYPE = "background_effect";
const std::string BEST_COUNTER_ENTITY_TYPE = "best_counter";
const std::string FIGURE_COUNTER_ENTITY_TYPE = "figure_counter";
const std::string EVENT_SOUND_ENTITY_TYPE = "event_sound";
const std::string POWER_UP_TIMERS_ENTITY_TYPE = "power_up_timers";
const std::string CONTINUE_BUTTON_ENTITY_TYPE = "continue_button";
const std::string HIGH_SCORE_TABLE_ENTITY_TYPE = "high_score_table";
const std::string INITIALS_ENTRY_ENTITY_TYPE = "initials_entry";
const std::string CONTINUE_COUNTER_ENTITY_TYPE = "continue_counter";
const std::string MUTE_SIGN_ENTITY_TYPE = "mute_sign";
const std::string HIT_FLASH_ENTITY_TYPE = "hit_flash";
