#include "objects/Tarvex2DGeometryCircle.h"
#include "objects/Tarvex2DGeometryLine.h"
#include "objects/Tarvex2DGeometryPolygon.h"
#include "objects/Tarvex2DGeometryRectangle.h"

#include "objects/GeometryTestSupport.h"

#include <cmath>
#include <random>

using namespace Tarvex;
using Geometry::Transform2D;
using Geometry::Vec2;
using GeometryTest::Points;
using GeometryTest::samePoints;
using GeometryTest::square;

namespace {

constexpr double pi = Transform2D::pi;

Points rotated(const Points& points, double angle)
{
    const Transform2D rotation = Transform2D::createRotation(angle);
    Points result;
    for (const Vec2& p : points)
        result.push_back(rotation.transformedVector(p));
    return result;
}

// The redundant-point walk exactly as stated: after every removal it starts again at the
// first point. The polygon's own, faster walk must drop the same points.
Points referenceWithoutRedundantPoints(Points points)
{
    size_t i = 0;
    while (i < points.size()) {
        const size_t n = points.size();
        const Vec2 p = points[i];
        const Vec2 previous = points[(i + n - 1) % n];
        const Vec2 next = points[(i + 1) % n];
        const bool repeated = Tarvex2DGeometry::isEqual((previous - p).length(), 0.0);
        const bool collinear = !repeated
            && Tarvex2DGeometry::isEqual(std::abs((next - p).normalized().dot((previous - p).normalized())), 1.0);
        if (repeated || collinear) {
            points.erase(points.begin() + std::ptrdiff_t(i));
            i = 0;
        } else {
            ++i;
        }
    }
    return points;
}

} // namespace

