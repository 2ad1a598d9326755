// The "mute_sign" entity: a sprite entity drawn only while all sound is off (M), so a player who
// hears nothing can see why. It reads the sound manager's state when the scene draws, so it shows
// on every screen, paused or not, from the frame the sound goes off.
#pragma once

#include "scene/SpriteEntity.h"

// Lives in a game scene, whose sound manager (possibly none: then it never shows) outlives it.
class MuteSignEntity : public SpriteEntity {
public:
    void load(const TiXmlHandle& handle, IScene* scene) override;
    // Its own "visible" and the sound muted.
    bool isVisible() override;
};
