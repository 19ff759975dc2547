#include <tarvex/objects/Tarvex2DGeometryOutline.h>

#include <tarvex/objects/Tarvex2DGeometry.h>
#include <tarvex/objects/Tarvex2DGeometryLine.h>

#include <algorithm>

namespace Tarvex {

using Geometry::Vec2;

Tarvex2DGeometryOutline::Tarvex2DGeometryOutline(const Tarvex2DGeometry& shape)
    : Tarvex2DGeometryOutline(shape.getPoints())
{
}

Tarvex2DGeometryOutline::Tarvex2DGeometryOutline(std::vector<Vec2> points)
    : m_points(std::move(points)), m_box(Tarvex2DOutlineBox::of(m_points))
{
}

bool Tarvex2DGeometryOutline::contains(const Vec2& point, bool inclusive) const
{
    if (m_box.isOutside(point))
        return false;
    const size_t n = m_points.size();
    for (size_t i = 0; i < n; ++i) {
        const Vec2& a = m_points[i];
        const Vec2& b = m_points[(i + 1) % n];
        if (!isOffSide(a, b, point) && Tarvex2DGeometryLine::isOnSegment(a, b, point))
            return inclusive;
    }
    bool inside = false;
    for (size_t i = 0; i < n; ++i) {
        const Vec2& pi = m_points[i];
        const Vec2& pj = m_points[(i + 1) % n];
        if ((pi.y <= point.y && point.y < pj.y) || (pj.y <= point.y && point.y < pi.y)) {
            const double xc = (pj.x - pi.x) * ((point.y - pi.y) / (pj.y - pi.y)) + pi.x;
            if (Tarvex2DGeometry::isEqual(xc, point.x))
                return true;
            if (xc > point.x)
                inside = !inside;
        }
    }
    return inside;
}

bool Tarvex2DGeometryOutline::isOffSide(const Vec2& a, const Vec2& b, const Vec2& point) const
{
    // The outline box's margin holds every point the side test can accept around any side,
    // so it does around this one.
    const double margin = m_box.margin;
    return m_box.usable
        && (point.x < std::min(a.x, b.x) - margin || point.x > std::max(a.x, b.x) + margin
            || point.y < std::min(a.y, b.y) - margin || point.y > std::max(a.y, b.y) + margin);
}

bool Tarvex2DGeometryOutline::isOnOutline(const std::vector<Vec2>& points, const Vec2& point)
{
    const size_t n = points.size();
    for (size_t i = 0; i < n; ++i) {
        if (Tarvex2DGeometryLine::isOnSegment(points[i], points[(i + 1) % n], point))
            return true;
    }
    return false;
}

} // namespace Tarvex
