// The checks that need the loaded game scene rather than its text: blocks outside the game area,
// on top of one another or too near the paddle, levels that can never be cleared, a paddle that
// cannot cover the area, a ball that starts beyond its speed limits, and the hit sounds the blocks
// will play.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "check/Findings.h"

class IEntity;
class PellvaneGameScene;

// Where each loaded entity came from, and the element name it was made for.
struct EntityOrigin {
    Location where;
    std::string type;
};
using EntityOrigins = std::map<const IEntity*, EntityOrigin>;

// One level of the scene, in the order of its "level" elements.
struct LevelFile {
    std::string path;
    Location root;       // its "level" element
    bool loaded = false; // false when the file itself failed: nothing of it is checked
};

// Adds the findings of the game scene to `findings`. `soundsNeeded` receives every effect id a
// block hit will play, with the first block that plays it.
void checkGameScene(PellvaneGameScene& scene, const std::vector<LevelFile>& levels, const EntityOrigins& origins,
                    Findings& findings, std::map<std::string, Location>& soundsNeeded);
