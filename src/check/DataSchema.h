// The table of what the loaders read: for each element of the data files (configuration, sprite
// sets, sound sets, levels, and through the registry every scene and entity type with its
// settings children) the attributes it takes with their kind, and the child elements it reads.
// The checker walks the data against it.
#pragma once

#include <string>
#include <vector>

#include "scene/Schema.h"

class EntityRegistry;

// The rules of the files themselves (config.xml, sprite sets, sound sets, level files).
const std::vector<ElementRule>& fileRules();
// The rule with that id, or null: the files' own, then those the registry's types brought.
const ElementRule* findRule(const EntityRegistry& registry, const std::string& id);
inline const ElementRule* entityRule(const EntityRegistry& registry, const std::string& type) {
    return findRule(registry, "entity:" + type);
}
inline const ElementRule* sceneRule(const EntityRegistry& registry, const std::string& type) {
    return findRule(registry, "scene:" + type);
}
// The attributes and the children of a rule together with those of its bases.
std::vector<AttributeRule> attributesOf(const EntityRegistry& registry, const ElementRule& rule);
std::vector<ChildRule> childrenOf(const EntityRegistry& registry, const ElementRule& rule);
