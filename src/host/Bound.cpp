#include <tarvex/host/Bound.h>

#include <tarvex/host/Transform.h>
#include <tarvex/host/Transform2D.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>

namespace Geometry {

namespace {

// The three box classes share these axis-by-axis rules. A box is empty when its low end
// lies above its high end on some axis; the canonical empty box is (+max, -max) so that
// uniting with it needs no special case.

constexpr double emptyLow = std::numeric_limits<double>::max();
constexpr double emptyHigh = std::numeric_limits<double>::lowest();

double coordinate(double value, int)
{
    return value;
}

template <typename V>
double coordinate(const V& value, int axis)
{
    return value[axis];
}

double& coordinateRef(double& value, int)
{
    return value;
}

template <typename V>
double& coordinateRef(V& value, int axis)
{
    return value[axis];
}

template <typename V>
constexpr int dimensionOf()
{
    if constexpr (std::is_same_v<V, double>)
        return 1;
    else
        return V::dimension;
}

template <typename V>
void makeEmpty(V& low, V& high)
{
    for (int axis = 0; axis < dimensionOf<V>(); ++axis) {
        coordinateRef(low, axis) = emptyLow;
        coordinateRef(high, axis) = emptyHigh;
    }
}

template <typename V>
bool isEmptyBox(const V& low, const V& high)
{
    for (int axis = 0; axis < dimensionOf<V>(); ++axis) {
        if (coordinate(low, axis) > coordinate(high, axis))
            return true;
    }
    return false;
}

template <typename V>
void setCorners(V& low, V& high, const V& corner1, const V& corner2)
{
    for (int axis = 0; axis < dimensionOf<V>(); ++axis) {
        coordinateRef(low, axis) = std::min(coordinate(corner1, axis), coordinate(corner2, axis));
        coordinateRef(high, axis) = std::max(coordinate(corner1, axis), coordinate(corner2, axis));
    }
}

template <typename V>
bool isValidBox(const V& low, const V& high, double tolerance)
{
    if (isEmptyBox(low, high))
        return false;
    for (int axis = 0; axis < dimensionOf<V>(); ++axis) {
        if (coordinate(high, axis) - coordinate(low, axis) <= tolerance)
            return false;
    }
    return true;
}

template <typename V>
void uniteBox(V& low, V& high, const V& otherLow, const V& otherHigh)
{
    if (isEmptyBox(otherLow, otherHigh))
        return;
    for (int axis = 0; axis < dimensionOf<V>(); ++axis) {
        coordinateRef(low, axis) = std::min(coordinate(low, axis), coordinate(otherLow, axis));
        coordinateRef(high, axis) = std::max(coordinate(high, axis), coordinate(otherHigh, axis));
    }
}

template <typename V>
void intersectBox(V& low, V& high, const V& otherLow, const V& otherHigh)
{
    if (isEmptyBox(low, high) || isEmptyBox(otherLow, otherHigh)) {
        makeEmpty(low, high);
        return;
    }
    for (int axis = 0; axis < dimensionOf<V>(); ++axis) {
        coordinateRef(low, axis) = std::max(coordinate(low, axis), coordinate(otherLow, axis));
        coordinateRef(high, axis) = std::min(coordinate(high, axis), coordinate(otherHigh, axis));
    }
    if (isEmptyBox(low, high))
        makeEmpty(low, high);
}

template <typename V>
bool containsPoint(const V& low, const V& high, const V& point, double tolerance)
{
    if (isEmptyBox(low, high))
        return false;
    for (int axis = 0; axis < dimensionOf<V>(); ++axis) {
        const double value = coordinate(point, axis);
        if (value < coordinate(low, axis) - tolerance || value > coordinate(high, axis) + tolerance)
            return false;
    }
    return true;
}

template <typename V>
bool containsBox(const V& low, const V& high, const V& otherLow, const V& otherHigh, double tolerance)
{
    if (isEmptyBox(otherLow, otherHigh))
        return false;
    return containsPoint(low, high, otherLow, tolerance) && containsPoint(low, high, otherHigh, tolerance);
}

template <typename V>
bool overlapsBox(const V& low, const V& high, const V& otherLow, const V& otherHigh, double tolerance)
{
    if (isEmptyBox(low, high) || isEmptyBox(otherLow, otherHigh))
        return false;
    for (int axis = 0; axis < dimensionOf<V>(); ++axis) {
        const double common = std::min(coordinate(high, axis), coordinate(otherHigh, axis))
            - std::max(coordinate(low, axis), coordinate(otherLow, axis));
        if (common <= tolerance)
            return false;
    }
    return true;
}

template <typename V>
V centreOf(const V& low, const V& high)
{
    return isEmptyBox(low, high) ? V() : (low + high) * 0.5;
}

template <typename V>
V sizeOf(const V& low, const V& high)
{
    return isEmptyBox(low, high) ? V() : high - low;
}

template <typename V>
void scaleBox(V& low, V& high, double factor)
{
    if (isEmptyBox(low, high))
        return;
    // A negative factor swaps the ends; setCorners orders them again.
    setCorners(low, high, V(low * factor), V(high * factor));
}

template <typename V>
bool approxBox(const V& low, const V& high, const V& otherLow, const V& otherHigh, double tolerance)
{
    const bool empty = isEmptyBox(low, high);
    if (empty || isEmptyBox(otherLow, otherHigh))
        return empty == isEmptyBox(otherLow, otherHigh);
    for (int axis = 0; axis < dimensionOf<V>(); ++axis) {
        if (std::abs(coordinate(low, axis) - coordinate(otherLow, axis)) > tolerance
            || std::abs(coordinate(high, axis) - coordinate(otherHigh, axis)) > tolerance)
            return false;
    }
    return true;
}

template <typename V>
bool equalBox(const V& low, const V& high, const V& otherLow, const V& otherHigh)
{
    const bool empty = isEmptyBox(low, high);
    if (empty || isEmptyBox(otherLow, otherHigh))
        return empty == isEmptyBox(otherLow, otherHigh);
    return low == otherLow && high == otherHigh;
}

} // namespace

// Bound ------------------------------------------------------------------------------

Bound::Bound()
{
    makeEmpty(m_low, m_high);
}

Bound::Bound(const Vec3& point) : m_low(point), m_high(point) {}

Bound::Bound(const Vec3& corner1, const Vec3& corner2)
{
    setCorners(m_low, m_high, corner1, corner2);
}

bool Bound::isEmpty() const
{
    return isEmptyBox(m_low, m_high);
}

bool Bound::isValid(double tolerance) const
{
    return isValidBox(m_low, m_high, tolerance);
}

Vec3 Bound::getCentre() const
{
    return centreOf(m_low, m_high);
}

Vec3 Bound::getSize() const
{
    return sizeOf(m_low, m_high);
}

std::array<Vec3, 8> Bound::getCorners() const
{
    std::array<Vec3, 8> corners;
    for (size_t i = 0; i < corners.size(); ++i) {
        corners[i] = Vec3((i & 1) ? m_high.x : m_low.x, (i & 2) ? m_high.y : m_low.y, (i & 4) ? m_high.z : m_low.z);
    }
    return corners;
}

Bound& Bound::unite(const Bound& other)
{
    uniteBox(m_low, m_high, other.m_low, other.m_high);
    return *this;
}

Bound& Bound::unite(const Vec3& point)
{
    uniteBox(m_low, m_high, point, point);
    return *this;
}

Bound& Bound::intersect(const Bound& other)
{
    intersectBox(m_low, m_high, other.m_low, other.m_high);
    return *this;
}

bool Bound::contains(const Vec3& point, double tolerance) const
{
    return containsPoint(m_low, m_high, point, tolerance);
}

bool Bound::contains(const Bound& other, double tolerance) const
{
    return containsBox(m_low, m_high, other.m_low, other.m_high, tolerance);
}

bool Bound::overlaps(const Bound& other, double tolerance) const
{
    return overlapsBox(m_low, m_high, other.m_low, other.m_high, tolerance);
}

Bound& Bound::transform(const Transform& transform)
{
    return *this = transformed(transform);
}

Bound Bound::transformed(const Transform& transform) const
{
    Bound result;
    if (isEmpty())
        return result;
    for (const Vec3& corner : getCorners())
        result.unite(transform.transform(corner));
    return result;
}

Bound& Bound::scale(double factor)
{
    scaleBox(m_low, m_high, factor);
    return *this;
}

bool Bound::isApprox(const Bound& other, double tolerance) const
{
    return approxBox(m_low, m_high, other.m_low, other.m_high, tolerance);
}

bool Bound::operator==(const Bound& other) const
{
    return equalBox(m_low, m_high, other.m_low, other.m_high);
}

// Bound2D ----------------------------------------------------------------------------

Bound2D::Bound2D()
{
    makeEmpty(m_low, m_high);
}

Bound2D::Bound2D(const Vec2& point) : m_low(point), m_high(point) {}

Bound2D::Bound2D(const Vec2& corner1, const Vec2& corner2)
{
    setCorners(m_low, m_high, corner1, corner2);
}

bool Bound2D::isEmpty() const
{
    return isEmptyBox(m_low, m_high);
}

bool Bound2D::isValid(double tolerance) const
{
    return isValidBox(m_low, m_high, tolerance);
}

Vec2 Bound2D::getCentre() const
{
    return centreOf(m_low, m_high);
}

Vec2 Bound2D::getSize() const
{
    return sizeOf(m_low, m_high);
}

std::array<Vec2, 4> Bound2D::getCorners() const
{
    return {m_low, Vec2(m_high.x, m_low.y), m_high, Vec2(m_low.x, m_high.y)};
}

Bound2D& Bound2D::unite(const Bound2D& other)
{
    uniteBox(m_low, m_high, other.m_low, other.m_high);
    return *this;
}

Bound2D& Bound2D::unite(const Vec2& point)
{
    uniteBox(m_low, m_high, point, point);
    return *this;
}

Bound2D& Bound2D::intersect(const Bound2D& other)
{
    intersectBox(m_low, m_high, other.m_low, other.m_high);
    return *this;
}

bool Bound2D::contains(const Vec2& point, double tolerance) const
{
    return containsPoint(m_low, m_high, point, tolerance);
}

bool Bound2D::contains(const Bound2D& other, double tolerance) const
{
    return containsBox(m_low, m_high, other.m_low, other.m_high, tolerance);
}

bool Bound2D::overlaps(const Bound2D& other, double tolerance) const
{
    return overlapsBox(m_low, m_high, other.m_low, other.m_high, tolerance);
}

Bound2D& Bound2D::transform(const Transform2D& transform)
{
    return *this = transformed(transform);
}

Bound2D Bound2D::transformed(const Transform2D& transform) const
{
    Bound2D result;
    if (isEmpty())
        return result;
    for (const Vec2& corner : getCorners())
        result.unite(transform.transformedVector(corner));
    return result;
}

Bound2D& Bound2D::scale(double factor)
{
    scaleBox(m_low, m_high, factor);
    return *this;
}

bool Bound2D::isApprox(const Bound2D& other, double tolerance) const
{
    return approxBox(m_low, m_high, other.m_low, other.m_high, tolerance);
}

bool Bound2D::operator==(const Bound2D& other) const
{
    return equalBox(m_low, m_high, other.m_low, other.m_high);
}

// Bound1D ----------------------------------------------------------------------------

Bound1D::Bound1D()
{
    makeEmpty(m_low, m_high);
}

Bound1D::Bound1D(double value) : m_low(value), m_high(value) {}

Bound1D::Bound1D(double end1, double end2)
{
    setCorners(m_low, m_high, end1, end2);
}

bool Bound1D::isEmpty() const
{
    return isEmptyBox(m_low, m_high);
}

bool Bound1D::isValid(double tolerance) const
{
    return isValidBox(m_low, m_high, tolerance);
}

double Bound1D::getCentre() const
{
    return centreOf(m_low, m_high);
}

double Bound1D::getSize() const
{
    return sizeOf(m_low, m_high);
}

Bound1D& Bound1D::unite(const Bound1D& other)
{
    uniteBox(m_low, m_high, other.m_low, other.m_high);
    return *this;
}

Bound1D& Bound1D::unite(double value)
{
    uniteBox(m_low, m_high, value, value);
    return *this;
}

Bound1D& Bound1D::intersect(const Bound1D& other)
{
    intersectBox(m_low, m_high, other.m_low, other.m_high);
    return *this;
}

bool Bound1D::contains(double value, double tolerance) const
{
    return containsPoint(m_low, m_high, value, tolerance);
}

bool Bound1D::contains(const Bound1D& other, double tolerance) const
{
    return containsBox(m_low, m_high, other.m_low, other.m_high, tolerance);
}

bool Bound1D::overlaps(const Bound1D& other, double tolerance) const
{
    return overlapsBox(m_low, m_high, other.m_low, other.m_high, tolerance);
}

Bound1D& Bound1D::scale(double factor)
{
    scaleBox(m_low, m_high, factor);
    return *this;
}

bool Bound1D::isApprox(const Bound1D& other, double tolerance) const
{
    return approxBox(m_low, m_high, other.m_low, other.m_high, tolerance);
}

bool Bound1D::operator==(const Bound1D& other) const
{
    return equalBox(m_low, m_high, other.m_low, other.m_high);
}

} // namespace Geometry
