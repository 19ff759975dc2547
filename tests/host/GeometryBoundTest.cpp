#include "host/Bound.h"
#include "host/Transform.h"
#include "host/Transform2D.h"

#include "host/GeometryPrinters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using Geometry::Bound;
using Geometry::Bound1D;
using Geometry::Bound2D;
using Geometry::Transform;
using Geometry::Transform2D;
using Geometry::Vec2;
using Geometry::Vec3;
using GeometryTest::near;

TEST(GeometryBoundTest, EmptyBoundsUniteToTheOtherOperand)
{
    const Bound box(Vec3(1, 2, 3), Vec3(4, 5, 6));
    EXPECT_TRUE(Bound().isEmpty());
    EXPECT_TRUE(Bound().unite(Bound()).isEmpty());
    EXPECT_EQ(Bound().unite(box), box);
    EXPECT_EQ(Bound(box).unite(Bound()), box);
    EXPECT_EQ(Bound().getCentre(), Vec3());
    EXPECT_EQ(Bound().getSize(), Vec3());
    EXPECT_FALSE(Bound().contains(Vec3()));
    EXPECT_FALSE(box.contains(Bound()));
    EXPECT_FALSE(Bound().overlaps(box));
    EXPECT_TRUE(Bound().transformed(Transform::createTranslation(Vec3(1, 1, 1))).isEmpty());

    // One point makes a flat but real box; points and boxes grow it.
    Bound grown;
    grown.unite(Vec3(1, 1, 1));
    EXPECT_FALSE(grown.isEmpty());
    EXPECT_FALSE(grown.isValid());
    grown.unite(Vec3(-1, 3, 0)).unite(Bound(Vec3(0, 0, 5)));
    EXPECT_EQ(grown, Bound(Vec3(-1, 0, 0), Vec3(1, 3, 5)));
    EXPECT_EQ(grown.getCentre(), Vec3(0, 1.5, 2.5));
    EXPECT_EQ(grown.getSize(), Vec3(2, 3, 5));

    // Corners given in any order make the same box.
    EXPECT_EQ(Bound(Vec3(4, 2, 6), Vec3(1, 5, 3)), box);
    EXPECT_EQ(Bound2D(Vec2(3, 0), Vec2(1, 2)), Bound2D(Vec2(1, 0), Vec2(3, 2)));
    EXPECT_EQ(Bound1D(5, -1).getLow(), -1);

    EXPECT_TRUE(Bound2D().unite(Bound2D()).isEmpty());
    EXPECT_EQ(Bound2D().unite(Vec2(2, 3)), Bound2D(Vec2(2, 3)));
    EXPECT_TRUE(Bound1D().unite(Bound1D()).isEmpty());
    EXPECT_EQ(Bound1D().unite(2.0).unite(Bound1D(-1, 0)), Bound1D(-1, 2));
    EXPECT_EQ(Bound1D(-1, 2).getCentre(), 0.5);
}

