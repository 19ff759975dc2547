#include "objects/Tarvex2DGeometryPolygon.h"
#include "objects/Tarvex2DGeometryRectangle.h"
#include "objects/Tarvex3DGeometry2DExtrusion.h"
#include "objects/Tarvex3DGeometryLine.h"

#include "objects/GeometryTestSupport.h"

#include <cmath>

using namespace Tarvex;
using Geometry::Bound;
using Geometry::Transform;
using Geometry::Vec2;
using Geometry::Vec3;
using GeometryTest::samePoints;
using GeometryTest::square;

namespace {

using Extrusion = Tarvex3DGeometry2DExtrusion;

/// A box over [x, x + w] x [y, y + d] from z to z + h, its footprint a rectangle.
Extrusion box(double x, double y, double w, double d, double z, double h)
{
    return Extrusion(std::make_unique<Tarvex2DGeometryRectangle>(Vec2(x, y), Vec2(w, d)), z, h);
}

/// The same with a polygon footprint.
Extrusion prism(const GeometryTest::Points& outline, double z, double h)
{
    return Extrusion(std::make_unique<Tarvex2DGeometryPolygon>(outline), z, h);
}

::testing::AssertionResult sameBox(const Bound& actual, const Bound& expected)
{
    if (actual.isApprox(expected, 1e-12))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << ::testing::PrintToString(actual) << " instead of "
                                         << ::testing::PrintToString(expected);
}

} // namespace

TEST(Tarvex3DGeometryTest, PlacementVerticesAndEdges)
{
    // A negative height extrudes from position - height: 2.5 to 3.0.
    const Extrusion downwards = box(0, 0, 1, 2, 2, -0.5);
    EXPECT_EQ(downwards.getHeight(), 0.5);
    EXPECT_TRUE(sameBox(downwards.getBound(), Bound(Vec3(0, 0, 2.5), Vec3(1, 2, 3.0))));

    const Extrusion upwards = box(0, 0, 1, 2, 1, 2);
    const auto points = upwards.getPoints();
    ASSERT_EQ(points.size(), 8u);
    EXPECT_EQ(points[0], Vec3(0, 0, 1));
    EXPECT_EQ(points[1], Vec3(0, 2, 1));
    EXPECT_EQ(points[4], Vec3(0, 0, 3));
    EXPECT_EQ(points[7], Vec3(1, 0, 3));

    // Bottom edges, then vertical edges, then top edges.
    const auto edges = upwards.getEdges();
    ASSERT_EQ(edges.size(), 12u);
    EXPECT_EQ(edges[0].getStart(), Vec3(0, 0, 1));
    EXPECT_EQ(edges[0].getEnd(), Vec3(0, 2, 1));
    EXPECT_EQ(edges[4].getStart(), Vec3(0, 0, 1));
    EXPECT_EQ(edges[4].getEnd(), Vec3(0, 0, 3));
    EXPECT_EQ(edges[8].getStart(), Vec3(0, 0, 3));
    EXPECT_EQ(edges[11].getEnd(), Vec3(0, 0, 3));

    // A rotated placement turns the extrusion vector with it.
    Extrusion turned = box(0, 0, 1, 1, 0, 2);
    turned.transformGeometry(Transform::createRotation(Vec3(1, 0, 0), -std::acos(-1.0) / 2));
    EXPECT_TRUE(turned.getExtrusionVector().isApprox(Vec3(0, 2, 0), 1e-12));
    EXPECT_TRUE(sameBox(turned.getBound(), Bound(Vec3(0, 0, -1), Vec3(1, 2, 0))));

    // Without a base everything is empty or false.
    const Extrusion hollow(nullptr, 0, 1);
    EXPECT_TRUE(hollow.getPoints().empty());
    EXPECT_TRUE(hollow.getEdges().empty());
    EXPECT_TRUE(hollow.getHoles().empty());
    EXPECT_EQ(hollow.getBound(), Bound(Vec3()));
    EXPECT_FALSE(hollow.isContaining(Vec3()));
    EXPECT_FALSE(hollow.isContaining(upwards));
    EXPECT_FALSE(hollow.isOverlapping(upwards));
    Extrusion hollowCopy = hollow;
    EXPECT_FALSE(hollowCopy.unite(upwards));
}

