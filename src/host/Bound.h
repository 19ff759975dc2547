#pragma once

#include <tarvex/host/Vec.h>

#include <array>

namespace Geometry {

class Transform;
class Transform2D;

// Axis-aligned boxes in one, two and three dimensions. A default-constructed box is empty:
// it contains nothing, uniting it with anything gives that thing, and its low and high
// corners carry no meaning (its centre and size read as zero). Boxes are closed: a box made
// from one point is not empty.

/// An axis-aligned box of space.
class Bound
{
public:
    /// The empty box.
    Bound();
    /// The box of the single point `point`.
    explicit Bound(const Vec3& point);
    /// The smallest box holding both corners; they need not be ordered.
    Bound(const Vec3& corner1, const Vec3& corner2);

    /// True for the empty box.
    bool isEmpty() const;
    /// True when the box is not empty and wider than `tolerance` along every axis.
    bool isValid(double tolerance = 0.0) const;
    /// The corner with the smallest coordinates.
    const Vec3& getLow() const { return m_low; }
    /// The corner with the largest coordinates.
    const Vec3& getHigh() const { return m_high; }
    /// The middle point; zero for the empty box.
    Vec3 getCentre() const;
    /// The extent along each axis; zero for the empty box.
    Vec3 getSize() const;
    /// The eight corners: bit 0 of the index picks high x, bit 1 high y, bit 2 high z.
    std::array<Vec3, 8> getCorners() const;

    /// Grows the box to hold `other` as well.
    Bound& unite(const Bound& other);
    /// Grows the box to hold `point` as well.
    Bound& unite(const Vec3& point);
    /// Shrinks the box to its common part with `other`; empty when they do not meet
    /// (boxes that only touch leave a flat box).
    Bound& intersect(const Bound& other);
    /// True when `point` lies inside the box grown by `tolerance` on every side.
    bool contains(const Vec3& point, double tolerance = 0.0) const;
    /// True when `other` lies inside the box grown by `tolerance` on every side; false when
    /// either box is empty.
    bool contains(const Bound& other, double tolerance = 0.0) const;
    /// True when the two boxes share a region wider than `tolerance` along every axis
    /// (boxes that only touch do not overlap).
    bool overlaps(const Bound& other, double tolerance = 0.0) const;

    /// Replaces the box by the box of its eight corners mapped by `transform`.
    Bound& transform(const Transform& transform);
    /// The box of the eight corners mapped by `transform`; empty stays empty.
    Bound transformed(const Transform& transform) const;
    /// Multiplies both corners by `factor` (about the origin).
    Bound& scale(double factor);

    /// True when both are empty or both corners are within `tolerance`.
    bool isApprox(const Bound& other, double tolerance) const;
    /// Exact comparison (all empty boxes are equal).
    bool operator==(const Bound& other) const;
    bool operator!=(const Bound& other) const { return !(*this == other); }

private:
    Vec3 m_low;
    Vec3 m_high;
};

/// An axis-aligned rectangle of the plane.
class Bound2D
{
public:
    /// The empty rectangle.
    Bound2D();
    /// The rectangle of the single point `point`.
    explicit Bound2D(const Vec2& point);
    /// The smallest rectangle holding both corners; they need not be ordered.
    Bound2D(const Vec2& corner1, const Vec2& corner2);

    /// True for the empty rectangle.
    bool isEmpty() const;
    /// True when the rectangle is not empty and wider than `tolerance` along both axes.
    bool isValid(double tolerance = 0.0) const;
    /// The corner with the smallest coordinates.
    const Vec2& getLow() const { return m_low; }
    /// The corner with the largest coordinates.
    const Vec2& getHigh() const { return m_high; }
    /// The middle point; zero for the empty rectangle.
    Vec2 getCentre() const;
    /// Width and height; zero for the empty rectangle.
    Vec2 getSize() const;
    /// The four corners counter-clockwise from the low one: (low x, low y), (high x, low y),
    /// (high x, high y), (low x, high y).
    std::array<Vec2, 4> getCorners() const;

    /// Grows the rectangle to hold `other` as well.
    Bound2D& unite(const Bound2D& other);
    /// Grows the rectangle to hold `point` as well.
    Bound2D& unite(const Vec2& point);
    /// Shrinks the rectangle to its common part with `other`; empty when they do not meet.
    Bound2D& intersect(const Bound2D& other);
    /// True when `point` lies inside the rectangle grown by `tolerance` on every side.
    bool contains(const Vec2& point, double tolerance = 0.0) const;
    /// True when `other` lies inside the rectangle grown by `tolerance` on every side; false
    /// when either is empty.
    bool contains(const Bound2D& other, double tolerance = 0.0) const;
    /// True when the two share a region wider than `tolerance` along both axes.
    bool overlaps(const Bound2D& other, double tolerance = 0.0) const;

    /// Replaces the rectangle by the rectangle of its four corners mapped by `transform`.
    Bound2D& transform(const Transform2D& transform);
    /// The rectangle of the four corners mapped by `transform`; empty stays empty.
    Bound2D transformed(const Transform2D& transform) const;
    /// Multiplies both corners by `factor` (about the origin).
    Bound2D& scale(double factor);

    /// True when both are empty or both corners are within `tolerance`.
    bool isApprox(const Bound2D& other, double tolerance) const;
    /// Exact comparison (all empty rectangles are equal).
    bool operator==(const Bound2D& other) const;
    bool operator!=(const Bound2D& other) const { return !(*this == other); }

private:
    Vec2 m_low;
    Vec2 m_high;
};

/// A closed interval of the line.
class Bound1D
{
public:
    /// The empty interval.
    Bound1D();
    /// The interval of the single value `value`.
    explicit Bound1D(double value);
    /// The smallest interval holding both ends; they need not be ordered.
    Bound1D(double end1, double end2);

    /// True for the empty interval.
    bool isEmpty() const;
    /// True when the interval is not empty and longer than `tolerance`.
    bool isValid(double tolerance = 0.0) const;
    /// The lower end.
    double getLow() const { return m_low; }
    /// The upper end.
    double getHigh() const { return m_high; }
    /// The middle; zero for the empty interval.
    double getCentre() const;
    /// The length; zero for the empty interval.
    double getSize() const;

    /// Grows the interval to hold `other` as well.
    Bound1D& unite(const Bound1D& other);
    /// Grows the interval to hold `value` as well.
    Bound1D& unite(double value);
    /// Shrinks the interval to its common part with `other`; empty when they do not meet.
    Bound1D& intersect(const Bound1D& other);
    /// True when `value` lies inside the interval grown by `tolerance` at both ends.
    bool contains(double value, double tolerance = 0.0) const;
    /// True when `other` lies inside the interval grown by `tolerance` at both ends; false
    /// when either is empty.
    bool contains(const Bound1D& other, double tolerance = 0.0) const;
    /// True when the two share a stretch longer than `tolerance`.
    bool overlaps(const Bound1D& other, double tolerance = 0.0) const;
    /// Multiplies both ends by `factor` (about zero).
    Bound1D& scale(double factor);

    /// True when both are empty or both ends are within `tolerance`.
    bool isApprox(const Bound1D& other, double tolerance) const;
    /// Exact comparison (all empty intervals are equal).
    bool operator==(const Bound1D& other) const;
    bool operator!=(const Bound1D& other) const { return !(*this == other); }

private:
    double m_low;
    double m_high;
};

} // namespace Geometry
