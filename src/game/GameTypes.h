// Makes the game's types known: its scene type and every entity type, with their rules.
#pragma once

struct GameServices;
class EntityRegistry;

// `services` is not copied: it must outlive the registry's use, and a game scene made later is
// given it as it is then (its sound manager may be set after this call).
void registerGameTypes(EntityRegistry& registry, const GameServices& services);
