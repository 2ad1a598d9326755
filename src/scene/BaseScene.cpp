// BaseScene: loading, the two-pass update, deferred removal, drawing and collision queries.
#include "scene/BaseScene.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <tinyxml.h>

#include "base/Exceptions.h"
#include "collision/CollisionResult.h"
#include "collision/ICollider.h"
#include "collision/Rect.h"
#include "graphics/IRenderable.h"
#include "graphics/SpriteBatch.h"
#include "graphics/SpriteBatchRegistry.h"
#include "scene/EntityRegistry.h"
#include "scene/IEntity.h"
#include "scene/IPicture.h"
#include "scene/LoadObserver.h"

namespace {
const char* const kNoId = "No ID";
} // namespace

std::vector<IEntity*> pointersOf(const OwnedEntities& owned) {
    std::vector<IEntity*> pointers;
    pointers.reserve(owned.size());
    for (const std::unique_ptr<IEntity>& entity : owned)
        pointers.push_back(entity.get());
    return pointers;
}

BaseScene::~BaseScene() {
    endScene();
}

void BaseScene::endScene() {
    if (ended)
        return;
    ended = true;
    dispatchEvent(new SceneEvent(SCENE_ENDED));
    // The list is taken out first: a destructor may still ask for additions and removals, which
    // change nothing here. A lender that dies in this loop ends its loans, so its entities are
    // neither owned nor lent when the loop reaches them and are not touched again.
    std::vector<IEntity*> dying;
    dying.swap(entities);
    for (IEntity* entity : dying)
        release(entity, true);
    owned.clear();
    entities.clear();
    pendingRemovals.clear();
}

void BaseScene::load(const TiXmlHandle& handle) {
    TiXmlElement* element = handle.ToElement();
    if (element == nullptr)
        throw SceneException(kNoId, "XmlHandle is invalid or for a different scene");
    const char* idText = element->Attribute("id");
    if (idText == nullptr || *idText == '\0')
        throw SceneException(kNoId, "No id attribute found");
    id = idText;

    TiXmlElement* list = element->FirstChildElement("entities");
    if (list == nullptr || list->FirstChild() == nullptr)
        throw SceneException(id, "No entities element or entities defined!");
    for (TiXmlElement* child = list->FirstChildElement(); child != nullptr; child = child->NextSiblingElement()) {
        if (std::unique_ptr<IEntity> entity = loadEntity(child))
            addEntity(std::move(entity));
    }
    sortByLayer();
}

void BaseScene::update(float dt) {
    if (!started) {
        dispatchEvent(new SceneEvent(SCENE_STARTED));
        started = true;
    }
    if (remembersStepStarts) {
        stepStarts.clear();
        for (IEntity* entity : entities)
            stepStarts.emplace_back(entity, entity->getPosition());
        // Looked up by entity when drawing; the order serves the lookup only.
        std::sort(stepStarts.begin(), stepStarts.end(),
                  [](const auto& a, const auto& b) { return std::less<const IEntity*>()(a.first, b.first); });
    }
    // Lengths are read again at every step: entities added during a pass take part in it.
    for (std::size_t i = 0; i < entities.size(); ++i) {
        if (entities[i]->isActive())
            entities[i]->update(dt);
    }
    for (std::size_t i = 0; i < entities.size(); ++i) {
        if (entities[i]->isActive())
            entities[i]->postUpdate(dt);
    }
    afterMoves();
    // Requests made while removing (a destroyed group removing its children) join this loop.
    for (std::size_t j = 0; j < pendingRemovals.size(); ++j) {
        const std::pair<IEntity*, bool> request = pendingRemovals[j];
        removeEntityNow(request.first, request.second);
    }
    pendingRemovals.clear();
    sortByLayer();
}

std::unique_ptr<IEntity> BaseScene::loadEntity(TiXmlElement* element) {
    std::unique_ptr<IEntity> entity(createEntity(element->ValueStr()));
    if (!entity)
        return nullptr;
    try {
        entity->load(TiXmlHandle(element), this);
    } catch (const BaseException& error) {
        entity.reset(); // the entity that threw is not in the scene
        if (!reportLoadError(loadObserver, element, error))
            throw;
        return nullptr;
    }
    if (loadObserver != nullptr)
        loadObserver->loaded(element, entity.get());
    return entity;
}

