#pragma once

#include <tarvex/host/Entity.h>
#include <tarvex/host/Transform.h>
#include <tarvex/objects/TarvexPlacedGeometry.h>

#include <vector>

namespace Tarvex {

class TarvexEntityBuildState;

/// Writes the holes of a layered part into its entity's `Holes_t` list: through holes, and
/// holes that open from the bottom or the top face only. A hole through several layers
/// arrives as one piece per layer; pieces of one outline in consecutive layers are one hole.
class TarvexHoleEntityBuilder
{
public:
    /// Writes `pieces` (the part's flat geometry pieces, in layer order) as the holes of
    /// `entity`, named after `objectName`; `entityFrame` is the entity's host frame and
    /// `entityHeight` its host height.
    static void buildHoles(const std::vector<TarvexPlacedGeometry>& pieces, const QString& objectName,
                           EntityModel::Entity* entity, const Geometry::Transform& entityFrame, double entityHeight,
                           TarvexEntityBuildState* sharedState);
};

} // namespace Tarvex
