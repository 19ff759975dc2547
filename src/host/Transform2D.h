#pragma once

#include <tarvex/host/Vec.h>

namespace Geometry {

/// An affine map of the plane: a 2x2 matrix followed by a translation. Points are column
/// vectors, so a point p maps to M p + t, and `multiply(a, b)` applied to p is a(b(p)).
class Transform2D
{
public:
    /// π, for callers that build rotations.
    static constexpr double pi = 3.14159265358979323846;

    /// The identity.
    Transform2D();
    /// The frame whose matrix columns are `xAxis` and `yAxis` (the images of (1, 0) and
    /// (0, 1)), without translation. With two orthogonal unit axes it is a rotation, or a
    /// rotation and a mirror.
    Transform2D(const Vec2& xAxis, const Vec2& yAxis);
    /// As the frame constructor, followed by `translation`.
    Transform2D(const Vec2& xAxis, const Vec2& yAxis, const Vec2& translation);

    /// The identity.
    static Transform2D identity();
    /// Moves every point by `offset`.
    static Transform2D createTranslation(const Vec2& offset);
    /// Counter-clockwise rotation (x towards y) by `angleRadians` about the origin.
    static Transform2D createRotation(double angleRadians);
    /// Scales each coordinate by its factor about the origin.
    static Transform2D createScale(const Vec2& factors);
    /// Reflection in the line through the origin perpendicular to `normal`:
    /// `createMirror((1, 0))` negates x. A zero normal gives the identity.
    static Transform2D createMirror(const Vec2& normal);
    /// The composition a∘b: b is applied first, then a.
    static Transform2D multiply(const Transform2D& a, const Transform2D& b);

    /// Same as `multiply(*this, other)`.
    Transform2D operator*(const Transform2D& other) const { return multiply(*this, other); }
    /// The inverse map. A singular transform (determinant 0) has none; the identity is
    /// returned for it.
    Transform2D inverse() const;
    /// Determinant of the matrix part.
    double getDeterminant() const { return m_xAxis.cross(m_yAxis); }

    /// The image of a point (matrix and translation).
    Vec2 transformedVector(const Vec2& point) const { return transformVector(point) + m_translation; }
    /// The point that maps onto `point` (the inverse map applied).
    Vec2 inverseTransformedVector(const Vec2& point) const;
    /// The image of a direction: the matrix alone, no translation.
    Vec2 transformVector(const Vec2& vector) const { return m_xAxis * vector.x + m_yAxis * vector.y; }

    /// The translation part (the image of the origin).
    Vec2 getTranslation() const { return m_translation; }
    /// First matrix column: the image of (1, 0) without translation.
    Vec2 getXAxis() const { return m_xAxis; }
    /// Second matrix column: the image of (0, 1) without translation.
    Vec2 getYAxis() const { return m_yAxis; }

    /// True when every matrix and translation element is within `tolerance` of the identity's.
    bool isIdentity(double tolerance = 1e-12) const;
    /// True when every matrix and translation element is within `tolerance` of `other`'s.
    bool isApprox(const Transform2D& other, double tolerance = 1e-12) const;
    /// Exact element-wise comparison.
    bool operator==(const Transform2D& other) const;
    bool operator!=(const Transform2D& other) const { return !(*this == other); }

private:
    Vec2 m_xAxis;
    Vec2 m_yAxis;
    Vec2 m_translation;
};

} // namespace Geometry