void BaseScene::sortByLayer() {
    std::stable_sort(entities.begin(), entities.end(),
                     [](IEntity* a, IEntity* b) { return a->getLayer() < b->getLayer(); });
}

namespace {
// What `renderable` is batched under: its texture, or null for untextured quads. False when it
// has nothing to draw.
bool drawsWith(IRenderable* renderable, Texture*& texture) {
    if (renderable == nullptr)
        return false;
    texture = renderable->getTexture();
    return texture != nullptr || renderable->isUntextured();
}
} // namespace

void BaseScene::render() {
    SpriteBatchRegistry* registry = context.batches;
    // Without batches nothing can be drawn; a blank window would hide the wiring mistake.
    if (registry == nullptr)
        throw SceneException(id, "No sprite batch registry to draw with!");
    offsetForDrawing();
    // Batches used this frame, in the order their textures first came up. A frame uses only a
    // handful of textures, so a linear search is the cheapest lookup.
    // Kept between frames so drawing allocates nothing once the first frame has sized it.
    std::vector<SpriteBatch*>& used = usedBatches;
    used.clear();
    // The opaque pictures at the bottom of the layer order (a backdrop) go first, each drawn as it
    // is, without blending; everything else is blended over them as usual.
    const Rect view{0.0f, 0.0f, static_cast<float>(context.width), static_cast<float>(context.height)};
    coveredView = false;
    std::size_t first = 0;
    bool drawnAny = false;
    Texture* texture = nullptr;
    for (; first < entities.size(); ++first) {
        IEntity* entity = entities[first];
        if (!entity->isVisible())
            continue;
        auto* picture = dynamic_cast<IPicture*>(entity);
        if (picture == nullptr || !picture->isOpaque())
            break;
        if (!drawsWith(entity->getRenderable(), texture))
            continue;
        SpriteBatch* batch = texture != nullptr ? registry->getOpaqueBatch(texture) : registry->getOpaqueColourBatch();
        batch->begin();
        // The first picture of the frame, when it covers the whole view, may lay a large part of
        // itself (a gradient's widest flat band) by clearing the view to its colour, far cheaper
        // for a software rasteriser.
        Colour band;
        if (!drawnAny && picture->covers(view) && picture->clearColour(band)) {
            clearColourBuffer(band);
            picture->renderOverClear(batch);
        } else {
            entity->render(batch);
        }
        drawnAny = true;
        batch->drawOpaque();
        coveredView = coveredView || picture->covers(view);
    }
    SpriteBatch* current = nullptr;
    Texture* lastTexture = nullptr;
    for (std::size_t i = first; i < entities.size(); ++i) {
        IEntity* entity = entities[i];
        if (!entity->isVisible() || !drawsWith(entity->getRenderable(), texture))
            continue;
        if (current == nullptr || texture != lastTexture) {
            auto found = std::find_if(used.begin(), used.end(),
                                      [texture](SpriteBatch* batch) { return batch->getTexture() == texture; });
            if (found != used.end()) {
                current = *found;
            } else {
                current = texture != nullptr ? registry->getBatch(texture) : registry->getColourBatch();
                current->begin();
                used.push_back(current);
            }
            lastTexture = texture;
        }
        entity->render(current);
    }
    for (SpriteBatch* batch : used)
        batch->draw();
    clearDrawOffsets();
}

void BaseScene::rememberStepStarts(bool on) {
    remembersStepStarts = on;
    if (!on) {
        stepStarts.clear();
        drawBlend = 1.0f;
    }
}

void BaseScene::offsetForDrawing() {
    if (!(drawBlend < 1.0f) || stepStarts.empty())
        return;
    const auto byEntity = [](const std::pair<const IEntity*, Vector2>& a, const IEntity* b) {
        return std::less<const IEntity*>()(a.first, b);
    };
    for (IEntity* entity : entities) {
        const auto found = std::lower_bound(stepStarts.begin(), stepStarts.end(), entity, byEntity);
        if (found == stepStarts.end() || found->first != entity)
            continue;
        const Vector2 back = found->second - entity->getPosition();
        if (length(back) <= kLongestDrawnStep)
            entity->setDrawOffset(back * (1.0f - drawBlend));
    }
}

