// "power_up_timers": the heads-up display of the timed power-ups in force. One row each (or, with
// "column", one beside the other), in the order of their kinds: the capsule's picture, then a bar
// (this entity's sprite, tint and height) whose length runs down from "width" to nothing as the
// effect's time runs out.
#pragma once

#include "base/Setting.h"
#include "scene/SpriteEntity.h"

// Attributes of a "power_up_timers" element beside a sprite entity's.
namespace timersettings {
inline constexpr Setting kRow{"row", ValueKind::Float, "20", "pixels from the top of one row to the next", 0, 1000};
inline constexpr Setting kBarGap{"bar_gap", ValueKind::Float, "6", "pixels from the capsule to its bar", 0, 1000};
inline constexpr Setting kColumn{"column", ValueKind::Float, "0",
                                 "above 0, pixels from one timer's left to the next's: side by side, not in rows", 0,
                                 10000};
} // namespace timersettings

// The capsule sprites must lie on the bar sprite's texture: the scene picks the batch by it.
class PellvanePowerUpTimersEntity : public SpriteEntity {
public:
    void load(const TiXmlHandle& handle, IScene* scene) override;
    void render(SpriteBatch* batch) override;

private:
    // Pixels from the top of one row to the top of the next, and from the picture to the bar.
    float rowHeight = 20.0f;
    float barGap = 6.0f;
    // Above 0: the timers stand in one row, this far apart.
    float columnWidth = 0.0f;
};
