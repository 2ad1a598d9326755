// The schema walk: attributes and children against the table, values against their kind.
#include "check/SchemaCheck.h"

#include "scene/EntityRegistry.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <tinyxml.h>

#include "scene/BaseScene.h"
#include "scene/IEntity.h"
#include "scene/NumberCounterEntity.h"
#include "scene/TextEntity.h"

namespace {
// A suggestion is at most this many single-character edits away from the misspelt word.
constexpr std::size_t kMaxSuggestionDistance = 2;

// Levenshtein distance: insertions, deletions and substitutions of one character each.
std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string quoted(const std::string& text) {
    return "'" + text + "'";
}

std::string elementName(const TiXmlElement* element) {
    return "<" + element->ValueStr() + ">";
}

bool onlySpaces(const char* text) {
    for (; *text != '\0'; ++text)
        if (!std::isspace(static_cast<unsigned char>(*text)))
            return false;
    return true;
}

std::vector<std::string> namesOf(const std::vector<AttributeRule>& rules) {
    std::vector<std::string> names;
    for (const AttributeRule& rule : rules)
        names.emplace_back(rule.name);
    return names;
}
} // namespace

std::string suggest(const std::string& word, const std::vector<std::string>& candidates) {
    const std::string* best = nullptr;
    std::size_t bestDistance = kMaxSuggestionDistance + 1;
    for (const std::string& candidate : candidates) {
        const std::size_t distance = editDistance(word, candidate);
        if (distance < bestDistance && distance < word.size()) {
            best = &candidate;
            bestDistance = distance;
        }
    }
    return best != nullptr ? "; did you mean " + quoted(*best) + "?" : std::string();
}

void SchemaCheck::walk(const TiXmlElement* element, const ElementRule& rule, BaseScene* scene) {
    const std::vector<AttributeRule> attributes = attributesOf(registry, rule);
    for (const TiXmlAttribute* a = element->FirstAttribute(); a != nullptr; a = a->Next()) {
        auto known = std::find_if(attributes.begin(), attributes.end(),
                                  [a](const AttributeRule& r) { return a->NameTStr() == r.name; });
        if (known == attributes.end())
            findings.warning(locationOf(element, a->Name()), "unknown attribute " + quoted(a->NameTStr()) + " on " +
                                                                 elementName(element) + " is ignored" +
                                                                 suggest(a->NameTStr(), namesOf(attributes)));
        else
            checkValue(element, *a, known->kind);
    }

    if (rule.content == Content::Scenes)
        return;
    if (rule.content == Content::Entities) {
        for (const TiXmlElement* child = element->FirstChildElement(); child != nullptr;
             child = child->NextSiblingElement())
            walkEntity(child, scene);
        return;
    }
    const std::vector<ChildRule> children = childrenOf(registry, rule);
    std::vector<std::string> names;
    for (const ChildRule& child : children)
        names.emplace_back(child.name);
    std::set<std::string> seen;
    for (const TiXmlElement* child = element->FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
        auto known = std::find_if(children.begin(), children.end(),
                                  [child](const ChildRule& r) { return child->ValueStr() == r.name; });
        if (known == children.end()) {
            findings.warning(locationOf(child), "unknown element " + elementName(child) + " in " +
                                                    elementName(element) + " is ignored" +
                                                    suggest(child->ValueStr(), names));
        } else if (!known->many && !seen.insert(known->name).second) {
            findings.warning(locationOf(child), "only the first " + elementName(child) + " in " + elementName(element) +
                                                    " is read; this one is ignored");
        } else if (const ElementRule* childRule = findRule(registry, known->rule)) {
            walk(child, *childRule, scene);
        }
    }
}

