// What a scene sees of every object of the game. The order of the operations is part of the
// interface: derived classes add their own virtual operations after these.
#pragma once

#include <cstdint>

#include "collision/Vector2.h"

class TiXmlHandle;
class IScene;
class SpriteBatch;
class IRenderable;
class ICollider;
struct CollisionResult;

class IEntity {
public:
    virtual ~IEntity() = default;
    // Reads the entity's settings from the element the handle holds; remembers the scene.
    virtual void load(const TiXmlHandle& handle, IScene* scene) = 0;
    virtual void update(float dt) = 0;
    virtual void postUpdate(float dt) = 0;
    virtual void render(SpriteBatch* batch) = 0;
    virtual void reset() = 0;
    // The record is valid for the duration of the call only.
    virtual void onCollision(CollisionResult* collision) = 0;
    virtual bool isActive() = 0;
    virtual bool isVisible() = 0;
    virtual const Vector2& getPosition() = 0;
    virtual int32_t getLayer() = 0;
    virtual IRenderable* getRenderable() = 0;
    virtual ICollider* getCollider() = 0;
    virtual IScene* getScene() = 0;
    virtual void setScene(IScene* scene) = 0;
    // Drawn this far from its position until told otherwise: a scene that moves in fixed steps
    // draws its entities between their last two steps (BaseScene::setDrawBlend). An entity whose
    // pictures never move may ignore it.
    virtual void setDrawOffset(const Vector2& /*offset*/) {}
    // Where it is drawn from its position now: what the scene set, unless the entity knows better
    // (something riding on another is drawn where its carrier is drawn).
    virtual Vector2 getDrawOffset() const { return {}; }
};