TEST(GeometryBoundTest, IntersectAndOverlap)
{
    const Bound a(Vec3(0, 0, 0), Vec3(2, 2, 2));
    struct Case
    {
        Bound other;
        bool overlaps;
        Bound common;
    };
    const std::vector<Case> cases = {
        {Bound(Vec3(1, 1, 1), Vec3(3, 3, 3)), true, Bound(Vec3(1, 1, 1), Vec3(2, 2, 2))},
        {Bound(Vec3(-1, 0.5, 0.5), Vec3(3, 1, 1)), true, Bound(Vec3(0, 0.5, 0.5), Vec3(2, 1, 1))},
        // Touching faces do not overlap, but their common part is the flat face.
        {Bound(Vec3(2, 0, 0), Vec3(3, 2, 2)), false, Bound(Vec3(2, 0, 0), Vec3(2, 2, 2))},
        // Apart along one axis only.
        {Bound(Vec3(0, 0, 3), Vec3(2, 2, 4)), false, Bound()},
        {Bound(), false, Bound()},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(a.overlaps(cases[i].other), cases[i].overlaps) << "case " << i;
        EXPECT_EQ(cases[i].other.overlaps(a), cases[i].overlaps) << "case " << i;
        EXPECT_EQ(Bound(a).intersect(cases[i].other), cases[i].common) << "case " << i;
        EXPECT_EQ(Bound(cases[i].other).intersect(a), cases[i].common) << "case " << i;
    }
    // A sliver thinner than the tolerance is not an overlap.
    EXPECT_TRUE(a.overlaps(Bound(Vec3(1.9999, 0, 0), Vec3(3, 2, 2))));
    EXPECT_FALSE(a.overlaps(Bound(Vec3(1.9999, 0, 0), Vec3(3, 2, 2)), 1e-3));

    EXPECT_TRUE(Bound2D(Vec2(0, 0), Vec2(1, 1)).overlaps(Bound2D(Vec2(0.5, 0.5), Vec2(2, 2)), 1e-9));
    EXPECT_FALSE(Bound2D(Vec2(0, 0), Vec2(1, 1)).overlaps(Bound2D(Vec2(1, 0), Vec2(2, 1)), 1e-9));
    EXPECT_TRUE(Bound2D(Vec2(0, 0), Vec2(1, 1)).intersect(Bound2D(Vec2(2, 0), Vec2(3, 1))).isEmpty());
    EXPECT_EQ(Bound1D(0, 2).intersect(Bound1D(1, 5)), Bound1D(1, 2));
    EXPECT_TRUE(Bound1D(0, 2).intersect(Bound1D(3, 5)).isEmpty());
}

TEST(GeometryBoundTest, ContainsHonoursTheToleranceOnBothSides)
{
    const double tol = 1e-6;
    const Bound box(Vec3(0, 0, 0), Vec3(1, 2, 3));
    struct Case
    {
        Vec3 point;
        double tolerance;
        bool inside;
    };
    const std::vector<Case> cases = {
        {{0.5, 1, 1.5}, 0.0, true},
        {{1, 2, 3}, 0.0, true},            // on the high corner: closed box
        {{0, 0, 0}, 0.0, true},            // on the low corner
        {{1 + 0.5 * tol, 1, 1}, tol, true},  // just outside high x, within tolerance
        {{1 + 2 * tol, 1, 1}, tol, false},   // beyond the tolerance
        {{-0.5 * tol, 1, 1}, tol, true},     // just outside low x
        {{-2 * tol, 1, 1}, tol, false},
        {{0.5, 2 + 0.5 * tol, 1}, tol, true},
        {{0.5, 1, 3 + 2 * tol}, tol, false},
        {{0.5, 1, -0.5 * tol}, tol, true},
        {{1 + 0.5 * tol, 1, 1}, 0.0, false}, // no tolerance, no slack
    };
    for (const Case& c : cases) {
        EXPECT_EQ(box.contains(c.point, c.tolerance), c.inside)
            << "(" << c.point.x << ", " << c.point.y << ", " << c.point.z << ") tol " << c.tolerance;
        // The same question asked of a one-point box.
        EXPECT_EQ(box.contains(Bound(c.point), c.tolerance), c.inside);
    }

    const Bound2D rect(Vec2(0, 0), Vec2(1, 1));
    EXPECT_TRUE(rect.contains(Vec2(1 + 0.5 * tol, -0.5 * tol), tol));
    EXPECT_FALSE(rect.contains(Vec2(1 + 0.5 * tol, -2 * tol), tol));
    EXPECT_TRUE(rect.contains(Bound2D(Vec2(-0.5 * tol, 0), Vec2(1 + 0.5 * tol, 1)), tol));
    EXPECT_FALSE(rect.contains(Bound2D(Vec2(-2 * tol, 0), Vec2(1, 1)), tol));
    EXPECT_FALSE(rect.contains(Bound2D(Vec2(0, 0), Vec2(1, 1 + 2 * tol)), tol));

    const Bound1D span(2, 3);
    EXPECT_TRUE(span.contains(3 + 0.5 * tol, tol));
    EXPECT_FALSE(span.contains(3 + 2 * tol, tol));
    EXPECT_TRUE(span.contains(2 - 0.5 * tol, tol));
    EXPECT_FALSE(span.contains(2 - 2 * tol, tol));
    EXPECT_TRUE(span.contains(Bound1D(2 - 0.5 * tol, 3), tol));
    EXPECT_FALSE(span.contains(Bound1D(2, 3 + 2 * tol), tol));
}

