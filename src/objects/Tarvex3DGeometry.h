#pragma once

#include <tarvex/host/Bound.h>
#include <tarvex/host/Transform.h>
#include <tarvex/host/Vec.h>

#include <functional>
#include <memory>
#include <vector>

namespace Tarvex {

class Tarvex3DGeometryLine;

/// A solid of the object model. The one kind there is, `Tarvex3DGeometry2DExtrusion`,
/// is a plane shape extruded along its placement's z axis.
class Tarvex3DGeometry
{
public:
    virtual ~Tarvex3DGeometry();

    /// The bound of all vertices; the bound of the origin when there are none.
    virtual Geometry::Bound getBound() const = 0;
    /// True for a `Tarvex3DGeometry2DExtrusion`.
    virtual bool isExtrusion() const;
    /// True when an edge of `other` meets an edge of this solid.
    virtual bool isTouching(const Tarvex3DGeometry& other) const = 0;
    /// True when `point` lies on a side face.
    virtual bool isTouching(const Geometry::Vec3& point) const = 0;
    /// True when every vertex of `other` is inside or on this solid.
    virtual bool isContaining(const Tarvex3DGeometry& other) const = 0;
    /// True when `point` is inside or on this solid.
    virtual bool isContaining(const Geometry::Vec3& point) const = 0;
    /// True when edges meet or a vertex of either solid lies in the other.
    virtual bool isOverlapping(const Tarvex3DGeometry& other) const = 0;
    /// Grows this solid by `other` where the two join into one; false and unchanged
    /// otherwise.
    virtual bool unite(const Tarvex3DGeometry& other) = 0;
    /// A deep copy.
    virtual std::unique_ptr<Tarvex3DGeometry> clone() const = 0;
    /// Applies `transform` after the solid's placement and returns the solid.
    virtual Tarvex3DGeometry& transformGeometry(const Geometry::Transform& transform) = 0;
    /// The vertices: the bottom points, then the top points.
    virtual std::vector<Geometry::Vec3> getPoints() const = 0;
    /// True when `getPoints` has any, found without placing them where the solid can.
    virtual bool hasPoints() const;
    /// The edges: bottom edges, vertical edges, top edges.
    virtual std::vector<Tarvex3DGeometryLine> getEdges() const = 0;
    /// One solid per hole: this solid with the hole as its footprint.
    virtual std::vector<std::unique_ptr<Tarvex3DGeometry>> getHoles() const = 0;
    /// A transformed deep copy.
    virtual std::unique_ptr<Tarvex3DGeometry> createTransformedGeometry(const Geometry::Transform& transform) const;
    /// The vertices of `createTransformedGeometry(transform)`, without making the copy where
    /// the solid can.
    virtual std::vector<Geometry::Vec3> getTransformedPoints(const Geometry::Transform& transform) const;
    /// A question asked of one vertex.
    using PointTest = std::function<bool(const Geometry::Vec3&)>;
    /// True when `test` holds for every vertex of `createTransformedGeometry(transform)`,
    /// asked in their order and no further than the first that fails.
    virtual bool allTransformedPoints(const Geometry::Transform& transform, const PointTest& test) const;

protected:
    Tarvex3DGeometry() = default;
    Tarvex3DGeometry(const Tarvex3DGeometry&) = default;
    Tarvex3DGeometry& operator=(const Tarvex3DGeometry&) = default;
};

} // namespace Tarvex
