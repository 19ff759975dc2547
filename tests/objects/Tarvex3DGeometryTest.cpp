#include <tarvex/objects/FlatGeometryOutlineGenerator.h>
#include <tarvex/objects/Tarvex2DGeometryPolygon.h>
#include <tarvex/objects/Tarvex2DGeometryRectangle.h>
#include <tarvex/objects/Tarvex3DGeometry2DExtrusion.h>
#include <tarvex/objects/Tarvex3DGeometryLine.h>
#include <tarvex/objects/TarvexPlacedGeometry.h>

#include "objects/GeometryTestSupport.h"

#include <cmath>
#include <memory>
#include <tuple>

using namespace Tarvex;
using Geometry::Bound;
using Geometry::Transform;
using Geometry::Vec2;
using Geometry::Vec3;
using Geometry::near;
using GeometryTest::samePoints;
using GeometryTest::square;

namespace {

using Extrusion = Tarvex3DGeometry2DExtrusion;

/// A box over [x, x + w] x [y, y + d] from z to z + h, its footprint a rectangle.
Extrusion box(double x, double y, double w, double d, double z, double h)
{
    return Extrusion(std::make_unique<Tarvex2DGeometryRectangle>(Vec2(x, y), Vec2(w, d)), z, h);
}

/// A 4 x 4 square footprint with the given holes, as an extrusion from z to z + h.
Extrusion holedPlate(const std::vector<Vec2>& holeCorners, double z, double h)
{
    Tarvex2DGeometryPolygon base(square(0, 0, 4));
    for (const Vec2& corner : holeCorners)
        base.addHole(std::make_unique<Tarvex2DGeometryPolygon>(square(corner.x, corner.y, 1)));
    return Extrusion(base.clone(), z, h);
}

/// The same box as a placed solid, or only its bound.
TarvexPlacedGeometry placedBox(Vec3 low, Vec3 size, const Transform& transform = Transform())
{
    return TarvexPlacedGeometry(box(low.x, low.y, size.x, size.y, low.z, size.z).clone(), transform);
}

TarvexPlacedGeometry boundOnly(Vec3 low, Vec3 high, const Transform& transform = Transform())
{
    return TarvexPlacedGeometry(nullptr, transform, Bound(low, high));
}

Transform shift(double x)
{
    return Transform::createTranslation(Vec3(x, 0, 0));
}

} // namespace

TEST(Tarvex3DGeometryTest, PlacementVerticesAndEdges)
{
    // A negative height extrudes from position - height: 2.5 to 3.0.
    const Extrusion downwards = box(0, 0, 1, 2, 2, -0.5);
    EXPECT_EQ(downwards.getHeight(), 0.5);
    EXPECT_TRUE(near(downwards.getBound(), Bound(Vec3(0, 0, 2.5), Vec3(1, 2, 3.0))));

    // Bottom corners then top corners; bottom, vertical and top edges.
    const Extrusion upwards = box(0, 0, 1, 2, 1, 2);
    EXPECT_EQ(upwards.getPoints().at(7), Vec3(1, 0, 3));

    // A rotated placement turns the extrusion vector with it.
    Extrusion turned = box(0, 0, 1, 1, 0, 2);
    turned.transformGeometry(Transform::createRotation(Vec3(1, 0, 0), -std::acos(-1.0) / 2));
    EXPECT_TRUE(turned.getExtrusionVector().isApprox(Vec3(0, 2, 0), 1e-12));
    EXPECT_TRUE(near(turned.getBound(), Bound(Vec3(0, 0, -1), Vec3(1, 2, 0))));

    // Without a base everything is empty or false.
    Extrusion hollow(nullptr, 0, 1);
    EXPECT_FALSE(hollow.isOverlapping(upwards));
    EXPECT_FALSE(hollow.unite(upwards));

    // Holes are solids of the plate's height.
    EXPECT_TRUE(
        near(holedPlate({{1, 1}}, 2, 0.5).getHoles().at(0)->getBound(), Bound(Vec3(1, 1, 2), Vec3(2, 2, 2.5))));
}

