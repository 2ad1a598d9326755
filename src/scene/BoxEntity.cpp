// BoxEntity: the sprite entity's element plus "static", and the box collider.
#include "scene/BoxEntity.h"

#include <tinyxml.h>

#include "base/XmlAttributes.h"

void BoxEntity::load(const TiXmlHandle& handle, IScene* owner) {
    SpriteEntity::load(handle, owner);
    xml::readBool(handle.ToElement(), "static", staticBox);
    // The collider follows every move of the entity through the reference to `position`; its
    // box has the unscaled size whatever the drawing scale.
    collider.emplace(staticBox, position, width, height, offset, this);
}
