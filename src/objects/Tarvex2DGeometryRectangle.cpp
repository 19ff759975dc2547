#include <tarvex/objects/Tarvex2DGeometryRectangle.h>

#include <tarvex/objects/Tarvex2DGeometryPolygon.h>

namespace Tarvex {

using Geometry::Transform2D;
using Geometry::Vec2;

Tarvex2DGeometryRectangle::Tarvex2DGeometryRectangle(const Vec2& origin, const Vec2& rectangleSize,
                                                     const Transform2D& orientation)
    : size(rectangleSize)
{
    Vec2 corner = origin;
    if (size.x < 0.0) {
        corner.x += size.x;
        size.x = -size.x;
    }
    if (size.y < 0.0) {
        corner.y += size.y;
        size.y = -size.y;
    }
    transform = Transform2D::multiply(Transform2D::createTranslation(corner), orientation);
}

Tarvex2DGeometryRectangle::~Tarvex2DGeometryRectangle() = default;

std::vector<Vec2> Tarvex2DGeometryRectangle::getPoints() const
{
    return {transform.transformedVector(Vec2(0.0, 0.0)), transform.transformedVector(Vec2(0.0, size.y)),
            transform.transformedVector(Vec2(size.x, size.y)), transform.transformedVector(Vec2(size.x, 0.0))};
}

bool Tarvex2DGeometryRectangle::hasPoints() const
{
    return true;
}

bool Tarvex2DGeometryRectangle::isPolygon() const
{
    return false;
}

bool Tarvex2DGeometryRectangle::isRectangle() const
{
    return true;
}

std::unique_ptr<Tarvex2DGeometryPolygon> Tarvex2DGeometryRectangle::toPolygon() const
{
    auto polygon = std::make_unique<Tarvex2DGeometryPolygon>(getPoints());
    for (const auto& hole : holes) {
        if (hole)
            polygon->getHoles().push_back(hole->clone());
    }
    return polygon;
}

std::unique_ptr<Tarvex2DGeometryRectangle> Tarvex2DGeometryRectangle::toRectangle() const
{
    return std::make_unique<Tarvex2DGeometryRectangle>(*this);
}

std::unique_ptr<Tarvex2DGeometry> Tarvex2DGeometryRectangle::clone() const
{
    return std::make_unique<Tarvex2DGeometryRectangle>(*this);
}

double Tarvex2DGeometryRectangle::totalRotationAngle() const
{
    return 2.0 * Transform2D::pi;
}

Tarvex2DGeometry& Tarvex2DGeometryRectangle::transformGeometry(const Transform2D& t)
{
    transform = Transform2D::multiply(t, transform);
    return *this;
}

Transform2D Tarvex2DGeometryRectangle::getTransform() const
{
    return transform;
}

std::unique_ptr<Tarvex2DGeometry> Tarvex2DGeometryRectangle::clip(const Tarvex2DGeometry& other) const
{
    std::unique_ptr<Tarvex2DGeometry> piece = toPolygon()->clip(other);
    if (!piece)
        return nullptr;
    if (std::unique_ptr<Tarvex2DGeometryRectangle> rectangle = piece->toRectangle())
        return rectangle;
    return piece;
}

} // namespace Tarvex
