// The scene context of an entity that may have been loaded outside any scene (a test's, a tool's).
#include "scene/SceneContext.h"

#include "base/Exceptions.h"
#include "graphics/SpriteManager.h"
#include "scene/IScene.h"

const SceneContext& contextOf(const IScene* scene) {
    static const SceneContext none;
    return scene != nullptr ? scene->getContext() : none;
}

Sprite* optionalSprite(const IScene* scene, const std::string& id, const char* source) {
    if (id.empty())
        return nullptr;
    SpriteManager* sprites = contextOf(scene).sprites;
    Sprite* found = sprites != nullptr ? sprites->getSprite(id) : nullptr;
    if (found == nullptr)
        throw EntityException(source, spriteNotFound(id));
    return found;
}
