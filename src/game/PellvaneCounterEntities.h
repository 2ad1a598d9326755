// The game's heads-up counters: number counters that copy the level, the lives, the score or the
// best score of their game into their target every frame and count towards it.
#pragma once

#include "base/Setting.h"
#include "scene/NumberCounterEntity.h"

class Match;

// Shared by the three counters: checks at load that the counter sits in a game scene, and
// sets the target from that scene before each count step.
class PellvaneCounterEntity : public NumberCounterEntity {
public:
    // NumberCounterEntity's load; then an EntityException with `source` unless the scene is a
    // game scene, so a misplaced counter is reported at start-up rather than silently stuck.
    void load(const TiXmlHandle& handle, IScene* scene) override;
    void update(float dt) override;

protected:
    explicit PellvaneCounterEntity(const char* source) : source(source) {}
    // The number this counter shows, read from its game scene.
    virtual int32_t readSource(const Match& match) const = 0;

private:
    const char* source;
};

// "level_counter": the number of the level being played (levels completed + 1).
class PellvaneLevelCounterEntity : public PellvaneCounterEntity {
public:
    PellvaneLevelCounterEntity() : PellvaneCounterEntity("PellvaneLevelCounterEntity") {}

protected:
    int32_t readSource(const Match& match) const override;
};

// "lives_counter": the lives in reserve (-1 after game over).
class PellvaneLivesCounterEntity : public PellvaneCounterEntity {
public:
    PellvaneLivesCounterEntity() : PellvaneCounterEntity("PellvaneLivesCounterEntity") {}

protected:
    int32_t readSource(const Match& match) const override;
};

// "score_counter": the score of the game.
class PellvaneScoreCounterEntity : public PellvaneCounterEntity {
public:
    PellvaneScoreCounterEntity() : PellvaneCounterEntity("PellvaneScoreCounterEntity") {}

protected:
    int32_t readSource(const Match& match) const override;
};

// Attributes of a "figure_counter" beside a counter's.
namespace figuresettings {
inline constexpr Setting kFigure{"figure", ValueKind::Text, "required", "the figure shown, by name"};
inline constexpr Setting kHideBelow{"hide_below", ValueKind::Integer, "-2147483647",
                                    "hidden while the figure is below this", -2147483647, 2147483647};
inline constexpr Setting kLabel{"label", ValueKind::SpriteId, "none", "a sprite drawn before the digits"};
inline constexpr Setting kLabelGap{"label_gap", ValueKind::Float, "4", "pixels between the label and the digits",
                                   -1000, 1000};
} // namespace figuresettings

// "figure_counter": any figure of the game by name ("figure"): the score, the lives, the level in
// play (which moves on when the next level comes, not under the banner of a cleared one), the
// chain's multiplier, a cleared level's bonus, the figures of a lap... Hidden while its figure is
// below "hide_below"; "label" names a sprite drawn before the digits (on the digits' texture).
class PellvaneFigureCounterEntity : public PellvaneCounterEntity {
public:
    PellvaneFigureCounterEntity() : PellvaneCounterEntity("PellvaneFigureCounterEntity") {}
    // Unknown figure names are a load error that lists the known ones.
    void load(const TiXmlHandle& handle, IScene* scene) override;
    void update(float dt) override;
    void render(SpriteBatch* batch) override;

protected:
    int32_t readSource(const Match& match) const override;

private:
    int32_t (*figure)(const Match&) = nullptr;
    int32_t hideBelow = -2147483647;
    Sprite* label = nullptr;
    float labelGap = 4.0f;
};

// "best_counter": the best score, counting this game's score once it passes the kept one.
class PellvaneBestCounterEntity : public PellvaneCounterEntity {
public:
    PellvaneBestCounterEntity() : PellvaneCounterEntity("PellvaneBestCounterEntity") {}

protected:
    int32_t readSource(const Match& match) const override;
};
