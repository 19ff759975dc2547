#pragma once

#include <tarvex/host/Vec.h>

#include <vector>

namespace Tarvex {

/// The box of an outline grown by a margin that holds every point the outline tests
/// (`Tarvex2DGeometry::EPS` on end points and directions) can still find touching or inside.
/// Boxes only answer "certainly apart"; an unusable box (no points, or a coordinate that is
/// not finite) never does.
struct Tarvex2DOutlineBox
{
    Geometry::Vec2 low;
    Geometry::Vec2 high;
    double margin = 0.0;
    bool usable = false;

    /// The box of `points`.
    static Tarvex2DOutlineBox of(const std::vector<Geometry::Vec2>& points);
    /// True when `point` is certainly outside the outline and off its sides.
    bool isOutside(const Geometry::Vec2& point) const;
    /// True when no side of either outline can meet a side or point of the other.
    bool isApart(const Tarvex2DOutlineBox& other) const;
};

} // namespace Tarvex