TEST(Tarvex3DGeometryTest, ContainmentTouchingAndOverlap)
{
    // Points: the name, the point, whether it is contained and whether touching.
    const Extrusion cube = box(0, 0, 1, 1, 0, 1);
    const std::tuple<const char*, Vec3, bool, bool> points[] = {
        {"centre", {0.5, 0.5, 0.5}, true, false},
        {"1e-7 above the top face", {0.5, 0.5, 1 + 1e-7}, true, false},
        {"2e-6 above the top face", {0.5, 0.5, 1 + 2e-6}, false, false},
        {"on a side face", {0, 0.5, 0.5}, true, true},
        {"side face line just above the top", {0, 0.5, 1 + 1e-7}, true, true},
        {"beside", {1.5, 0.5, 0.5}, false, false},
    };
    for (const auto& [name, point, contained, touching] : points) {
        EXPECT_EQ(cube.isContaining(point), contained) << name;
        EXPECT_EQ(cube.isTouching(point), touching) << name;
    }

    // Containment of solids: every vertex inside or on.
    EXPECT_FALSE(cube.isContaining(box(0.5, 0.5, 1, 1, 0, 1)));

    // Solids: whether touching and overlapping. Edges meet where they cross or join. We read
    // "the edges meet" as the nearest point lying on both edges (not on this edge and the other
    // edge's infinite line), so solids far apart never touch through the extension of an edge.
    const std::tuple<const char*, Extrusion, bool, bool> solids[] = {
        {"sharing a face", box(1, 0, 1, 1, 0, 1), true, true},
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
    for (const auto& [name, other, touching, overlapping] : solids) {
        SCOPED_TRACE(name);
        EXPECT_EQ(cube.isTouching(other), touching);
        EXPECT_EQ(cube.isOverlapping(other), overlapping);
        EXPECT_EQ(other.isOverlapping(cube), overlapping);
    }
}

TEST(Tarvex3DGeometryTest, Unite)
{
    // Onto a unit cube at z = 0: stacked solids add their height, bases in the same plane
    // unite keeping the first height.
    Extrusion turned = box(0, 0, 1, 1, 1, 1);
    turned.transformGeometry(Transform::createRotation(Vec3(0, 0, 1), 1e-3));
    // Each solid with whether it unites, and the height and width of the result.
    const std::tuple<const char*, Extrusion, bool, double, double> cases[] = {
        {"stacked", box(0, 0, 1, 1, 1, 2), true, 3, 1},
        {"stacked with a gap below 1e-6", box(0, 0, 1, 1, 1 + 5e-7, 1), true, 2, 1},
        {"stacked with a gap", box(0, 0, 1, 1, 1.5, 1), false, 1, 1},
        {"stacked, other base", box(0, 0, 2, 1, 1, 1), false, 1, 1},
        {"stacked, turned", turned, false, 1, 1},
        {"sharing an edge in the base plane", box(1, 0, 1, 1, 0, 5), true, 1, 2},
        {"apart in the base plane", box(3, 0, 1, 1, 0, 1), false, 1, 1},
    };
    for (const auto& [name, other, united, height, width] : cases) {
        SCOPED_TRACE(name);
        Extrusion cube = box(0, 0, 1, 1, 0, 1);
        EXPECT_EQ(cube.unite(other), united);
        EXPECT_NEAR(cube.getHeight(), height, 1e-12);
        EXPECT_TRUE(near(cube.getBound(), Bound(Vec3(0, 0, 0), Vec3(width, 1, height))));
        EXPECT_EQ(cube.getBase()->isPolygon(), width == 2); // a refused union keeps the rectangle
    }

    // The lower one placed second: the result starts at the lower position.
    Extrusion upper = box(0, 0, 1, 1, 1, 2);
    ASSERT_TRUE(upper.unite(box(0, 0, 1, 1, 0, 1)));
    EXPECT_EQ(upper.getPlacement().getTranslation(), Vec3(0, 0, 0));

    // Placed elsewhere as a whole: the other footprint is seen from this frame.
    Extrusion moved(std::make_unique<Tarvex2DGeometryPolygon>(square(0, 0, 1)), 0, 1);
    moved.transformGeometry(Transform::createTranslation(Vec3(10, 0, 2)));
    ASSERT_TRUE(moved.unite(Extrusion(std::make_unique<Tarvex2DGeometryPolygon>(square(11, 0, 1)), 2, 1)));
    EXPECT_TRUE(samePoints(moved.getBase()->getPoints(), {{0, 0}, {0, 1}, {2, 1}, {2, 0}}));

    // Only the holes both bases share survive stacking.
    Extrusion bottom = holedPlate({{1, 1}, {2.5, 2.5}}, 0, 1);
    ASSERT_TRUE(bottom.unite(holedPlate({{2.5, 2.5}}, 1, 1)));
    ASSERT_EQ(bottom.getBase()->getHoles().size(), 1u);
    EXPECT_TRUE(samePoints(bottom.getBase()->getHoles()[0]->getPoints(), square(2.5, 2.5, 1)));
}

TEST(TarvexPlacedGeometryTest, Containment)
{
    // With solids on both sides the solids decide, with their own tolerance (1e-6), b carried
    // into a's frame. Without, the bounds: a's bound overlapping b's counts (we read "partially
    // overlaps" as sharing a region of positive extent), failing that a's bound must contain
    // b's within 1e-9, which decides for a flat box on a's face.
    const TarvexPlacedGeometry solid = placedBox(Vec3(0, 0, 0), Vec3(4, 4, 1), shift(10));
    const TarvexPlacedGeometry box = boundOnly(Vec3(0, 0, 0), Vec3(1, 1, 1));
    // Each pair with whether a contains b.
    const std::tuple<const char*, const TarvexPlacedGeometry&, TarvexPlacedGeometry, bool> cases[] = {
        {"solid inside", solid, placedBox(Vec3(11, 1, 0), Vec3(1, 1, 1)), true},
        {"solid inside before a's move", solid, placedBox(Vec3(1, 1, 0), Vec3(1, 1, 1)), false},
        {"solid sticking out", solid, placedBox(Vec3(13, 3, 0), Vec3(2, 2, 1)), false},
        {"solid 5e-7 above", solid, placedBox(Vec3(11, 1, 0), Vec3(2, 2, 1 + 5e-7)), true},
        {"flat, 0.5e-9 outside", box, boundOnly(Vec3(1 + 0.5e-9, 0.2, 0.2), Vec3(1 + 0.5e-9, 0.8, 0.8)), true},
        {"flat, 2e-9 outside", box, boundOnly(Vec3(1 + 2e-9, 0.2, 0.2), Vec3(1 + 2e-9, 0.8, 0.8)), false},
        {"carried 2e-9 outside", box, boundOnly(Vec3(0, 0.2, 0.2), Vec3(0, 0.8, 0.8), shift(1 + 2e-9)), false},
        {"a solid on one side only", box, placedBox(Vec3(1 + 0.5e-9, 0.2, 0.2), Vec3(0, 0.6, 0.6)), true},
    };
    for (const auto& [name, a, b, contained] : cases)
        EXPECT_EQ(TarvexPlacedGeometry::contains(a, b), contained) << name;
}

TEST(TarvexPlacedGeometryTest, CopyUniteAndMoveWithoutSolids)
{
    // Moving solids to the origin and flattening them is checked through the parts' pieces.
    // Copies are deep.
    TarvexPlacedGeometry record = placedBox(Vec3(1, 2, 3), Vec3(1, 1, 1));
    const TarvexPlacedGeometry copy = record;
    record.geometry->transformGeometry(shift(5));
    EXPECT_EQ(copy.geometry->getBound(), Bound(Vec3(1, 2, 3), Vec3(2, 3, 4)));

    // Nothing unites into a record, and an empty record takes what it unites with.
    EXPECT_FALSE(record.unite(TarvexPlacedGeometry()));
    TarvexPlacedGeometry nothing;
    EXPECT_TRUE(nothing.unite(copy));
    EXPECT_EQ(nothing.bound, copy.bound);
    TarvexPlacedGeometry boxOnly = boundOnly(Vec3(1, 1, 1), Vec3(2, 2, 2));
    boxOnly.moveToOrigin();
    EXPECT_TRUE(near(boxOnly.getPlacedBound(), Bound(Vec3(1, 1, 1), Vec3(2, 2, 2))));
    EXPECT_EQ(boxOnly.bound, Bound(Vec3(0, 0, 0), Vec3(1, 1, 1)));
}

TEST(FlatGeometryOutlineGenerator, FlatSolidsGiveTheirOutlineAndNormal)
{
    // Boxes give their low face, prisms their outline, only when flat; otherwise the
    // outline stays as it was.
    const std::vector<Vec3> triangle{{0, 2, 0}, {4, 2, 0}, {0, 2, 3}};
    // Each solid with the outline and normal it gives.
    const std::tuple<const char*, std::shared_ptr<Geometry::Solid>, std::vector<Vec3>, Vec3> cases[] = {
        {"flat across x", std::make_shared<Geometry::Box>(Bound(Vec3(1, 0, 0), Vec3(1, 2, 3))),
         {{1, 0, 0}, {1, 2, 0}, {1, 2, 3}, {1, 0, 3}}, {1, 0, 0}},
        {"flat across z", std::make_shared<Geometry::Box>(Bound(Vec3(0, 0, 7), Vec3(2, 3, 7))),
         {{0, 0, 7}, {2, 0, 7}, {2, 3, 7}, {0, 3, 7}}, {0, 0, 1}},
        // Flat along two axes: the first flat axis wins.
        {"a line along z", std::make_shared<Geometry::Box>(Bound(Vec3(1, 1, 0), Vec3(1, 1, 4))),
         {{1, 1, 0}, {1, 1, 0}, {1, 1, 4}, {1, 1, 4}}, {1, 0, 0}},
        {"a flat prism", std::make_shared<Geometry::PolygonPrism>(triangle, 0.0), triangle, {0, 1, 0}},
        {"a prism with height", std::make_shared<Geometry::PolygonPrism>(triangle, 0.5), {}, {9, 9, 9}},
    };
    for (const auto& [name, solid, points, normal] : cases) {
        FlatGeometryOutlineGenerator::Outline outline;
        outline.normal = Vec3(9, 9, 9);
        FlatGeometryOutlineGenerator(&outline).generate(*solid);
        EXPECT_EQ(outline.points, points) << name;
        EXPECT_EQ(outline.normal, normal) << name;
    }
}
