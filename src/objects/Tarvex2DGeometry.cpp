#include <tarvex/objects/Tarvex2DGeometry.h>

#include <cmath>

namespace Tarvex {

Tarvex2DGeometry::~Tarvex2DGeometry() = default;

bool Tarvex2DGeometry::hasPoints() const
{
    return !getPoints().empty();
}

Geometry::Transform2D Tarvex2DGeometry::getTransform() const
{
    return Geometry::Transform2D();
}

bool Tarvex2DGeometry::isEqual(double a, double b)
{
    return a == b || std::abs(a - b) < EPS;
}

bool Tarvex2DGeometry::isEqual(const Geometry::Vec2& a, const Geometry::Vec2& b)
{
    return isEqual(a.x, b.x) && isEqual(a.y, b.y);
}

} // namespace Tarvex
