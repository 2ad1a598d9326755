// Writing the attribute reference: each rule's own attributes, in the order its loader declares
// them, with the rule it builds on named once.
#include "check/SettingsReference.h"

#include <cstdio>
#include <string>
#include <vector>

#include "check/DataSchema.h"
#include "scene/EntityRegistry.h"

namespace {

const char* kindName(ValueKind kind) {
    switch (kind) {
    case ValueKind::Text:
        return "text";
    case ValueKind::Float:
        return "number";
    case ValueKind::Integer:
        return "integer";
    case ValueKind::FlagOn:
        return "flag, on unless `false`";
    case ValueKind::FlagOff:
        return "flag, off unless `true`";
    case ValueKind::Colour:
        return "colour";
    case ValueKind::SpriteId:
        return "sprite id";
    case ValueKind::EventName:
        return "event name";
    }
    return "";
}

std::string number(double value) {
    char text[48];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

std::string range(const Setting& setting) {
    if (setting.kind != ValueKind::Float && setting.kind != ValueKind::Integer)
        return "";
    if (setting.low == -kUnbounded && setting.high == kUnbounded)
        return "any";
    if (setting.high == kUnbounded)
        return number(setting.low) + " or more";
    return number(setting.low) + " to " + number(setting.high);
}

// The element a rule reads: "scene:pellvane_game" -> "<pellvane_game>", "game_area" ->
// "<game_area>", and a settings element by the name its parent gives it, "fade/duration" ->
// "<duration> in <fade>" ("background/spawn_delay" -> "<spawn_delay> in <background_effect>").
std::string elementOf(const EntityRegistry& registry, const std::string& id) {
    const std::size_t colon = id.find(':');
    if (colon != std::string::npos)
        return "`<" + id.substr(colon + 1) + ">`";
    if (id.find('/') == std::string::npos)
        return "`<" + id + ">`";
    std::vector<const ElementRule*> rules;
    for (const ElementRule& rule : fileRules())
        rules.push_back(&rule);
    for (const ElementRule* rule : registry.rules())
        rules.push_back(rule);
    for (const ElementRule* parent : rules)
        for (const ChildRule& child : parent->children)
            if (id == child.rule)
                return "`<" + std::string(child.name) + ">` in " + elementOf(registry, parent->id);
    return "`<" + id.substr(id.rfind('/') + 1) + ">`";
}

void describe(const EntityRegistry& registry, const ElementRule& rule, std::string& out) {
    if (rule.attributes.empty())
        return;
    out += "### " + elementOf(registry, rule.id) + "\n\n";
    if (rule.base != nullptr)
        out += "Also every attribute of " + elementOf(registry, rule.base) + ".\n\n";
    out += "| Attribute | Kind | Range | Default | What |\n|---|---|---|---|---|\n";
    for (const Setting& setting : rule.attributes)
        out += "| `" + std::string(setting.name) + "` | " + kindName(setting.kind) + " | " + range(setting) + " | " +
               setting.byDefault + " | " + setting.doc + " |\n";
    out += "\n";
}

} // namespace

std::string settingsReference(const EntityRegistry& registry) {
    std::string out;
    for (const ElementRule& rule : fileRules())
        describe(registry, rule, out);
    for (const ElementRule* rule : registry.rules())
        describe(registry, *rule, out);
    return out;
}
