#pragma once

#include <tarvex/host/CADModel.h>
#include <tarvex/host/Entity.h>
#include <tarvex/host/Transform.h>

namespace EntityGUI {

/// Places `entity` by `transform` relative to its owner: its location becomes the
/// transform's translation. Entities of this model carry locations only, so a rotation in
/// `transform` is not kept. False when a location cannot be written.
bool transform_entity(EntityModel::Entity* entity, const Geometry::Transform& transform);

/// The entity's own CAD geometry in world coordinates, without its children's: a prism over
/// its `Outline_t` (x, z pairs of its frame) when its `Shape_t` is `Polygon_t`, else the box
/// from its origin to (`Width_t`, height, `Depth_t`), height being `Height_t` when above 0 and
/// `Thickness_t` otherwise; placed at the entity's origin as the geometry builder places it.
/// No body when the entity has no size, or an outline that is not a valid prism.
CADinterface::CADModel get_geometry(const EntityModel::Entity* entity);

} // namespace EntityGUI
