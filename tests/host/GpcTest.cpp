#include "host/gpc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
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

double signedArea(const gpc_vertex_list& contour)
{
    double twice = 0.0;
    for (int i = 0; i < contour.num_vertices; ++i) {
        const gpc_vertex& a = contour.vertex[i];
        const gpc_vertex& b = contour.vertex[(i + 1) % contour.num_vertices];
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2.0;
}

// True when every vertex of `expected` is found among the contour's vertices within `tolerance`.
bool hasVertices(const gpc_vertex_list& contour, const Contour& expected, double tolerance)
{
    for (const gpc_vertex& e : expected) {
        bool found = false;
        for (int i = 0; i < contour.num_vertices && !found; ++i)
            found = std::abs(contour.vertex[i].x - e.x) <= tolerance
                && std::abs(contour.vertex[i].y - e.y) <= tolerance;
        if (!found)
            return false;
    }
    return true;
}

} // namespace

TEST(GpcTest, OperationsGiveTheExpectedAreasAndHoleFlags)
{
    // Two unit-offset 2x2 squares overlap in a 1x1 square.
    struct Case
    {
        gpc_op op;
        int outers;
        int holes;
        double area;
    };
    const Case cases[] = {
        {GPC_UNION, 1, 0, 7.0},
        {GPC_INT, 1, 0, 1.0},
        {GPC_DIFF, 1, 0, 3.0},
        {GPC_XOR, 2, 0, 6.0},
    };
    for (const Case& c : cases) {
        Polygon a{{square(0, 0, 2), 0}};
        Polygon b{{square(1, 1, 2), 0}};
        Polygon result;
        gpc_polygon_clip(c.op, &a.value, &b.value, &result.value);
        int outers = 0;
        int holes = 0;
        double area = 0.0;
        for (int i = 0; i < result.value.num_contours; ++i) {
            (result.value.hole[i] ? holes : outers) += 1;
            area += std::abs(signedArea(result.value.contour[i])) * (result.value.hole[i] ? -1.0 : 1.0);
        }
        EXPECT_EQ(outers, c.outers) << "op " << c.op;
        EXPECT_EQ(holes, c.holes) << "op " << c.op;
        EXPECT_NEAR(area, c.area, 1e-12) << "op " << c.op;
    }
}

TEST(GpcTest, InnerContourBecomesAHoleWhateverItsFlagOrOrientation)
{
    Contour inner = square(1, 1, 2);
    for (int flag : {0, 1}) {
        Polygon subject{{square(0, 0, 4), 0}, {inner, flag}};
        Polygon empty;
        Polygon result;
        gpc_polygon_clip(GPC_UNION, &subject.value, &empty.value, &result.value);
        ASSERT_EQ(result.value.num_contours, 2);
        EXPECT_EQ(result.value.hole[0], 0);
        EXPECT_EQ(result.value.hole[1], 1);
        EXPECT_TRUE(hasVertices(result.value.contour[1], square(1, 1, 2), 0.0));
        std::reverse(inner.begin(), inner.end());
    }
}

TEST(GpcTest, MetreOutlineKeepsAMicrometreHoleAndItsCoordinates)
{
    // A 1 m square with a 1 um hole at an arbitrary position; the per-call scale maps 1 m
    // near 2^52, so every coordinate comes back within the spacing of doubles near 1.
    const double x = 0.123456789012345;
    const double y = 0.987654321098765 - 1e-6;
    const Contour hole{{x, y}, {x + 1e-6, y}, {x + 1e-6, y + 1e-6}, {x, y + 1e-6}};
    Polygon subject{{square(0, 0, 1), 0}, {hole, 1}};
    Polygon empty;
    Polygon result;
    gpc_polygon_clip(GPC_UNION, &subject.value, &empty.value, &result.value);
    ASSERT_EQ(result.value.num_contours, 2);
    ASSERT_EQ(result.value.hole[1], 1);
    const double resolution = std::ldexp(1.0, -51);
    EXPECT_TRUE(hasVertices(result.value.contour[0], square(0, 0, 1), 0.0));
    EXPECT_TRUE(hasVertices(result.value.contour[1], hole, resolution));
    EXPECT_NEAR(std::abs(signedArea(result.value.contour[1])), 1e-12, 1e-16); // shoelace rounding near 1 m
}