void SchemaCheck::walkEntity(const TiXmlElement* element, BaseScene* scene) {
    const std::string& type = element->ValueStr();
    std::unique_ptr<IEntity> made(scene != nullptr ? scene->createEntity(type) : nullptr);
    if (!made) {
        // Suggest only types this scene can make: a block is no answer inside a base_scene.
        std::vector<std::string> known;
        for (const std::string& name : registry.entityTypes()) {
            const std::unique_ptr<IEntity> probe(scene != nullptr ? scene->createEntity(name) : nullptr);
            if (probe)
                known.push_back(name);
        }
        findings.warning(locationOf(element),
                         "unknown entity type " + quoted(type) + " is skipped" + suggest(type, known));
        return;
    }
    if (dynamic_cast<NumberCounterEntity*>(made.get()) != nullptr)
        usage.digits = true;
    if (const auto* text = dynamic_cast<const TextEntity*>(made.get())) {
        for (char c : text->charactersDrawn(*element))
            usage.sprites.insert(std::string(1, c));
    }
    if (const ElementRule* rule = entityRule(registry, type))
        walk(element, *rule, scene);
}

void SchemaCheck::checkValue(const TiXmlElement* element, const TiXmlAttribute& attribute, ValueKind kind) {
    const std::string& text = attribute.ValueStr();
    const Location where = locationOf(element, attribute.Name());
    switch (kind) {
    case ValueKind::Text:
        return;
    case ValueKind::Float:
        checkNumber(element, attribute, false);
        return;
    case ValueKind::Integer:
        checkNumber(element, attribute, true);
        return;
    case ValueKind::FlagOn:
    case ValueKind::FlagOff:
        if (text != "true" && text != "false")
            findings.warning(where, quoted(text) + " is neither 'true' nor 'false': " + attribute.NameTStr() +
                                        (kind == ValueKind::FlagOn ? " stays true" : " stays false"));
        return;
    case ValueKind::Colour: {
        // A text of another length stops the loader with an error of its own.
        const std::size_t digits = std::find_if(text.begin(), text.end(),
                                                [](char c) { return !std::isxdigit(static_cast<unsigned char>(c)); }) -
                                   text.begin();
        if ((text.size() == 6 || text.size() == 8) && digits < text.size())
            findings.warning(where, "colour " + quoted(text) + " is not all hexadecimal digits: only " +
                                        quoted(text.substr(0, digits)) + " is read");
        return;
    }
    case ValueKind::SpriteId:
        usage.sprites.insert(text);
        return;
    case ValueKind::EventName: {
        const std::vector<std::string>& events = registry.eventNames();
        // A name far from every event is taken as meant ("NEVER" is a trigger that never fires).
        if (std::find(events.begin(), events.end(), text) == events.end()) {
            const std::string hint = suggest(text, events);
            if (!hint.empty())
                findings.warning(where, "no event " + quoted(text) + " is ever raised on a scene" + hint);
        }
        return;
    }
    }
}

void SchemaCheck::checkNumber(const TiXmlElement* element, const TiXmlAttribute& attribute, bool integer) {
    const char* text = attribute.Value();
    const Location where = locationOf(element, attribute.Name());
    const std::string name = attribute.NameTStr();
    char* end = nullptr;
    errno = 0;
    // The loaders scan with "%d" and "%lf", which read what strtol and strtod read.
    const long whole = integer ? std::strtol(text, &end, 10) : 0;
    const double real = integer ? 0.0 : std::strtod(text, &end);
    if (end == text) {
        findings.warning(where, quoted(text) + " is not a" + (integer ? "n integer" : " number") + ": " + name +
                                    " keeps its default");
        return;
    }
    if (integer && (errno == ERANGE || whole < INT_MIN || whole > INT_MAX)) {
        findings.warning(where, quoted(text) + " is out of range for " + name);
        return;
    }
    if (!integer && !std::isfinite(real)) {
        findings.warning(where, quoted(text) + " is not a finite number");
        return;
    }
    // The loaders keep a float: a double beyond its range (about 3.4e38) becomes infinite there.
    if (!integer && !std::isfinite(static_cast<float>(real))) {
        findings.warning(where, quoted(text) + " is beyond the range of a float: " + name + " becomes infinite");
        return;
    }
    if (!onlySpaces(end)) {
        const std::string read(text, static_cast<std::size_t>(end - text));
        findings.warning(where, quoted(text) + " reads as " + read + ": the rest (" + quoted(end) + ") is ignored");
    }
}
