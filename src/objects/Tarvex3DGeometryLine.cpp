#include <tarvex/objects/Tarvex3DGeometryLine.h>

#include <cmath>

namespace Tarvex {

using Geometry::Vec3;

namespace {

bool isEqual(double a, double b)
{
    return a == b || std::abs(a - b) < Tarvex3DGeometryLine::EPS;
}

bool isEqual(const Vec3& a, const Vec3& b)
{
    return isEqual(a.x, b.x) && isEqual(a.y, b.y) && isEqual(a.z, b.z);
}

} // namespace

Tarvex3DGeometryLine::Tarvex3DGeometryLine(const Vec3& startPoint, const Vec3& endPoint)
    : start(startPoint), end(endPoint)
{
}

bool Tarvex3DGeometryLine::isPointOnLine(const Vec3& point) const
{
    if (isEqual(point, start) || isEqual(point, end))
        return true;
    const Vec3 along = end - start;
    const Vec3 towardsPoint = point - start;
    if (!isEqual(along.normalized(), towardsPoint.normalized()))
        return false;
    const double length = along.length();
    const double distance = towardsPoint.length();
    return length >= distance || isEqual(length, distance);
}

bool Tarvex3DGeometryLine::meets(const Tarvex3DGeometryLine& other) const
{
    const Vec3 d = (end - start).normalized();
    const Vec3 e = other.end - other.start;
    const Vec3 w = e - d * e.dot(d);
    const double denominator = e.dot(w);
    if (denominator == 0.0)
        return false;
    const Vec3 nearest = other.start - e * ((other.start - start).dot(w) / denominator);
    // The nearest point is taken on the other edge's whole line; requiring it on the other
    // segment as well keeps edges of solids far apart from meeting through their extensions.
    return isPointOnLine(nearest) && other.isPointOnLine(nearest);
}

} // namespace Tarvex
