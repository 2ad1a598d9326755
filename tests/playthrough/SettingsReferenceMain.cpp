// Prints the attribute reference of docs/data-format.md from the declarations the loaders read
// through; tools/update_settings_reference.py puts it in the docs and checks it is there.
#include <cstdio>

#include "check/SettingsReference.h"
#include "game/GameWorld.h"

int main() {
    const GameWorld world;
    std::fputs(settingsReference(world.getRegistry()).c_str(), stdout);
    return 0;
}
