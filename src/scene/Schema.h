// How an element of the data is read, for the data checker: the attributes it takes with their
// kind and the child elements it reads. Each type registered with the entity registry brings the
// rule of its element; the checker walks the data against these rules.
#pragma once

#include <string>
#include <vector>

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

struct AttributeRule {
    const char* name;
    ValueKind kind;
};

struct ChildRule {
    const char* name; // element name
    const char* rule; // the rule it is read with
    bool many;        // every element of that name is read, not only the first
};

enum class Content {
    Elements, // the children named in `children`
    Entities, // every child element is an entity, named by its type
    Text,     // a text: a file name
    Scenes,   // every child element is a scene, named by its type (walked with its scene)
};

struct ElementRule {
    const char* id;   // "entity:<type>", "scene:<type>", or the path of a settings element
    const char* base; // a rule whose attributes and children this one takes too, or null
    std::vector<AttributeRule> attributes;
    std::vector<ChildRule> children;
    Content content = Content::Elements;
};
