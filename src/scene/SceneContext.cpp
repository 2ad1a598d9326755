// The scene context of an entity that may have been loaded outside any scene (a test's, a tool's).
#include "scene/SceneContext.h"

#include "scene/IScene.h"

const SceneContext& contextOf(const IScene* scene) {
    static const SceneContext none;
    return scene != nullptr ? scene->getContext() : none;
}
