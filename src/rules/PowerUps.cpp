// The power-up rules: timers that run out, the guns' cooldown, and the draw over the defined kinds.
#include "rules/PowerUps.h"

bool PowerUpSettings::any() const {
    for (bool each : defined)
        if (each)
            return true;
    return false;
}

void PowerUpTimers::start(PowerUp kind, float duration) {
    if (!isTimed(kind))
        return;
    if (const std::optional<PowerUp> ended = kindOf(kind).ends)
        remaining[static_cast<std::size_t>(*ended)] = 0.0f;
    remaining[static_cast<std::size_t>(kind)] = duration;
}

unsigned PowerUpTimers::tick(float dt) {
    reload = reload > dt ? reload - dt : 0.0f;
    unsigned ended = 0;
    for (std::size_t kind = 0; kind < remaining.size(); ++kind) {
        float& left = remaining[kind];
        if (left > 0.0f) {
            left -= dt;
            if (!(left > 0.0f)) {
                left = 0.0f;
                ended |= 1u << kind;
            }
        }
    }
    return ended;
}

float PowerUpTimers::factorFor(Change change, const PowerUpSettings& settings) const {
    for (const PowerUpKind& kind : kPowerUpKinds)
        if (kind.change == change && isActive(kind.id))
            return settings.factorOf(kind.id);
    return 1.0f;
}

std::optional<PowerUp> PowerUpTimers::activeKind(Change change) const {
    for (const PowerUpKind& kind : kPowerUpKinds)
        if (kind.change == change && isActive(kind.id))
            return kind.id;
    return std::nullopt;
}

bool PowerUpTimers::fire(float cooldown) {
    if (!anyActive(Change::Guns) || reload > 0.0f)
        return false;
    reload = cooldown;
    return true;
}

float CapsuleDraw::next() {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(seed >> 8) / 16777216.0f;
}

std::optional<PowerUp> CapsuleDraw::draw(std::optional<PowerUp> blockCapsule, float chance,
                                         const PowerUpSettings& settings) {
    if (blockCapsule)
        return settings.isDefined(*blockCapsule) ? blockCapsule : std::nullopt;
    if (!(chance > 0.0f) || !settings.any())
        return std::nullopt;
    if (next() >= chance)
        return std::nullopt;
    // Each defined kind by its weight: with the weights all 1, every kind alike.
    float total = 0.0f;
    for (const PowerUpKind& kind : kPowerUpKinds)
        if (settings.isDefined(kind.id))
            total += settings.weight[static_cast<std::size_t>(kind.id)];
    float pick = next() * total;
    std::optional<PowerUp> last;
    for (const PowerUpKind& kind : kPowerUpKinds) {
        const float weight = settings.weight[static_cast<std::size_t>(kind.id)];
        if (!settings.isDefined(kind.id) || !(weight > 0.0f))
            continue;
        if (pick < weight)
            return kind.id;
        pick -= weight;
        last = kind.id;
    }
    // A pick that rounding carried past the last weight falls to the last kind.
    return last;
}
