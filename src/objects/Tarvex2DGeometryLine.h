#pragma once

#include <tarvex/objects/Tarvex2DGeometryBase.h>

namespace Tarvex {

/// A segment from `start` to `end`. Every side of a shape is one; as a shape its outline is
/// the two end points.
class Tarvex2DGeometryLine : public Tarvex2DGeometryBase
{
public:
    /// The segment from `start` to `end`.
    Tarvex2DGeometryLine(const Geometry::Vec2& start, const Geometry::Vec2& end);
    Tarvex2DGeometryLine(const Tarvex2DGeometryLine& other) = default;
    Tarvex2DGeometryLine(Tarvex2DGeometryLine&& other) noexcept = default;
    Tarvex2DGeometryLine& operator=(const Tarvex2DGeometryLine& other) = default;
    Tarvex2DGeometryLine& operator=(Tarvex2DGeometryLine&& other) noexcept = default;
    ~Tarvex2DGeometryLine() override;

    /// [start, end].
    std::vector<Geometry::Vec2> getPoints() const override;
    /// True: the outline has its fixed number of points.
    bool hasPoints() const override;
    /// True: a line is kept as its points.
    bool isPolygon() const override;
    /// False.
    bool isRectangle() const override;
    std::unique_ptr<Tarvex2DGeometry> clone() const override;
    /// 0: a segment does not turn.
    double totalRotationAngle() const override;
    /// Maps both end points.
    Tarvex2DGeometry& transformGeometry(const Geometry::Transform2D& transform) override;

    /// The first end point.
    const Geometry::Vec2& getStart() const { return start; }
    /// The second end point.
    const Geometry::Vec2& getEnd() const { return end; }
    /// True when `point` lies on this segment (see `isOnSegment`).
    bool isPointOnLine(const Geometry::Vec2& point) const;
    /// True when this segment and `other` intersect (see `segmentsIntersect`).
    bool intersects(const Tarvex2DGeometryLine& other) const;

    /// True when `point` equals an end of the segment a-b, or, for a segment that is not a
    /// point, when the directions from a to b and from a to `point` agree within `EPS` per
    /// component and `point` is not farther from a than b is.
    static bool isOnSegment(const Geometry::Vec2& a, const Geometry::Vec2& b, const Geometry::Vec2& point);
    /// True when the lines through the segments a0-a1 and b0-b1 cross at a point that lies on
    /// both segments. Segments with equal or opposite difference vectors, and parallel ones,
    /// do not intersect.
    static bool segmentsIntersect(const Geometry::Vec2& a0, const Geometry::Vec2& a1, const Geometry::Vec2& b0,
                                  const Geometry::Vec2& b1);

private:
    Geometry::Vec2 start;
    Geometry::Vec2 end;
};

} // namespace Tarvex
