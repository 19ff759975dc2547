#pragma once

#include <tarvex/host/Bound.h>
#include <tarvex/host/Transform2D.h>
#include <tarvex/host/Vec.h>

#include <memory>
#include <vector>

namespace Tarvex {

class Tarvex2DGeometryLine;
class Tarvex2DGeometryPolygon;
class Tarvex2DGeometryRectangle;

/// A plane shape of the object model: a part outline, a layer cell, a hole or a footprint.
/// All tests work on doubles with one absolute tolerance, `EPS`: two values are equal when
/// they are identical or differ by less than `EPS`.
class Tarvex2DGeometry
{
public:
    /// The absolute tolerance of every comparison (metres in the object model).
    static constexpr double EPS = 1e-6;
    /// The owned holes of a shape.
    using HoleList = std::vector<std::unique_ptr<Tarvex2DGeometry>>;

    virtual ~Tarvex2DGeometry();

    /// The outline points in order, without a repeated end point.
    virtual std::vector<Geometry::Vec2> getPoints() const = 0;
    /// True when `getPoints` has any, found without making them where the shape can.
    virtual bool hasPoints() const;
    /// The sides: each point joined to the next, then the last one to the first.
    virtual std::vector<Tarvex2DGeometryLine> getSides() const = 0;
    /// True for shapes kept as an explicit point list (polygons and lines).
    virtual bool isPolygon() const = 0;
    /// True for shapes whose outline is a rectangle.
    virtual bool isRectangle() const = 0;
    /// The shape as a polygon with its holes; empty when it has no polygon form.
    virtual std::unique_ptr<Tarvex2DGeometryPolygon> toPolygon() const = 0;
    /// The shape as a rectangle with its holes; empty when it is not one.
    virtual std::unique_ptr<Tarvex2DGeometryRectangle> toRectangle() const = 0;
    /// True when a side of `other` meets a side of this shape.
    virtual bool isTouching(const Tarvex2DGeometry& other) const = 0;
    /// True when `point` lies on a side.
    virtual bool isTouching(const Geometry::Vec2& point) const = 0;
    /// True when every point of `other` is contained; `inclusive` counts the outline as inside.
    virtual bool isContaining(const Tarvex2DGeometry& other, bool inclusive) const = 0;
    /// True when `point` is inside; a point on the outline gives `inclusive`. Holes are
    /// not consulted.
    virtual bool isContaining(const Geometry::Vec2& point, bool inclusive) const = 0;
    /// True when some point of `other` is contained (outline included).
    virtual bool isOverlapping(const Tarvex2DGeometry& other) const = 0;
    /// True when some points of `other` are contained and others are not.
    virtual bool isPartialOverlapping(const Tarvex2DGeometry& other) const = 0;
    /// Grows this shape by `other` when both touch and the union is one piece; false and
    /// unchanged otherwise.
    virtual bool unite(const Tarvex2DGeometry& other) = 0;
    /// Removes `other` from this shape when the rest is one piece; false and unchanged
    /// otherwise.
    virtual bool substract(const Tarvex2DGeometry& other) = 0;
    /// A deep copy, holes included.
    virtual std::unique_ptr<Tarvex2DGeometry> clone() const = 0;
    /// The bound of the outline points; the bound of (0, 0) when there are none.
    virtual Geometry::Bound2D getBound() const = 0;
    /// True when both outlines have equal points in the same order (holes not compared).
    virtual bool isEquivalent(const Tarvex2DGeometry& other) const = 0;
    /// Copies of the holes of `other` that are equivalent to one of this shape's holes.
    virtual HoleList matchingHoles(const Tarvex2DGeometry& other) const = 0;
    /// The sum of the turning angles (asin of the cross product of the unit side vectors at
    /// every point). Positive sums are called clockwise here; 0 below three points.
    virtual double totalRotationAngle() const = 0;
    /// A transformed deep copy.
    virtual std::unique_ptr<Tarvex2DGeometry> createTransformedGeometry(
        const Geometry::Transform2D& transform) const = 0;
    /// Maps the shape by `transform` and returns it.
    virtual Tarvex2DGeometry& transformGeometry(const Geometry::Transform2D& transform) = 0;
    /// The placement of the shape's local frame; the identity for shapes kept as points.
    virtual Geometry::Transform2D getTransform() const;
    /// True when the shape has holes.
    virtual bool hasHoles() const = 0;
    /// The holes.
    virtual const HoleList& getHoles() const = 0;
    /// The holes, for changing.
    virtual HoleList& getHoles() = 0;
    /// Adds a hole, merging it into the first existing hole it unites with.
    virtual void addHole(std::unique_ptr<Tarvex2DGeometry> hole) = 0;
    /// Drops repeated and collinear points of the outline and of every hole.
    virtual void removeRedundantPoints() = 0;
    /// The common part of this shape and `other`; empty when there is none or the shape
    /// cannot be clipped.
    virtual std::unique_ptr<Tarvex2DGeometry> clip(const Tarvex2DGeometry& other) const = 0;
    /// True when some side of this shape intersects `line`.
    virtual bool isTouching(const Tarvex2DGeometryLine& line) const = 0;

    /// True when `a` and `b` are identical or differ by less than `EPS`.
    static bool isEqual(double a, double b);
    /// True when both coordinates are equal in the sense of `isEqual`.
    static bool isEqual(const Geometry::Vec2& a, const Geometry::Vec2& b);

protected:
    Tarvex2DGeometry() = default;
    Tarvex2DGeometry(const Tarvex2DGeometry&) = default;
    Tarvex2DGeometry(Tarvex2DGeometry&&) = default;
    Tarvex2DGeometry& operator=(const Tarvex2DGeometry&) = default;
    Tarvex2DGeometry& operator=(Tarvex2DGeometry&&) = default;

    /// The union step of `unite`, without the hole bookkeeping.
    virtual bool do_unite(const Tarvex2DGeometry& other) = 0;
    /// The difference step of `substract`, without the hole bookkeeping.
    virtual bool do_substract(const Tarvex2DGeometry& other) = 0;
    /// The outline step of `removeRedundantPoints`.
    virtual void do_removeRedundantPoints() = 0;
};

} // namespace Tarvex
