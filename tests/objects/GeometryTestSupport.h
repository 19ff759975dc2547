#pragma once

#include "host/GeometryPrinters.h"
#include <tarvex/host/Vec.h>

#include <gtest/gtest.h>

#include <vector>

namespace GeometryTest {

using Points = std::vector<Geometry::Vec2>;

/// Same points in the same order, each coordinate within `tolerance`.
inline ::testing::AssertionResult samePoints(const Points& actual, const Points& expected,
                                             double tolerance = 1e-12)
{
    bool same = actual.size() == expected.size();
    for (size_t i = 0; same && i < actual.size(); ++i)
        same = actual[i].isApprox(expected[i], tolerance);
    if (same)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << ::testing::PrintToString(actual) << " instead of "
                                         << ::testing::PrintToString(expected);
}

/// The square [x, x + size] x [y, y + size] in the stored order of this system (clockwise
/// with y up, from the low corner).
inline Points square(double x, double y, double size)
{
    return {{x, y}, {x, y + size}, {x + size, y + size}, {x + size, y}};
}

} // namespace GeometryTest
