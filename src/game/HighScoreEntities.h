// The pictures of the high scores, each a text entity (TextEntity.h) that fades like a fade and
// draws what its game's HighScoreKeeper holds: the table, and the initials being entered; and the
// counter of the level CONTINUE starts at. The continue button is the new-game button's sibling
// (StartNewGameButtonEntity.h).
#pragma once

#include <string>
#include <vector>

#include "base/Setting.h"
#include "scene/NumberCounterEntity.h"
#include "scene/TextEntity.h"

// Attributes of "high_score_table" and "initials_entry", and of the table's "column" children.
namespace highscoreentitysettings {
using K = ValueKind;
inline constexpr Setting kRowHeight{"row_height", K::Float, "30", "pixels from one row's top to the next", 0, 1000};
inline constexpr Setting kMarkedColour{"marked_colour", K::Colour, "fff27a",
                                       "the tint of the row just entered, or of the current initial"};
inline constexpr Setting kMark{"mark", K::Text, "*", "what the mark column shows for a game begun with CONTINUE"};
inline constexpr Setting kColumnScale{"scale", K::Float, "1", "a factor on the element's scale, for this column",
                                      0,       100};
inline constexpr Setting kField{"field", K::Text, "required", "rank, initials, score, level, date or mark"};
inline constexpr Setting kColumnX{"x", K::Float, "0", "pixels from the element's x to the column", -10000, 10000};
inline constexpr Setting kColumnAlign{"align", K::Text, "left", "left, centre or right about the column's x"};
inline constexpr Setting kCellWidth{"cell_width", K::Float, "40", "pixels per initial", 0, 1000};
inline constexpr Setting kCursor{"cursor", K::Text, "_", "the character drawn under the current initial"};
inline constexpr Setting kBlink{"blink", K::Float, "0.4", "seconds the cursor is on, then off (0: always on)", 0, 10};
} // namespace highscoreentitysettings

// "high_score_table": the ten places, one row each from the entity's position down, each field in
// a column of its own. The row of the entry the last game made is drawn in "marked_colour"; the
// places no game has taken yet are drawn faint; a game begun with CONTINUE has "mark" in its mark
// column.
class HighScoreTableEntity : public TextEntity {
public:
    // What a column shows of each entry.
    enum class Field { Rank, Initials, Score, Level, Date, Mark };
    struct Column {
        Field field;
        float x;
        TextAlign align;
        // Times the entity's scale.
        float scale = 1.0f;
    };

    void load(const TiXmlHandle& handle, IScene* scene) override;
    void render(SpriteBatch* batch) override;
    std::string charactersDrawn(const TiXmlElement& element) const override;

    const std::vector<Column>& getColumns() const { return columns; }
    // The text of `field` for place `place` (from 0), as drawn: "1." for the first place's rank,
    // "*" for a continued game's mark, "-" for a level or date not known, and for a place no game
    // has taken yet, the rank and "..." as its initials.
    std::string cell(Field field, std::size_t place) const;

private:
    std::vector<Column> columns;
    float rowHeight = 30.0f;
    Colour markedColour{1.0f, 0.95f, 0.48f, 1.0f};
    std::string mark = "*";
};

// "initials_entry": the three initials being entered, each centred in a cell "cell_width" wide
// (the three placed by "align" about the position), the current one in "marked_colour" with the
// "cursor" character under it, blinking every "blink" seconds while the entry is open.
class InitialsEntryEntity : public TextEntity {
public:
    void load(const TiXmlHandle& handle, IScene* scene) override;
    void update(float dt) override;
    void render(SpriteBatch* batch) override;
    std::string charactersDrawn(const TiXmlElement& element) const override;

private:
    float cellWidth = 40.0f;
    std::string cursor = "_";
    float blink = 0.4f;
    float blinkTime = 0.0f;
    Colour markedColour{1.0f, 0.95f, 0.48f, 1.0f};
};

// "continue_counter": a counter (every attribute of one) of the level number CONTINUE starts at.
class ContinueLevelCounterEntity : public NumberCounterEntity {
public:
    // NumberCounterEntity's load; an EntityException unless the scene is a game scene.
    void load(const TiXmlHandle& handle, IScene* scene) override;
    void update(float dt) override;
};
