#pragma once

#include <tarvex/host/Vec.h>

namespace Tarvex {

/// A segment of space from `start` to `end`: an edge of a solid.
class Tarvex3DGeometryLine
{
public:
    /// The tolerance of the point tests (metres).
    static constexpr double EPS = 1e-6;

    /// The segment from `start` to `end`.
    Tarvex3DGeometryLine(const Geometry::Vec3& start, const Geometry::Vec3& end);

    /// The first end point.
    const Geometry::Vec3& getStart() const { return start; }
    /// The second end point.
    const Geometry::Vec3& getEnd() const { return end; }

    /// True when `point` equals an end (per coordinate within `EPS`), or when the directions
    /// from the start to the end and to `point` agree per coordinate within `EPS` and `point`
    /// is not farther from the start than the end is (or equally far within `EPS`).
    bool isPointOnLine(const Geometry::Vec3& point) const;
    /// True when the point of `other`'s line nearest to this segment's line lies on this
    /// segment and on `other`. Parallel lines never meet.
    bool meets(const Tarvex3DGeometryLine& other) const;

private:
    Geometry::Vec3 start;
    Geometry::Vec3 end;
};

} // namespace Tarvex
