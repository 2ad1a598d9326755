// The game's entity type names: the XML element names the game scene's factory knows on top of
// the generic ones.
#pragma once

#include <string>

extern const std::string PADDLE_ENTITY_TYPE;            // "paddle"
extern const std::string BALL_ENTITY_TYPE;              // "ball"
extern const std::string BLOCK_ENTITY_TYPE;             // "block"
extern const std::string NEW_GAME_BUTTON_ENTITY_TYPE;   // "new_game_button"
extern const std::string SCORE_COUNTER_ENTITY_TYPE;     // "score_counter"
extern const std::string LEVEL_COUNTER_ENTITY_TYPE;     // "level_counter"
extern const std::string LIVES_COUNTER_ENTITY_TYPE;     // "lives_counter"
extern const std::string BACKGROUND_EFFECT_ENTITY_TYPE; // "background_effect"
extern const std::string BEST_COUNTER_ENTITY_TYPE;      // "best_counter"
extern const std::string FIGURE_COUNTER_ENTITY_TYPE;    // "figure_counter"
extern const std::string EVENT_SOUND_ENTITY_TYPE;       // "event_sound"
extern const std::string POWER_UP_TIMERS_ENTITY_TYPE;   // "power_up_timers"
extern const std::string CONTINUE_BUTTON_ENTITY_TYPE;   // "continue_button"
extern const std::string HIGH_SCORE_TABLE_ENTITY_TYPE;  // "high_score_table"
extern const std::string INITIALS_ENTRY_ENTITY_TYPE;    // "initials_entry"
extern const std::string CONTINUE_COUNTER_ENTITY_TYPE;  // "continue_counter"
extern const std::string MUTE_SIGN_ENTITY_TYPE;         // "mute_sign"
extern const std::string HIT_FLASH_ENTITY_TYPE;         // "hit_flash"
