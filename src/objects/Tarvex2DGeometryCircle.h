#pragma once

#include <tarvex/objects/Tarvex2DGeometryBase.h>

namespace Tarvex {

/// A circle of `diameter` whose enclosing square [0, d] x [0, d] is placed by `transform`.
/// Its outline, and so every test on it, is that square's corners; it has no polygon form.
class Tarvex2DGeometryCircle : public Tarvex2DGeometryBase
{
public:
    /// The circle whose enclosing square has its low corner at `position`.
    Tarvex2DGeometryCircle(const Geometry::Vec2& position, double diameter);
    Tarvex2DGeometryCircle(const Tarvex2DGeometryCircle& other) = default;
    Tarvex2DGeometryCircle(Tarvex2DGeometryCircle&& other) noexcept = default;
    Tarvex2DGeometryCircle& operator=(const Tarvex2DGeometryCircle& other) = default;
    Tarvex2DGeometryCircle& operator=(Tarvex2DGeometryCircle&& other) noexcept = default;
    ~Tarvex2DGeometryCircle() override;

    /// The local corners (0, 0), (0, d), (d, d), (d, 0) placed by `transform`.
    std::vector<Geometry::Vec2> getPoints() const override;
    /// True: the outline has its fixed number of points.
    bool hasPoints() const override;
    /// False.
    bool isPolygon() const override;
    /// True: the outline is the enclosing square.
    bool isRectangle() const override;
    std::unique_ptr<Tarvex2DGeometry> clone() const override;
    /// 2π.
    double totalRotationAngle() const override;
    /// Applies `transform` after the placement.
    Tarvex2DGeometry& transformGeometry(const Geometry::Transform2D& transform) override;
    /// The placement.
    Geometry::Transform2D getTransform() const override;

    /// The diameter.
    double getDiameter() const { return diameter; }

private:
    double diameter;
    Geometry::Transform2D transform;
};

} // namespace Tarvex
