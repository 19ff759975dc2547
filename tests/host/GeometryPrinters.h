#pragma once

#include <tarvex/host/Bound.h>
#include <tarvex/host/Vec.h>

#include <gtest/gtest.h>

#include <ostream>

// Readable gtest failure messages for the geometry values (found by argument lookup).
namespace Geometry {

inline void PrintTo(const Vec2& v, std::ostream* out) { *out << "(" << v.x << ", " << v.y << ")"; }
inline void PrintTo(const Vec3& v, std::ostream* out) { *out << "(" << v.x << ", " << v.y << ", " << v.z << ")"; }

template <typename Box>
void printBox(const Box& b, std::ostream* out)
{
    if (b.isEmpty())
        *out << "empty";
    else
        *out << ::testing::PrintToString(b.getLow()) << " - " << ::testing::PrintToString(b.getHigh());
}

inline void PrintTo(const Bound& b, std::ostream* out) { printBox(b, out); }
inline void PrintTo(const Bound2D& b, std::ostream* out) { printBox(b, out); }
inline void PrintTo(const Bound1D& b, std::ostream* out) { printBox(b, out); }

/// Passes when `actual` is within `tolerance` of `expected`; a failure shows both values.
template <typename Value>
::testing::AssertionResult near(const Value& actual, const Value& expected, double tolerance = 1e-12)
{
    if (actual.isApprox(expected, tolerance))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << ::testing::PrintToString(actual) << " instead of "
                                         << ::testing::PrintToString(expected);
}

} // namespace Geometry
