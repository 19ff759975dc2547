// Boxes and transforms of the host geometry, and the parts the geometry builder places
// with them.
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/RotationAngles.h>
#include <tarvex/host/SolverTypes.h>
#include <tarvex/host/Transform.h>
#include <tarvex/host/Transform2D.h>

#include "host/GeometryPrinters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

using namespace Geometry;
using EntityModel::Entity;
using EntityModel::EntityEditor;

namespace {

constexpr double pi = Transform2D::pi;

} // namespace

TEST(GeometryBoundTest, UniteIntersectOverlapAndContainWithTheirTolerance)
{
    const Bound box(Vec3(4, 2, 6), Vec3(1, 5, 3)); // corners in any order make the same box
    EXPECT_EQ(box, Bound(Vec3(1, 2, 3), Vec3(4, 5, 6)));
    EXPECT_EQ(Bound().unite(box), box);
    EXPECT_EQ(Bound(box).unite(Bound()), box);
    EXPECT_FALSE(Bound().contains(Vec3()) || box.contains(Bound()) || Bound().overlaps(box));
    EXPECT_TRUE(Bound().transformed(Transform::createTranslation(Vec3(1, 1, 1))).isEmpty());

    // One point makes a flat but real box; points and boxes grow it.
    Bound grown;
    grown.unite(Vec3(1, 1, 1));
    EXPECT_FALSE(grown.isEmpty() || grown.isValid());
    grown.unite(Vec3(-1, 3, 0)).unite(Bound(Vec3(0, 0, 5)));
    EXPECT_EQ(grown, Bound(Vec3(-1, 0, 0), Vec3(1, 3, 5)));
    EXPECT_EQ(grown.getCentre(), Vec3(0, 1.5, 2.5));
    EXPECT_EQ(grown.getSize(), Vec3(2, 3, 5));
    EXPECT_EQ(Bound2D().unite(Vec2(2, 3)).unite(Bound2D(Vec2(3, 0), Vec2(1, 2))), Bound2D(Vec2(1, 0), Vec2(3, 3)));
    EXPECT_EQ(Bound1D().unite(2.0).unite(Bound1D(0, -1)), Bound1D(-1, 2));

    // Intersection and overlap.
    const Bound a(Vec3(0, 0, 0), Vec3(2, 2, 2));
    const Bound across(Vec3(-1, 0.5, 0.5), Vec3(3, 1, 1));
    EXPECT_TRUE(a.overlaps(across) && across.overlaps(a));
    EXPECT_EQ(Bound(across).intersect(a), Bound(Vec3(0, 0.5, 0.5), Vec3(2, 1, 1)));
    // Touching faces do not overlap, but their common part is the flat face.
    const Bound touching(Vec3(2, 0, 0), Vec3(3, 2, 2));
    EXPECT_FALSE(a.overlaps(touching) || touching.overlaps(a));
    EXPECT_EQ(Bound(a).intersect(touching), Bound(Vec3(2, 0, 0), Vec3(2, 2, 2)));
    EXPECT_TRUE(Bound(a).intersect(Bound(Vec3(0, 0, 3), Vec3(2, 2, 4))).isEmpty()) << "apart along one axis only";
    // A sliver thinner than the tolerance is not an overlap.
    EXPECT_TRUE(a.overlaps(Bound(Vec3(1.9999, 0, 0), Vec3(3, 2, 2))));
    EXPECT_FALSE(a.overlaps(Bound(Vec3(1.9999, 0, 0), Vec3(3, 2, 2)), 1e-3));
    EXPECT_EQ(Bound1D(0, 2).intersect(Bound1D(1, 5)), Bound1D(1, 2));

    // Points on the closed box are in; beyond it only within the tolerance, on every side.
    const double tol = 1e-6;
    const Bound cell(Vec3(0, 0, 0), Vec3(1, 2, 3));
    const std::vector<std::pair<Vec3, bool>> points = {
        {{1, 2, 3}, true}, {{1 + 0.5 * tol, 1, 1}, true}, {{-2 * tol, 1, 1}, false}, {{0.5, 1, 3 + 2 * tol}, false}};
    for (const auto& [point, inside] : points) {
        EXPECT_EQ(cell.contains(point, tol), inside) << ::testing::PrintToString(point);
        EXPECT_EQ(cell.contains(Bound(point), tol), inside) << ::testing::PrintToString(point);
    }
    EXPECT_FALSE(cell.contains(Vec3(1 + 0.5 * tol, 1, 1))) << "no tolerance, no slack";
    EXPECT_TRUE(Bound2D(Vec2(0, 0), Vec2(1, 1)).contains(Bound2D(Vec2(-0.5 * tol, 0), Vec2(1 + 0.5 * tol, 1)), tol));
    EXPECT_FALSE(Bound1D(2, 3).contains(Bound1D(2, 3 + 2 * tol), tol));
}

