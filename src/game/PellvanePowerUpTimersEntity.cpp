// PellvanePowerUpTimersEntity: a row per timed power-up in force, picture and shrinking bar.
#include "game/PellvanePowerUpTimersEntity.h"

#include <tinyxml.h>

#include "base/SettingReader.h"
#include "game/PlayField.h"
#include "scene/BaseScene.h"
#include "graphics/Sprite.h"

namespace {
const char* const kSource = "PellvanePowerUpTimersEntity";
} // namespace

void PellvanePowerUpTimersEntity::load(const TiXmlHandle& handle, IScene* owner) {
    SpriteEntity::load(handle, owner);
    playFieldOf(owner, kSource); // throws unless in a game, whose power-ups it shows
    SettingReader<EntityException>(handle.ToElement(), kSource, loadObserverOf(owner))(timersettings::kRow, rowHeight)(
        timersettings::kBarGap, barGap)(timersettings::kColumn, columnWidth);
}

void PellvanePowerUpTimersEntity::render(SpriteBatch* batch) {
    if (sprite == nullptr || sprite->getFrameCount() == 0 || !(colour.alpha > 0.0f))
        return;
    const IPlayField& field = playFieldOf(scene, kSource);
    const PowerUpTimers& timers = field.getMatch().getPowerUps();
    const PowerUpSettings& settings = field.getMatch().getPowerUpSettings();
    const float barHeight = height;
    float left = position.x;
    float top = position.y;
    for (const PowerUp kind : timedKindsInRowOrder()) {
        if (!timers.isActive(kind))
            continue;
        const PowerUpLook& look = field.getPowerUpLook(kind);
        float iconWidth = 0.0f;
        float iconHeight = barHeight;
        if (look.sprite != nullptr && look.sprite->getFrameCount() > 0) {
            iconWidth = static_cast<float>(look.sprite->getFrame(0).getWidth());
            iconHeight = static_cast<float>(look.sprite->getFrame(0).getHeight());
            look.sprite->renderFrame(batch, Matrix3::translation(left, top), Colour{}, 0, false, false);
        }
        const float duration = settings.durationOf(kind);
        const float share = duration > 0.0f ? timers.getRemaining(kind) / duration : 0.0f;
        const float length = width * (share < 1.0f ? share : 1.0f);
        if (length > 0.0f)
            sprite->render(batch, Matrix3::translation(left + iconWidth + barGap, top + (iconHeight - barHeight) * 0.5f),
                           length, barHeight, colour, 0, false, false);
        if (columnWidth > 0.0f)
            left += columnWidth;
        else
            top += rowHeight;
    }
}
