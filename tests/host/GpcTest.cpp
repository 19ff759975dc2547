#include <tarvex/host/gpc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

namespace {

using Contour = std::vector<gpc_vertex>;

// Owns a gpc polygon during one test.
struct Polygon
{
    gpc_polygon value{0, nullptr, nullptr};

    Polygon() = default;
    Polygon(std::initializer_list<std::pair<Contour, int>> contours)
    {
        for (const auto& [vertices, hole] : contours)
            add(vertices, hole);
    }
    ~Polygon() { gpc_free_polygon(&value); }
    Polygon(const Polygon&) = delete;
    Polygon& operator=(const Polygon&) = delete;

    void add(Contour vertices, int hole)
    {
        gpc_vertex_list list{int(vertices.size()), vertices.data()};
        gpc_add_contour(&value, &list, hole);
    }
};

Contour square(double x0, double y0, double size)
{
    return {{x0, y0}, {x0 + size, y0}, {x0 + size, y0 + size}, {x0, y0 + size}};
}

// The area a contour encloses, whatever its orientation.
double area(const gpc_vertex_list& contour)
{
    double twice = 0.0;
    for (int i = 0; i < contour.num_vertices; ++i) {
        const gpc_vertex& a = contour.vertex[i];
        const gpc_vertex& b = contour.vertex[(i + 1) % contour.num_vertices];
        twice += a.x * b.y - b.x * a.y;
    }
    return std::abs(twice) / 2.0;
}

// True when every vertex of `expected` is found among the contour's vertices within `tolerance`.
bool hasVertices(const gpc_vertex_list& contour, const Contour& expected, double tolerance)
{
    return std::all_of(expected.begin(), expected.end(), [&](const gpc_vertex& e) {
        return std::any_of(contour.vertex, contour.vertex + contour.num_vertices, [&](const gpc_vertex& v) {
            return std::abs(v.x - e.x) <= tolerance && std::abs(v.y - e.y) <= tolerance;
        });
    });
}

// Clips `a` by `b` (nothing when null) into `result`.
void clip(gpc_op op, Polygon& a, Polygon* b, Polygon& result)
{
    Polygon none;
    gpc_polygon_clip(op, &a.value, b ? &b->value : &none.value, &result.value);
}

} // namespace

TEST(GpcTest, OperationsGiveTheExpectedAreasAndHoleFlags)
{
    // Two unit-offset 2x2 squares overlap in a 1x1 square.
    // Each operation with the number of outer contours (and no holes) and the area it gives.
    const std::tuple<gpc_op, int, double> cases[] = {
        {GPC_UNION, 1, 7.0}, {GPC_INT, 1, 1.0}, {GPC_DIFF, 1, 3.0}, {GPC_XOR, 2, 6.0}};
    for (const auto& [op, outers, expected] : cases) {
        Polygon a{{square(0, 0, 2), 0}};
        Polygon b{{square(1, 1, 2), 0}};
        Polygon result;
        clip(op, a, &b, result);
        ASSERT_EQ(result.value.num_contours, outers) << "op " << op;
        double sum = 0.0;
        for (int i = 0; i < outers; ++i) {
            EXPECT_EQ(result.value.hole[i], 0) << "op " << op;
            sum += area(result.value.contour[i]);
        }
        EXPECT_NEAR(sum, expected, 1e-12) << "op " << op;
    }
}

// An inner contour becomes a hole whatever its flag or orientation, and keeps its
// coordinates: for a 1 m square with a 1 um hole the per-call scale maps 1 m near 2^52, so
// every coordinate comes back within the spacing of doubles near 1.
TEST(GpcTest, HolesAndCoordinatesKeepTheirPlaceAndPrecision)
{
    const double x = 0.123456789012345;
    const double y = 0.987654321098765 - 1e-6;
    Contour hole{{x, y}, {x + 1e-6, y}, {x + 1e-6, y + 1e-6}, {x, y + 1e-6}};
    for (int flag : {0, 1}) {
        Polygon subject{{square(0, 0, 1), 0}, {hole, flag}};
        Polygon result;
        clip(GPC_UNION, subject, nullptr, result);
        ASSERT_EQ(result.value.num_contours, 2);
        EXPECT_EQ(result.value.hole[0], 0);
        EXPECT_EQ(result.value.hole[1], 1);
        EXPECT_TRUE(hasVertices(result.value.contour[0], square(0, 0, 1), 0.0));
        EXPECT_TRUE(hasVertices(result.value.contour[1], hole, std::ldexp(1.0, -51)));
        std::reverse(hole.begin(), hole.end());
    }
}

TEST(GpcTest, BadInputGivesADefinedResult)
{
    // A non-finite coordinate anywhere empties the result.
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::infinity()}) {
        Polygon a{{square(0, 0, 1), 0}};
        Polygon b{{{{0, 0}, {bad, 0}, {1, 1}}, 0}};
        Polygon result;
        clip(GPC_UNION, a, &b, result);
        EXPECT_EQ(result.value.num_contours, 0);
    }

    // Null inputs are ignored. Contours of fewer than three vertices and self-intersecting
    // ones are met through the 2D polygon's tests, which see what the clipping makes of them.
    Polygon a{{square(0, 0, 1), 0}};
    Polygon fromNull;
    gpc_polygon_clip(GPC_DIFF, nullptr, &a.value, &fromNull.value);
    EXPECT_EQ(fromNull.value.num_contours, 0);
    gpc_polygon_clip(GPC_DIFF, &a.value, &a.value, nullptr); // nothing to write: no crash

    // The polygon holds its own copy of what is added; freeing twice is harmless.
    Contour vertices = square(0, 0, 1);
    Polygon copy;
    copy.add(vertices, 1);
    vertices[0] = {9, 9};
    EXPECT_EQ(copy.value.contour[0].vertex[0].x, 0.0);
    gpc_free_polygon(&copy.value);
    EXPECT_EQ(copy.value.num_contours, 0);
}
