// Reading "power_ups": the numbers and kinds the rules use (PowerUpSettings) and how each kind's
// capsule looks and sounds. The kinds themselves are the rules' table (rules/PowerUpKinds.h).
#pragma once

#include <array>
#include <string>

#include "rules/PowerUps.h"

class TiXmlElement;
class Sprite;
class SpriteManager;
class SoundManager;
class LoadDiagnostics;

// The look of a power-up's capsule: its picture (owned by the sprite manager) and the effect its
// catch plays (empty: silent); for a kind that arms guns, also the picture of their shots.
struct PowerUpLook {
    Sprite* sprite = nullptr;
    std::string sound;
    Sprite* shot = nullptr;
};
using PowerUpLooks = std::array<PowerUpLook, kPowerUpCount>;

// The duration of a timed kind whose "power_up" names none.
constexpr float kDefaultPowerUpDuration = 10.0f;

// Reads "power_ups" (absent: no kind is defined and nothing ever falls) into `settings` and
// `looks`. Throws SceneException with `source` for a setting out of its range (the message names
// it and the range), an unknown kind, a sprite the sprite set lacks, a kind that arms guns without
// a "shot_sprite" or a sound the sound set lacks; with `diagnostics`, reports each such
// "power_up" there and goes on without it.
void readPowerUps(const TiXmlElement* element, PowerUpSettings& settings, PowerUpLooks& looks, SpriteManager* sprites,
                  SoundManager* sounds, const char* source, LoadDiagnostics* diagnostics = nullptr);
