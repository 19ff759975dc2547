#include "objects/Tarvex2DGeometryRectangle.h"
#include "objects/Tarvex3DGeometry2DExtrusion.h"
#include "objects/TarvexPlacedGeometry.h"

#include "objects/GeometryTestSupport.h"

using namespace Tarvex;
using Geometry::Bound;
using Geometry::Transform;
using Geometry::Vec2;
using Geometry::Vec3;

namespace {

TarvexPlacedGeometry placedBox(Vec3 low, Vec3 size, const Transform& transform = Transform())
{
    auto footprint = std::make_unique<Tarvex2DGeometryRectangle>(Vec2(low.x, low.y), Vec2(size.x, size.y));
    return TarvexPlacedGeometry(std::make_unique<Tarvex3DGeometry2DExtrusion>(std::move(footprint), low.z, size.z),
                                transform);
}

TarvexPlacedGeometry boundOnly(Vec3 low, Vec3 high, const Transform& transform = Transform())
{
    return TarvexPlacedGeometry(nullptr, transform, Bound(low, high));
}

} // namespace

TEST(TarvexPlacedGeometryTest, ContainmentOfSolids)
{
    const TarvexPlacedGeometry outer = placedBox(Vec3(0, 0, 0), Vec3(4, 4, 1));
    EXPECT_TRUE(TarvexPlacedGeometry::contains(outer, placedBox(Vec3(1, 1, 0), Vec3(2, 2, 1))));
    EXPECT_FALSE(TarvexPlacedGeometry::contains(outer, placedBox(Vec3(3, 3, 0), Vec3(2, 2, 1))));
    EXPECT_FALSE(TarvexPlacedGeometry::contains(placedBox(Vec3(1, 1, 0), Vec3(2, 2, 1)), outer));

    // Both transforms count: b is carried into a's frame.
    const Transform shift = Transform::createTranslation(Vec3(10, 0, 0));
    const TarvexPlacedGeometry shiftedOuter = placedBox(Vec3(0, 0, 0), Vec3(4, 4, 1), shift);
    EXPECT_TRUE(TarvexPlacedGeometry::contains(shiftedOuter, placedBox(Vec3(11, 1, 0), Vec3(1, 1, 1))));
    EXPECT_FALSE(TarvexPlacedGeometry::contains(shiftedOuter, placedBox(Vec3(1, 1, 0), Vec3(1, 1, 1))));
    EXPECT_TRUE(TarvexPlacedGeometry::contains(shiftedOuter, placedBox(Vec3(1, 1, 0), Vec3(1, 1, 1), shift)));

    // The solids decide with their own tolerance (1e-6), not the bounds' 1e-9.
    EXPECT_TRUE(TarvexPlacedGeometry::contains(outer, placedBox(Vec3(1, 1, 0), Vec3(2, 2, 1 + 5e-7))));
}

