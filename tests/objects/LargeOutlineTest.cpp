#include "objects/Tarvex2DGeometryPolygon.h"

#include <gtest/gtest.h>

#include <cmath>

using Geometry::Vec2;
using Tarvex::Tarvex2DGeometryPolygon;

namespace {

// A regular polygon of `sides` corners on the circle of radius 1 around `centre`, with a
// corner at angle 0.
Tarvex2DGeometryPolygon regular(const Vec2& centre, int sides)
{
    std::vector<Vec2> points;
    for (int i = 0; i < sides; ++i) {
        const double angle = 2 * M_PI * i / sides;
        points.emplace_back(centre.x + std::cos(angle), centre.y + std::sin(angle));
    }
    return Tarvex2DGeometryPolygon(points);
}

} // namespace

TEST(Tarvex2DGeometryPolygon, LargeOutlinesTouchWithTheSameToleranceAsSmallOnes)
{
    // Two regular polygons side by side meet at one corner. Large outlines are searched
    // through an index of their sides, small ones pair by pair. A gap below EPS still
    // touches where the corner's sides cross steeply (12 sides) but not where they are
    // nearly parallel (300 sides): their crossing then lies further than EPS from both.
    struct Case
    {
        double gap;
        bool touching12;
        bool touching300;
    };
    for (int sides : {12, 300}) {
        for (const Case& c : {Case{0.0, true, true}, Case{5e-7, true, false}, Case{2e-6, false, false},
                              Case{1e-3, false, false}, Case{-0.01, true, true}}) {
            const bool touching = sides == 12 ? c.touching12 : c.touching300;
            const Tarvex2DGeometryPolygon left = regular(Vec2(0, 0), sides);
            const Tarvex2DGeometryPolygon right = regular(Vec2(2.0 + c.gap, 0), sides);
            EXPECT_EQ(left.isTouching(right), touching) << sides << " sides, gap " << c.gap;
            EXPECT_EQ(right.isTouching(left), touching) << sides << " sides, gap " << c.gap;
        }
    }
}
