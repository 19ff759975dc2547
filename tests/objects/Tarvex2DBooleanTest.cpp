#include "objects/Tarvex2DGeometryCircle.h"
#include "objects/Tarvex2DGeometryClipper.h"
#include "objects/Tarvex2DGeometryLine.h"
#include "objects/Tarvex2DGeometryPolygon.h"
#include "objects/Tarvex2DGeometryRectangle.h"

#include "objects/GeometryTestSupport.h"

using namespace Tarvex;
using Geometry::Vec2;
using GeometryTest::area;
using GeometryTest::Points;
using GeometryTest::samePoints;
using GeometryTest::square;

namespace {

std::unique_ptr<Tarvex2DGeometryPolygon> squareHole(double x, double y, double size)
{
    return std::make_unique<Tarvex2DGeometryPolygon>(square(x, y, size));
}

// Two overlapping rectangles: A = [0, 2] x [0, 1], B = [1, 3] x [0.5, 1.5].
Tarvex2DGeometryPolygon rectangleA()
{
    return Tarvex2DGeometryPolygon({{0, 0}, {2, 0}, {2, 1}, {0, 1}});
}

Tarvex2DGeometryRectangle rectangleB()
{
    return Tarvex2DGeometryRectangle(Vec2(1, 0.5), Vec2(2, 1));
}

} // namespace

TEST(Tarvex2DBooleanTest, ClipperResultsAreNormalisedWithTheirHoles)
{
    const Tarvex2DGeometryClipper clipper;

    // A square minus a centred square: one polygon holding one hole.
    const auto difference =
        clipper.clip(Tarvex2DGeometryPolygon(square(0, 0, 4)), Tarvex2DGeometryPolygon(square(1, 1, 2)),
                     Tarvex2DGeometryClipper::Difference);
    ASSERT_EQ(difference.size(), 1u);
    EXPECT_TRUE(samePoints(difference[0].getPoints(), square(0, 0, 4)));
    ASSERT_EQ(difference[0].getHoles().size(), 1u);
    EXPECT_TRUE(samePoints(difference[0].getHoles()[0]->getPoints(), square(1, 1, 2)));

    // A subject hole takes part: the union with a square covering the hole's right half
    // leaves the left half as the hole.
    Tarvex2DGeometryPolygon ring(square(0, 0, 4));
    ring.addHole(squareHole(1, 1, 2));
    const auto union_ = clipper.clip(ring, Tarvex2DGeometryPolygon({{2, 0}, {5, 0}, {5, 4}, {2, 4}}),
                                     Tarvex2DGeometryClipper::Union);
    ASSERT_EQ(union_.size(), 1u);
    EXPECT_TRUE(samePoints(union_[0].getPoints(), {{0, 0}, {0, 4}, {5, 4}, {5, 0}}));
    ASSERT_EQ(union_[0].getHoles().size(), 1u);
    EXPECT_TRUE(samePoints(union_[0].getHoles()[0]->getPoints(), {{1, 1}, {1, 3}, {2, 3}, {2, 1}}));

    // Codes: 4 is exclusive or; anything outside 1 to 4 gives nothing.
    const Tarvex2DGeometryPolygon a(square(0, 0, 2));
    const Tarvex2DGeometryPolygon b(square(1, 1, 2));
    EXPECT_EQ(clipper.clip(a, b, Tarvex2DGeometryClipper::ExclusiveOr).size(), 2u);
    EXPECT_TRUE(clipper.clip(a, b, 0).empty());
    EXPECT_TRUE(clipper.clip(a, b, 5).empty());
    const auto intersection = clipper.clip(a, b, Tarvex2DGeometryClipper::Intersection);
    ASSERT_EQ(intersection.size(), 1u);
    EXPECT_TRUE(samePoints(intersection[0].getPoints(), square(1, 1, 1)));
}

