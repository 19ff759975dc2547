#pragma once

#include "host/Bound.h"
#include "host/Vec.h"

#include <gtest/gtest.h>

#include <ostream>

// Readable gtest failure messages for the geometry values (found by argument lookup).
namespace Geometry {

inline void PrintTo(const Vec2& v, std::ostream* out)
{
    *out << "(" << v.x << ", " << v.y << ")";
}

inline void PrintTo(const Vec3& v, std::ostream* out)
{
    *out << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}

inline void PrintTo(const Bound& b, std::ostream* out)
{
    if (b.isEmpty()) {
        *out << "empty box";
        return;
    }
    PrintTo(b.getLow(), out);
    *out << " - ";
    PrintTo(b.getHigh(), out);
}

inline void PrintTo(const Bound2D& b, std::ostream* out)
{
    if (b.isEmpty()) {
        *out << "empty rectangle";
        return;
    }
    PrintTo(b.getLow(), out);
    *out << " - ";
    PrintTo(b.getHigh(), out);
}

inline void PrintTo(const Bound1D& b, std::ostream* out)
{
    if (b.isEmpty())
        *out << "empty interval";
    else
        *out << "[" << b.getLow() << ", " << b.getHigh() << "]";
}

} // namespace Geometry

namespace GeometryTest {

// Passes when `actual` is within `tolerance` of `expected`; a failure shows both values.
template <typename Value>
::testing::AssertionResult near(const Value& actual, const Value& expected, double tolerance = 1e-12)
{
    if (actual.isApprox(expected, tolerance))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << ::testing::PrintToString(actual) << " instead of "
                                         << ::testing::PrintToString(expected);
}

} // namespace GeometryTest