TEST(TarvexPlacedGeometryTest, BoundContainmentAtTheTolerance)
{
    // Without a solid on either side the bounds decide: a's bound overlapping b's counts
    // (we read "partially overlaps" as the boxes sharing a region of positive extent), and
    // failing that a's bound must contain b's within 1e-9. A flat box on a's face does not
    // overlap, so the tolerance decides for it, on both sides of 1e-9.
    const TarvexPlacedGeometry a = boundOnly(Vec3(0, 0, 0), Vec3(1, 1, 1));
    struct Case
    {
        const char* name;
        TarvexPlacedGeometry b;
        bool contained;
    };
    const Case cases[] = {
        {"inside", boundOnly(Vec3(0.2, 0.2, 0.2), Vec3(0.8, 0.8, 0.8)), true},
        {"flat, on the face", boundOnly(Vec3(1, 0.2, 0.2), Vec3(1, 0.8, 0.8)), true},
        {"flat, 0.5e-9 outside", boundOnly(Vec3(1 + 0.5e-9, 0.2, 0.2), Vec3(1 + 0.5e-9, 0.8, 0.8)), true},
        {"flat, 2e-9 outside", boundOnly(Vec3(1 + 2e-9, 0.2, 0.2), Vec3(1 + 2e-9, 0.8, 0.8)), false},
        {"sticking out 0.5e-9", boundOnly(Vec3(0.5, 0.5, 0.5), Vec3(1 + 0.5e-9, 1, 1)), true},
        {"overlapping and sticking out far", boundOnly(Vec3(0.5, 0.5, 0.5), Vec3(5, 5, 5)), true},
        {"apart", boundOnly(Vec3(2, 2, 2), Vec3(3, 3, 3)), false},
        {"empty", TarvexPlacedGeometry(), false},
        {"carried 0.5e-9 outside by its transform",
         boundOnly(Vec3(0, 0.2, 0.2), Vec3(0, 0.8, 0.8), Transform::createTranslation(Vec3(1 + 0.5e-9, 0, 0))), true},
        {"carried 2e-9 outside by its transform",
         boundOnly(Vec3(0, 0.2, 0.2), Vec3(0, 0.8, 0.8), Transform::createTranslation(Vec3(1 + 2e-9, 0, 0))), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TarvexPlacedGeometry::contains(a, c.b), c.contained) << c.name;

    // A solid on one side only: still the bounds.
    const TarvexPlacedGeometry solid = placedBox(Vec3(1 + 0.5e-9, 0.2, 0.2), Vec3(0, 0.6, 0.6));
    EXPECT_TRUE(TarvexPlacedGeometry::contains(a, solid));
    EXPECT_FALSE(TarvexPlacedGeometry::contains(a, placedBox(Vec3(1 + 2e-9, 0.2, 0.2), Vec3(0, 0.6, 0.6))));
}

TEST(TarvexPlacedGeometryTest, CopyUniteMoveAndFlatten)
{
    TarvexPlacedGeometry record = placedBox(Vec3(1, 2, 3), Vec3(1, 1, 1));
    const TarvexPlacedGeometry copy = record;
    record.geometry->transformGeometry(Transform::createTranslation(Vec3(5, 0, 0)));
    EXPECT_EQ(copy.geometry->getBound(), Bound(Vec3(1, 2, 3), Vec3(2, 3, 4)));

    // Uniting carries the other solid into this frame.
    TarvexPlacedGeometry base = placedBox(Vec3(0, 0, 0), Vec3(1, 1, 1));
    EXPECT_TRUE(base.unite(placedBox(Vec3(0, 0, 0), Vec3(1, 1, 2), Transform::createTranslation(Vec3(0, 0, 1)))));
    EXPECT_EQ(base.bound, Bound(Vec3(0, 0, 0), Vec3(1, 1, 3)));
    EXPECT_FALSE(base.unite(TarvexPlacedGeometry()));
    TarvexPlacedGeometry nothing;
    EXPECT_TRUE(nothing.unite(base));
    EXPECT_EQ(nothing.bound, base.bound);

    // Moving to the origin puts the low corner into the transform.
    TarvexPlacedGeometry moved = placedBox(Vec3(1, 2, 3), Vec3(1, 1, 1), Transform::createTranslation(Vec3(10, 0, 0)));
    moved.moveToOrigin();
    EXPECT_TRUE(moved.bound.isApprox(Bound(Vec3(0, 0, 0), Vec3(1, 1, 1)), 1e-15));
    EXPECT_EQ(moved.transform.getTranslation(), Vec3(11, 2, 3));
    EXPECT_TRUE(moved.getPlacedBound().isApprox(Bound(Vec3(11, 2, 3), Vec3(12, 3, 4)), 1e-15));
    TarvexPlacedGeometry boxOnly = boundOnly(Vec3(1, 1, 1), Vec3(2, 2, 2));
    boxOnly.moveToOrigin();
    EXPECT_EQ(boxOnly.bound, Bound(Vec3(0, 0, 0), Vec3(1, 1, 1)));
    EXPECT_EQ(boxOnly.transform.getTranslation(), Vec3(1, 1, 1));

    // Flattening moves the extrusion's own placement into the transform.
    const TarvexPlacedGeometry flat = placedBox(Vec3(1, 2, 3), Vec3(1, 1, 1)).flattened();
    EXPECT_EQ(flat.transform.getTranslation(), Vec3(0, 0, 3));
    EXPECT_EQ(flat.bound, Bound(Vec3(1, 2, 0), Vec3(2, 3, 1)));
    EXPECT_TRUE(flat.getPlacedBound().isApprox(Bound(Vec3(1, 2, 3), Vec3(2, 3, 4)), 1e-15));
}
