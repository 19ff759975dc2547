#include "host/Transform.h"
#include "host/Transform2D.h"

#include "host/GeometryPrinters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using Geometry::Transform;
using Geometry::Transform2D;
using Geometry::Vec2;
using Geometry::Vec3;
using GeometryTest::near;

namespace {

constexpr double tolerance = 1e-12;
constexpr double pi = Transform2D::pi;

double degrees(double value)
{
    return value * pi / 180.0;
}

} // namespace

TEST(GeometryTransformTest, RotationsAreRightHanded)
{
    struct Case
    {
        Vec3 axis;
        double angle;
        Vec3 point;
        Vec3 expected;
    };
    const double third = 1.0 / std::sqrt(3.0);
    const std::vector<Case> cases = {
        // Interchange files are z-up, the host y-up: -90 degrees about x brings z onto y.
        {{1, 0, 0}, degrees(-90), {0, 0, 1}, {0, 1, 0}},
        {{1, 0, 0}, degrees(-90), {0, 1, 0}, {0, 0, -1}},
        {{1, 0, 0}, degrees(90), {0, 1, 0}, {0, 0, 1}},
        {{1, 0, 0}, degrees(90), {0, 0, 1}, {0, -1, 0}},
        {{0, 1, 0}, degrees(90), {0, 0, 1}, {1, 0, 0}},
        {{0, 0, 1}, degrees(90), {1, 0, 0}, {0, 1, 0}},
        // The axis need not be of unit length.
        {{0, 0, 5}, degrees(90), {1, 0, 0}, {0, 1, 0}},
        {{0, 0, 1}, degrees(180), {1, 2, 3}, {-1, -2, 3}},
        // A third of a turn about the diagonal cycles the axes.
        {{third, third, third}, degrees(120), {1, 0, 0}, {0, 1, 0}},
        {{1, 1, 1}, degrees(120), {0, 0, 1}, {1, 0, 0}},
        // Points on the axis stay.
        {{1, 1, 0}, degrees(33), {2, 2, 0}, {2, 2, 0}},
        // A zero axis has no rotation.
        {{0, 0, 0}, degrees(90), {1, 2, 3}, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        const Transform rotation = Transform::createRotation(c.axis, c.angle);
        EXPECT_TRUE(near(rotation.transform(c.point), c.expected))
            << "axis (" << c.axis.x << ", " << c.axis.y << ", " << c.axis.z << ") angle " << c.angle;
        EXPECT_TRUE(near(rotation.transformVector(c.point), c.expected));
        EXPECT_NEAR(rotation.getDeterminant(), 1.0, tolerance);
    }
}

TEST(GeometryTransformTest, InverseUndoesTheTransform)
{
    const Transform rotation = Transform::createRotation(Vec3(1, -2, 0.5), 0.7);
    const Transform translation = Transform::createTranslation(Vec3(3, -4, 5));
    const Transform scale = Transform::createScale(Vec3(2, 0.5, -3));
    const std::vector<Transform> transforms = {
        Transform(),
        translation,
        rotation,
        scale,
        Transform::multiply(translation, rotation),
        Transform::multiply(rotation, Transform::multiply(scale, translation)),
        Transform(Vec3(1, 2, 0), Vec3(0, 1, 3), Vec3(4, 0, 1), Vec3(-1, -1, 2)),
    };
    const Vec3 point(0.3, -7, 11);
    for (size_t i = 0; i < transforms.size(); ++i) {
        const Transform& t = transforms[i];
        const Transform inverse = t.inverse();
        EXPECT_TRUE(Transform::multiply(inverse, t).isIdentity(1e-12)) << "case " << i;
        EXPECT_TRUE(Transform::multiply(t, inverse).isIdentity(1e-12)) << "case " << i;
        EXPECT_TRUE(near(inverse.transform(t.transform(point)), point)) << "case " << i;
        EXPECT_TRUE(near(t.inverseTransformedVector(t.transformedVector(point)), point)) << "case " << i;
    }
    // A flattening scale has no inverse; the identity stands in for it.
    EXPECT_TRUE(Transform::createScale(Vec3(1, 0, 1)).inverse().isIdentity(0.0));
}

TEST(GeometryTransformTest, MultiplyAppliesTheRightOperandFirst)
{
    const Transform a = Transform::createTranslation(Vec3(1, 0, 0));
    const Transform b = Transform::createRotation(Vec3(0, 0, 1), degrees(90));
    const Vec3 p(1, 0, 0);

    EXPECT_TRUE(near(Transform::multiply(a, b).transform(p), a.transform(b.transform(p))));
    EXPECT_TRUE(near(Transform::multiply(a, b).transform(p), Vec3(1, 1, 0)));
    EXPECT_TRUE(near(Transform::multiply(b, a).transform(p), Vec3(0, 2, 0)));
    EXPECT_TRUE((a * b).isApprox(Transform::multiply(a, b)));
    EXPECT_FALSE((a * b).isApprox(b * a, 1e-6));

    // Translations of a chain add up; the matrix part carries no translation.
    const Transform ab = a * b;
    EXPECT_TRUE(near(ab.getTranslation(), Vec3(1, 0, 0)));
    EXPECT_TRUE(near((b * a).getTranslation(), Vec3(0, 1, 0)));
    EXPECT_TRUE(near(ab.getRotationMatrix().transform(p), Vec3(0, 1, 0)));
    EXPECT_TRUE(near(ab.transformVector(p), Vec3(0, 1, 0)));
    EXPECT_TRUE(near(ab.getAxis(1), Vec3(-1, 0, 0)));
}

TEST(GeometryTransformTest, ComparisonsUseTheirTolerance)
{
    const Transform t = Transform::createTranslation(Vec3(0, 1e-9, 0));
    EXPECT_FALSE(t.isIdentity());
    EXPECT_TRUE(t.isIdentity(1e-8));
    EXPECT_FALSE(t == Transform());
    EXPECT_TRUE(Transform::createRotation(Vec3(0, 1, 0), 2 * pi).isIdentity(1e-12));
    EXPECT_TRUE(Transform::createScale(Vec3(2, 2, 2)).isApprox(Transform(Vec3(2, 0, 0), Vec3(0, 2, 0), Vec3(0, 0, 2))));
}

TEST(GeometryTransform2DTest, FrameColumnsAreTheAxes)
{
    // A rectangle turned a quarter: its local x runs along the plane's y.
    const Vec2 xAxis(0, 1);
    const Vec2 yAxis(-1, 0);
    const Transform2D frame(xAxis, yAxis);
    EXPECT_TRUE(near(frame.transformedVector(Vec2(1, 0)), xAxis));
    EXPECT_TRUE(near(frame.transformedVector(Vec2(0, 1)), yAxis));
    EXPECT_TRUE(near(frame.transformedVector(Vec2(2, 3)), Vec2(-3, 2)));
    EXPECT_TRUE(frame.isApprox(Transform2D::createRotation(pi / 2)));

    // Recovering a rectangle's size from its corners: the diagonal in local coordinates.
    struct Case
    {
        Vec2 origin;
        double angle;
        Vec2 size;
    };
    const std::vector<Case> cases = {
        {{0, 0}, 0.0, {2, 1}},
        {{5, -1}, pi / 2, {2, 1}},
        {{1, 1}, pi / 6, {0.5, 3}},
        {{-2, 4}, -3 * pi / 4, {1, 1}},
    };
    for (const Case& c : cases) {
        const Vec2 p(std::cos(c.angle), std::sin(c.angle));
        const Vec2 f(-p.y, p.x);
        const Vec2 p0 = c.origin;
        const Vec2 p2 = p0 + p * c.size.x + f * c.size.y;
        const Transform2D rectFrame(p, f);
        EXPECT_TRUE(near(rectFrame.inverseTransformedVector(p2 - p0), c.size)) << "angle " << c.angle;
        const Transform2D placed = Transform2D::multiply(Transform2D::createTranslation(p0), rectFrame);
        EXPECT_TRUE(near(placed.transformedVector(c.size), p2)) << "angle " << c.angle;
        EXPECT_TRUE(near(placed.inverseTransformedVector(p2), c.size)) << "angle " << c.angle;
    }
}

TEST(GeometryTransform2DTest, CompositionInverseAndMirrors)
{
    const Transform2D move = Transform2D::createTranslation(Vec2(1, 0));
    const Transform2D turn = Transform2D::createRotation(pi / 2);
    const Vec2 p(1, 0);
    EXPECT_TRUE(near(Transform2D::multiply(move, turn).transformedVector(p), Vec2(1, 1)));
    EXPECT_TRUE(near(Transform2D::multiply(turn, move).transformedVector(p), Vec2(0, 2)));
    EXPECT_TRUE((move * turn).isApprox(Transform2D::multiply(move, turn)));
    EXPECT_TRUE(near(Transform2D::multiply(move, turn).transformVector(p), Vec2(0, 1)));

    const std::vector<Transform2D> transforms = {
        Transform2D(),
        move * turn,
        Transform2D::createScale(Vec2(2, -0.25)) * Transform2D::createRotation(0.3),
        Transform2D(Vec2(1, 2), Vec2(3, 4), Vec2(-5, 6)),
    };
    for (size_t i = 0; i < transforms.size(); ++i) {
        EXPECT_TRUE((transforms[i].inverse() * transforms[i]).isIdentity()) << "case " << i;
        EXPECT_TRUE((transforms[i] * transforms[i].inverse()).isIdentity()) << "case " << i;
    }
    EXPECT_TRUE(Transform2D(Vec2(1, 1), Vec2(2, 2)).inverse().isIdentity(0.0));

    struct MirrorCase
    {
        Vec2 normal;
        Vec2 point;
        Vec2 expected;
    };
    const std::vector<MirrorCase> mirrors = {
        {{1, 0}, {3, 4}, {-3, 4}},
        {{0, 1}, {3, 4}, {3, -4}},
        {{0, 2}, {3, 4}, {3, -4}},
        {{1, -1}, {3, 4}, {4, 3}},
        {{0, 0}, {3, 4}, {3, 4}},
    };
    for (const MirrorCase& m : mirrors) {
        const Transform2D mirror = Transform2D::createMirror(m.normal);
        EXPECT_TRUE(near(mirror.transformedVector(m.point), m.expected)) << m.normal.x << ", " << m.normal.y;
        EXPECT_TRUE((mirror * mirror).isIdentity());
    }
}
