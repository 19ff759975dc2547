#pragma once

#include <tarvex/objects/Tarvex2DGeometry.h>
#include <tarvex/objects/Tarvex3DGeometry.h>

namespace Tarvex {

/// A plane shape (`base`, in the local plane z = 0) extruded by `height` along local z and
/// placed in space by `placement`. Every query answers false, and every list is empty, when
/// there is no base.
class Tarvex3DGeometry2DExtrusion : public Tarvex3DGeometry
{
public:
    /// The tolerance of the height range and of the union rules (metres).
    static constexpr double EPS = 1e-6;

    /// `base` extruded from z = `position` by |`height`|. A negative height extrudes
    /// downwards in the file's sense: the solid starts at `position` - `height`.
    Tarvex3DGeometry2DExtrusion(std::unique_ptr<Tarvex2DGeometry> base, double position, double height);
    Tarvex3DGeometry2DExtrusion(const Tarvex3DGeometry2DExtrusion& other);
    Tarvex3DGeometry2DExtrusion& operator=(const Tarvex3DGeometry2DExtrusion& other);
    ~Tarvex3DGeometry2DExtrusion() override;

    Geometry::Bound getBound() const override;
    /// True.
    bool isExtrusion() const override;
    bool isTouching(const Tarvex3DGeometry& other) const override;
    bool isTouching(const Geometry::Vec3& point) const override;
    bool isContaining(const Tarvex3DGeometry& other) const override;
    bool isContaining(const Geometry::Vec3& point) const override;
    bool isOverlapping(const Tarvex3DGeometry& other) const override;
    /// Joins another extrusion of the same orientation: in the same base plane the bases
    /// unite (this height kept); stacked directly on top of or below this one with an
    /// equivalent base, the heights add up.
    bool unite(const Tarvex3DGeometry& other) override;
    std::unique_ptr<Tarvex3DGeometry> clone() const override;
    Tarvex3DGeometry& transformGeometry(const Geometry::Transform& transform) override;
    std::vector<Geometry::Vec3> getPoints() const override;
    /// True when there is a footprint with points.
    bool hasPoints() const override;
    /// The vertices placed by `transform` after the placement, as a transformed copy has them.
    std::vector<Geometry::Vec3> getTransformedPoints(const Geometry::Transform& transform) const override;
    /// Makes each vertex only when the ones before it passed.
    bool allTransformedPoints(const Geometry::Transform& transform, const PointTest& test) const override;
    std::vector<Tarvex3DGeometryLine> getEdges() const override;
    std::vector<std::unique_ptr<Tarvex3DGeometry>> getHoles() const override;

    /// The footprint, or null.
    const Tarvex2DGeometry* getBase() const { return base.get(); }
    /// The extrusion length, never negative.
    double getHeight() const { return height; }
    /// The map from the local frame to space.
    const Geometry::Transform& getPlacement() const { return placement; }
    /// Replaces the map from the local frame to space.
    void setPlacement(const Geometry::Transform& transform) { placement = transform; }
    /// The extrusion vector: `height` along the image of local z.
    Geometry::Vec3 getExtrusionVector() const;
    /// True when a local height lies between the bottom and the top, within `EPS`.
    bool isInHeightRange(double localZ) const;

private:
    std::vector<Geometry::Vec3> pointsPlacedBy(const Geometry::Transform& place) const;
    bool allPointsPlacedBy(const Geometry::Transform& place, const std::vector<Geometry::Vec2>& outline,
                           const PointTest& test) const;

    std::unique_ptr<Tarvex2DGeometry> base;
    double height;
    Geometry::Transform placement;
};

} // namespace Tarvex
