#pragma once

#include <tarvex/host/Vec.h>

#include <array>

namespace Geometry {

/// An affine map of space: a 3x3 matrix followed by a translation. Points are column
/// vectors, so a point p maps to M p + t, and `multiply(a, b)` applied to p is a(b(p)).
class Transform
{
public:
    /// The identity.
    Transform();
    /// The map whose matrix columns are the three axes (the images of the unit vectors),
    /// followed by `translation`.
    Transform(const Vec3& xAxis, const Vec3& yAxis, const Vec3& zAxis, const Vec3& translation = Vec3());

    /// The identity.
    static Transform identity();
    /// Moves every point by `offset`.
    static Transform createTranslation(const Vec3& offset);
    /// Right-handed rotation by `angleRadians` about `axis` through the origin; the axis
    /// need not be of unit length. A zero axis gives the identity.
    static Transform createRotation(const Vec3& axis, double angleRadians);
    /// Scales each coordinate by its factor about the origin.
    static Transform createScale(const Vec3& factors);
    /// The composition a∘b: b is applied first, then a.
    static Transform multiply(const Transform& a, const Transform& b);

    /// Same as `multiply(*this, other)`.
    Transform operator*(const Transform& other) const { return multiply(*this, other); }
    /// The inverse map. A singular transform (determinant 0) has none; the identity is
    /// returned for it.
    Transform inverse() const;
    /// Determinant of the matrix part.
    double getDeterminant() const;

    /// The image of a point (matrix and translation).
    Vec3 transform(const Vec3& point) const { return transformVector(point) + m_translation; }
    /// The image of a point; same as `transform`, under the name the 2D transform uses.
    Vec3 transformedVector(const Vec3& point) const { return transform(point); }
    /// The point that maps onto `point` (the inverse map applied).
    Vec3 inverseTransformedVector(const Vec3& point) const;
    /// The image of a direction: the matrix alone, no translation.
    Vec3 transformVector(const Vec3& vector) const
    {
        const Matrix& m = m_matrix;
        return Vec3(m[0][0] * vector.x + m[0][1] * vector.y + m[0][2] * vector.z,
                    m[1][0] * vector.x + m[1][1] * vector.y + m[1][2] * vector.z,
                    m[2][0] * vector.x + m[2][1] * vector.y + m[2][2] * vector.z);
    }

    /// The translation part (the image of the origin).
    Vec3 getTranslation() const { return m_translation; }
    /// The matrix part alone, as a transform without translation.
    Transform getRotationMatrix() const;
    /// Column `axis` of the matrix: the image of unit vector `axis` without translation.
    Vec3 getAxis(int axis) const;
    /// Matrix element at `row`, `column` (each 0 to 2).
    double getMatrixElement(int row, int column) const { return m_matrix[size_t(row)][size_t(column)]; }

    /// True when every matrix and translation element is within `tolerance` of the identity's.
    bool isIdentity(double tolerance = 1e-12) const;
    /// True when every matrix and translation element is within `tolerance` of `other`'s.
    bool isApprox(const Transform& other, double tolerance = 1e-12) const;
    /// Exact element-wise comparison.
    bool operator==(const Transform& other) const;
    /// True when every element has the same bits as `other`'s (so 0 and -0 differ): every
    /// computation gives the same result from either.
    bool isIdentical(const Transform& other) const;
    bool operator!=(const Transform& other) const { return !(*this == other); }

private:
    using Matrix = std::array<std::array<double, 3>, 3>;
    Matrix m_matrix;
    Vec3 m_translation;
};

} // namespace Geometry