TEST(Tarvex2DGeometryTest, ConstructorsNormaliseOrderAndStart)
{
    // Counter-clockwise with y up: this system's turning sum is +2π, so it is reversed.
    Tarvex2DGeometryPolygon square({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    EXPECT_TRUE(samePoints(square.getPoints(), {{0, 0}, {0, 1}, {1, 1}, {1, 0}}));
    EXPECT_NEAR(square.totalRotationAngle(), -2 * pi, 1e-12);
    square.makeClockwise();
    EXPECT_TRUE(samePoints(square.getPoints(), {{1, 0}, {1, 1}, {0, 1}, {0, 0}}));
    EXPECT_NEAR(square.totalRotationAngle(), 2 * pi, 1e-12);
    square.makeLowLeverStart();
    EXPECT_TRUE(samePoints(square.getPoints(), {{0, 0}, {1, 0}, {1, 1}, {0, 1}}));
    square.makeCounterClockwise();
    EXPECT_TRUE(samePoints(square.getPoints(), {{0, 1}, {1, 1}, {1, 0}, {0, 0}}));

    // Two points are equally near the low corner (0, 0): the earlier one in the reversed
    // order starts.
    const Tarvex2DGeometryPolygon diamond({{0, 1}, {1, 0}, {2, 1}, {1, 2}});
    EXPECT_TRUE(samePoints(diamond.getPoints(), {{1, 0}, {0, 1}, {1, 2}, {2, 1}}));

    // The offset is added after normalising.
    const Tarvex2DGeometryPolygon moved(Vec2(10, 20), {{1, 1}, {2, 1}, {2, 2}, {1, 2}});
    EXPECT_TRUE(samePoints(moved.getPoints(), {{11, 21}, {11, 22}, {12, 22}, {12, 21}}));
    EXPECT_TRUE(samePoints(moved.getPoints(moved.begin() + 2), {{12, 22}, {12, 21}, {11, 21}, {11, 22}}));
    EXPECT_TRUE(samePoints(moved.getPoints(moved.begin()), moved.getPoints()));

    // A rectangle with negative sizes moves its origin; a rotated one turns its corners.
    EXPECT_TRUE(samePoints(Tarvex2DGeometryRectangle(Vec2(2, 3), Vec2(-2, -1)).getPoints(),
                           {{0, 2}, {0, 3}, {2, 3}, {2, 2}}));
    const Tarvex2DGeometryRectangle turned(Vec2(0, 0), Vec2(2, 1), Transform2D::createRotation(pi / 2));
    EXPECT_TRUE(samePoints(turned.getPoints(), {{0, 0}, {-1, 0}, {-1, 2}, {0, 2}}));
    EXPECT_TRUE(turned.getBound().isApprox(Geometry::Bound2D(Vec2(-1, 0), Vec2(0, 2)), 1e-12));

    // A circle's outline is its enclosing square.
    const Tarvex2DGeometryCircle circle(Vec2(1, 2), 0.5);
    EXPECT_TRUE(samePoints(circle.getPoints(), {{1, 2}, {1, 2.5}, {1.5, 2.5}, {1.5, 2}}));
    EXPECT_DOUBLE_EQ(circle.totalRotationAngle(), 2 * pi);
    EXPECT_EQ(Tarvex2DGeometryLine(Vec2(0, 0), Vec2(1, 0)).totalRotationAngle(), 0.0);
}

TEST(Tarvex2DGeometryTest, RectangleRecognition)
{
    struct Case
    {
        const char* name;
        Points points;
        bool rectangle;
    };
    const Case cases[] = {
        {"unit square", square(0, 0, 1), true},
        {"square turned by 30 degrees", rotated(square(0, 0, 2), pi / 6), true},
        {"corners off square by 1e-4 rad (1 - cos < EPS)", {{0, 0}, {1e-4, 1}, {1 + 1e-4, 1}, {1, 0}}, true},
        {"corners off square by 1e-2 rad", {{0, 0}, {0.01, 1}, {1.01, 1}, {1, 0}}, false},
        {"triangle", {{0, 0}, {0, 1}, {1, 0}}, false},
        {"five points", {{0, 0}, {0, 1}, {0.5, 1.5}, {1, 1}, {1, 0}}, false},
    };
    for (const Case& c : cases) {
        const Tarvex2DGeometryPolygon polygon(c.points);
        EXPECT_EQ(polygon.isRectangle(), c.rectangle) << c.name;
        EXPECT_EQ(polygon.toRectangle() != nullptr, c.rectangle) << c.name;
    }
    EXPECT_TRUE(Tarvex2DGeometryRectangle(Vec2(), Vec2(1, 1)).isRectangle());
    EXPECT_TRUE(Tarvex2DGeometryCircle(Vec2(), 1).isRectangle());
    EXPECT_FALSE(Tarvex2DGeometryLine(Vec2(), Vec2(1, 1)).isRectangle());

    // A turned square converts to a rectangle with the same corners, keeping its hole.
    Tarvex2DGeometryPolygon turned(rotated(square(0, 0, 2), pi / 6));
    turned.addHole(std::make_unique<Tarvex2DGeometryPolygon>(rotated(square(0.5, 0.5, 1), pi / 6)));
    const auto rectangle = turned.toRectangle();
    ASSERT_TRUE(rectangle);
    EXPECT_TRUE(samePoints(rectangle->getPoints(), turned.getPoints()));
    EXPECT_NEAR(rectangle->getSize().x, 2.0, 1e-12);
    EXPECT_NEAR(rectangle->getSize().y, 2.0, 1e-12);
    ASSERT_EQ(rectangle->getHoles().size(), 1u);
    EXPECT_TRUE(rectangle->getHoles()[0]->isEquivalent(*turned.getHoles()[0]));

    // Polygon forms: a rectangle's keeps the holes; circles and lines have none.
    Tarvex2DGeometryRectangle withHole(Vec2(0, 0), Vec2(4, 4));
    withHole.addHole(std::make_unique<Tarvex2DGeometryPolygon>(square(1, 1, 1)));
    const auto polygon = withHole.toPolygon();
    ASSERT_TRUE(polygon);
    EXPECT_TRUE(samePoints(polygon->getPoints(), square(0, 0, 4)));
    EXPECT_EQ(polygon->getHoles().size(), 1u);
    EXPECT_FALSE(Tarvex2DGeometryCircle(Vec2(), 1).toPolygon());
    EXPECT_FALSE(Tarvex2DGeometryLine(Vec2(), Vec2(1, 1)).toPolygon());
}

TEST(Tarvex2DGeometryTest, PointContainmentAndTouching)
{
    const Tarvex2DGeometryPolygon unit(square(0, 0, 1));
    struct Case
    {
        Vec2 point;
        bool exclusive;
        bool inclusive;
        bool touching;
    };
    const Case cases[] = {
        {{0.5, 0.5}, true, true, false},
        {{1, 1}, false, true, true}, // a vertex
        {{0.5, 0}, false, true, true}, // on a side
        {{0.5, 2e-7}, false, true, true}, // within EPS of a side, inside
        {{0.5, -2e-7}, false, true, true}, // within EPS of a side, outside
        {{0.5, -2e-6}, false, false, false},
        {{1.5, 0.5}, false, false, false},
        {{-1e-3, 0.5}, false, false, false},
        {{0.5, 1e6}, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.point));
        EXPECT_EQ(unit.isContaining(c.point, false), c.exclusive);
        EXPECT_EQ(unit.isContaining(c.point, true), c.inclusive);
        EXPECT_EQ(unit.isTouching(c.point), c.touching);
    }

    // A concave outline: the notch is outside.
    const Tarvex2DGeometryPolygon u({{0, 0}, {0, 3}, {1, 3}, {1, 1}, {2, 1}, {2, 3}, {3, 3}, {3, 0}});
    EXPECT_FALSE(u.isContaining(Vec2(1.5, 2), true));
    EXPECT_TRUE(u.isContaining(Vec2(0.5, 2), false));
    EXPECT_TRUE(u.isContaining(Vec2(2.5, 2), false));
    // Holes are not consulted.
    Tarvex2DGeometryPolygon ring(square(0, 0, 4));
    ring.addHole(std::make_unique<Tarvex2DGeometryPolygon>(square(1, 1, 2)));
    EXPECT_TRUE(ring.isContaining(Vec2(2, 2), false));
}

TEST(Tarvex2DGeometryTest, ShapeContainmentOverlapAndTouching)
{
    const Tarvex2DGeometryPolygon big(square(0, 0, 4));
    const Tarvex2DGeometryPolygon inner(square(1, 1, 2));
    const Tarvex2DGeometryPolygon straddling(square(3, 3, 2));
    const Tarvex2DGeometryPolygon far(square(10, 10, 1));

    EXPECT_TRUE(big.isContaining(inner, false));
    EXPECT_TRUE(big.isOverlapping(inner));
    EXPECT_FALSE(big.isPartialOverlapping(inner));
    EXPECT_FALSE(big.isTouching(inner)); // no side meets: containment is not touching

    EXPECT_FALSE(big.isContaining(straddling, true));
    EXPECT_TRUE(big.isOverlapping(straddling));
    EXPECT_TRUE(big.isPartialOverlapping(straddling));
    EXPECT_TRUE(big.isTouching(straddling));

    EXPECT_FALSE(big.isOverlapping(far));
    EXPECT_FALSE(big.isPartialOverlapping(far));
    EXPECT_FALSE(big.isTouching(far));

    // Sharing a side: contained only when the outline counts.
    const Tarvex2DGeometryPolygon sameSize(square(0, 0, 4));
    EXPECT_TRUE(big.isContaining(sameSize, true));
    EXPECT_FALSE(big.isContaining(sameSize, false));
    EXPECT_TRUE(big.isContaining(Tarvex2DGeometryPolygon(), false)); // no points: vacuously

    // A circle next to a rectangle whose corner it just touches (the circle is its square).
    const Tarvex2DGeometryRectangle rectangle(Vec2(0, 0), Vec2(1, 1));
    for (double gap : {0.0, 5e-7}) {
        const Tarvex2DGeometryCircle circle(Vec2(1 + gap, 1 + gap), 1);
        EXPECT_TRUE(rectangle.isTouching(circle)) << gap;
        EXPECT_TRUE(circle.isTouching(rectangle)) << gap;
        EXPECT_TRUE(rectangle.isOverlapping(circle)) << gap;
        EXPECT_TRUE(rectangle.isPartialOverlapping(circle)) << gap;
        EXPECT_FALSE(rectangle.isContaining(circle, true)) << gap;
    }
    const Tarvex2DGeometryCircle apart(Vec2(1 + 1e-5, 1 + 1e-5), 1);
    EXPECT_FALSE(rectangle.isTouching(apart));
    EXPECT_FALSE(rectangle.isOverlapping(apart));
}

TEST(Tarvex2DGeometryTest, SegmentTests)
{
    using Line = Tarvex2DGeometryLine;
    struct Case
    {
        const char* name;
        Line a;
        Line b;
        bool intersect;
    };
    const Case cases[] = {
        {"crossing diagonals", Line({0, 0}, {2, 2}), Line({0, 2}, {2, 0}), true},
        {"T junction", Line({0, 0}, {2, 0}), Line({1, 0}, {1, 1}), true},
        {"T junction with a gap below EPS", Line({0, 0}, {2, 0}), Line({1, 5e-7}, {1, 1}), true},
        {"T junction with a gap of 2e-6", Line({0, 0}, {2, 0}), Line({1, 2e-6}, {1, 1}), false},
        {"crossing the line outside the segment", Line({0, 0}, {1, 0}), Line({2, -1}, {2, 1}), false},
        {"parallel", Line({0, 0}, {1, 0}), Line({0, 1}, {1, 1}), false},
        {"same difference vector (collinear overlap)", Line({0, 0}, {1, 0}), Line({0.5, 0}, {1.5, 0}), false},
        {"opposite difference vector", Line({0, 0}, {1, 0}), Line({1.5, 0}, {0.5, 0}), false},
        {"degenerate", Line({0, 0}, {0, 0}), Line({0, -1}, {0, 1}), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.a.intersects(c.b), c.intersect) << c.name;

    const Line side({0, 0}, {1, 0});
    EXPECT_TRUE(side.isPointOnLine({0.5, 0}));
    EXPECT_TRUE(side.isPointOnLine({1 + 5e-7, 0})); // equals the end within EPS
    EXPECT_FALSE(side.isPointOnLine({1 + 2e-6, 0}));
    EXPECT_FALSE(side.isPointOnLine({-0.5, 0}));
    EXPECT_FALSE(Line({0, 0}, {0, 0}).isPointOnLine({1e-3, 0}));

    // The sides of a shape close the outline; an empty outline has none.
    const auto sides = Tarvex2DGeometryPolygon(square(0, 0, 1)).getSides();
    ASSERT_EQ(sides.size(), 4u);
    EXPECT_EQ(sides[3].getStart(), Vec2(1, 0));
    EXPECT_EQ(sides[3].getEnd(), Vec2(0, 0));
    EXPECT_TRUE(Tarvex2DGeometryPolygon().getSides().empty());
}

TEST(Tarvex2DGeometryTest, RedundantPointsAreDropped)
{
    Tarvex2DGeometryPolygon polygon({{0, 0}, {0, 0.5}, {0, 1}, {1, 1}, {1, 1}, {1, 0}});
    polygon.removeRedundantPoints();
    EXPECT_TRUE(samePoints(polygon.getPoints(), square(0, 0, 1)));

    // A hole is cleaned with its owner.
    Tarvex2DGeometryPolygon owner(square(0, 0, 10));
    owner.getHoles().push_back(std::make_unique<Tarvex2DGeometryPolygon>(
        Points{{1, 1}, {1, 2}, {1, 3}, {3, 3}, {3, 3 + 1e-7}, {3, 1}}));
    owner.removeRedundantPoints();
    EXPECT_TRUE(samePoints(owner.getHoles()[0]->getPoints(), square(1, 1, 2)));

    // On random outlines full of repeated and collinear points, the same points go as with
    // the walk that restarts after every removal.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(0, 3);
    for (int round = 0; round < 300; ++round) {
        Points points;
        const int count = 3 + round % 17;
        for (int i = 0; i < count; ++i)
            points.emplace_back(coordinate(random), coordinate(random));
        Tarvex2DGeometryPolygon random(points);
        const Points expected = referenceWithoutRedundantPoints(random.getPoints());
        random.removeRedundantPoints();
        ASSERT_TRUE(samePoints(random.getPoints(), expected, 0.0)) << "round " << round;
    }
}

TEST(Tarvex2DGeometryTest, TransformsCopiesAndBounds)
{
    Tarvex2DGeometryPolygon polygon(square(0, 0, 1));
    polygon.addHole(std::make_unique<Tarvex2DGeometryPolygon>(square(0.25, 0.25, 0.5)));
    const auto moved = polygon.createTransformedGeometry(Transform2D::createTranslation(Vec2(5, 0)));
    EXPECT_TRUE(samePoints(moved->getPoints(), square(5, 0, 1)));
    EXPECT_TRUE(samePoints(polygon.getPoints(), square(0, 0, 1))); // the source stays
    // A polygon's holes are left where they were.
    EXPECT_TRUE(samePoints(moved->getHoles()[0]->getPoints(), square(0.25, 0.25, 0.5)));
    EXPECT_TRUE(moved->getTransform().isIdentity());

    // Copies are deep.
    Tarvex2DGeometryPolygon copy(polygon);
    copy.getHoles()[0]->transformGeometry(Transform2D::createTranslation(Vec2(1, 1)));
    EXPECT_TRUE(samePoints(polygon.getHoles()[0]->getPoints(), square(0.25, 0.25, 0.5)));

    // Rectangles and circles compose their placement.
    Tarvex2DGeometryRectangle rectangle(Vec2(1, 0), Vec2(2, 1));
    rectangle.transformGeometry(Transform2D::createRotation(pi / 2));
    EXPECT_TRUE(samePoints(rectangle.getPoints(), {{0, 1}, {-1, 1}, {-1, 3}, {0, 3}}));
    EXPECT_TRUE(rectangle.getTransform().isApprox(
        Transform2D::multiply(Transform2D::createRotation(pi / 2), Transform2D::createTranslation(Vec2(1, 0)))));
    Tarvex2DGeometryCircle circle(Vec2(0, 0), 2);
    circle.transformGeometry(Transform2D::createTranslation(Vec2(3, 4)));
    EXPECT_TRUE(circle.getBound().isApprox(Geometry::Bound2D(Vec2(3, 4), Vec2(5, 6)), 1e-12));
    Tarvex2DGeometryLine line(Vec2(0, 0), Vec2(1, 0));
    line.transformGeometry(Transform2D::createTranslation(Vec2(0, 2)));
    EXPECT_EQ(line.getStart(), Vec2(0, 2));
    EXPECT_EQ(line.getEnd(), Vec2(1, 2));

    // The bound of no points is the bound of the origin.
    EXPECT_EQ(Tarvex2DGeometryPolygon().getBound(), Geometry::Bound2D(Vec2(0, 0)));
    EXPECT_EQ(Tarvex2DGeometryPolygon({{3, 1}, {-1, 2}, {0, -4}}).getBound(),
              Geometry::Bound2D(Vec2(-1, -4), Vec2(3, 2)));

    // Equivalence compares points in order within EPS, not holes.
    EXPECT_TRUE(polygon.isEquivalent(Tarvex2DGeometryPolygon(square(0, 0, 1 + 5e-7))));
    EXPECT_FALSE(polygon.isEquivalent(Tarvex2DGeometryPolygon(square(0, 0, 1 + 2e-6))));
    EXPECT_TRUE(polygon.isEquivalent(Tarvex2DGeometryRectangle(Vec2(), Vec2(1, 1))));
    EXPECT_FALSE(polygon.isEquivalent(Tarvex2DGeometryLine(Vec2(), Vec2(1, 1))));
}
