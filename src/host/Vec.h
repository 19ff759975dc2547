#pragma once

#include <cmath>

namespace Geometry {

/// A point or vector of the plane.
template <typename T>
struct Vec2T
{
    /// Number of coordinates.
    static constexpr int dimension = 2;

    T x = T();
    T y = T();

    /// The zero vector.
    constexpr Vec2T() = default;
    /// The vector (x, y).
    constexpr Vec2T(T xValue, T yValue) : x(xValue), y(yValue) {}

    /// Coordinate `axis` (0 for x, 1 for y).
    constexpr T operator[](int axis) const { return axis == 0 ? x : y; }
    /// Writable coordinate `axis` (0 for x, 1 for y).
    T& operator[](int axis) { return axis == 0 ? x : y; }

    constexpr Vec2T operator+(const Vec2T& other) const { return Vec2T(x + other.x, y + other.y); }
    constexpr Vec2T operator-(const Vec2T& other) const { return Vec2T(x - other.x, y - other.y); }
    constexpr Vec2T operator-() const { return Vec2T(-x, -y); }
    constexpr Vec2T operator*(T factor) const { return Vec2T(x * factor, y * factor); }
    constexpr Vec2T operator/(T divisor) const { return Vec2T(x / divisor, y / divisor); }
    Vec2T& operator+=(const Vec2T& other) { return *this = *this + other; }
    Vec2T& operator-=(const Vec2T& other) { return *this = *this - other; }
    Vec2T& operator*=(T factor) { return *this = *this * factor; }
    /// Exact comparison; use `isApprox` for computed values.
    constexpr bool operator==(const Vec2T& other) const { return x == other.x && y == other.y; }
    constexpr bool operator!=(const Vec2T& other) const { return !(*this == other); }

    /// The scalar product.
    constexpr T dot(const Vec2T& other) const { return x * other.x + y * other.y; }
    /// The z component of the cross product of the two vectors taken in the plane z = 0.
    constexpr T cross(const Vec2T& other) const { return x * other.y - y * other.x; }
    /// The Euclidean length.
    T length() const { return std::sqrt(dot(*this)); }
    /// The vector scaled to length 1; the zero vector stays zero.
    Vec2T normalized() const
    {
        const T len = length();
        return len == T() ? Vec2T() : *this / len;
    }
    /// True when every coordinate differs from `other`'s by at most `tolerance`.
    bool isApprox(const Vec2T& other, T tolerance) const
    {
        return std::abs(x - other.x) <= tolerance && std::abs(y - other.y) <= tolerance;
    }
};

/// `factor * v` as well as `v * factor`.
template <typename T>
constexpr Vec2T<T> operator*(T factor, const Vec2T<T>& v)
{
    return v * factor;
}

/// A point or vector of space.
template <typename T>
struct Vec3T
{
    /// Number of coordinates.
    static constexpr int dimension = 3;

    T x = T();
    T y = T();
    T z = T();

    /// The zero vector.
    constexpr Vec3T() = default;
    /// The vector (x, y, z).
    constexpr Vec3T(T xValue, T yValue, T zValue) : x(xValue), y(yValue), z(zValue) {}

    /// Coordinate `axis` (0 for x, 1 for y, 2 for z).
    constexpr T operator[](int axis) const { return axis == 0 ? x : (axis == 1 ? y : z); }
    /// Writable coordinate `axis` (0 for x, 1 for y, 2 for z).
    T& operator[](int axis) { return axis == 0 ? x : (axis == 1 ? y : z); }

    constexpr Vec3T operator+(const Vec3T& other) const { return Vec3T(x + other.x, y + other.y, z + other.z); }
    constexpr Vec3T operator-(const Vec3T& other) const { return Vec3T(x - other.x, y - other.y, z - other.z); }
    constexpr Vec3T operator-() const { return Vec3T(-x, -y, -z); }
    constexpr Vec3T operator*(T factor) const { return Vec3T(x * factor, y * factor, z * factor); }
    constexpr Vec3T operator/(T divisor) const { return Vec3T(x / divisor, y / divisor, z / divisor); }
    Vec3T& operator+=(const Vec3T& other) { return *this = *this + other; }
    Vec3T& operator-=(const Vec3T& other) { return *this = *this - other; }
    Vec3T& operator*=(T factor) { return *this = *this * factor; }
    /// Exact comparison; use `isApprox` for computed values.
    constexpr bool operator==(const Vec3T& other) const { return x == other.x && y == other.y && z == other.z; }
    constexpr bool operator!=(const Vec3T& other) const { return !(*this == other); }

    /// The scalar product.
    constexpr T dot(const Vec3T& other) const { return x * other.x + y * other.y + z * other.z; }
    /// The right-handed cross product.
    constexpr Vec3T cross(const Vec3T& other) const
    {
        return Vec3T(y * other.z - z * other.y, z * other.x - x * other.z, x * other.y - y * other.x);
    }
    /// The Euclidean length.
    T length() const { return std::sqrt(dot(*this)); }
    /// The vector scaled to length 1; the zero vector stays zero.
    Vec3T normalized() const
    {
        const T len = length();
        return len == T() ? Vec3T() : *this / len;
    }
    /// True when every coordinate differs from `other`'s by at most `tolerance`.
    bool isApprox(const Vec3T& other, T tolerance) const
    {
        return std::abs(x - other.x) <= tolerance && std::abs(y - other.y) <= tolerance
            && std::abs(z - other.z) <= tolerance;
    }
};

/// `factor * v` as well as `v * factor`.
template <typename T>
constexpr Vec3T<T> operator*(T factor, const Vec3T<T>& v)
{
    return v * factor;
}

using Vec2 = Vec2T<double>;
using Vec3 = Vec3T<double>;

} // namespace Geometry
