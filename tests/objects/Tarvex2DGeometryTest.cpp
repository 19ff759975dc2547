#include <tarvex/objects/Tarvex2DGeometryCircle.h>
#include <tarvex/objects/Tarvex2DGeometryLine.h>
#include <tarvex/objects/Tarvex2DGeometryPolygon.h>
#include <tarvex/objects/Tarvex2DGeometryRectangle.h>
#include <tarvex/objects/Tarvex3DGeometry2DExtrusion.h>

#include "objects/GeometryTestSupport.h"

#include <cmath>
#include <limits>
#include <random>
#include <tuple>

using namespace Tarvex;
using Geometry::Transform2D;
using Geometry::Vec2;
using GeometryTest::Points;
using GeometryTest::samePoints;
using GeometryTest::square;

namespace {

constexpr double pi = Transform2D::pi;

std::unique_ptr<Tarvex2DGeometryPolygon> squareHole(double x, double y, double size)
{
    return std::make_unique<Tarvex2DGeometryPolygon>(square(x, y, size));
}

// Two overlapping rectangles: A = [0, 2] x [0, 1], B = [1, 3] x [0.5, 1.5].
const Points rectangleA{{0, 0}, {2, 0}, {2, 1}, {0, 1}};
const Tarvex2DGeometryRectangle rectangleB(Vec2(1, 0.5), Vec2(2, 1));

Points rotated(const Points& points, double angle)
{
    Points result;
    for (const Vec2& p : points)
        result.push_back(Transform2D::createRotation(angle).transformedVector(p));
    return result;
}

// A regular polygon of `sides` corners on the circle of radius 1 around `centre`, the first
// corner at angle `start`.
Points regular(const Vec2& centre, int sides, double start = 0)
{
    Points points;
    for (int i = 0; i < sides; ++i) {
        const double angle = start + 2 * pi * i / sides;
        points.emplace_back(centre.x + std::cos(angle), centre.y + std::sin(angle));
    }
    return points;
}

// The redundant-point walk exactly as stated: after every removal it starts again at the
// first point. The polygon's own, faster walk must drop the same points.
Points referenceWithoutRedundantPoints(Points points)
{
    for (size_t i = 0; i < points.size();) {
        const size_t n = points.size();
        const Vec2 toPrevious = points[(i + n - 1) % n] - points[i];
        const Vec2 toNext = points[(i + 1) % n] - points[i];
        const bool repeated = Tarvex2DGeometry::isEqual(toPrevious.length(), 0.0);
        if (repeated
            || Tarvex2DGeometry::isEqual(std::abs(toNext.normalized().dot(toPrevious.normalized())), 1.0)) {
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
    Tarvex2DGeometryPolygon outline({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    EXPECT_TRUE(samePoints(outline.getPoints(), {{0, 0}, {0, 1}, {1, 1}, {1, 0}}));
    EXPECT_NEAR(outline.totalRotationAngle(), -2 * pi, 1e-12);
    outline.makeClockwise();
    EXPECT_TRUE(samePoints(outline.getPoints(), {{1, 0}, {1, 1}, {0, 1}, {0, 0}}));
    outline.makeLowLeverStart();
    EXPECT_TRUE(samePoints(outline.getPoints(), {{0, 0}, {1, 0}, {1, 1}, {0, 1}}));

    // Two points equally near the low corner: the earlier one in the reversed order starts.
    EXPECT_TRUE(samePoints(Tarvex2DGeometryPolygon({{0, 1}, {1, 0}, {2, 1}, {1, 2}}).getPoints(),
                           {{1, 0}, {0, 1}, {1, 2}, {2, 1}}));
    // The offset is added after normalising.
    EXPECT_TRUE(samePoints(Tarvex2DGeometryPolygon(Vec2(10, 20), {{1, 1}, {2, 1}, {2, 2}, {1, 2}}).getPoints(),
                           {{11, 21}, {11, 22}, {12, 22}, {12, 21}}));
    // A rectangle with negative sizes moves its origin.
    EXPECT_TRUE(samePoints(Tarvex2DGeometryRectangle(Vec2(2, 3), Vec2(-2, -1)).getPoints(),
                           {{0, 2}, {0, 3}, {2, 3}, {2, 2}}));
    // A circle's outline is its enclosing square.
    EXPECT_TRUE(samePoints(Tarvex2DGeometryCircle(Vec2(1, 2), 0.5).getPoints(), square(1, 2, 0.5)));
}

TEST(Tarvex2DGeometryTest, RectangleRecognition)
{
    // Each outline with whether it is a rectangle.
    const std::tuple<const char*, Points, bool> cases[] = {
        {"square turned by 30 degrees", rotated(square(0, 0, 2), pi / 6), true},
        {"corners off square by 1e-4 rad (1 - cos < EPS)", {{0, 0}, {1e-4, 1}, {1 + 1e-4, 1}, {1, 0}}, true},
        {"five points", {{0, 0}, {0, 1}, {0.5, 1.5}, {1, 1}, {1, 0}}, false},
    };
    for (const auto& [name, points, rectangle] : cases)
        EXPECT_EQ(Tarvex2DGeometryPolygon(points).toRectangle() != nullptr, rectangle) << name;

    // A turned square converts to a rectangle with the same corners, keeping its hole.
    Tarvex2DGeometryPolygon turned(rotated(square(0, 0, 2), pi / 6));
    turned.addHole(std::make_unique<Tarvex2DGeometryPolygon>(rotated(square(0.5, 0.5, 1), pi / 6)));
    const auto rectangle = turned.toRectangle();
    ASSERT_TRUE(rectangle);
    EXPECT_TRUE(samePoints(rectangle->getPoints(), turned.getPoints()));
    ASSERT_EQ(rectangle->getHoles().size(), 1u);
    EXPECT_TRUE(rectangle->getHoles()[0]->isEquivalent(*turned.getHoles()[0]));

    // And back: the polygon form of a rectangle keeps its holes.
    EXPECT_EQ(rectangle->toPolygon()->getHoles().size(), 1u);
}

TEST(Tarvex2DGeometryTest, ContainmentOverlapAndTouching)
{
    // Each point with whether it is inside the unit square, inside or on it, and on it.
    const Tarvex2DGeometryPolygon unit(square(0, 0, 1));
    const std::tuple<Vec2, bool, bool, bool> cases[] = {
        {{0.5, 0.5}, true, true, false},  {{0.5, 0}, false, true, true},          {{0.5, 2e-7}, false, true, true},
        {{0.5, -2e-7}, false, true, true}, {{0.5, -2e-6}, false, false, false}, {{1.5, 0.5}, false, false, false},
    };
    for (const auto& [point, exclusive, inclusive, touching] : cases) {
        SCOPED_TRACE(::testing::PrintToString(point));
        EXPECT_EQ(unit.isContaining(point, false), exclusive);
        EXPECT_EQ(unit.isContaining(point, true), inclusive);
        EXPECT_EQ(unit.isTouching(point), touching);
    }

    // Holes are not consulted.
    Tarvex2DGeometryPolygon ring(square(0, 0, 4));
    ring.addHole(squareHole(1, 1, 2));
    EXPECT_TRUE(ring.isContaining(Vec2(2, 2), false));

    // Shapes.
    const Tarvex2DGeometryPolygon big(square(0, 0, 4));
    const Tarvex2DGeometryPolygon inner(square(1, 1, 2));
    const Tarvex2DGeometryPolygon straddling(square(3, 3, 2));
    EXPECT_TRUE(big.isContaining(inner, false));
    EXPECT_FALSE(big.isPartialOverlapping(inner));
    EXPECT_FALSE(big.isTouching(inner)); // no side meets: containment is not touching
    EXPECT_FALSE(big.isContaining(straddling, true));
    EXPECT_TRUE(big.isPartialOverlapping(straddling));
    EXPECT_TRUE(big.isTouching(straddling));
    // Sharing a side: contained only when the outline counts.
    EXPECT_TRUE(big.isContaining(Tarvex2DGeometryPolygon(square(0, 0, 4)), true));
    EXPECT_FALSE(big.isContaining(Tarvex2DGeometryPolygon(square(0, 0, 4)), false));

    // A circle (seen as its square) just touching a rectangle's corner, within EPS or not.
    const Tarvex2DGeometryRectangle rectangle(Vec2(0, 0), Vec2(1, 1));
    for (double gap : {0.0, 5e-7, 1e-5})
        EXPECT_EQ(Tarvex2DGeometryCircle(Vec2(1 + gap, 1 + gap), 1).isTouching(rectangle), gap < 1e-6) << gap;
}

TEST(Tarvex2DGeometryTest, LargeOutlinesTouchAsWhenEverySidePairIsCompared)
{
    // Large outlines are searched through an index of their sides, small ones pair by pair:
    // the answers must agree. The corner of one regular polygon comes within about EPS of
    // the last, upright side of another, where a crossing the side test accepts lies
    // outside both sides' own boxes.
    std::mt19937 random(11);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    int touching = 0;
    for (int round = 0; round < 100; ++round) {
        const int n = 71 + 2 * (round % 20);
        const Points a = regular(Vec2(0, 0), n, pi / n);
        const Points b = regular(Vec2(std::cos(pi / n) + 1 + unit(random) * 2e-6, unit(random) * 0.02), 70, pi);
        bool reference = false;
        for (size_t i = 0; i < a.size(); ++i)
            for (size_t j = 0; j < b.size(); ++j)
                reference |= Tarvex2DGeometryLine::segmentsIntersect(a[i], a[(i + 1) % a.size()], b[j],
                                                                     b[(j + 1) % b.size()]);
        ASSERT_EQ(Tarvex2DGeometryPolygon(a).isTouching(Tarvex2DGeometryPolygon(b)), reference) << "round " << round;
        touching += reference;
    }
    EXPECT_GT(touching, 20); // near contacts do occur
}

TEST(Tarvex2DGeometryTest, RedundantPointsAreDropped)
{
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
        for (int i = 0; i < 3 + round % 17; ++i)
            points.emplace_back(coordinate(random), coordinate(random));
        Tarvex2DGeometryPolygon polygon(points);
        const Points expected = referenceWithoutRedundantPoints(polygon.getPoints());
        polygon.removeRedundantPoints();
        ASSERT_TRUE(samePoints(polygon.getPoints(), expected, 0.0)) << "round " << round;
    }
}

TEST(Tarvex2DGeometryTest, TransformsCopiesAndBounds)
{
    // A polygon moves its outline and leaves its holes.
    Tarvex2DGeometryPolygon polygon(square(0, 0, 1));
    polygon.addHole(squareHole(0.25, 0.25, 0.5));
    const auto moved = polygon.createTransformedGeometry(Transform2D::createTranslation(Vec2(5, 0)));
    EXPECT_TRUE(samePoints(moved->getPoints(), square(5, 0, 1)));
    EXPECT_TRUE(samePoints(moved->getHoles()[0]->getPoints(), square(0.25, 0.25, 0.5)));
    // Equivalence compares points in order within EPS, not holes.
    EXPECT_TRUE(polygon.isEquivalent(Tarvex2DGeometryPolygon(square(0, 0, 1 + 5e-7))));
    EXPECT_FALSE(polygon.isEquivalent(Tarvex2DGeometryPolygon(square(0, 0, 1 + 2e-6))));
}

TEST(Tarvex2DBooleanTest, UnionsAndDifferences)
{
    // A refused operation leaves the polygon as it was.
    const Tarvex2DGeometryCircle cornerCircle(Vec2(1, 1), 1), sideCircle(Vec2(0.5, 0), 1);
    const Tarvex2DGeometryRectangle crossBar(Vec2(1, -1), Vec2(1, 3));
    const Tarvex2DGeometryPolygon inner(square(1, 1, 1)), apart(square(5, 5, 1)), plate(square(0, 0, 4)),
        centre(square(1, 1, 2));
    // The name, the subject, union (else difference) with what, whether done, and the outline.
    const std::tuple<const char*, Points, bool, const Tarvex2DGeometry&, bool, Points> cases[] = {
        {"overlapping rectangles", rectangleA, true, rectangleB, true,
         {{0, 0}, {0, 1}, {1, 1}, {1, 1.5}, {3, 1.5}, {3, 0.5}, {2, 0.5}, {2, 0}}},
        {"a circle, as its square", square(0, 0, 1), true, sideCircle, true, {{0, 0}, {0, 1}, {1.5, 1}, {1.5, 0}}},
        {"disjoint: not touching", square(0, 0, 1), true, apart, false, square(0, 0, 1)},
        // Touching the corner, but the union is two pieces.
        {"a circle at the corner", square(0, 0, 1), true, cornerCircle, false, square(0, 0, 1)},
        // No side meets a side of this one: not touching, so no union.
        {"a shape wholly inside", square(0, 0, 4), true, inner, false, square(0, 0, 4)},
        {"overlapping rectangles", rectangleA, false, rectangleB, true,
         {{0, 0}, {0, 1}, {1, 1}, {1, 0.5}, {2, 0.5}, {2, 0}}},
        {"splitting in two", {{0, 0}, {3, 0}, {3, 1}, {0, 1}}, false, crossBar, false,
         {{0, 0}, {0, 1}, {3, 1}, {3, 0}}},
        {"taking everything", square(1, 1, 1), false, plate, false, square(1, 1, 1)},
        // The clipped difference has the hole, but the bookkeeping after it erases every hole
        // the removed shape contains, and the new hole is that shape. We follow the written
        // steps: the outline stays, the operation succeeds, no hole is kept.
        {"a centred square", square(0, 0, 4), false, centre, true, square(0, 0, 4)},
    };
    for (const auto& [name, points, unite, other, done, result] : cases) {
        SCOPED_TRACE(std::string(unite ? "union: " : "difference: ") + name);
        Tarvex2DGeometryPolygon subject(points);
        EXPECT_EQ(unite ? subject.unite(other) : subject.substract(other), done);
        EXPECT_TRUE(samePoints(subject.getPoints(), result));
        EXPECT_FALSE(subject.hasHoles());
    }

    // Only polygons unite.
    EXPECT_FALSE(Tarvex2DGeometryRectangle(Vec2(0, 0), Vec2(2, 1)).unite(rectangleB));
    // Taking away a shape with a hole spares the hole's area: here a notch on the cutter's
    // edge, so what is left stays in one piece.
    Tarvex2DGeometryPolygon frame(square(0, 0, 4));
    Tarvex2DGeometryPolygon cutter({{2, -1}, {5, -1}, {5, 5}, {2, 5}});
    cutter.getHoles().push_back(squareHole(2, 1, 1));
    ASSERT_TRUE(frame.substract(cutter));
    EXPECT_TRUE(samePoints(frame.getPoints(), {{0, 0}, {0, 4}, {2, 4}, {2, 2}, {3, 2}, {3, 1}, {2, 1}, {2, 0}}));
}

TEST(Tarvex2DBooleanTest, Clipping)
{
    // The overlap of the two rectangles, as a polygon, and as a rectangle when clipping a
    // rectangle.
    const auto piece = Tarvex2DGeometryPolygon(rectangleA).clip(rectangleB);
    ASSERT_TRUE(piece);
    EXPECT_TRUE(piece->isPolygon());
    EXPECT_TRUE(samePoints(piece->getPoints(), {{1, 0.5}, {1, 1}, {2, 1}, {2, 0.5}}));
    EXPECT_FALSE(Tarvex2DGeometryRectangle(Vec2(0, 0), Vec2(2, 1)).clip(rectangleB)->isPolygon());
    // A U cut across both arms gives two pieces that do not touch: only the first is kept.
    const Tarvex2DGeometryPolygon u({{0, 0}, {0, 3}, {1, 3}, {1, 1}, {2, 1}, {2, 3}, {3, 3}, {3, 0}});
    EXPECT_TRUE(u.clip(Tarvex2DGeometryRectangle(Vec2(-1, 2), Vec2(5, 2)))->isEquivalent(
        Tarvex2DGeometryPolygon({{0, 2}, {1, 2}, {1, 3}, {0, 3}})));

    // No common part, or no polygon form: nothing.
    EXPECT_FALSE(Tarvex2DGeometryPolygon(rectangleA).clip(Tarvex2DGeometryPolygon(square(5, 5, 1))));
    EXPECT_FALSE(Tarvex2DGeometryCircle(Vec2(0, 0), 1).clip(rectangleB));
}

TEST(Tarvex2DBooleanTest, HoleBookkeeping)
{
    // Holes that unite merge into one; separate ones stay apart.
    Tarvex2DGeometryPolygon plate(square(0, 0, 10));
    plate.addHole(squareHole(1, 1, 2));
    plate.addHole(squareHole(2, 1, 2));
    plate.addHole(squareHole(6, 6, 1));
    ASSERT_EQ(plate.getHoles().size(), 2u);
    EXPECT_TRUE(samePoints(plate.getHoles()[0]->getPoints(), {{1, 1}, {1, 3}, {4, 3}, {4, 1}}));

    // A union carries the holes along: a hole partly covered by the added shape shrinks,
    // and the added shape's own holes are appended.
    Tarvex2DGeometryPolygon ring(square(0, 0, 4));
    ring.addHole(squareHole(1, 1, 2));
    Tarvex2DGeometryPolygon extension({{2, 0}, {5, 0}, {5, 4}, {2, 4}});
    extension.addHole(squareHole(3.5, 0.5, 1));
    ASSERT_TRUE(ring.unite(extension));
    ASSERT_EQ(ring.getHoles().size(), 2u);
    EXPECT_TRUE(samePoints(ring.getHoles()[0]->getPoints(), {{1, 1}, {1, 3}, {2, 3}, {2, 1}}));
    EXPECT_TRUE(samePoints(ring.getHoles()[1]->getPoints(), square(3.5, 0.5, 1)));

    // A hole thinner than EPS disappears at the next reduction (here, after a union).
    Tarvex2DGeometryPolygon thin(square(0, 0, 4));
    thin.getHoles().push_back(squareHole(1, 1, 5e-7));
    ASSERT_TRUE(thin.unite(Tarvex2DGeometryPolygon(square(4, 0, 1))));
    EXPECT_FALSE(thin.hasHoles());
}

TEST(Tarvex2DBadInputTest, DegenerateOutlines)
{
    // No points at all.
    Tarvex2DGeometryPolygon empty;
    const Tarvex2DGeometryPolygon unit(square(0, 0, 1));
    EXPECT_FALSE(empty.isValid());
    EXPECT_FALSE(empty.isTouching(unit));
    EXPECT_FALSE(empty.unite(unit));
    EXPECT_FALSE(empty.toRectangle());
    empty.removeRedundantPoints();
    empty.makeLowLeverStart();

    // Two points: the clipping library ignores the contour, so the union is the square.
    Tarvex2DGeometryPolygon pair({{0, 0}, {1, 1}});
    ASSERT_TRUE(pair.unite(unit));
    EXPECT_TRUE(samePoints(pair.getPoints(), square(0, 0, 1)));

    // Zero area adds nothing and takes nothing away.
    const Tarvex2DGeometryPolygon flat({{0, 0.5}, {0.5, 0.5}, {1, 0.5}});
    Tarvex2DGeometryPolygon cut(square(0, 0, 1));
    EXPECT_TRUE(cut.substract(flat));
    EXPECT_TRUE(samePoints(cut.getPoints(), square(0, 0, 1)));
    EXPECT_FALSE(cut.clip(flat));

    // A self-intersecting bow tie counts by the even-odd rule: two triangles touching at a
    // point. Clipping keeps the first, the second cannot be united with it.
    const Tarvex2DGeometryPolygon bowTie({{0, 0}, {1, 1}, {1, 0}, {0, 1}});
    EXPECT_TRUE(samePoints(bowTie.clip(unit)->getPoints(), {{0, 0}, {0, 1}, {0.5, 0.5}}));
}

TEST(Tarvex2DBadInputTest, NonFiniteAndHugeCoordinates)
{
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        SCOPED_TRACE(bad);
        Tarvex2DGeometryPolygon broken({{0, 0}, {bad, 0}, {1, 1}, {0, 1}});
        const size_t size = broken.size();
        // Every test answers; the clipping library refuses the input, so unions,
        // differences and clips leave both sides as they were.
        broken.isContaining(Vec2(0.5, 0.5), true);
        Tarvex2DGeometryPolygon good(square(0, 0, 1));
        EXPECT_FALSE(good.unite(broken));
        EXPECT_FALSE(good.substract(broken));
        EXPECT_TRUE(samePoints(good.getPoints(), square(0, 0, 1)));
        EXPECT_FALSE(broken.unite(good));
        EXPECT_EQ(broken.size(), size);
        broken.removeRedundantPoints(); // the walk ends
    }

    // Two diagonally overlapping squares unite into the same octagon at any scale the
    // lengths can be computed at (up to about 1e150, where squared lengths still fit).
    for (double u : {1e-3, 1e100}) {
        Tarvex2DGeometryPolygon a(square(0, 0, 2 * u));
        ASSERT_TRUE(a.unite(Tarvex2DGeometryPolygon(square(u, u, 2 * u))));
        const Points expected{{0, 0},         {0, 2 * u}, {u, 2 * u}, {u, 3 * u},
                              {3 * u, 3 * u}, {3 * u, u}, {2 * u, u}, {2 * u, 0}};
        EXPECT_TRUE(samePoints(a.getPoints(), expected, u * 1e-12)) << u;
    }
}

// Every shape, and a solid made from it, knows whether it has outline points without
// making them, and the answer is that of the points themselves.
TEST(Tarvex2DGeometry, HasPointsWhenItsOutlineHasAny)
{
    std::vector<std::unique_ptr<Tarvex2DGeometry>> shapes;
    shapes.push_back(std::make_unique<Tarvex2DGeometryCircle>(Vec2(1, 2), 0.5));
    shapes.push_back(std::make_unique<Tarvex2DGeometryRectangle>(Vec2(1, 2), Vec2(3, 4)));
    shapes.push_back(std::make_unique<Tarvex2DGeometryLine>(Vec2(1, 2), Vec2(3, 4)));
    shapes.push_back(std::make_unique<Tarvex2DGeometryPolygon>(GeometryTest::square(0, 0, 1)));
    shapes.push_back(std::make_unique<Tarvex2DGeometryPolygon>());
    for (const auto& shape : shapes) {
        const bool expected = !shape->getPoints().empty();
        EXPECT_EQ(shape->hasPoints(), expected) << ::testing::PrintToString(shape->getPoints());
        const Tarvex3DGeometry2DExtrusion solid(shape->clone(), 0.0, 1.0);
        EXPECT_EQ(solid.hasPoints(), expected);
        EXPECT_EQ(solid.hasPoints(), !solid.getPoints().empty());
    }
    EXPECT_FALSE(Tarvex3DGeometry2DExtrusion(nullptr, 0.0, 1.0).hasPoints());
}