TEST(GeometryBoundTest, TransformedBoxesHoldTheMovedCorners)
{
    const double r = std::sqrt(0.5);
    // -90 degrees about x: y' = z, z' = -y.
    EXPECT_TRUE(near(Bound(Vec3(0, 0, 0), Vec3(1, 2, 3)).transformed(Transform::createRotation(Vec3(1, 0, 0), -pi / 2)),
                     Bound(Vec3(0, 0, -2), Vec3(1, 3, 0))));
    // A turned cube needs a wider box than the cube.
    Bound turned(Vec3(0, 0, 0), Vec3(1, 1, 1));
    turned.transform(Transform::createTranslation(Vec3(10, 0, 0)) * Transform::createRotation(Vec3(0, 0, 1), pi / 4));
    EXPECT_TRUE(near(turned, Bound(Vec3(10 - r, 0, 0), Vec3(10 + r, 2 * r, 1))));

    const Bound2D rect(Vec2(1, 0), Vec2(3, 1));
    EXPECT_TRUE(near(Bound2D(rect).transform(Transform2D::createRotation(pi / 2)), Bound2D(Vec2(-1, 1), Vec2(0, 3))));
    EXPECT_EQ(Bound2D(rect).transform(Transform2D::createMirror(Vec2(1, 0))), Bound2D(Vec2(-3, 0), Vec2(-1, 1)));
    EXPECT_EQ(Bound2D(rect).scale(-2), Bound2D(Vec2(-6, -2), Vec2(-2, 0)));
    EXPECT_FALSE(Bound2D(Vec2(0, 0), Vec2(1, 1e-10)).isValid(1e-9));
}

TEST(GeometryTransformTest, RotationsAreRightHandedProductsApplyTheRightOperandFirstAndInversesUndo)
{
    // The axis, the angle in degrees, a point and where the rotation takes it.
    const std::tuple<Vec3, double, Vec3, Vec3> cases[] = {
        // Interchange files are z-up, the host y-up: -90 degrees about x brings z onto y.
        {{1, 0, 0}, -90, {0, 0, 1}, {0, 1, 0}},
        {{0, 0, 5}, 90, {1, 0, 0}, {0, 1, 0}}, // the axis need not be of unit length
        {{1, 1, 1}, 120, {0, 0, 1}, {1, 0, 0}}, // a third of a turn about the diagonal cycles the axes
        {{1, 1, 0}, 33, {2, 2, 0}, {2, 2, 0}},  // points on the axis stay
        {{0, 0, 0}, 90, {1, 2, 3}, {1, 2, 3}},  // a zero axis has no rotation
    };
    for (const auto& [axis, degrees, point, expected] : cases) {
        SCOPED_TRACE(::testing::PrintToString(axis) + " " + std::to_string(degrees));
        const Transform rotation = Transform::createRotation(axis, degrees * pi / 180);
        EXPECT_TRUE(near(rotation.transform(point), expected));
        EXPECT_TRUE(near(rotation.transformVector(point), expected));
        EXPECT_NEAR(rotation.getDeterminant(), 1.0, 1e-12);
    }
    EXPECT_FALSE(Transform::createTranslation(Vec3(0, 1e-9, 0)).isIdentity());
    EXPECT_TRUE(Transform::createTranslation(Vec3(0, 1e-9, 0)).isIdentity(1e-8));

    // Multiply applies the right operand first; the inverse undoes.
    const Transform a = Transform::createTranslation(Vec3(1, 0, 0));
    const Transform b = Transform::createRotation(Vec3(0, 0, 1), pi / 2);
    const Vec3 p(1, 0, 0);
    EXPECT_TRUE(near(Transform::multiply(a, b).transform(p), Vec3(1, 1, 0)));
    EXPECT_TRUE(near((b * a).transform(p), Vec3(0, 2, 0)));

    const Transform scale = Transform::createScale(Vec3(2, 0.5, -3));
    for (const Transform& t : {b * scale * a, Transform(Vec3(1, 2, 0), Vec3(0, 1, 3), Vec3(4, 0, 1), Vec3(-1, -1, 2))}) {
        EXPECT_TRUE((t.inverse() * t).isIdentity(1e-12));
        EXPECT_TRUE((t * t.inverse()).isIdentity(1e-12));
        EXPECT_TRUE(near(t.inverseTransformedVector(t.transformedVector(p)), p));
    }
    // A flattening scale has no inverse; the identity stands in for it.
    EXPECT_TRUE(Transform::createScale(Vec3(1, 0, 1)).inverse().isIdentity(0.0));
}

