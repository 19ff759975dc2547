#include "host/EntityEditor.h"
#include "host/GeometryBuilder.h"
#include "host/Model.h"
#include "host/TypeRef.h"

#include "host/GeometryPrinters.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using EntityModel::Entity;
using EntityModel::EntityEditor;
using Geometry::Bound;
using Geometry::GeometryBuilder;
using Geometry::Part;
using Geometry::Transform;
using Geometry::Vec3;
using GeometryTest::near;

namespace {

// A small placed entity tree under the project root, built in each test.
class GeometryBuilderTest : public ::testing::Test
{
protected:
    Entity* add(Entity* owner, const Vec3& location)
    {
        Entity* entity = model->createEntity(
            EntityModel::Component_t,
            EntityModel::EntitySlot{owner, EntityModel::AttributePath(EntityModel::TypeRef("Objects")), -1}, QString());
        set(entity, EntityModel::X_Location_t, location.x);
        set(entity, EntityModel::Y_Location_t, location.y);
        set(entity, EntityModel::Z_Location_t, location.z);
        return entity;
    }

    // Sizes of zero are left unset, as the host leaves them on entities without a box.
    Entity* add(Entity* owner, const Vec3& location, double width, double height, double depth)
    {
        Entity* entity = add(owner, location);
        set(entity, EntityModel::Width_t, width);
        set(entity, EntityModel::Height_t, height);
        set(entity, EntityModel::Depth_t, depth);
        return entity;
    }

    static void set(Entity* entity, const EntityModel::TypeRef& attribute, double value)
    {
        if (value != 0.0) {
            ASSERT_TRUE(EntityEditor::setSIValueNoThrow(entity, attribute, value));
        }
    }

    std::unique_ptr<EntityModel::Model> model = EntityModel::Model::createDefault();
    Entity* root = model->getRoot();
    GeometryBuilder builder;
};

} // namespace

TEST_F(GeometryBuilderTest, NestedLocationsAndChildBoundsAddUp)
{
    Entity* board = add(root, Vec3(1, 2, 3));
    set(board, EntityModel::Width_t, 10);
    set(board, EntityModel::Thickness_t, 0.5);
    set(board, EntityModel::Depth_t, 20);
    Entity* component = add(board, Vec3(0.5, 0.5, 0.25), 1, 2, 1);
    // Sticks out of the component on every axis.
    Entity* pin = add(component, Vec3(0.9, 1.9, 0.9), 0.5, 0.5, 0.5);

    struct Case
    {
        Entity* entity;
        Vec3 translation;
        Bound localBound;
    };
    const std::vector<Case> cases = {
        {pin, Vec3(2.4, 4.4, 4.15), Bound(Vec3(0, 0, 0), Vec3(0.5, 0.5, 0.5))},
        {component, Vec3(1.5, 2.5, 3.25), Bound(Vec3(0, 0, 0), Vec3(1.4, 2.4, 1.4))},
        // The component's box reaches y = 0.5 + 2.4 above the board's frame.
        {board, Vec3(1, 2, 3), Bound(Vec3(0, 0, 0), Vec3(10, 2.9, 20))},
        // The root adds nothing of its own but holds the board where it stands.
        {root, Vec3(0, 0, 0), Bound(Vec3(1, 2, 3), Vec3(11, 4.9, 23))},
    };
    for (const Case& c : cases) {
        const Part* part = builder.buildPart(c.entity);
        ASSERT_NE(part, nullptr);
        EXPECT_EQ(part->getEntity(), c.entity);
        EXPECT_TRUE(part->getTransform().isApprox(Transform::createTranslation(c.translation), 1e-12))
            << "entity " << c.entity->getId();
        EXPECT_TRUE(near(part->getLocalBound(), c.localBound)) << "entity " << c.entity->getId();
        EXPECT_TRUE(near(part->getBound(), c.localBound.transformed(Transform::createTranslation(c.translation))))
            << "entity " << c.entity->getId();
    }
    // In the model frame the pin sits where its owners put it.
    EXPECT_TRUE(near(builder.lookupPart(pin)->getBound(), Bound(Vec3(2.4, 4.4, 4.15), Vec3(2.9, 4.9, 4.65))));
}

TEST_F(GeometryBuilderTest, SizesGiveTheOwnBox)
{
    struct Case
    {
        double width, height, thickness, depth;
        Bound expected;
    };
    const std::vector<Case> cases = {
        {1, 2, 3, 4, Bound(Vec3(0, 0, 0), Vec3(1, 2, 4))},  // height wins over thickness
        {1, 0, 3, 4, Bound(Vec3(0, 0, 0), Vec3(1, 3, 4))},  // thickness stands in for height
        {0, 0, 0, 4, Bound(Vec3(0, 0, 0), Vec3(0, 0, 4))},  // one size is enough for a (flat) box
        {0, 0, 0, 0, Bound()},                              // no size, no children: no box
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        Entity* entity = add(root, Vec3(5, 0, 0), c.width, c.height, c.depth);
        set(entity, EntityModel::Thickness_t, c.thickness);
        const Part* part = builder.lookupOrBuildPart(entity);
        ASSERT_NE(part, nullptr);
        EXPECT_TRUE(near(part->getLocalBound(), c.expected)) << "case " << i;
        EXPECT_EQ(part->getBound().isEmpty(), c.expected.isEmpty()) << "case " << i;
    }

    // A group without sizes has the box of its children, in its own frame.
    Entity* group = add(root, Vec3(100, 0, 0));
    add(group, Vec3(1, 0, 0), 1, 1, 1);
    add(group, Vec3(-3, 0, 2), 1, 1, 1);
    add(group, Vec3(0, 7, 0)); // no box of its own
    EXPECT_TRUE(near(builder.buildPart(group)->getLocalBound(), Bound(Vec3(-3, 0, 0), Vec3(2, 1, 3))));
    EXPECT_TRUE(near(builder.lookupPart(group)->getBound(), Bound(Vec3(97, 0, 0), Vec3(102, 1, 3))));
}

