// Entity type names and scene type names: the XML element names that factories compare
// against, defined once for the whole system.
#pragma once

#include <string>

// Generic entity types, known to every scene.
extern const std::string SPRITE_ENTITY_TYPE;  // "sprite_entity"
extern const std::string BOX_ENTITY_TYPE;     // "box"
extern const std::string FADE_ENTITY_TYPE;    // "fade"
extern const std::string GROUP_ENTITY_TYPE;   // "group"
extern const std::string COUNTER_ENTITY_TYPE; // "counter"
extern const std::string GRADIENT_ENTITY_TYPE; // "gradient"
extern const std::string TEXT_ENTITY_TYPE;     // "text"

// Scene types, known to the Game.
extern const std::string BASE_SCENE_TYPE;    // "base_scene"
extern const std::string PELLVANE_GAME_TYPE; // "pellvane_game"
