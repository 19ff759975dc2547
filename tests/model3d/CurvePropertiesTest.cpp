#include <tarvex/model3d/Tarvex3DCurveProperties.h>

#include <gtest/gtest.h>

#include <limits>
#include <tuple>
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

TEST(Tarvex3DCurveProperties, InterpolatesInTheFirstPairHoldingTAndClampsOutside)
{
    // The points, a temperature, the value there and whether the table is not one value throughout.
    const std::vector<std::pair<double, double>> rising{{20, 1}, {120, 3}, {220, 13}};
    const std::vector<std::pair<double, double>> falling{{220, 13}, {120, 3}, {20, 1}};
    const std::tuple<const char*, std::vector<std::pair<double, double>>, double, double, bool> cases[] = {
        {"inside the second pair", rising, 170, 8, true},
        {"inside a falling table", falling, 70, 2, true},
        {"below: the lowest end", rising, -1e9, 1, true},
        {"above a falling table: its highest end", falling, 500, 13, true},
        {"within the tolerance of an inner point", rising, 120 + 5e-7, 3, true},
        {"no points", {}, 25, 0, false},
        {"a single point is no curve", {{20, 5}}, 20, 0, false},
        {"pairs of equal temperatures never match", {{20, 1}, {20, 9}, {120, 19}}, 70, 14, true},
        {"only equal temperatures", {{50, 1}, {50, 2}}, 50, 0, true},
        {"points in file order: the first pair holding t wins", {{20, 0}, {120, 10}, {70, 100}}, 95, 7.5, true},
        {"clamped to the first pair's end", {{20, 0}, {120, 10}, {70, 100}}, 130, 10, true},
        {"one value throughout", {{20, 5}, {80, 5}}, 50, 5, false},
        {"the last point differs by a millionth", {{20, 5}, {50, 5}, {80, 5.000001}}, 20, 5, true},
    };
    for (const auto& [name, points, t, expected, varies] : cases) {
        EXPECT_NEAR(curveOf(points).getValue(t), expected, 1e-5) << name;
        EXPECT_EQ(curveOf(points).isCurveOrPointValue(), varies) << name;
    }
    // Not a number counts as different.
    EXPECT_TRUE(curveOf({{20, std::numeric_limits<double>::quiet_NaN()}, {80, std::numeric_limits<double>::quiet_NaN()}})
                    .isCurveOrPointValue());
}