TEST(GeometryBoundTest, TransformedBoxHoldsTheMovedCorners)
{
    const double pi = Transform2D::pi;
    const double r = std::sqrt(0.5);
    struct Case
    {
        Bound box;
        Transform transform;
        Bound expected;
    };
    const std::vector<Case> cases = {
        // -90 degrees about x: y' = z, z' = -y.
        {Bound(Vec3(0, 0, 0), Vec3(1, 2, 3)), Transform::createRotation(Vec3(1, 0, 0), -pi / 2),
         Bound(Vec3(0, 0, -2), Vec3(1, 3, 0))},
        // A turned unit cube needs a wider box than the cube.
        {Bound(Vec3(0, 0, 0), Vec3(1, 1, 1)), Transform::createRotation(Vec3(0, 0, 1), pi / 4),
         Bound(Vec3(-r, 0, 0), Vec3(r, 2 * r, 1))},
        {Bound(Vec3(0, 0, 0), Vec3(1, 1, 1)),
         Transform::multiply(Transform::createTranslation(Vec3(10, 0, 0)),
                             Transform::createRotation(Vec3(0, 0, 1), pi / 4)),
         Bound(Vec3(10 - r, 0, 0), Vec3(10 + r, 2 * r, 1))},
        {Bound(Vec3(1, 1, 1), Vec3(2, 2, 2)), Transform::createScale(Vec3(-1, 2, 1)),
         Bound(Vec3(-2, 2, 1), Vec3(-1, 4, 2))},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_TRUE(near(cases[i].box.transformed(cases[i].transform), cases[i].expected)) << "case " << i;
        Bound inPlace = cases[i].box;
        EXPECT_TRUE(near(inPlace.transform(cases[i].transform), cases[i].expected)) << "case " << i;
    }
}

TEST(GeometryBoundTest, Bound2DTransformScaleAndCorners)
{
    const Bound2D rect(Vec2(1, 0), Vec2(3, 1));
    const auto corners = rect.getCorners();
    ASSERT_EQ(corners.size(), 4u);
    EXPECT_EQ(corners[0], Vec2(1, 0));
    EXPECT_EQ(corners[1], Vec2(3, 0));
    EXPECT_EQ(corners[2], Vec2(3, 1));
    EXPECT_EQ(corners[3], Vec2(1, 1));

    Bound2D turned = rect;
    turned.transform(Transform2D::createRotation(Transform2D::pi / 2));
    EXPECT_TRUE(turned.isApprox(Bound2D(Vec2(-1, 1), Vec2(0, 3)), 1e-12));
    Bound2D mirrored = rect;
    mirrored.transform(Transform2D::createMirror(Vec2(1, 0)));
    EXPECT_EQ(mirrored, Bound2D(Vec2(-3, 0), Vec2(-1, 1)));

    EXPECT_TRUE(Bound2D(rect).scale(1e-6).isApprox(Bound2D(Vec2(1e-6, 0), Vec2(3e-6, 1e-6)), 1e-18));
    EXPECT_EQ(Bound2D(rect).scale(-2), Bound2D(Vec2(-6, -2), Vec2(-2, 0)));
    EXPECT_TRUE(Bound2D().scale(2).isEmpty());
    EXPECT_EQ(Bound1D(1, 2).scale(-1), Bound1D(-2, -1));

    EXPECT_TRUE(rect.isValid(1e-9));
    EXPECT_FALSE(Bound2D(Vec2(0, 0), Vec2(1, 1e-10)).isValid(1e-9));
    EXPECT_FALSE(Bound2D().isValid());
}
