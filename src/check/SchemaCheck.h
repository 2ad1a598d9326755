// Walks data files against the table of DataSchema.h: unknown elements and attributes (with the
// nearest known name as a suggestion), values that do not read as their kind, unknown entity
// types, and what the entities use (sprites, the digit sprites of counters).
#pragma once

#include <set>
#include <string>
#include <vector>

#include "check/DataSchema.h"
#include "check/Findings.h"

class BaseScene;
class TiXmlAttribute;
class TiXmlElement;

// What the walked entities name, for the "never used" warnings.
struct DataUsage {
    std::set<std::string> sprites;
    // A counter draws the sprites "0" to "9".
    bool digits = false;
};

// " did you mean 'x'?" for the candidate nearest to `word` (at most two edits away, and fewer
// edits than the word is long), or an empty text when none is that near.
std::string suggest(const std::string& word, const std::vector<std::string>& candidates);

class EntityRegistry;

class SchemaCheck {
public:
    SchemaCheck(const EntityRegistry& registry, Findings& findings, DataUsage& usage)
        : registry(registry), findings(findings), usage(usage) {}

    // Checks `element` against `rule` and its children against theirs. Entity types are decided
    // by `scene`'s factory, exactly as its loaders decide them.
    void walk(const TiXmlElement* element, const ElementRule& rule, BaseScene* scene);
    void walkEntity(const TiXmlElement* element, BaseScene* scene);
    // Checks one attribute's text as the loaders read a value of `kind`.
    void checkValue(const TiXmlElement* element, const TiXmlAttribute& attribute, ValueKind kind);

private:
    void checkNumber(const TiXmlElement* element, const TiXmlAttribute& attribute, bool integer);

    const EntityRegistry& registry;
    Findings& findings;
    DataUsage& usage;
};
