// The table and the initials entry: reading their columns and cells, and drawing what the game's
// keeper holds at the fade's alpha.
#include "game/HighScoreEntities.h"

#include <algorithm>
#include <cmath>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "base/SettingReader.h"
#include "game/HighScoreKeeper.h"
#include "game/PlayField.h"
#include "rules/HighScores.h"
#include "scene/LoadObserver.h"

namespace {
const char* const kTableSource = "HighScoreTableEntity";
const char* const kEntrySource = "InitialsEntryEntity";
const char* const kCounterSource = "ContinueLevelCounterEntity";
// Every character a table draws.
const char* const kTableCharacters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ.-*";
const char* const kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
// How far below the letters the cursor is drawn, in unscaled pixels.
constexpr float kCursorDrop = 3.0f;
// A place no game has taken yet is drawn this much fainter than the others.
constexpr float kEmptyPlaceAlpha = 0.4f;

using Field = HighScoreTableEntity::Field;

struct FieldName {
    const char* name;
    Field field;
};
constexpr FieldName kFieldNames[] = {{"rank", Field::Rank},   {"initials", Field::Initials}, {"score", Field::Score},
                                     {"level", Field::Level}, {"date", Field::Date},         {"mark", Field::Mark}};

// The columns of a table that names none: rank, initials, score, level, date and mark, for glyphs
// of the shipped size (22 pixels a digit).
const std::vector<HighScoreTableEntity::Column> kDefaultColumns = {
    {Field::Rank, 60.0f, TextAlign::Right},   {Field::Initials, 84.0f, TextAlign::Left},
    {Field::Score, 380.0f, TextAlign::Right}, {Field::Level, 460.0f, TextAlign::Right},
    {Field::Date, 500.0f, TextAlign::Left},   {Field::Mark, 716.0f, TextAlign::Left}};

Colour withAlpha(Colour colour, float alpha) {
    colour.alpha *= alpha;
    return colour;
}
} // namespace

void HighScoreTableEntity::load(const TiXmlHandle& handle, IScene* owner) {
    const TiXmlElement* element = loadText(handle, owner, kTableSource);
    playFieldOf(owner, kTableSource);
    using namespace highscoreentitysettings;
    SettingReader<EntityException>(element, kTableSource, loadObserverOf(owner))(kRowHeight, rowHeight)(
        kMarkedColour, markedColour)(kMark, mark);
    columns.clear();
    for (const TiXmlElement* child = element->FirstChildElement("column"); child != nullptr;
         child = child->NextSiblingElement("column")) {
        SettingReader<EntityException> read(child, kTableSource, loadObserverOf(owner));
        std::string name;
        std::string alignment = "left";
        Column column{Field::Rank, 0.0f, TextAlign::Left};
        read(kField, name)(kColumnX, column.x)(kColumnAlign, alignment)(kColumnScale, column.scale);
        const auto known = std::find_if(std::begin(kFieldNames), std::end(kFieldNames),
                                        [&](const FieldName& f) { return name == f.name; });
        if (known == std::end(kFieldNames)) {
            read.fail(kField, "Column field \"" + name + "\" is none of rank, initials, score, level, date and mark!");
            continue;
        }
        if (!readTextAlign(alignment, column.align)) {
            read.fail(kColumnAlign, unknownTextAlign(alignment));
            continue;
        }
        column.field = known->field;
        columns.push_back(column);
    }
    if (element->FirstChildElement("column") == nullptr)
        columns = kDefaultColumns;
    requireGlyphs(element, kTableCharacters, kTableSource, "");
    requireGlyphs(element, mark, kTableSource, kMark.name);
}

std::string HighScoreTableEntity::charactersDrawn(const TiXmlElement& element) const {
    const char* chosen = element.Attribute(highscoreentitysettings::kMark.name);
    return std::string(kTableCharacters) + (chosen != nullptr ? chosen : "");
}