// Ordered ZYX angles: Rz(first) Ry(second) Rx(third), in degrees, read back from the
// matrix as written, the second in [-90, 90], whole degrees without rounding dust; at a
// second angle of 90 the whole turn about the shared axis goes to the third.
TEST(GeometryTransformTest, OrderedAnglesComeBackFromTheirRotation)
{
    const std::pair<Vec3, Vec3> cases[] = {
        {{0, -30, 0}, {0, -30, 0}},   {{0, 0, 180}, {0, 0, 180}},   {{10, 20, 30}, {10, 20, 30}},
        {{-170, 45, -60}, {-170, 45, -60}}, {{30, 90, 10}, {0, 90, -20}}, {{0, 0, -180}, {0, 0, 180}},
    };
    for (const auto& [written, read] : cases) {
        SCOPED_TRACE(::testing::PrintToString(written));
        const Transform rotation = createRotationFromAngles(written);
        EXPECT_TRUE(near(getRotationAnglesFromTransform(rotation), read));
        EXPECT_TRUE(createRotationFromAngles(read).isApprox(rotation, 1e-12));
        // The translation plays no part in the angles.
        EXPECT_EQ(getRotationAnglesFromTransform(Transform::createTranslation(Vec3(1, 2, 3)) * rotation),
                  getRotationAnglesFromTransform(rotation));
    }
    EXPECT_TRUE(near(createRotationFromAngles(Vec3(90, 0, 0)).transform(Vec3(1, 0, 0)), Vec3(0, 1, 0)));
    EXPECT_TRUE(near(createRotationFromAngles(Vec3(0, 0, 90)).transform(Vec3(0, 1, 0)), Vec3(0, 0, 1)));
    EXPECT_EQ(getRotationAnglesFromTransform(createRotationFromAngles(Vec3(0, 90, 0))).y, 90.0);
}

TEST(GeometryTransform2DTest, CompositionMirrorsAndInverses)
{
    const Transform2D move = Transform2D::createTranslation(Vec2(1, 0));
    const Transform2D turn = Transform2D::createRotation(pi / 2);
    EXPECT_TRUE(near((turn * move).transformedVector(Vec2(1, 0)), Vec2(0, 2)));
    EXPECT_TRUE(near((move * turn).transformVector(Vec2(1, 0)), Vec2(0, 1)));
    const Transform2D skew(Vec2(1, 2), Vec2(3, 4), Vec2(-5, 6));
    EXPECT_TRUE((skew.inverse() * skew).isIdentity());
    EXPECT_TRUE(Transform2D(Vec2(1, 1), Vec2(2, 2)).inverse().isIdentity(0.0));

    for (const auto& [normal, expected] : std::vector<std::pair<Vec2, Vec2>>{
             {{0, 2}, {3, -4}}, {{1, -1}, {4, 3}}, {{0, 0}, {3, 4}}}) {
        const Transform2D mirror = Transform2D::createMirror(normal);
        EXPECT_TRUE(near(mirror.transformedVector(Vec2(3, 4)), expected)) << ::testing::PrintToString(normal);
        EXPECT_TRUE((mirror * mirror).isIdentity());
    }
}

