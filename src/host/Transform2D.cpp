#include <tarvex/host/Transform2D.h>

#include <cmath>

namespace Geometry {

Transform2D::Transform2D() : m_xAxis(1.0, 0.0), m_yAxis(0.0, 1.0) {}

Transform2D::Transform2D(const Vec2& xAxis, const Vec2& yAxis) : m_xAxis(xAxis), m_yAxis(yAxis) {}

Transform2D::Transform2D(const Vec2& xAxis, const Vec2& yAxis, const Vec2& translation)
    : m_xAxis(xAxis), m_yAxis(yAxis), m_translation(translation)
{
}

Transform2D Transform2D::identity()
{
    return Transform2D();
}

Transform2D Transform2D::createTranslation(const Vec2& offset)
{
    return Transform2D(Vec2(1.0, 0.0), Vec2(0.0, 1.0), offset);
}

Transform2D Transform2D::createRotation(double angleRadians)
{
    const double c = std::cos(angleRadians);
    const double s = std::sin(angleRadians);
    return Transform2D(Vec2(c, s), Vec2(-s, c));
}

Transform2D Transform2D::createScale(const Vec2& factors)
{
    return Transform2D(Vec2(factors.x, 0.0), Vec2(0.0, factors.y));
}

Transform2D Transform2D::createMirror(const Vec2& normal)
{
    const Vec2 n = normal.normalized();
    if (n == Vec2())
        return Transform2D();
    // Householder reflection I - 2 n nᵀ; its columns are the images of the unit vectors.
    return Transform2D(Vec2(1.0 - 2.0 * n.x * n.x, -2.0 * n.y * n.x), Vec2(-2.0 * n.x * n.y, 1.0 - 2.0 * n.y * n.y));
}

Transform2D Transform2D::multiply(const Transform2D& a, const Transform2D& b)
{
    return Transform2D(a.transformVector(b.m_xAxis), a.transformVector(b.m_yAxis), a.transformedVector(b.m_translation));
}

Transform2D Transform2D::inverse() const
{
    const double det = getDeterminant();
    if (det == 0.0)
        return Transform2D();
    // Columns of the adjugate over the determinant.
    const Vec2 xAxis(m_yAxis.y / det, -m_xAxis.y / det);
    const Vec2 yAxis(-m_yAxis.x / det, m_xAxis.x / det);
    Transform2D result(xAxis, yAxis);
    result.m_translation = -result.transformVector(m_translation);
    return result;
}

Vec2 Transform2D::inverseTransformedVector(const Vec2& point) const
{
    return inverse().transformedVector(point);
}

bool Transform2D::isIdentity(double tolerance) const
{
    return isApprox(Transform2D(), tolerance);
}

bool Transform2D::isApprox(const Transform2D& other, double tolerance) const
{
    return m_xAxis.isApprox(other.m_xAxis, tolerance) && m_yAxis.isApprox(other.m_yAxis, tolerance)
        && m_translation.isApprox(other.m_translation, tolerance);
}

bool Transform2D::operator==(const Transform2D& other) const
{
    return m_xAxis == other.m_xAxis && m_yAxis == other.m_yAxis && m_translation == other.m_translation;
}

} // namespace Geometry
