#include <tarvex/objects/Tarvex2DGeometryLine.h>

namespace Tarvex {

using Geometry::Vec2;

Tarvex2DGeometryLine::Tarvex2DGeometryLine(const Vec2& startPoint, const Vec2& endPoint)
    : start(startPoint), end(endPoint)
{
}

Tarvex2DGeometryLine::~Tarvex2DGeometryLine() = default;

std::vector<Vec2> Tarvex2DGeometryLine::getPoints() const
{
    return {start, end};
}

bool Tarvex2DGeometryLine::hasPoints() const
{
    return true;
}

bool Tarvex2DGeometryLine::isPolygon() const
{
    return true;
}

bool Tarvex2DGeometryLine::isRectangle() const
{
    return false;
}

std::unique_ptr<Tarvex2DGeometry> Tarvex2DGeometryLine::clone() const
{
    return std::make_unique<Tarvex2DGeometryLine>(*this);
}

double Tarvex2DGeometryLine::totalRotationAngle() const
{
    return 0.0;
}

Tarvex2DGeometry& Tarvex2DGeometryLine::transformGeometry(const Geometry::Transform2D& transform)
{
    start = transform.transformedVector(start);
    end = transform.transformedVector(end);
    return *this;
}

bool Tarvex2DGeometryLine::isPointOnLine(const Vec2& point) const
{
    return isOnSegment(start, end, point);
}

bool Tarvex2DGeometryLine::intersects(const Tarvex2DGeometryLine& other) const
{
    return segmentsIntersect(start, end, other.start, other.end);
}

bool Tarvex2DGeometryLine::isOnSegment(const Vec2& a, const Vec2& b, const Vec2& point)
{
    if (isEqual(point, a) || isEqual(point, b))
        return true;
    const Vec2 along = b - a;
    if (isEqual(along.x, 0.0) && isEqual(along.y, 0.0))
        return false;
    const Vec2 towardsPoint = point - a;
    if (!isEqual(along.normalized(), towardsPoint.normalized()))
        return false;
    const double length = along.length();
    const double distance = towardsPoint.length();
    return length >= distance || isEqual(length, distance);
}

bool Tarvex2DGeometryLine::segmentsIntersect(const Vec2& a0, const Vec2& a1, const Vec2& b0, const Vec2& b1)
{
    const Vec2 dA = a1 - a0;
    const Vec2 dB = b1 - b0;
    if (isEqual(dB, dA) || isEqual(-dB, dA))
        return false;
    const Vec2 u = dA.normalized();
    const Vec2 normal(u.y, -u.x);
    const double denominator = normal.dot(dB);
    if (denominator == 0.0)
        return false;
    const double t = normal.dot(b0 - a0) / denominator;
    const Vec2 crossing = b0 - dB * t;
    return isOnSegment(a0, a1, crossing) && isOnSegment(b0, b1, crossing);
}

} // namespace Tarvex
