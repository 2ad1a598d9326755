// The game's counters: where each one takes its number from.
#include "game/PellvaneCounterEntities.h"

#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/SettingReader.h"
#include "game/PlayField.h"
#include "graphics/Matrix3.h"
#include "graphics/Sprite.h"
#include "graphics/SpriteManager.h"
#include "scene/BaseScene.h"

namespace {
const char* const kFigureSource = "PellvaneFigureCounterEntity";

// The figures a "figure_counter" can show, by the name data gives them.
struct Figure {
    const char* name;
    int32_t (*read)(const Match&);
};
const Figure kFigures[] = {
    {"score", [](const Match& m) { return m.getScore(); }},
    {"lives", [](const Match& m) { return m.getLives(); }},
    {"best", [](const Match& m) { return m.getBestScore(); }},
    {"level", [](const Match& m) { return m.getLevelNumber(); }},
    {"lap", [](const Match& m) { return m.getLap() + 1; }},
    {"multiplier", [](const Match& m) { return m.getMultiplier(); }},
    {"chain", [](const Match& m) { return m.getChain(); }},
    {"bonus", [](const Match& m) { return m.getBonus(); }},
    {"lap_minutes", [](const Match& m) { return static_cast<int32_t>(m.getLapFigures().seconds) / 60; }},
    {"lap_seconds", [](const Match& m) { return static_cast<int32_t>(m.getLapFigures().seconds) % 60; }},
    {"lap_blocks", [](const Match& m) { return m.getLapFigures().blocks; }},
    {"lap_best_chain", [](const Match& m) { return m.getLapFigures().bestChain; }},
    {"lap_balls_lost", [](const Match& m) { return m.getLapFigures().ballsLost; }},
};

std::string figureNames() {
    std::string names;
    for (const Figure& figure : kFigures)
        names += std::string(names.empty() ? "" : ", ") + figure.name;
    return names;
}
} // namespace

void PellvaneCounterEntity::load(const TiXmlHandle& handle, IScene* owner) {
    NumberCounterEntity::load(handle, owner);
    playFieldOf(owner, source);
}

void PellvaneCounterEntity::update(float dt) {
    target = readSource(playFieldOf(scene, source).getMatch());
    NumberCounterEntity::update(dt);
}

int32_t PellvaneLevelCounterEntity::readSource(const Match& match) const {
    return match.getLevelsCompleted() + 1;
}

int32_t PellvaneLivesCounterEntity::readSource(const Match& match) const {
    return match.getLives();
}

int32_t PellvaneScoreCounterEntity::readSource(const Match& match) const {
    return match.getScore();
}

int32_t PellvaneBestCounterEntity::readSource(const Match& match) const {
    return match.getBestScore();
}

void PellvaneFigureCounterEntity::load(const TiXmlHandle& handle, IScene* owner) {
    PellvaneCounterEntity::load(handle, owner);
    using namespace figuresettings;
    std::string name;
    std::string labelId;
    SettingReader<EntityException>(handle.ToElement(), kFigureSource, loadObserverOf(owner))(kFigure, name)(
        kHideBelow, hideBelow)(kLabel, labelId)(kLabelGap, labelGap);
    figure = nullptr;
    for (const Figure& known : kFigures)
        if (name == known.name)
            figure = known.read;
    if (figure == nullptr)
        throw EntityException(kFigureSource, "Unknown figure \"" + name + "\" (" + figureNames() + ")!");
    label = optionalSprite(owner, labelId, kFigureSource);
}

int32_t PellvaneFigureCounterEntity::readSource(const Match& match) const {
    return figure != nullptr ? figure(match) : 0;
}

void PellvaneFigureCounterEntity::update(float dt) {
    PellvaneCounterEntity::update(dt);
    visible = initialVisible && target >= hideBelow;
}

void PellvaneFigureCounterEntity::render(SpriteBatch* batch) {
    if (label == nullptr || label->getFrameCount() == 0) {
        PellvaneCounterEntity::render(batch);
        return;
    }
    // A label shorter than the digits (a word of the HUD's small lettering) sits centred on them.
    float lift = 0.0f;
    if (digits[0] != nullptr && digits[0]->getFrameCount() > 0)
        lift = (static_cast<float>(digits[0]->getFrame(0).getHeight()) -
                static_cast<float>(label->getFrame(0).getHeight())) *
               scale.y / 2.0f;
    label->renderFrame(batch, Matrix3::translation(position.x, position.y + lift) * Matrix3::scaling(scale.x, scale.y),
                       colour, 0, false, false);
    // The digits follow the label.
    const Vector2 start = position;
    position.x += static_cast<float>(label->getFrame(0).getWidth()) * scale.x + labelGap;
    PellvaneCounterEntity::render(batch);
    position = start;
}