std::string HighScoreTableEntity::cell(Field field, std::size_t place) const {
    const std::vector<HighScore>& entries = playFieldOf(scene, kTableSource).getHighScores().getScores().entries();
    if (field == Field::Rank)
        return std::to_string(place + 1) + ".";
    if (place >= entries.size())
        return field == Field::Initials ? "..." : "";
    const HighScore& entry = entries[place];
    switch (field) {
    case Field::Initials:
        return entry.initials;
    case Field::Score:
        return std::to_string(entry.score);
    case Field::Level:
        return entry.level > 0 ? std::to_string(entry.level) : "-";
    case Field::Date:
        return entry.date.empty() ? "-" : entry.date;
    case Field::Mark:
        return entry.continued ? mark : "";
    case Field::Rank:
        break;
    }
    return "";
}

void HighScoreTableEntity::render(SpriteBatch* batch) {
    if (!isDrawn())
        return;
    const HighScoreKeeper& keeper = playFieldOf(scene, kTableSource).getHighScores();
    const std::size_t taken = keeper.getScores().entries().size();
    const Vector2 origin = position + offset;
    for (std::size_t place = 0; place < kHighScorePlaces; ++place) {
        const Colour tint = keeper.getMarked() == place ? withAlpha(markedColour, colour.alpha)
                            : place < taken             ? colour
                                                        : withAlpha(colour, kEmptyPlaceAlpha);
        const float y = origin.y + rowHeight * static_cast<float>(place);
        for (const Column& column : columns)
            glyphs.draw(batch, cell(column.field, place), {origin.x + column.x, y}, column.align, scale * column.scale,
                        tint, spacing);
    }
}

void InitialsEntryEntity::load(const TiXmlHandle& handle, IScene* owner) {
    const TiXmlElement* element = loadText(handle, owner, kEntrySource);
    playFieldOf(owner, kEntrySource);
    using namespace highscoreentitysettings;
    SettingReader<EntityException>(element, kEntrySource, loadObserverOf(owner))(kCellWidth, cellWidth)(
        kCursor, cursor)(kBlink, blink)(kMarkedColour, markedColour);
    requireGlyphs(element, kLetters, kEntrySource, "");
    requireGlyphs(element, cursor, kEntrySource, kCursor.name);
}

std::string InitialsEntryEntity::charactersDrawn(const TiXmlElement& element) const {
    const char* chosen = element.Attribute(highscoreentitysettings::kCursor.name);
    return std::string(kLetters) + (chosen != nullptr ? chosen : "_");
}

void InitialsEntryEntity::update(float dt) {
    TextEntity::update(dt);
    blinkTime += dt;
}

void InitialsEntryEntity::render(SpriteBatch* batch) {
    if (!isDrawn())
        return;
    const HighScoreKeeper& keeper = playFieldOf(scene, kEntrySource).getHighScores();
    const InitialsEditor& entry = keeper.getEntry();
    const std::string& initials = entry.getInitials();
    const float total = cellWidth * static_cast<float>(initials.size());
    float left = position.x + offset.x;
    if (align != TextAlign::Left)
        left -= align == TextAlign::Centre ? total * 0.5f : total;
    // The cursor blinks while the entry is open: on for the first half of each period.
    const bool cursorOn = keeper.isEntering() && (!(blink > 0.0f) || std::fmod(blinkTime, 2.0f * blink) < blink);
    const Colour marked = withAlpha(markedColour, colour.alpha);
    for (std::size_t i = 0; i < initials.size(); ++i) {
        const bool current = keeper.isEntering() && i == entry.getPosition();
        const Vector2 centre{left + cellWidth * (static_cast<float>(i) + 0.5f), position.y + offset.y};
        glyphs.draw(batch, std::string(1, initials[i]), centre, TextAlign::Centre, scale, current ? marked : colour,
                    spacing);
        // A little below the letter's line, so that it underlines rather than touches.
        if (current && cursorOn)
            glyphs.draw(batch, cursor, centre + Vector2{0.0f, kCursorDrop * scale.y}, TextAlign::Centre, scale, marked,
                        spacing);
    }
}

void ContinueLevelCounterEntity::load(const TiXmlHandle& handle, IScene* owner) {
    NumberCounterEntity::load(handle, owner);
    playFieldOf(owner, kCounterSource);
}

void ContinueLevelCounterEntity::update(float dt) {
    const IPlayField& field = playFieldOf(scene, kCounterSource);
    target = static_cast<int32_t>(field.getHighScores().continueLevel(field.getMatch().getLevelCount()));
    NumberCounterEntity::update(dt);
}
