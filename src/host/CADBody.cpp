#include <tarvex/host/CADBody.h>

#include <cmath>

namespace CADinterface {

using Geometry::Vec2;
using Geometry::Vec3;

namespace {

/// Twice the signed area of the outline: positive when it turns from +x towards +z.
double doubleArea(const std::vector<Vec2>& outline)
{
    double sum = 0.0;
    for (size_t i = 0; i < outline.size(); ++i)
        sum += outline[i].cross(outline[(i + 1) % outline.size()]);
    return sum;
}

} // namespace

QString CADBody::prismProblem(const std::vector<Vec2>& outline, double height)
{
    if (!std::isfinite(height))
        return QStringLiteral("the prism's height is not a finite number");
    if (height < 0.0)
        return QStringLiteral("the prism's height is negative");
    if (outline.size() < 3)
        return QStringLiteral("a prism needs at least three points");
    for (size_t i = 0; i < outline.size(); ++i) {
        if (!std::isfinite(outline[i].x) || !std::isfinite(outline[i].y))
            return QStringLiteral("an outline point is not finite");
        if (i > 0 && outline[i] == outline[i - 1])
            return QStringLiteral("a point repeats the one before it");
    }
    if (outline.front() == outline.back())
        return QStringLiteral("the last point repeats the first (the outline closes by itself)");
    const double area = doubleArea(outline);
    if (!(std::abs(area) > 0.0) || !std::isfinite(area))
        return QStringLiteral("the prism's outline has no area");
    return QString();
}

CADBody CADBody::box(const Geometry::Bound& local, const Vec3& placement)
{
    CADBody body;
    body.m_kind = Kind::Box;
    body.m_box = local;
    body.m_placement = placement;
    return body;
}

CADBody CADBody::prism(std::vector<Vec2> outline, double base, double height, const Vec3& placement)
{
    CADBody body;
    body.m_kind = Kind::Prism;
    body.m_outline = std::move(outline);
    body.m_base = base;
    body.m_height = height;
    body.m_placement = placement;
    return body;
}

Geometry::Bound CADBody::getBound() const
{
    if (m_kind == Kind::Box)
        return m_box.isEmpty() ? m_box : Geometry::Bound(m_box.getLow() + m_placement, m_box.getHigh() + m_placement);
    Geometry::Bound bound;
    for (const Vec2& point : m_outline) {
        bound.unite(Vec3(point.x, m_base, point.y) + m_placement);
        bound.unite(Vec3(point.x, m_base + m_height, point.y) + m_placement);
    }
    return bound;
}

std::vector<CADFace> CADBody::getFaces() const
{
    std::vector<CADFace> faces;
    if (m_kind == Kind::Box) {
        if (m_box.isEmpty())
            return faces;
        const Vec3 low = m_box.getLow() + m_placement;
        const Vec3 high = m_box.getHigh() + m_placement;
        const Vec3 centre = (low + high) * 0.5;
        // Numbered as the solver project numbers the faces of a box.
        const struct
        {
            int axis;
            bool high;
        } order[] = {{2, false}, {1, false}, {0, false}, {0, true}, {1, true}, {2, true}};
        for (const auto& side : order) {
            CADFace face;
            face.number = int(faces.size()) + 1;
            face.normal[side.axis] = side.high ? 1.0 : -1.0;
            face.centre = centre;
            face.centre[side.axis] = side.high ? high[side.axis] : low[side.axis];
            faces.push_back(face);
        }
        return faces;
    }
    if (m_outline.empty())
        return faces;
    Vec2 middle;
    for (const Vec2& point : m_outline)
        middle += point;
    middle = middle / double(m_outline.size());
    const double bottom = m_base + m_placement.y;
    const double top = bottom + m_height;
    faces.push_back({1, Vec3(0.0, -1.0, 0.0), Vec3(middle.x, bottom, middle.y) + Vec3(m_placement.x, 0.0, m_placement.z)});
    faces.push_back({2, Vec3(0.0, 1.0, 0.0), Vec3(middle.x, top, middle.y) + Vec3(m_placement.x, 0.0, m_placement.z)});
    // The outward side of an edge is to its right when the outline turns from +x to +z.
    const double turn = doubleArea(m_outline) >= 0.0 ? 1.0 : -1.0;
    for (size_t i = 0; i < m_outline.size(); ++i) {
        const Vec2& from = m_outline[i];
        const Vec2& to = m_outline[(i + 1) % m_outline.size()];
        const Vec2 outward = Vec2((to.y - from.y) * turn, -(to.x - from.x) * turn).normalized();
        const Vec2 mid = (from + to) * 0.5;
        faces.push_back({int(faces.size()) + 1, Vec3(outward.x, 0.0, outward.y),
                         Vec3(mid.x, (bottom + top) * 0.5, mid.y) + Vec3(m_placement.x, 0.0, m_placement.z)});
    }
    return faces;
}

bool CADBody::operator==(const CADBody& other) const
{
    if (m_kind != other.m_kind || m_placement != other.m_placement)
        return false;
    if (m_kind == Kind::Box)
        return m_box == other.m_box;
    return m_outline == other.m_outline && m_base == other.m_base && m_height == other.m_height;
}

} // namespace CADinterface
