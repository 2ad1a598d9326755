// The load observer of an entity's scene, for loaders that may run outside any scene.
#include "scene/LoadObserver.h"

#include "scene/IScene.h"

LoadObserver* loadObserverOf(const IScene* scene) {
    return scene != nullptr ? scene->getLoadObserver() : nullptr;
}
