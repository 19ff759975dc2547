#include <tarvex/objects/FlatGeometryOutlineGenerator.h>

namespace Tarvex {

void FlatGeometryOutlineGenerator::visit(const Geometry::Box& box)
{
    const Geometry::Vec3 size = box.getBound().getSize();
    for (int axis = 0; axis < 3; ++axis) {
        if (size[axis] != 0.0)
            continue;
        const auto corners = box.getLowFaceCornerPoints(axis);
        m_output->points.assign(corners.begin(), corners.end());
        m_output->normal = Geometry::Vec3();
        m_output->normal[axis] = 1.0;
        return;
    }
}

void FlatGeometryOutlineGenerator::visit(const Geometry::PolygonPrism& prism)
{
    if (prism.getHeight() != 0.0)
        return;
    m_output->points = prism.getLowCornerPoints();
    m_output->normal = Geometry::Vec3(0, 1, 0);
}

} // namespace Tarvex
