#include <tarvex/host/Solid.h>

namespace Geometry {

GeometryVisitorConst::~GeometryVisitorConst() = default;

void GeometryVisitorConst::visit(const Box&) {}

void GeometryVisitorConst::visit(const PolygonPrism&) {}

Solid::~Solid() = default;

Box::Box(const Bound& bound) : m_bound(bound) {}

void Box::accept(GeometryVisitorConst& visitor) const { visitor.visit(*this); }

std::array<Vec3, 4> Box::getLowFaceCornerPoints(int axis) const
{
    const int next = (axis + 1) % 3;
    const int last = (axis + 2) % 3;
    Vec3 corner = m_bound.getLow();
    std::array<Vec3, 4> points;
    points[0] = corner;
    corner[next] = m_bound.getHigh()[next];
    points[1] = corner;
    corner[last] = m_bound.getHigh()[last];
    points[2] = corner;
    corner[next] = m_bound.getLow()[next];
    points[3] = corner;
    return points;
}

PolygonPrism::PolygonPrism(std::vector<Vec3> outline, double height) : m_outline(std::move(outline)), m_height(height)
{
}

void PolygonPrism::accept(GeometryVisitorConst& visitor) const { visitor.visit(*this); }

Bound PolygonPrism::getBound() const
{
    Bound bound;
    for (const Vec3& point : m_outline) {
        bound.unite(point);
        bound.unite(Vec3(point.x, point.y + m_height, point.z));
    }
    return bound;
}

} // namespace Geometry
