// The lookups over the table of kinds.
#include "rules/PowerUpKinds.h"

#include <algorithm>

std::optional<PowerUp> powerUpNamed(std::string_view name) {
    for (const PowerUpKind& kind : kPowerUpKinds)
        if (name == kind.name)
            return kind.id;
    return std::nullopt;
}

std::string powerUpNameList() {
    std::string list;
    for (std::size_t i = 0; i < kPowerUpCount; ++i) {
        if (i > 0)
            list += i + 1 == kPowerUpCount ? " or " : ", ";
        list += kPowerUpKinds[i].name;
    }
    return list;
}

std::string unknownPowerUp(const std::string& name) {
    return "Unknown power-up kind \"" + name + "\" (" + powerUpNameList() + ")!";
}

std::vector<PowerUp> timedKindsInRowOrder() {
    std::vector<PowerUp> kinds;
    for (const PowerUpKind& kind : kPowerUpKinds)
        if (kind.action == CatchAction::Timed)
            kinds.push_back(kind.id);
    std::stable_sort(kinds.begin(), kinds.end(),
                     [](PowerUp a, PowerUp b) { return kindOf(a).hudRow < kindOf(b).hudRow; });
    return kinds;
}
