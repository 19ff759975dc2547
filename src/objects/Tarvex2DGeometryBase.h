#pragma once

#include <tarvex/objects/Tarvex2DGeometry.h>

namespace Tarvex {

/// The common implementation of the plane shapes: owns the holes and answers every test
/// from the outline points (`getPoints`). Copies clone the holes.
class Tarvex2DGeometryBase : public Tarvex2DGeometry
{
public:
    ~Tarvex2DGeometryBase() override;

    std::vector<Tarvex2DGeometryLine> getSides() const override;
    /// Empty: only polygons and rectangles have a polygon form.
    std::unique_ptr<Tarvex2DGeometryPolygon> toPolygon() const override;
    /// Empty: only polygons and rectangles have a rectangle form.
    std::unique_ptr<Tarvex2DGeometryRectangle> toRectangle() const override;
    bool isTouching(const Tarvex2DGeometry& other) const override;
    bool isTouching(const Geometry::Vec2& point) const override;
    bool isTouching(const Tarvex2DGeometryLine& line) const override;
    bool isContaining(const Tarvex2DGeometry& other, bool inclusive) const override;
    bool isContaining(const Geometry::Vec2& point, bool inclusive) const override;
    bool isOverlapping(const Tarvex2DGeometry& other) const override;
    bool isPartialOverlapping(const Tarvex2DGeometry& other) const override;
    bool unite(const Tarvex2DGeometry& other) override;
    bool substract(const Tarvex2DGeometry& other) override;
    Geometry::Bound2D getBound() const override;
    bool isEquivalent(const Tarvex2DGeometry& other) const override;
    HoleList matchingHoles(const Tarvex2DGeometry& other) const override;
    std::unique_ptr<Tarvex2DGeometry> createTransformedGeometry(
        const Geometry::Transform2D& transform) const override;
    bool hasHoles() const override;
    const HoleList& getHoles() const override;
    HoleList& getHoles() override;
    void addHole(std::unique_ptr<Tarvex2DGeometry> hole) override;
    void removeRedundantPoints() override;
    /// Empty: only polygons and rectangles can be clipped.
    std::unique_ptr<Tarvex2DGeometry> clip(const Tarvex2DGeometry& other) const override;

protected:
    Tarvex2DGeometryBase();
    Tarvex2DGeometryBase(const Tarvex2DGeometryBase& other);
    Tarvex2DGeometryBase(Tarvex2DGeometryBase&& other) noexcept;
    Tarvex2DGeometryBase& operator=(const Tarvex2DGeometryBase& other);
    Tarvex2DGeometryBase& operator=(Tarvex2DGeometryBase&& other) noexcept;

    bool do_unite(const Tarvex2DGeometry& other) override;
    bool do_substract(const Tarvex2DGeometry& other) override;
    void do_removeRedundantPoints() override;

    /// Replaces the holes by clones of the holes of `other`.
    void cloneHoles(const Tarvex2DGeometry& other);
    /// Hole bookkeeping after `other` was taken away from the outline.
    void substractHoles(const Tarvex2DGeometry& other);
    /// Hole bookkeeping after `other` was added to the outline.
    void uniteHoles(const Tarvex2DGeometry& other);
    /// Drops holes without area and merges holes that unite.
    void reduceHoles();

    /// The owned holes, each any shape.
    HoleList holes;

private:
    void substractHoles(const Tarvex2DGeometry& other, int depth);
};

} // namespace Tarvex