TEST(Tarvex3DGeometryTest, PointContainmentAndTouching)
{
    const Extrusion cube = box(0, 0, 1, 1, 0, 1);
    struct Case
    {
        const char* name;
        Vec3 point;
        bool contained;
        bool touching;
    };
    const Case cases[] = {
        {"centre", {0.5, 0.5, 0.5}, true, false},
        {"on the top face, inside the outline", {0.5, 0.5, 1}, true, false},
        {"1e-7 above the top face", {0.5, 0.5, 1 + 1e-7}, true, false},
        {"2e-6 above the top face", {0.5, 0.5, 1 + 2e-6}, false, false},
        {"1e-7 below the bottom face", {0.5, 0.5, -1e-7}, true, false},
        {"on a side face", {0, 0.5, 0.5}, true, true},
        {"on a vertical edge", {1, 1, 0.5}, true, true},
        {"side face line just above the top", {0, 0.5, 1 + 1e-7}, true, true},
        {"beside", {1.5, 0.5, 0.5}, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cube.isContaining(c.point), c.contained) << c.name;
        EXPECT_EQ(cube.isTouching(c.point), c.touching) << c.name;
    }

    // Containment of solids: every vertex inside or on.
    EXPECT_TRUE(cube.isContaining(box(0.25, 0.25, 0.5, 0.5, 0.25, 0.5)));
    EXPECT_TRUE(cube.isContaining(box(0, 0, 1, 1, 0, 1)));
    EXPECT_FALSE(cube.isContaining(box(0.5, 0.5, 1, 1, 0, 1)));
    EXPECT_FALSE(box(0.25, 0.25, 0.5, 0.5, 0.25, 0.5).isContaining(cube));
}

