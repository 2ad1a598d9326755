// What a scene is given when it is made: the shared managers and the view, which its entities read
// through it while they load and draw. Nothing below the application reaches a global for them.
#pragma once

#include <cstdint>
#include <string>

class EntityRegistry;
class EventDispatcher;
class IScene;
class SpriteBatchRegistry;
class Sprite;
class SpriteManager;

// Non-owning: the object that owns the managers outlives every scene made with them and never
// replaces one while a scene lives. A manager may be absent (null) where a test or a failed
// start-up has none; the entities that need it then fail to load with their usual message.
struct SceneContext {
    SpriteManager* sprites = nullptr;
    SpriteBatchRegistry* batches = nullptr;
    // Where input events (keys, pointer, focus) are dispatched.
    EventDispatcher* input = nullptr;
    // The types the scene makes its entities from, by element name.
    const EntityRegistry* registry = nullptr;
    // The view's size in pixels.
    uint32_t width = 0;
    uint32_t height = 0;
};

// The context of `scene`, or an empty one for an entity loaded outside any scene.
const SceneContext& contextOf(const IScene* scene);
// The sprite an optional attribute of an entity names: null for an empty id; throws
// EntityException with `source` and the sprite manager's message for an id it lacks.
Sprite* optionalSprite(const IScene* scene, const std::string& id, const char* source);
