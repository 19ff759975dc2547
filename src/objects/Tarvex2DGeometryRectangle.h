#pragma once

#include <tarvex/objects/Tarvex2DGeometryBase.h>

namespace Tarvex {

/// A rectangle: `size` (width along local x, height along local y, both non-negative)
/// placed in the plane by `transform`.
class Tarvex2DGeometryRectangle : public Tarvex2DGeometryBase
{
public:
    /// The rectangle at `origin` with the given size and orientation; a negative width or
    /// height moves the origin by it and is made positive.
    Tarvex2DGeometryRectangle(const Geometry::Vec2& origin, const Geometry::Vec2& size,
                              const Geometry::Transform2D& orientation = Geometry::Transform2D());
    Tarvex2DGeometryRectangle(const Tarvex2DGeometryRectangle& other) = default;
    Tarvex2DGeometryRectangle(Tarvex2DGeometryRectangle&& other) noexcept = default;
    Tarvex2DGeometryRectangle& operator=(const Tarvex2DGeometryRectangle& other) = default;
    Tarvex2DGeometryRectangle& operator=(Tarvex2DGeometryRectangle&& other) noexcept = default;
    ~Tarvex2DGeometryRectangle() override;

    /// The local corners (0, 0), (0, h), (w, h), (w, 0) placed by `transform`.
    std::vector<Geometry::Vec2> getPoints() const override;
    /// True: the outline has its fixed number of points.
    bool hasPoints() const override;
    /// False.
    bool isPolygon() const override;
    /// True.
    bool isRectangle() const override;
    /// The polygon through the corners, with clones of the holes.
    std::unique_ptr<Tarvex2DGeometryPolygon> toPolygon() const override;
    /// A copy.
    std::unique_ptr<Tarvex2DGeometryRectangle> toRectangle() const override;
    std::unique_ptr<Tarvex2DGeometry> clone() const override;
    /// 2π.
    double totalRotationAngle() const override;
    /// Applies `transform` after the placement.
    Tarvex2DGeometry& transformGeometry(const Geometry::Transform2D& transform) override;
    /// The placement.
    Geometry::Transform2D getTransform() const override;
    /// The polygon form clipped by `other`; a rectangle when the piece is one.
    std::unique_ptr<Tarvex2DGeometry> clip(const Tarvex2DGeometry& other) const override;

    /// Width and height.
    const Geometry::Vec2& getSize() const { return size; }

private:
    Geometry::Vec2 size;
    Geometry::Transform2D transform;
};

} // namespace Tarvex
