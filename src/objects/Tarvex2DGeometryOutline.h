#pragma once

#include <tarvex/objects/Tarvex2DOutlineBox.h>

#include <tarvex/host/Vec.h>

#include <vector>

namespace Tarvex {

class Tarvex2DGeometry;

/// The outline of a plane shape made ready for many point tests: the points and their box are
/// found once. Every shape answers its point tests through this class, so the answers are the
/// shape's own.
class Tarvex2DGeometryOutline
{
public:
    /// The outline of `shape` (its `getPoints`).
    explicit Tarvex2DGeometryOutline(const Tarvex2DGeometry& shape);
    /// The outline through `points`, in order.
    explicit Tarvex2DGeometryOutline(std::vector<Geometry::Vec2> points);

    /// True when `point` is inside; a point on the outline gives `inclusive`. A crossing count
    /// along +x decides the rest, a crossing at the point's own x counting as inside.
    bool contains(const Geometry::Vec2& point, bool inclusive) const;
    /// The outline points.
    const std::vector<Geometry::Vec2>& getPoints() const { return m_points; }

    /// True when `point` lies on a side of the closed outline through `points`.
    static bool isOnOutline(const std::vector<Geometry::Vec2>& points, const Geometry::Vec2& point);

private:
    // True when `point` is too far from the side a-b for the side test to accept it.
    bool isOffSide(const Geometry::Vec2& a, const Geometry::Vec2& b, const Geometry::Vec2& point) const;

    std::vector<Geometry::Vec2> m_points;
    Tarvex2DOutlineBox m_box;
};

} // namespace Tarvex