void BaseScene::clearDrawOffsets() {
    if (!(drawBlend < 1.0f) || stepStarts.empty())
        return;
    for (IEntity* entity : entities)
        entity->setDrawOffset(Vector2{});
}

bool BaseScene::join(IEntity* entity) {
    if (std::find(entities.begin(), entities.end(), entity) != entities.end()) {
        std::printf("Entity already in scene!");
        std::fflush(stdout);
        return false;
    }
    ICollider* collider = entity->getCollider();
    if (collider != nullptr && collider->getOwner() != entity)
        collider->setOwner(entity);
    entity->setScene(this);
    entities.push_back(entity);
    return true;
}

void BaseScene::addEntity(IEntity* entity) {
    if (join(entity))
        owned.emplace_back(entity);
}

void BaseScene::lendEntity(IEntity* entity, IEntityLender& lender) {
    if (join(entity))
        loans.emplace_back(entity, &lender);
}

void BaseScene::endLoan(IEntity* entity) {
    auto loan = std::find_if(loans.begin(), loans.end(), [entity](const auto& l) { return l.first == entity; });
    if (loan == loans.end())
        return;
    loans.erase(loan);
    entities.erase(std::remove(entities.begin(), entities.end(), entity), entities.end());
}

void BaseScene::removeEntity(IEntity* entity, bool destroy) {
    if (entity == nullptr)
        return;
    pendingRemovals.emplace_back(entity, destroy);
}

std::unique_ptr<IEntity> BaseScene::release(IEntity* entity, bool destroy) {
    auto own = std::find_if(owned.begin(), owned.end(), [entity](const auto& e) { return e.get() == entity; });
    if (own != owned.end()) {
        std::unique_ptr<IEntity> held = std::move(*own);
        owned.erase(own);
        return held;
    }
    auto loan = std::find_if(loans.begin(), loans.end(), [entity](const auto& l) { return l.first == entity; });
    if (loan == loans.end())
        return nullptr;
    IEntityLender* lender = loan->second;
    loans.erase(loan);
    return destroy ? lender->reclaim(entity) : nullptr;
}

void BaseScene::removeEntityNow(IEntity* entity, bool destroy) {
    auto found = std::find(entities.begin(), entities.end(), entity);
    if (found == entities.end())
        return;
    // Out of the list before it is destroyed: its destructor may add or remove entities.
    entities.erase(found);
    std::unique_ptr<IEntity> held = release(entity, destroy);
    if (!destroy)
        (void)held.release(); // it belongs again to whoever holds it
}

std::optional<CollisionResult> BaseScene::testCollision(IEntity* entity) {
    ICollider* collider = entity->isActive() ? entity->getCollider() : nullptr;
    if (collider == nullptr)
        throw SceneException(id, "testCollision called by an inactive entity or an entity without a collider!");
    // The nearest contact along the mover's path wins, and only its entity is told: a farther one
    // would stop the mover beyond the nearer surface. Equal fractions keep the first in list order.
    std::optional<CollisionResult> nearest;
    IEntity* nearestEntity = nullptr;
    for (std::size_t i = 0; i < entities.size(); ++i) {
        IEntity* other = entities[i];
        if (!other->isActive())
            continue;
        ICollider* otherCollider = other->getCollider();
        if (otherCollider == nullptr)
            continue;
        const std::optional<CollisionResult> result = collider->testCollision(otherCollider);
        if (!result || (nearest && result->fraction >= nearest->fraction))
            continue;
        nearest = result;
        nearestEntity = other;
        if (nearest->fraction <= 0.0f)
            break; // nothing comes before the start of the path
    }
    if (nearest) {
        CollisionResult told = *nearest;
        nearestEntity->onCollision(&told);
    }
    return nearest;
}

IEntity* BaseScene::createEntity(const std::string& type) {
    return context.registry != nullptr ? context.registry->createEntity(type) : nullptr;
}
