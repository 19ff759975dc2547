#include <tarvex/objects/Tarvex2DOutlineBox.h>

#include <tarvex/objects/Tarvex2DGeometry.h>

#include <algorithm>
#include <cmath>

namespace Tarvex {

using Geometry::Vec2;

Tarvex2DOutlineBox Tarvex2DOutlineBox::of(const std::vector<Vec2>& points)
{
    Tarvex2DOutlineBox box;
    if (points.empty())
        return box;
    box.low = box.high = points.front();
    for (const Vec2& p : points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return box;
        box.low = Vec2(std::min(box.low.x, p.x), std::min(box.low.y, p.y));
        box.high = Vec2(std::max(box.high.x, p.x), std::max(box.high.y, p.y));
    }
    // A point passes the side test up to about EPS * (1 + 1.5 * side length) away from the
    // side; the relative term covers rounding at large coordinates.
    const double extent = (box.high - box.low).length();
    const double magnitude =
        std::max({std::abs(box.low.x), std::abs(box.low.y), std::abs(box.high.x), std::abs(box.high.y)});
    box.margin = Tarvex2DGeometry::EPS * (3.0 + 2.0 * extent) + 1e-9 * magnitude;
    box.usable = std::isfinite(box.margin);
    return box;
}

bool Tarvex2DOutlineBox::isOutside(const Vec2& point) const
{
    return usable
        && (point.x < low.x - margin || point.x > high.x + margin || point.y < low.y - margin
            || point.y > high.y + margin);
}

bool Tarvex2DOutlineBox::isApart(const Tarvex2DOutlineBox& other) const
{
    if (!usable || !other.usable)
        return false;
    const double both = margin + other.margin;
    return high.x + both < other.low.x || other.high.x + both < low.x || high.y + both < other.low.y
        || other.high.y + both < low.y;
}

} // namespace Tarvex
