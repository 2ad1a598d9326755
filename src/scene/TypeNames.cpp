// Definitions of the entity and scene type names.
#include "scene/TypeNames.h"

const std::string SPRITE_ENTITY_TYPE = "sprite_entity";
const std::string BOX_ENTITY_TYPE = "box";
const std::string FADE_ENTITY_TYPE = "fade";
const std::string GROUP_ENTITY_TYPE = "group";
const std::string COUNTER_ENTITY_TYPE = "counter";
const std::string GRADIENT_ENTITY_TYPE = "gradient";
const std::string TEXT_ENTITY_TYPE = "text";

const std::string BASE_SCENE_TYPE = "base_scene";
const std::string PELLVANE_GAME_TYPE = "pellvane_game";