TEST_F(GeometryBuilderTest, DeepChainsAccumulate)
{
    const int depth = 200;
    Entity* top = add(root, Vec3(1, 0, 0));
    Entity* at = top;
    for (int i = 1; i < depth; ++i)
        at = add(at, Vec3(1, 0, 0));
    set(at, EntityModel::Width_t, 1);
    set(at, EntityModel::Height_t, 1);
    set(at, EntityModel::Depth_t, 1);

    EXPECT_TRUE(builder.buildPart(at)->getTransform().isApprox(Transform::createTranslation(Vec3(depth, 0, 0))));
    EXPECT_TRUE(near(builder.buildPart(top)->getLocalBound(), Bound(Vec3(depth - 1, 0, 0), Vec3(depth, 1, 1))));
    EXPECT_TRUE(near(builder.lookupPart(top)->getBound(), builder.lookupPart(at)->getBound()));
}

TEST_F(GeometryBuilderTest, CacheAndRefresh)
{
    Entity* board = add(root, Vec3(1, 0, 0), 10, 1, 10);
    Entity* component = add(board, Vec3(2, 1, 0), 1, 1, 1);
    Entity* other = add(root, Vec3(50, 0, 0));

    EXPECT_EQ(builder.lookupPart(component), nullptr);
    Part* part = builder.lookupOrBuildPart(component);
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(builder.lookupPart(component), part);
    EXPECT_EQ(builder.lookupOrBuildPart(component), part);
    EXPECT_EQ(builder.lookupPart(board), nullptr); // owners get no part of their own

    // Moving the owner is seen by a refresh only; the same part object is brought up to date.
    ASSERT_TRUE(EntityEditor::setSIValueNoThrow(board, EntityModel::X_Location_t, 5));
    EXPECT_TRUE(builder.lookupOrBuildPart(component)->getTransform().isApprox(
        Transform::createTranslation(Vec3(3, 1, 0))));
    EXPECT_EQ(builder.refreshPart(component), part);
    EXPECT_TRUE(part->getTransform().isApprox(Transform::createTranslation(Vec3(7, 1, 0))));
    EXPECT_TRUE(near(part->getBound(), Bound(Vec3(7, 1, 0), Vec3(8, 2, 1))));

    // A resize and a new owner are picked up the same way.
    ASSERT_TRUE(EntityEditor::setSIValueNoThrow(component, EntityModel::Width_t, 3));
    ASSERT_TRUE(EntityEditor::moveEntity(component, other, EntityModel::AttributePath(EntityModel::TypeRef("Objects"))));
    EXPECT_EQ(builder.buildPart(component), part);
    EXPECT_TRUE(near(part->getBound(), Bound(Vec3(52, 1, 0), Vec3(55, 2, 1))));
    EXPECT_TRUE(near(builder.refreshPart(board)->getLocalBound(), Bound(Vec3(0, 0, 0), Vec3(10, 1, 10))));

    builder.clear();
    EXPECT_EQ(builder.lookupPart(component), nullptr);
    EXPECT_EQ(builder.lookupPart(board), nullptr);
    EXPECT_NE(builder.lookupOrBuildPart(component), nullptr);

    EXPECT_EQ(builder.lookupPart(nullptr), nullptr);
    EXPECT_EQ(builder.buildPart(nullptr), nullptr);
    EXPECT_EQ(builder.lookupOrBuildPart(nullptr), nullptr);
    EXPECT_EQ(builder.refreshPart(nullptr), nullptr);
}

TEST_F(GeometryBuilderTest, PartsOfDifferentModelsAreKeptApart)
{
    auto otherModel = EntityModel::Model::createDefault();
    Entity* here = add(root, Vec3(1, 0, 0), 1, 1, 1);
    Entity* there = otherModel->createEntity(
        EntityModel::Component_t,
        EntityModel::EntitySlot{otherModel->getRoot(), EntityModel::AttributePath(EntityModel::TypeRef("Objects")), -1},
        QString());
    ASSERT_NE(there, nullptr);
    ASSERT_EQ(here->getId(), there->getId()) << "both models number their entities alike";
    Part* herePart = builder.buildPart(here);
    EXPECT_EQ(builder.lookupPart(there), nullptr);
    Part* therePart = builder.buildPart(there);
    EXPECT_NE(herePart, therePart);
    EXPECT_EQ(builder.lookupPart(here)->getEntity(), here);
    EXPECT_TRUE(therePart->getLocalBound().isEmpty());
}
