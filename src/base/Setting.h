// One attribute of the data, declared once: its name, how its text is read, the range a number
// must lie in, its default and one line on what it does. Loaders read through the declaration
// (SettingReader.h), the data checker walks the data against it, and the tables of
// docs/data-format.md are held to it.
#pragma once

#include <limits>

// How a loader reads an attribute's text (see docs/data-format.md, "Reading conventions").
enum class ValueKind {
    Text,      // used as written: ids, names, paths
    Float,     // a leading decimal number
    Integer,   // a leading decimal integer ("%d")
    FlagOn,    // a flag that is on by default: only "false" changes it
    FlagOff,   // a flag that is off by default: only "true" changes it
    Colour,    // hexadecimal RRGGBB or RRGGBBAA
    SpriteId,  // the id of a sprite of the sprite set
    EventName, // the name of an event of the scene's dispatcher
};

inline constexpr double kUnbounded = std::numeric_limits<double>::infinity();

// Declared as {name, kind, default, doc, low, high}; the range may be left out.
struct Setting {
    const char* name;
    ValueKind kind;
    // The default as docs/data-format.md shows it: the value the loader keeps when the attribute
    // is absent ("0.1", "false", "none"), what it follows ("the frame's width"), or "required".
    const char* byDefault;
    // What it does, in one line: the cell of the attribute reference, not the whole story.
    const char* doc;
    // A number outside [low, high] (or not a number at all) is refused where it is read.
    double low = -kUnbounded;
    double high = kUnbounded;
};