TEST(Tarvex3DGeometryTest, TouchingAndOverlapOfSolids)
{
    // Edges meet where they cross or join. We read "the edges meet" as the nearest point
    // lying on both edges (not on this edge and the other edge's infinite line), so solids
    // far apart never touch through the extension of an edge.
    const Extrusion cube = box(0, 0, 1, 1, 0, 1);
    struct Case
    {
        const char* name;
        Extrusion other;
        bool touching;
        bool overlapping;
    };
    const Case cases[] = {
        {"sharing a face", box(1, 0, 1, 1, 0, 1), true, true},
        {"sharing one vertical edge", box(1, 1, 1, 1, 0, 1), true, true},
        {"stacked on top", box(0, 0, 1, 1, 1, 1), true, true},
        {"bars crossing at an edge", box(0.5, -1, 0.5, 3, 1, 1), true, true},
        // Only edges and vertices are compared: a bar passing through two side faces, with
        // no edge meeting an edge and no vertex inside, is not found overlapping.
        {"passing through side faces only", box(0.5, -1, 0.2, 3, 0.2, 0.2), false, false},
        {"inside, no edge meeting", box(0.25, 0.25, 0.5, 0.5, 0.25, 0.5), false, true},
        {"enclosing", box(-1, -1, 3, 3, -1, 3), false, true},
        {"in line with an edge, far away", box(5, 0, 1, 1, 0, 1), false, false},
        {"above, apart by 1e-3", box(0, 0, 1, 1, 1.001, 1), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(cube.isTouching(c.other), c.touching) << c.name;
        EXPECT_EQ(cube.isOverlapping(c.other), c.overlapping) << c.name;
        EXPECT_EQ(c.other.isOverlapping(cube), c.overlapping) << c.name;
    }

    const Tarvex3DGeometryLine edge(Vec3(0, 0, 0), Vec3(1, 0, 0));
    EXPECT_TRUE(edge.meets(Tarvex3DGeometryLine(Vec3(0.5, -1, 0), Vec3(0.5, 1, 0))));
    EXPECT_FALSE(edge.meets(Tarvex3DGeometryLine(Vec3(0.5, -1, 1e-3), Vec3(0.5, 1, 1e-3))));
    EXPECT_FALSE(edge.meets(Tarvex3DGeometryLine(Vec3(0, 1, 0), Vec3(1, 1, 0)))); // parallel
}

TEST(Tarvex3DGeometryTest, UniteStackedExtrusions)
{
    // Height 1 at z = 0 and height 2 at z = 1 make height 3 at z = 0, in either order.
    Extrusion lower = box(0, 0, 1, 1, 0, 1);
    ASSERT_TRUE(lower.unite(box(0, 0, 1, 1, 1, 2)));
    EXPECT_EQ(lower.getHeight(), 3.0);
    EXPECT_TRUE(sameBox(lower.getBound(), Bound(Vec3(0, 0, 0), Vec3(1, 1, 3))));

    Extrusion upper = box(0, 0, 1, 1, 1, 2);
    ASSERT_TRUE(upper.unite(box(0, 0, 1, 1, 0, 1)));
    EXPECT_EQ(upper.getHeight(), 3.0);
    EXPECT_EQ(upper.getPlacement().getTranslation(), Vec3(0, 0, 0));

    // A gap below 1e-6 still stacks; a larger one does not.
    Extrusion nearly = box(0, 0, 1, 1, 0, 1);
    EXPECT_TRUE(nearly.unite(box(0, 0, 1, 1, 1 + 5e-7, 1)));
    Extrusion gap = box(0, 0, 1, 1, 0, 1);
    EXPECT_FALSE(gap.unite(box(0, 0, 1, 1, 1.5, 1)));
    EXPECT_EQ(gap.getHeight(), 1.0);

    // Bases that are not equivalent are refused, and so are different orientations.
    Extrusion refused = box(0, 0, 1, 1, 0, 1);
    EXPECT_FALSE(refused.unite(box(0, 0, 2, 1, 1, 1)));
    EXPECT_EQ(refused.getHeight(), 1.0);
    Extrusion turned = box(0, 0, 1, 1, 1, 1);
    turned.transformGeometry(Transform::createRotation(Vec3(0, 0, 1), 1e-3));
    EXPECT_FALSE(refused.unite(turned));

    // Only the holes both bases share survive stacking.
    Tarvex2DGeometryPolygon holed(square(0, 0, 4));
    holed.addHole(std::make_unique<Tarvex2DGeometryPolygon>(square(1, 1, 1)));
    holed.addHole(std::make_unique<Tarvex2DGeometryPolygon>(square(2.5, 2.5, 1)));
    Tarvex2DGeometryPolygon oneHole(square(0, 0, 4));
    oneHole.addHole(std::make_unique<Tarvex2DGeometryPolygon>(square(2.5, 2.5, 1)));
    Extrusion bottom(holed.clone(), 0, 1);
    ASSERT_TRUE(bottom.unite(Extrusion(oneHole.clone(), 1, 1)));
    ASSERT_EQ(bottom.getBase()->getHoles().size(), 1u);
    EXPECT_TRUE(samePoints(bottom.getBase()->getHoles()[0]->getPoints(), square(2.5, 2.5, 1)));
}

TEST(Tarvex3DGeometryTest, UniteInTheSameBasePlane)
{
    // Bases sharing an edge unite; the first height stays.
    Extrusion left = box(0, 0, 1, 1, 0, 1);
    ASSERT_TRUE(left.unite(box(1, 0, 1, 1, 0, 5)));
    EXPECT_EQ(left.getHeight(), 1.0);
    ASSERT_TRUE(left.getBase()->isPolygon());
    EXPECT_TRUE(samePoints(left.getBase()->getPoints(), {{0, 0}, {0, 1}, {2, 1}, {2, 0}}));

    // Apart in the plane: refused, and the footprint keeps its rectangle form.
    Extrusion apart = box(0, 0, 1, 1, 0, 1);
    EXPECT_FALSE(apart.unite(box(3, 0, 1, 1, 0, 1)));
    EXPECT_FALSE(apart.getBase()->isPolygon());

    // Placed elsewhere as a whole: the other footprint is seen from this frame.
    Extrusion moved = prism(square(0, 0, 1), 0, 1);
    moved.transformGeometry(Transform::createTranslation(Vec3(10, 0, 2)));
    Extrusion neighbour = prism(square(11, 0, 1), 2, 1);
    ASSERT_TRUE(moved.unite(neighbour));
    EXPECT_TRUE(samePoints(moved.getBase()->getPoints(), {{0, 0}, {0, 1}, {2, 1}, {2, 0}}));
}

TEST(Tarvex3DGeometryTest, CopiesAndHoles)
{
    const Extrusion source = box(0, 0, 1, 1, 0, 1);
    auto copy = source.clone();
    copy->transformGeometry(Transform::createTranslation(Vec3(5, 5, 5)));
    EXPECT_EQ(source.getPoints()[0], Vec3(0, 0, 0));
    EXPECT_EQ(copy->getPoints()[0], Vec3(5, 5, 5));
    const auto moved = source.createTransformedGeometry(Transform::createTranslation(Vec3(0, 0, 1)));
    EXPECT_EQ(moved->getPoints()[0], Vec3(0, 0, 1));
    EXPECT_EQ(source.getPoints()[0], Vec3(0, 0, 0));

    Tarvex2DGeometryPolygon holed(square(0, 0, 4));
    holed.addHole(std::make_unique<Tarvex2DGeometryPolygon>(square(1, 1, 1)));
    const Extrusion plate(holed.clone(), 2, 0.5);
    const auto holes = plate.getHoles();
    ASSERT_EQ(holes.size(), 1u);
    EXPECT_TRUE(sameBox(holes[0]->getBound(), Bound(Vec3(1, 1, 2), Vec3(2, 2, 2.5))));
}
