#include <tarvex/host/RotationAngles.h>

#include <algorithm>
#include <cmath>

namespace Geometry {

namespace {

constexpr double degreesPerRadian = 180.0 / M_PI;

// Angles within this of a whole number of degrees are that number: a quarter turn read
// back from its matrix should save as 90, not 89.99999999999999. A half turn is +180
// whatever the sign of the rounding noise that led to it, and no angle is -0.
double tidied(double degrees)
{
    const double whole = std::round(degrees);
    const double value = std::abs(degrees - whole) < 1e-9 ? whole : degrees;
    return value == -180.0 ? 180.0 : value == 0.0 ? 0.0 : value;
}

} // namespace

Vec3 getRotationAnglesFromTransform(const Transform& transform)
{
    const auto m = [&transform](int row, int column) { return transform.getMatrixElement(row, column); };
    const double second = std::asin(std::clamp(-m(2, 0), -1.0, 1.0));
    double first = 0.0;
    double third = 0.0;
    if (std::abs(std::cos(second)) > 1e-12) {
        first = std::atan2(m(1, 0), m(0, 0));
        third = std::atan2(m(2, 1), m(2, 2));
    } else {
        // Gimbal lock: z and x turn about one axis; the whole turn goes to the third angle.
        third = std::atan2(-m(1, 2), m(1, 1));
    }
    return Vec3(tidied(first * degreesPerRadian), tidied(second * degreesPerRadian),
                tidied(third * degreesPerRadian));
}

Transform createRotationFromAngles(const Vec3& degrees)
{
    return Transform::createRotation(Vec3(0, 0, 1), degrees.x / degreesPerRadian) *
           Transform::createRotation(Vec3(0, 1, 0), degrees.y / degreesPerRadian) *
           Transform::createRotation(Vec3(1, 0, 0), degrees.z / degreesPerRadian);
}

} // namespace Geometry
