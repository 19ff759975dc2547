#include <tarvex/objects/Tarvex2DGeometryCircle.h>

namespace Tarvex {

using Geometry::Transform2D;
using Geometry::Vec2;

Tarvex2DGeometryCircle::Tarvex2DGeometryCircle(const Vec2& position, double circleDiameter)
    : diameter(circleDiameter),
      transform(Transform2D::multiply(Transform2D::createTranslation(position), Transform2D()))
{
}

Tarvex2DGeometryCircle::~Tarvex2DGeometryCircle() = default;

std::vector<Vec2> Tarvex2DGeometryCircle::getPoints() const
{
    return {transform.transformedVector(Vec2(0.0, 0.0)), transform.transformedVector(Vec2(0.0, diameter)),
            transform.transformedVector(Vec2(diameter, diameter)), transform.transformedVector(Vec2(diameter, 0.0))};
}

bool Tarvex2DGeometryCircle::hasPoints() const
{
    return true;
}

bool Tarvex2DGeometryCircle::isPolygon() const
{
    return false;
}

bool Tarvex2DGeometryCircle::isRectangle() const
{
    return true;
}

std::unique_ptr<Tarvex2DGeometry> Tarvex2DGeometryCircle::clone() const
{
    return std::make_unique<Tarvex2DGeometryCircle>(*this);
}

double Tarvex2DGeometryCircle::totalRotationAngle() const
{
    return 2.0 * Transform2D::pi;
}

Tarvex2DGeometry& Tarvex2DGeometryCircle::transformGeometry(const Transform2D& t)
{
    transform = Transform2D::multiply(t, transform);
    return *this;
}

Transform2D Tarvex2DGeometryCircle::getTransform() const
{
    return transform;
}

} // namespace Tarvex
