#pragma once

#include <tarvex/host/Bound.h>

#include <array>
#include <vector>

namespace Geometry {

class Box;
class PolygonPrism;

/// Visits the kinds of solid the geometry library knows; each visit does nothing by default.
class GeometryVisitorConst
{
public:
    virtual ~GeometryVisitorConst();
    /// Called for a box.
    virtual void visit(const Box& box);
    /// Called for a polygon prism.
    virtual void visit(const PolygonPrism& prism);
};

/// A solid of the geometry library.
class Solid
{
public:
    virtual ~Solid();
    /// Calls the visitor's visit for this kind of solid.
    virtual void accept(GeometryVisitorConst& visitor) const = 0;
    /// The box holding the solid.
    virtual Bound getBound() const = 0;
};

/// An axis-aligned box; a box without extent along one axis is a flat rectangle.
class Box : public Solid
{
public:
    /// The box filling `bound`.
    explicit Box(const Bound& bound);
    void accept(GeometryVisitorConst& visitor) const override;
    Bound getBound() const override { return m_bound; }
    /// The four corners of the face at the low end of `axis` (0 x, 1 y, 2 z), going round
    /// from the low corner along the next axis first.
    std::array<Vec3, 4> getLowFaceCornerPoints(int axis) const;

private:
    Bound m_bound;
};

/// A polygon in the plane y = base, extruded upwards (along y) by a height; with height 0 it
/// is a flat outline.
class PolygonPrism : public Solid
{
public:
    /// The prism over `outline` (points with their y at the base) of `height`.
    PolygonPrism(std::vector<Vec3> outline, double height);
    void accept(GeometryVisitorConst& visitor) const override;
    Bound getBound() const override;
    /// The outline at the base, in order.
    const std::vector<Vec3>& getLowCornerPoints() const { return m_outline; }
    /// The extrusion height.
    double getHeight() const { return m_height; }

private:
    std::vector<Vec3> m_outline;
    double m_height;
};

} // namespace Geometry
