#include "objects/FlatGeometryOutlineGenerator.h"

#include <gtest/gtest.h>

using Geometry::Bound;
using Geometry::Vec3;
using Tarvex::FlatGeometryOutlineGenerator;

namespace {

FlatGeometryOutlineGenerator::Outline outlineOf(const Geometry::Solid& solid)
{
    FlatGeometryOutlineGenerator::Outline outline;
    outline.normal = Vec3(9, 9, 9); // untouched unless the solid is flat
    FlatGeometryOutlineGenerator(&outline).generate(solid);
    return outline;
}

} // namespace

TEST(FlatGeometryOutlineGenerator, FlatBoxesGiveTheirLowFaceAndNormal)
{
    struct Case
    {
        const char* name;
        Bound bound;
        std::vector<Vec3> points;
        Vec3 normal;
    };
    const Case cases[] = {
        {"flat across x", Bound(Vec3(1, 0, 0), Vec3(1, 2, 3)), {{1, 0, 0}, {1, 2, 0}, {1, 2, 3}, {1, 0, 3}}, {1, 0, 0}},
        {"flat across y", Bound(Vec3(0, 5, 0), Vec3(2, 5, 3)), {{0, 5, 0}, {0, 5, 3}, {2, 5, 3}, {2, 5, 0}}, {0, 1, 0}},
        {"flat across z", Bound(Vec3(0, 0, 7), Vec3(2, 3, 7)), {{0, 0, 7}, {2, 0, 7}, {2, 3, 7}, {0, 3, 7}}, {0, 0, 1}},
        // Flat along two axes: the first flat axis wins.
        {"a line along z", Bound(Vec3(1, 1, 0), Vec3(1, 1, 4)), {{1, 1, 0}, {1, 1, 0}, {1, 1, 4}, {1, 1, 4}}, {1, 0, 0}},
        {"a solid box", Bound(Vec3(0, 0, 0), Vec3(1, 1, 1)), {}, {9, 9, 9}},
    };
    for (const Case& c : cases) {
        const auto outline = outlineOf(Geometry::Box(c.bound));
        EXPECT_EQ(outline.points, c.points) << c.name;
        EXPECT_EQ(outline.normal, c.normal) << c.name;
    }
}

TEST(FlatGeometryOutlineGenerator, PrismsGiveTheirOutlineOnlyWithoutHeight)
{
    const std::vector<Vec3> triangle{{0, 2, 0}, {4, 2, 0}, {0, 2, 3}};
    const auto flat = outlineOf(Geometry::PolygonPrism(triangle, 0.0));
    EXPECT_EQ(flat.points, triangle);
    EXPECT_EQ(flat.normal, Vec3(0, 1, 0));
    const auto solid = outlineOf(Geometry::PolygonPrism(triangle, 0.5));
    EXPECT_TRUE(solid.points.empty());
    EXPECT_EQ(solid.normal, Vec3(9, 9, 9));
}