namespace EM = EntityModel;

namespace {

// A small placed entity tree under the project root, built in each test.
class GeometryBuilderTest : public ::testing::Test
{
protected:
    // A component in `owner` at `location` with the sizes that are not zero, as the host
    // leaves them unset on entities without a box.
    Entity* add(Entity* owner, const Vec3& location, double width = 0, double height = 0, double depth = 0,
                double thickness = 0)
    {
        Entity* entity = model->createEntity(
            EM::Component_t, EM::EntitySlot{owner, EM::AttributePath(EM::TypeRef("Objects")), -1}, QString());
        const std::pair<EM::TypeRef, double> values[] = {
            {EM::X_Location_t, location.x}, {EM::Y_Location_t, location.y}, {EM::Z_Location_t, location.z},
            {EM::Width_t, width}, {EM::Height_t, height}, {EM::Depth_t, depth}, {EM::Thickness_t, thickness}};
        for (const auto& [attribute, value] : values)
            EXPECT_TRUE(value == 0.0 || EntityEditor::setSIValueNoThrow(entity, attribute, value));
        return entity;
    }

    std::unique_ptr<EM::Model> model = EM::Model::createDefault();
    Entity* root = model->getRoot();
    GeometryBuilder builder;
};

} // namespace

TEST_F(GeometryBuilderTest, NestedLocationsChildBoundsAndSizesAddUp)
{
    Entity* board = add(root, Vec3(1, 2, 3), 10, 0, 20, 0.5); // thickness stands in for height
    Entity* component = add(board, Vec3(0.5, 0.5, 0.25), 1, 2, 1);
    Entity* pin = add(component, Vec3(0.9, 1.9, 0.9), 0.5, 0.5, 0.5); // sticks out of the component on every axis
    // Height wins over thickness; one size is enough for a (flat) box; no size and no
    // children give no box.
    Entity* tall = add(root, Vec3(5, 0, 0), 1, 2, 4, 3);
    Entity* flat = add(root, Vec3(5, 0, 0), 0, 0, 4);
    Entity* none = add(root, Vec3(5, 0, 0));
    // Each entity with the translation of its part and its box in its own frame.
    const std::tuple<Entity*, Vec3, Bound> cases[] = {
        {pin, Vec3(2.4, 4.4, 4.15), Bound(Vec3(0, 0, 0), Vec3(0.5, 0.5, 0.5))},
        {component, Vec3(1.5, 2.5, 3.25), Bound(Vec3(0, 0, 0), Vec3(1.4, 2.4, 1.4))},
        // The component's box reaches y = 0.5 + 2.4 above the board's frame.
        {board, Vec3(1, 2, 3), Bound(Vec3(0, 0, 0), Vec3(10, 2.9, 20))},
        {tall, Vec3(5, 0, 0), Bound(Vec3(0, 0, 0), Vec3(1, 2, 4))},
        {flat, Vec3(5, 0, 0), Bound(Vec3(0, 0, 0), Vec3(0, 0, 4))},
        {none, Vec3(5, 0, 0), Bound()},
        // The root adds nothing of its own but holds its children where they stand.
        {root, Vec3(0, 0, 0), Bound(Vec3(1, 0, 0), Vec3(11, 4.9, 23))},
    };
    for (const auto& [entity, translation, localBound] : cases) {
        const Part* part = builder.buildPart(entity);
        EXPECT_TRUE(part->getTransform().isApprox(Transform::createTranslation(translation), 1e-12)) << entity->getId();
        EXPECT_TRUE(near(part->getLocalBound(), localBound)) << entity->getId();
    }
    // In the model frame the pin sits where its owners put it.
    EXPECT_TRUE(near(builder.lookupPart(pin)->getBound(), Bound(Vec3(2.4, 4.4, 4.15), Vec3(2.9, 4.9, 4.65))));
}

