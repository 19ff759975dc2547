#pragma once

#include "host/Entity.h"
#include "host/Transform.h"

namespace EntityGUI {

/// Places `entity` by `transform` relative to its owner: its location becomes the
/// transform's translation. Entities of this model carry locations only, so a rotation in
/// `transform` is not kept. False when a location cannot be written.
bool transform_entity(EntityModel::Entity* entity, const Geometry::Transform& transform);

} // namespace EntityGUI
