// How an element of the data is read, for the data checker: the attributes it takes with their
// kind and the child elements it reads. Each type registered with the entity registry brings the
// rule of its element; the checker walks the data against these rules.
#pragma once

#include <string>
#include <vector>

#include "base/Setting.h"

// An attribute an element takes is a declared setting.
using AttributeRule = Setting;

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