// A part on a board side is measured from that side: from the top face of its owner on the
// top, by its own top face on the bottom. A board turns what it holds about y; elsewhere
// the three ordered angles turn it about its origin.
TEST_F(GeometryBuilderTest, BoardSidesAndTurnsPlaceThePartWhereItsAttributesSay)
{
    Entity* board = add(root, Vec3(0, 0, 0), 10, 0, 10, 1.5);
    Entity* top = add(board, Vec3(1, 0.25, 1), 2, 1, 3);
    Entity* bottom = add(board, Vec3(5, 0.5, 5), 2, 1, 3);
    Entity* turned = add(board, Vec3(8, 0, 2), 2, 1, 1);
    Entity* ordered = add(root, Vec3(20, 0, 0), 2, 1, 1);
    EXPECT_TRUE(EntityEditor::setValueNoThrow(top, EM::Board_Side_t, EM::Top_t));
    EXPECT_TRUE(EntityEditor::setValueNoThrow(bottom, EM::Board_Side_t, EM::Bottom_t));
    EXPECT_TRUE(EntityEditor::setValueNoThrow(turned, EM::Board_Side_t, EM::Top_t));
    EXPECT_TRUE(EntityEditor::setSIValueNoThrow(turned, EM::Angle_t, 90));
    EXPECT_TRUE(EntityEditor::setSIValueNoThrow(ordered, EM::Angle_1_t, 90));
    const std::pair<Entity*, Bound> cases[] = {
        {top, Bound(Vec3(1, 1.75, 1), Vec3(3, 2.75, 4))},
        {bottom, Bound(Vec3(5, -0.5, 5), Vec3(7, 0.5, 8))},
        // A quarter turn about y takes x onto -z.
        {turned, Bound(Vec3(8, 1.5, 0), Vec3(9, 2.5, 2))},
        // A quarter turn about z takes x onto y.
        {ordered, Bound(Vec3(19, 0, 0), Vec3(20, 2, 1))},
    };
    for (const auto& [entity, inSpace] : cases)
        EXPECT_TRUE(near(builder.buildPart(entity)->getBound(), inSpace)) << entity->getId();
    // The board's box holds them as they stand.
    EXPECT_TRUE(near(builder.buildPart(board)->getLocalBound(), Bound(Vec3(0, -0.5, 0), Vec3(10, 2.75, 10))));
}

// A part is cached by its entity and model; a refresh brings the same part up to date with
// moved owners, new sizes and new owners.
TEST_F(GeometryBuilderTest, CacheRefreshAndModelsKeptApart)
{
    Entity* board = add(root, Vec3(1, 0, 0), 10, 1, 10);
    Entity* component = add(board, Vec3(2, 1, 0), 1, 1, 1);
    Entity* other = add(root, Vec3(50, 0, 0));
    EXPECT_EQ(builder.lookupPart(component), nullptr);
    Part* part = builder.lookupOrBuildPart(component);
    EXPECT_EQ(builder.lookupPart(board), nullptr); // owners get no part of their own

    ASSERT_TRUE(EntityEditor::setSIValueNoThrow(board, EM::X_Location_t, 5));
    EXPECT_TRUE(near(builder.lookupOrBuildPart(component)->getBound(), Bound(Vec3(3, 1, 0), Vec3(4, 2, 1))));
    EXPECT_EQ(builder.refreshPart(component), part);
    EXPECT_TRUE(near(part->getBound(), Bound(Vec3(7, 1, 0), Vec3(8, 2, 1))));
    ASSERT_TRUE(EntityEditor::setSIValueNoThrow(component, EM::Width_t, 3));
    ASSERT_TRUE(EntityEditor::moveEntity(component, other, EM::AttributePath(EM::TypeRef("Objects"))));
    EXPECT_EQ(builder.buildPart(component), part);
    EXPECT_TRUE(near(part->getBound(), Bound(Vec3(52, 1, 0), Vec3(55, 2, 1))));
    builder.clear();
    EXPECT_EQ(builder.lookupPart(component), nullptr);

    auto otherModel = EM::Model::createDefault();
    Entity* there = otherModel->createEntity(
        EM::Component_t, EM::EntitySlot{otherModel->getRoot(), EM::AttributePath(EM::TypeRef("Objects")), -1}, QString());
    ASSERT_EQ(board->getId(), there->getId()) << "both models number their entities alike";
    builder.buildPart(board);
    EXPECT_EQ(builder.lookupPart(there), nullptr);
    EXPECT_TRUE(builder.buildPart(there)->getLocalBound().isEmpty());
}