TEST(Tarvex2DBooleanTest, UnionOfTwoOverlappingRectangles)
{
    Tarvex2DGeometryPolygon a = rectangleA();
    ASSERT_TRUE(a.unite(rectangleB()));
    EXPECT_TRUE(samePoints(a.getPoints(), {{0, 0}, {0, 1}, {1, 1}, {1, 1.5}, {3, 1.5}, {3, 0.5}, {2, 0.5}, {2, 0}}));
    EXPECT_FALSE(a.hasHoles());

    // Rectangles and circles keep their shape: only polygons unite.
    Tarvex2DGeometryRectangle asRectangle(Vec2(0, 0), Vec2(2, 1));
    EXPECT_FALSE(asRectangle.unite(rectangleB()));

    // A circle overlapping a square unites as its enclosing square.
    Tarvex2DGeometryPolygon unit(square(0, 0, 1));
    ASSERT_TRUE(unit.unite(Tarvex2DGeometryCircle(Vec2(0.5, 0), 1)));
    EXPECT_TRUE(samePoints(unit.getPoints(), {{0, 0}, {0, 1}, {1.5, 1}, {1.5, 0}}));

    // Shapes sharing a side unite without leftover points on the shared side.
    Tarvex2DGeometryPolygon left(square(0, 0, 1));
    ASSERT_TRUE(left.unite(Tarvex2DGeometryPolygon(square(1, 0, 1))));
    EXPECT_TRUE(samePoints(left.getPoints(), {{0, 0}, {0, 1}, {2, 1}, {2, 0}}));
}

TEST(Tarvex2DBooleanTest, UnionsThatAreRefusedLeaveThePolygonUnchanged)
{
    // Two disjoint polygons do not touch.
    Tarvex2DGeometryPolygon a(square(0, 0, 1));
    EXPECT_FALSE(a.unite(Tarvex2DGeometryPolygon(square(5, 5, 1))));
    EXPECT_TRUE(samePoints(a.getPoints(), square(0, 0, 1)));

    // A circle that only touches the square's corner touches it, but the union is two
    // pieces, so it is refused.
    EXPECT_TRUE(a.isTouching(Tarvex2DGeometryCircle(Vec2(1, 1), 1)));
    EXPECT_FALSE(a.unite(Tarvex2DGeometryCircle(Vec2(1, 1), 1)));
    EXPECT_TRUE(samePoints(a.getPoints(), square(0, 0, 1)));

    // A shape lying wholly inside has no side meeting a side of this one: not touching, so
    // no union, by the rule that a union needs touching.
    Tarvex2DGeometryPolygon big(square(0, 0, 4));
    EXPECT_FALSE(big.unite(Tarvex2DGeometryPolygon(square(1, 1, 1))));
    EXPECT_TRUE(samePoints(big.getPoints(), square(0, 0, 4)));
}

