#include <tarvex/objects/Tarvex3DGeometry.h>

#include <tarvex/objects/Tarvex3DGeometryLine.h>

namespace Tarvex {

Tarvex3DGeometry::~Tarvex3DGeometry() = default;

bool Tarvex3DGeometry::isExtrusion() const
{
    return false;
}

std::unique_ptr<Tarvex3DGeometry> Tarvex3DGeometry::createTransformedGeometry(
    const Geometry::Transform& transform) const
{
    std::unique_ptr<Tarvex3DGeometry> copy = clone();
    copy->transformGeometry(transform);
    return copy;
}

bool Tarvex3DGeometry::hasPoints() const
{
    return !getPoints().empty();
}

std::vector<Geometry::Vec3> Tarvex3DGeometry::getTransformedPoints(const Geometry::Transform& transform) const
{
    return createTransformedGeometry(transform)->getPoints();
}

bool Tarvex3DGeometry::allTransformedPoints(const Geometry::Transform& transform, const PointTest& test) const
{
    for (const Geometry::Vec3& point : getTransformedPoints(transform)) {
        if (!test(point))
            return false;
    }
    return true;
}

} // namespace Tarvex
