#include "objects/Tarvex2DGeometryClipper.h"
#include "objects/Tarvex2DGeometryPolygon.h"
#include "objects/Tarvex2DGeometryRectangle.h"

#include "objects/GeometryTestSupport.h"

#include <limits>

using namespace Tarvex;
using Geometry::Vec2;
using GeometryTest::area;
using GeometryTest::Points;
using GeometryTest::samePoints;
using GeometryTest::square;

TEST(Tarvex2DBadInputTest, DegenerateOutlines)
{
    // No points at all.
    Tarvex2DGeometryPolygon empty;
    EXPECT_FALSE(empty.isValid());
    EXPECT_EQ(empty.totalRotationAngle(), 0.0);
    EXPECT_FALSE(empty.isContaining(Vec2(0, 0), true));
    EXPECT_FALSE(empty.isTouching(Tarvex2DGeometryPolygon(square(0, 0, 1))));
    EXPECT_FALSE(empty.unite(Tarvex2DGeometryPolygon(square(0, 0, 1))));
    EXPECT_FALSE(empty.substract(Tarvex2DGeometryPolygon(square(0, 0, 1))));
    EXPECT_FALSE(empty.clip(Tarvex2DGeometryPolygon(square(0, 0, 1))));
    EXPECT_FALSE(empty.toRectangle());
    empty.removeRedundantPoints();
    empty.makeLowLeverStart();
    EXPECT_TRUE(empty.empty());

    // One point: it repeats itself and goes; two points are collinear with each other.
    Tarvex2DGeometryPolygon single({{1, 1}});
    single.removeRedundantPoints();
    EXPECT_TRUE(single.empty());
    Tarvex2DGeometryPolygon pair({{0, 0}, {1, 1}});
    EXPECT_FALSE(pair.isValid());
    EXPECT_EQ(pair.totalRotationAngle(), 0.0);
    // The clipping library ignores the two-point contour: the union is the square.
    ASSERT_TRUE(pair.unite(Tarvex2DGeometryPolygon(square(0, 0, 1))));
    EXPECT_TRUE(samePoints(pair.getPoints(), square(0, 0, 1)));

    // Repeated points do not disturb a union.
    Tarvex2DGeometryPolygon repeated({{0, 0}, {0, 0}, {0, 1}, {1, 1}, {1, 1}, {1, 0}});
    ASSERT_TRUE(repeated.unite(Tarvex2DGeometryPolygon(square(1, 0, 1))));
    EXPECT_TRUE(samePoints(repeated.getPoints(), {{0, 0}, {0, 1}, {2, 1}, {2, 0}}));

    // Zero area: no turning, not a rectangle; it adds nothing and takes nothing away.
    Tarvex2DGeometryPolygon flat({{0, 0}, {1, 0}, {2, 0}});
    EXPECT_EQ(flat.totalRotationAngle(), 0.0);
    EXPECT_FALSE(flat.isRectangle());
    ASSERT_TRUE(flat.unite(Tarvex2DGeometryPolygon(square(0, 0, 1))));
    EXPECT_TRUE(samePoints(flat.getPoints(), square(0, 0, 1)));
    Tarvex2DGeometryPolygon unit(square(0, 0, 1));
    EXPECT_TRUE(unit.substract(Tarvex2DGeometryPolygon({{0, 0.5}, {0.5, 0.5}, {1, 0.5}})));
    EXPECT_TRUE(samePoints(unit.getPoints(), square(0, 0, 1)));
    EXPECT_FALSE(unit.clip(Tarvex2DGeometryPolygon({{0, 0.5}, {0.5, 0.5}, {1, 0.5}})));

    // A self-intersecting bow tie counts by the even-odd rule: two triangles touching at a
    // point. Clipping keeps the first, the second cannot be united with it.
    const Tarvex2DGeometryPolygon bowTie({{0, 0}, {1, 1}, {1, 0}, {0, 1}});
    EXPECT_EQ(Tarvex2DGeometryClipper().clip(bowTie, Tarvex2DGeometryPolygon(), Tarvex2DGeometryClipper::Union).size(),
              2u);
    const auto half = bowTie.clip(Tarvex2DGeometryPolygon(square(0, 0, 1)));
    ASSERT_TRUE(half);
    EXPECT_NEAR(area(half->getPoints()), 0.25, 1e-12);
    Tarvex2DGeometryPolygon tie = bowTie;
    EXPECT_FALSE(tie.unite(Tarvex2DGeometryPolygon(square(5, 5, 1))));

    // A zero-size rectangle.
    const Tarvex2DGeometryRectangle point(Vec2(1, 1), Vec2(0, 0));
    EXPECT_FALSE(point.clip(Tarvex2DGeometryPolygon(square(0, 0, 2))));
    EXPECT_TRUE(Tarvex2DGeometryPolygon(square(0, 0, 2)).isContaining(point, false));
}

TEST(Tarvex2DBadInputTest, NonFiniteCoordinates)
{
    const double values[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()};
    for (double bad : values) {
        SCOPED_TRACE(bad);
        Tarvex2DGeometryPolygon broken({{0, 0}, {bad, 0}, {1, 1}, {0, 1}});
        const size_t size = broken.size();

        // Every test answers; the clipping library refuses the input, so unions,
        // differences and clips leave both sides as they were.
        broken.isContaining(Vec2(0.5, 0.5), true);
        broken.isTouching(Vec2(0.5, 0.5));
        broken.getBound();
        EXPECT_FALSE(broken.toRectangle());
        Tarvex2DGeometryPolygon good(square(0, 0, 1));
        EXPECT_FALSE(good.unite(broken));
        EXPECT_FALSE(good.substract(broken));
        EXPECT_FALSE(good.clip(broken));
        EXPECT_TRUE(samePoints(good.getPoints(), square(0, 0, 1)));
        EXPECT_FALSE(broken.unite(good));
        EXPECT_FALSE(broken.substract(good));
        EXPECT_EQ(broken.size(), size);
        good.addHole(broken.clone()); // does not unite with anything: appended as it is
        EXPECT_EQ(good.getHoles().size(), 1u);

        // The redundant-point walk ends.
        broken.removeRedundantPoints();
        EXPECT_LE(broken.size(), size);
    }
}

TEST(Tarvex2DBadInputTest, HugeAndTinyCoordinates)
{
    // Two diagonally overlapping squares unite into the same octagon at any scale the
    // lengths can be computed at (up to about 1e150, where squared lengths still fit).
    for (double u : {1e-3, 1e3, 1e100}) {
        SCOPED_TRACE(u);
        Tarvex2DGeometryPolygon a(square(0, 0, 2 * u));
        ASSERT_TRUE(a.unite(Tarvex2DGeometryPolygon(square(u, u, 2 * u))));
        const Points expected{{0, 0},         {0, 2 * u},     {u, 2 * u}, {u, 3 * u},
                              {3 * u, 3 * u}, {3 * u, u},     {2 * u, u}, {2 * u, 0}};
        EXPECT_TRUE(samePoints(a.getPoints(), expected, u * 1e-12));
    }

    // Beyond that the geometric tests degrade, but they still answer and nothing hangs.
    Tarvex2DGeometryPolygon huge(square(0, 0, 2e200));
    huge.unite(Tarvex2DGeometryPolygon(square(1e200, 1e200, 2e200)));
    huge.substract(Tarvex2DGeometryPolygon(square(1e200, 1e200, 1e200)));
    huge.clip(Tarvex2DGeometryPolygon(square(1e200, 1e200, 1e200)));
    huge.isContaining(Vec2(1e200, 1e200), true);
    EXPECT_FALSE(huge.empty());
}
