#include <tarvex/host/Transform.h>

#include <cmath>
#include <cstring>

namespace Geometry {

Transform::Transform() : m_matrix{{{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}}} {}

Transform::Transform(const Vec3& xAxis, const Vec3& yAxis, const Vec3& zAxis, const Vec3& translation)
    : m_translation(translation)
{
    const Vec3 axes[3] = {xAxis, yAxis, zAxis};
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row)
            m_matrix[size_t(row)][size_t(column)] = axes[column][row];
    }
}

Transform Transform::identity()
{
    return Transform();
}

Transform Transform::createTranslation(const Vec3& offset)
{
    Transform result;
    result.m_translation = offset;
    return result;
}

Transform Transform::createRotation(const Vec3& axis, double angleRadians)
{
    const Vec3 k = axis.normalized();
    if (k == Vec3())
        return Transform();
    // Rodrigues: R = cos·I + sin·[k]x + (1 - cos)·k kᵀ.
    const double c = std::cos(angleRadians);
    const double s = std::sin(angleRadians);
    const double t = 1.0 - c;
    Transform result;
    result.m_matrix = {{{c + t * k.x * k.x, t * k.x * k.y - s * k.z, t * k.x * k.z + s * k.y},
                        {t * k.y * k.x + s * k.z, c + t * k.y * k.y, t * k.y * k.z - s * k.x},
                        {t * k.z * k.x - s * k.y, t * k.z * k.y + s * k.x, c + t * k.z * k.z}}};
    return result;
}

Transform Transform::createScale(const Vec3& factors)
{
    Transform result;
    for (int i = 0; i < 3; ++i)
        result.m_matrix[size_t(i)][size_t(i)] = factors[i];
    return result;
}

Transform Transform::multiply(const Transform& a, const Transform& b)
{
    Transform result;
    for (size_t row = 0; row < 3; ++row) {
        for (size_t column = 0; column < 3; ++column) {
            double sum = 0.0;
            for (size_t k = 0; k < 3; ++k)
                sum += a.m_matrix[row][k] * b.m_matrix[k][column];
            result.m_matrix[row][column] = sum;
        }
    }
    result.m_translation = a.transform(b.m_translation);
    return result;
}

double Transform::getDeterminant() const
{
    const Matrix& m = m_matrix;
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
        + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

Transform Transform::inverse() const
{
    const double det = getDeterminant();
    if (det == 0.0)
        return Transform();
    const Matrix& m = m_matrix;
    Transform result;
    // Adjugate over determinant.
    result.m_matrix = {{{(m[1][1] * m[2][2] - m[1][2] * m[2][1]) / det, (m[0][2] * m[2][1] - m[0][1] * m[2][2]) / det,
                         (m[0][1] * m[1][2] - m[0][2] * m[1][1]) / det},
                        {(m[1][2] * m[2][0] - m[1][0] * m[2][2]) / det, (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / det,
                         (m[0][2] * m[1][0] - m[0][0] * m[1][2]) / det},
                        {(m[1][0] * m[2][1] - m[1][1] * m[2][0]) / det, (m[0][1] * m[2][0] - m[0][0] * m[2][1]) / det,
                         (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / det}}};
    result.m_translation = -result.transformVector(m_translation);
    return result;
}

Vec3 Transform::inverseTransformedVector(const Vec3& point) const
{
    return inverse().transform(point);
}

Transform Transform::getRotationMatrix() const
{
    Transform result = *this;
    result.m_translation = Vec3();
    return result;
}

Vec3 Transform::getAxis(int axis) const
{
    const size_t column = size_t(axis);
    return Vec3(m_matrix[0][column], m_matrix[1][column], m_matrix[2][column]);
}

bool Transform::isIdentity(double tolerance) const
{
    return isApprox(Transform(), tolerance);
}

bool Transform::isApprox(const Transform& other, double tolerance) const
{
    for (size_t row = 0; row < 3; ++row) {
        for (size_t column = 0; column < 3; ++column) {
            if (std::abs(m_matrix[row][column] - other.m_matrix[row][column]) > tolerance)
                return false;
        }
    }
    return m_translation.isApprox(other.m_translation, tolerance);
}

bool Transform::operator==(const Transform& other) const
{
    return m_matrix == other.m_matrix && m_translation == other.m_translation;
}

bool Transform::isIdentical(const Transform& other) const
{
    return std::memcmp(&m_matrix, &other.m_matrix, sizeof(m_matrix)) == 0
        && std::memcmp(&m_translation, &other.m_translation, sizeof(m_translation)) == 0;
}

} // namespace Geometry