TEST(Tarvex2DBooleanTest, Subtraction)
{
    Tarvex2DGeometryPolygon a = rectangleA();
    ASSERT_TRUE(a.substract(rectangleB()));
    EXPECT_TRUE(samePoints(a.getPoints(), {{0, 0}, {0, 1}, {1, 1}, {1, 0.5}, {2, 0.5}, {2, 0}}));

    // A difference that splits the polygon in two leaves it unchanged.
    Tarvex2DGeometryPolygon bar({{0, 0}, {3, 0}, {3, 1}, {0, 1}});
    EXPECT_FALSE(bar.substract(Tarvex2DGeometryRectangle(Vec2(1, -1), Vec2(1, 3))));
    EXPECT_TRUE(samePoints(bar.getPoints(), {{0, 0}, {0, 1}, {3, 1}, {3, 0}}));

    // Taking away everything leaves no piece: refused as well.
    Tarvex2DGeometryPolygon small(square(1, 1, 1));
    EXPECT_FALSE(small.substract(Tarvex2DGeometryPolygon(square(0, 0, 4))));
    EXPECT_TRUE(samePoints(small.getPoints(), square(1, 1, 1)));

    // A circle has no polygon form to take away.
    EXPECT_FALSE(small.substract(Tarvex2DGeometryCircle(Vec2(1, 1), 0.5)));

    // A square minus a centred square. The difference itself has the hole (see the clipper
    // test above), but the hole bookkeeping that follows a successful difference erases
    // every hole that the removed shape contains, and the new hole is exactly that shape.
    // We follow the written steps over the intuitive expectation: the outline stays, the
    // operation succeeds, and no hole is kept.
    Tarvex2DGeometryPolygon plate(square(0, 0, 4));
    EXPECT_TRUE(plate.substract(Tarvex2DGeometryPolygon(square(1, 1, 2))));
    EXPECT_TRUE(samePoints(plate.getPoints(), square(0, 0, 4)));
    EXPECT_FALSE(plate.hasHoles());

    // Subtracting a shape with a hole spares the hole's area: here a notch on the cutter's
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
    const auto piece = rectangleA().clip(rectangleB());
    ASSERT_TRUE(piece);
    EXPECT_TRUE(piece->isPolygon());
    EXPECT_TRUE(samePoints(piece->getPoints(), {{1, 0.5}, {1, 1}, {2, 1}, {2, 0.5}}));
    const auto rectanglePiece = Tarvex2DGeometryRectangle(Vec2(0, 0), Vec2(2, 1)).clip(rectangleB());
    ASSERT_TRUE(rectanglePiece);
    EXPECT_FALSE(rectanglePiece->isPolygon());
    EXPECT_TRUE(rectanglePiece->toRectangle());
    EXPECT_TRUE(samePoints(rectanglePiece->getPoints(), {{1, 0.5}, {1, 1}, {2, 1}, {2, 0.5}}));

    // A rectangle clipped to an L keeps a polygon.
    const Tarvex2DGeometryPolygon ell({{0, 0}, {0, 2}, {1, 2}, {1, 1}, {2, 1}, {2, 0}});
    const auto ellPiece = Tarvex2DGeometryRectangle(Vec2(-1, -1), Vec2(5, 5)).clip(ell);
    ASSERT_TRUE(ellPiece);
    EXPECT_TRUE(ellPiece->isPolygon());
    EXPECT_EQ(ellPiece->getPoints().size(), 6u);

    // A U cut across both arms gives two pieces that do not touch: only the first is kept.
    const Tarvex2DGeometryPolygon u({{0, 0}, {0, 3}, {1, 3}, {1, 1}, {2, 1}, {2, 3}, {3, 3}, {3, 0}});
    const auto arm = u.clip(Tarvex2DGeometryRectangle(Vec2(-1, 2), Vec2(5, 2)));
    ASSERT_TRUE(arm);
    EXPECT_NEAR(area(arm->getPoints()), 1.0, 1e-12);
    EXPECT_NEAR(arm->getBound().getSize().x, 1.0, 1e-12);

    // No common part, or no polygon form: nothing.
    EXPECT_FALSE(rectangleA().clip(Tarvex2DGeometryPolygon(square(5, 5, 1))));
    EXPECT_FALSE(rectangleA().clip(Tarvex2DGeometryCircle(Vec2(0, 0), 1)));
    EXPECT_FALSE(Tarvex2DGeometryCircle(Vec2(0, 0), 1).clip(rectangleA()));
    EXPECT_FALSE(Tarvex2DGeometryLine(Vec2(0, 0), Vec2(1, 1)).clip(rectangleA()));
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
    EXPECT_TRUE(samePoints(plate.getHoles()[1]->getPoints(), square(6, 6, 1)));

    // A union carries the holes along: a hole partly covered by the added shape shrinks,
    // and the added shape's own holes are appended.
    Tarvex2DGeometryPolygon ring(square(0, 0, 4));
    ring.addHole(squareHole(1, 1, 2));
    Tarvex2DGeometryPolygon extension({{2, 0}, {5, 0}, {5, 4}, {2, 4}});
    extension.addHole(squareHole(3.5, 0.5, 1));
    ASSERT_TRUE(ring.unite(extension));
    EXPECT_TRUE(samePoints(ring.getPoints(), {{0, 0}, {0, 4}, {5, 4}, {5, 0}}));
    ASSERT_EQ(ring.getHoles().size(), 2u);
    EXPECT_TRUE(samePoints(ring.getHoles()[0]->getPoints(), {{1, 1}, {1, 3}, {2, 3}, {2, 1}}));
    EXPECT_TRUE(samePoints(ring.getHoles()[1]->getPoints(), square(3.5, 0.5, 1)));

    // A hole thinner than EPS disappears at the next reduction (here, after a union).
    Tarvex2DGeometryPolygon thin(square(0, 0, 4));
    thin.getHoles().push_back(std::make_unique<Tarvex2DGeometryPolygon>(
        Points{{1, 1}, {1, 3}, {1 + 5e-7, 3}, {1 + 5e-7, 1}}));
    ASSERT_TRUE(thin.unite(Tarvex2DGeometryPolygon(square(4, 0, 1))));
    EXPECT_FALSE(thin.hasHoles());

    // Matching holes: copies of the other's holes equivalent to one of ours.
    Tarvex2DGeometryPolygon mine(square(0, 0, 10));
    mine.addHole(squareHole(1, 1, 1));
    mine.addHole(squareHole(5, 5, 1));
    Tarvex2DGeometryPolygon theirs(square(0, 0, 10));
    theirs.addHole(squareHole(7, 7, 1));
    theirs.addHole(squareHole(5, 5, 1));
    const auto matching = mine.matchingHoles(theirs);
    ASSERT_EQ(matching.size(), 1u);
    EXPECT_TRUE(samePoints(matching[0]->getPoints(), square(5, 5, 1)));
}
