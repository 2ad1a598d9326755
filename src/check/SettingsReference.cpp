// Writing the attribute reference: each rule's own attributes, in the order its loader declares
// them, with the rule it builds on named once.
#include "check/SettingsReference.h"

#include <cstdio>
#include <string>

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

// "scene:pellvane_game" -> "<pellvane_game>", "fade/duration" -> "<duration> in <fade>".
std::string elementOf(const std::string& id) {
    const std::size_t colon = id.find(':');
    if (colon != std::string::npos)
        return "`<" + id.substr(colon + 1) + ">`";
    const std::size_t slash = id.rfind('/');
    if (slash == std::string::npos)
        return "`<" + id + ">`";
    return "`<" + id.substr(slash + 1) + ">` in `<" + id.substr(0, id.find('/')) + ">`";
}

void describe(const ElementRule& rule, std::string& out) {
    if (rule.attributes.empty())
        return;
    out += "### " + elementOf(rule.id) + "\n\n";
    if (rule.base != nullptr)
        out += "Also every attribute of " + elementOf(rule.base) + ".\n\n";
    out += "| Attribute | Kind | Range |\n|---|---|---|\n";
    for (const Setting& setting : rule.attributes)
        out += "| `" + std::string(setting.name) + "` | " + kindName(setting.kind) + " | " + range(setting) + " |\n";
    out += "\n";
}

} // namespace

std::string settingsReference(const EntityRegistry& registry) {
    std::string out;
    for (const ElementRule& rule : fileRules())
        describe(rule, out);
    for (const ElementRule* rule : registry.rules())
        describe(*rule, out);
    return out;
}
