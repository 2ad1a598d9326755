// The texts of the start-up errors that are no exception's message: the Game prints them, and the
// data checker reports the same texts at the place in config.xml that causes them.
#pragma once

namespace startup {
constexpr const char* kConfigFailedToLoad = "Failed to load config file.";
constexpr const char* kNoConfigElement = "No config element found in config file.";
constexpr const char* kNoSprites = "No sprites or spriteset file defined";
constexpr const char* kNoSoundSet = "No sound set defined!";
constexpr const char* kNoScenes = "No scenes defined";
constexpr const char* kNoValidScenes = "No valid scenes created!";
} // namespace startup
