// PellvanePowerUpTimersEntity: a row per timed power-up in force, picture and shrinking bar.
#include "game/PellvanePowerUpTimersEntity.h"

#include <tinyxml.h>

#include "base/SettingReader.h"
#include "game/PellvaneGameScene.h"
#include "graphics/Sprite.h"

namespace {
const char* const kSource = "PellvanePowerUpTimersEntity";
constexpr PowerUp kTimed[] = {PowerUp::Wide, PowerUp::Narrow, PowerUp::Slow, PowerUp::Sticky};
} // namespace

void PellvanePowerUpTimersEntity::load(const TiXmlHandle& handle, IScene* owner) {
    SpriteEntity::load(handle, owner);
    gameSceneOf(owner, kSource); // throws unless in a game scene, whose power-ups it shows
    SettingReader<EntityException>(handle.ToElement(), kSource, loadObserverOf(owner))(timersettings::kRow, rowHeight)(
        timersettings::kBarGap, barGap);
}

void PellvanePowerUpTimersEntity::render(SpriteBatch* batch) {
    if (sprite == nullptr || sprite->getFrameCount() == 0 || !(colour.alpha > 0.0f))
        return;
    const PowerUps& powerUps = gameSceneOf(scene, kSource)->getPowerUps();
    const float barHeight = height;
    float top = position.y;
    for (PowerUp kind : kTimed) {
        if (!powerUps.isActive(kind))
            continue;
        const PowerUpLook& look = powerUps.look(kind);
        float iconWidth = 0.0f;
        float iconHeight = barHeight;
        if (look.sprite != nullptr && look.sprite->getFrameCount() > 0) {
            iconWidth = static_cast<float>(look.sprite->getFrame(0).getWidth());
            iconHeight = static_cast<float>(look.sprite->getFrame(0).getHeight());
            look.sprite->renderFrame(batch, Matrix3::translation(position.x, top), Colour{}, 0, false, false);
        }
        const float duration = powerUps.getDuration(kind);
        const float share = duration > 0.0f ? powerUps.getRemaining(kind) / duration : 0.0f;
        const float length = width * (share < 1.0f ? share : 1.0f);
        if (length > 0.0f)
            sprite->render(batch, Matrix3::translation(position.x + iconWidth + barGap, top + (iconHeight - barHeight) * 0.5f),
                           length, barHeight, colour, 0, false, false);
        top += rowHeight;
    }
}