TEST(GpcTest, HugeAndTinyCoordinatesKeepTheirRelativePrecision)
{
    for (double unit : {1e-200, 1e-9, 1e9, 1e200}) {
        Polygon a{{square(0, 0, 2 * unit), 0}};
        Polygon b{{square(unit, unit, 2 * unit), 0}};
        Polygon result;
        gpc_polygon_clip(GPC_INT, &a.value, &b.value, &result.value);
        ASSERT_EQ(result.value.num_contours, 1) << unit;
        EXPECT_TRUE(hasVertices(result.value.contour[0], square(unit, unit, unit), unit * 1e-15)) << unit;
    }
}

TEST(GpcTest, BadInputGivesADefinedResult)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();

    // A non-finite coordinate anywhere empties the result.
    for (double bad : {nan, inf, -inf}) {
        Polygon a{{square(0, 0, 1), 0}};
        Polygon b{{{{0, 0}, {bad, 0}, {1, 1}}, 0}};
        Polygon result;
        gpc_polygon_clip(GPC_UNION, &a.value, &b.value, &result.value);
        EXPECT_EQ(result.value.num_contours, 0);
        EXPECT_EQ(result.value.contour, nullptr);
    }

    // Contours of fewer than three vertices, negative counts and null inputs are ignored.
    Polygon a{{square(0, 0, 1), 0}, {{{5, 5}, {6, 6}}, 0}};
    gpc_vertex bogus{7, 7};
    gpc_vertex_list negative{-3, &bogus};
    gpc_polygon broken{1, nullptr, &negative};
    Polygon result;
    gpc_polygon_clip(GPC_UNION, &a.value, &broken, &result.value);
    ASSERT_EQ(result.value.num_contours, 1);
    EXPECT_NEAR(std::abs(signedArea(result.value.contour[0])), 1.0, 1e-15);

    Polygon fromNull;
    gpc_polygon_clip(GPC_DIFF, nullptr, &a.value, &fromNull.value);
    EXPECT_EQ(fromNull.value.num_contours, 0);
    gpc_polygon_clip(GPC_DIFF, &a.value, &a.value, nullptr); // nothing to write: no crash

    // Zero area and a self-intersecting bow tie: even-odd gives nothing and two triangles.
    Polygon flat{{{{0, 0}, {1, 0}, {2, 0}}, 0}};
    Polygon none;
    Polygon flatResult;
    gpc_polygon_clip(GPC_UNION, &flat.value, &none.value, &flatResult.value);
    EXPECT_EQ(flatResult.value.num_contours, 0);

    Polygon bowTie{{{{0, 0}, {1, 1}, {1, 0}, {0, 1}}, 0}};
    Polygon bowTieResult;
    gpc_polygon_clip(GPC_UNION, &bowTie.value, &none.value, &bowTieResult.value);
    ASSERT_EQ(bowTieResult.value.num_contours, 2);
    EXPECT_NEAR(std::abs(signedArea(bowTieResult.value.contour[0])), 0.25, 1e-15);
    EXPECT_NEAR(std::abs(signedArea(bowTieResult.value.contour[1])), 0.25, 1e-15);
}

TEST(GpcTest, AddContourCopiesAndFreeEmpties)
{
    Contour vertices = square(0, 0, 1);
    Polygon polygon;
    polygon.add(vertices, 1);
    vertices[0] = {9, 9}; // the polygon holds its own copy
    polygon.add({}, 0);
    ASSERT_EQ(polygon.value.num_contours, 2);
    EXPECT_EQ(polygon.value.hole[0], 1);
    EXPECT_EQ(polygon.value.contour[0].vertex[0].x, 0.0);
    EXPECT_EQ(polygon.value.contour[1].num_vertices, 0);
    gpc_free_polygon(&polygon.value);
    EXPECT_EQ(polygon.value.num_contours, 0);
    EXPECT_EQ(polygon.value.hole, nullptr);
    gpc_free_polygon(&polygon.value); // freeing twice is harmless
    gpc_free_polygon(nullptr);
}
