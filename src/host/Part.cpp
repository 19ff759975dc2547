#include <tarvex/host/Part.h>

namespace Geometry {

Part::Part(EntityModel::Entity* entity, const Bound& localBound, const Transform& transform)
    : m_entity(entity), m_localBound(localBound), m_transform(transform)
{
}

} // namespace Geometry
