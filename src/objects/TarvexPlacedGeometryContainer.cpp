#include <tarvex/objects/TarvexPlacedGeometryContainer.h>

#include <tarvex/objects/Tarvex3DGeometry2DExtrusion.h>

namespace Tarvex {

using Geometry::Bound;
using Geometry::Transform;
using Geometry::Vec2;
using Geometry::Vec3;

TarvexPlacedGeometryContainer::TarvexPlacedGeometryContainer(const TarvexPlacedGeometry& outer)
    : m_outer(outer), m_inverse(outer.transform.inverse())
{
    if (!outer.geometry || !outer.geometry->isExtrusion())
        return;
    const auto& extrusion = static_cast<const Tarvex3DGeometry2DExtrusion&>(*outer.geometry);
    if (!extrusion.getBase())
        return;
    m_extrusion = &extrusion;
    m_toLocal = extrusion.getPlacement().inverse();
    m_outline.emplace(*extrusion.getBase());
}

bool TarvexPlacedGeometryContainer::contains(const TarvexPlacedGeometry& inner) const
{
    const Transform& intoOuter = m_intoOuter.get(
        inner.transform, [this](const Transform& frame) { return Transform::multiply(m_inverse, frame); });
    if (!m_outer.geometry || !inner.geometry) {
        const Bound carried = inner.bound.transformed(intoOuter);
        return m_outer.bound.overlaps(carried)
            || m_outer.bound.contains(carried, TarvexPlacedGeometry::boundTolerance);
    }
    if (!m_extrusion)
        return m_outer.geometry->isContaining(*inner.geometry->createTransformedGeometry(intoOuter));
    // The extrusion's own test (Tarvex3DGeometry2DExtrusion::isContaining) on the carried
    // vertices, with the parts that depend on the outer solid alone done once.
    return inner.geometry->allTransformedPoints(intoOuter, [this](const Vec3& point) {
        const Vec3 local = m_toLocal.transformedVector(point);
        return m_extrusion->isInHeightRange(local.z) && m_outline->contains(Vec2(local.x, local.y), true);
    });
}

} // namespace Tarvex
