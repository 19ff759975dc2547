#include "model3d/Tarvex3DCurveProperties.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using Tarvex3D::Tarvex3DCurveProperties;

namespace {

Tarvex3DCurveProperties curveOf(const std::vector<std::pair<double, double>>& points)
{
    Tarvex3DCurveProperties curve;
    for (const auto& point : points)
        curve.addPoint({point.first, point.second});
    return curve;
}

} // namespace

TEST(Tarvex3DCurveProperties, InterpolatesInsideAtAndBeyondTheTableEnds)
{
    const std::vector<std::pair<double, double>> rising{{20, 1}, {120, 3}, {220, 13}};
    const std::vector<std::pair<double, double>> falling{{220, 13}, {120, 3}, {20, 1}};
    struct Case
    {
        double t;
        double expected;
    };
    const Case cases[] = {
        {70, 2},         // inside the first pair
        {170, 8},        // inside the second pair
        {20, 1},         // at the lowest end
        {120, 3},        // at an inner point: the first pair that holds it wins
        {220, 13},       // at the highest end
        {0, 1},          // below: clamped to the lowest temperature
        {-1e9, 1},       // far below
        {500, 13},       // above: clamped to the highest temperature
        {20 - 5e-7, 1},  // within the tolerance of the end
        {120 + 5e-7, 3}, // within the tolerance of an inner point
    };
    for (const auto& points : {rising, falling}) {
        const Tarvex3DCurveProperties curve = curveOf(points);
        for (const Case& c : cases)
            EXPECT_NEAR(curve.getValue(c.t), c.expected, 1e-5) << "t = " << c.t << ", first point " << points.front().first;
    }
}

TEST(Tarvex3DCurveProperties, DegenerateCurvesGiveZeroOrSkipTheirFlatPairs)
{
    EXPECT_EQ(curveOf({}).getValue(25), 0.0);
    // A single point is no curve: 0, not its value.
    EXPECT_EQ(curveOf({{20, 5}}).getValue(20), 0.0);
    EXPECT_EQ(curveOf({{20, 5}}).getValue(100), 0.0);
    // Pairs with equal temperatures never match; the next pair holding t does.
    EXPECT_DOUBLE_EQ(curveOf({{20, 1}, {20, 9}, {120, 19}}).getValue(20), 9.0);
    EXPECT_DOUBLE_EQ(curveOf({{20, 1}, {20, 9}, {120, 19}}).getValue(70), 14.0);
    // Only equal temperatures: no pair matches at all.
    EXPECT_EQ(curveOf({{50, 1}, {50, 2}}).getValue(50), 0.0);
    // Points in file order, not sorted: the first pair in stored order holding t wins.
    const Tarvex3DCurveProperties zigzag = curveOf({{20, 0}, {120, 10}, {70, 100}});
    EXPECT_DOUBLE_EQ(zigzag.getValue(95), 7.5);
    EXPECT_DOUBLE_EQ(zigzag.getValue(130), 10.0); // clamped to 120, the first pair's end
}

TEST(Tarvex3DCurveProperties, TellsCurvesFromPointValues)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case
    {
        std::vector<std::pair<double, double>> points;
        bool varies;
    };
    const Case cases[] = {
        {{}, false},
        {{{20, 5}}, false},
        {{{20, 5}, {80, 5}}, false},
        {{{20, 5}, {80, 6}}, true},
        {{{20, 5}, {50, 5}, {80, 5.000001}}, true},
        {{{20, 5}, {80, nan}}, true}, // not a number counts as different
        {{{20, nan}, {80, nan}}, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(curveOf(c.points).isCurveOrPointValue(), c.varies) << c.points.size() << " points";
}
