// The count of what the edits of a model did to its entities, as a run's summary tells it.
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/ListAttributeEditor.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/ModelChangeCount.h>
#include <tarvex/host/TypeCatalogue.h>

#include <gtest/gtest.h>

using namespace EntityModel;

TEST(ModelChangeCount, CountsEachEntityOnceAsWhatItEndsUpBeing)
{
    const std::unique_ptr<Model> model = Model::createDefault();
    Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    const AttributePath objects = TypeCatalogue::listFor(Chassis_t, PCB_t);
    Entity* kept = EntityEditor::createEntity(PCB_t, chassis, objects, nullptr, 0, QStringLiteral("Kept"));
    Entity* gone = EntityEditor::createEntity(Component_t, chassis, objects, nullptr, 0, QStringLiteral("Gone"));
    Entity* restored = EntityEditor::createEntity(PCB_t, chassis, objects, nullptr, 0, QStringLiteral("Restored"));
    Entity* untouched = EntityEditor::createEntity(PCB_t, chassis, objects, nullptr, 0, QStringLiteral("Untouched"));
    EntityEditor::createEntity(Solid_Obstruction_t, gone, TypeCatalogue::listFor(Component_t, Solid_Obstruction_t),
                               nullptr, 0, QStringLiteral("Inside"));
    ASSERT_TRUE(kept && gone && restored && untouched);
    EntityEditor::setSIValue(restored, Width_t, 0.01);
    model->getUndoStack().clear();

    ModelChangeCount count;
    model->setChangeCount(&count);
    // Changed: a value, and the number of items of a list.
    EntityEditor::setSIValue(kept, Width_t, 0.02);
    EntityEditor::setSIValue(kept, Height_t, 0.001);
    ListAttributeEditor::setItemCount(untouched, AttributePath(QStringLiteral("Layers")), 2);
    // Written and written back: no change. Written the same: nothing at all.
    EntityEditor::setSIValue(restored, Width_t, 0.03);
    EntityEditor::setSIValue(restored, Width_t, 0.01);
    // Deleted with what it owns, after a change: deleted.
    EntityEditor::setSIValue(gone, Width_t, 0.02);
    EntityEditor::deleteEntity(gone);
    // Made, changed: made. Made and deleted: nothing.
    Entity* made = EntityEditor::createEntity(PCB_t, chassis, objects, nullptr, 0, QStringLiteral("Made"));
    EntityEditor::setSIValue(made, Width_t, 0.02);
    EntityEditor::deleteEntity(EntityEditor::createEntity(Heat_Source_t, made, TypeCatalogue::listFor(PCB_t, Heat_Source_t),
                                                          nullptr, 0, QStringLiteral("Brief")));

    using ByType = ModelChangeCount::ByType;
    EXPECT_EQ(count.createdByType(*model), ByType({{"PCB", 1}}));
    EXPECT_EQ(count.changedByType(*model), ByType({{"PCB", 2}}));
    EXPECT_EQ(count.deletedByType(*model), ByType({{"Component", 1}, {"Solid_Obstruction", 1}}));
    EXPECT_EQ(ModelChangeCount::total(count.deletedByType(*model)), 2);

    // What an undo takes back was neither made, changed nor deleted.
    while (model->getUndoStack().undo()) {
    }
    EXPECT_EQ(count.createdByType(*model), ByType());
    EXPECT_EQ(count.changedByType(*model), ByType());
    EXPECT_EQ(count.deletedByType(*model), ByType());
    model->setChangeCount(nullptr);
}

// New entities with ids one above the other are recorded apart from the rest: ids in that
// run, before it and after a gap in it must all count as what their entities end up being.
TEST(ModelChangeCount, EntitiesInAndOutsideARunOfNewIdsCountAlike)
{
    const std::unique_ptr<Model> model = Model::createDefault();
    Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    const AttributePath objects = TypeCatalogue::listFor(Chassis_t, PCB_t);
    const auto make = [&](const TypeRef& type, const char* name) {
        return EntityEditor::createEntity(type, chassis, objects, nullptr, 0, QString::fromUtf8(name));
    };
    Entity* earlier = make(PCB_t, "Earlier");
    Entity* earlierGone = make(Component_t, "Earlier gone");
    model->getUndoStack().clear();

    ModelChangeCount count;
    model->setChangeCount(&count);
    make(PCB_t, "A");
    Entity* brief = make(Component_t, "Brief");
    model->setChangeCount(nullptr);
    Entity* unseen = make(Solid_Obstruction_t, "Unseen"); // takes the next id uncounted
    model->setChangeCount(&count);
    Entity* afterGap = make(Component_t, "After the gap");
    Entity* briefAfterGap = make(Heat_Source_t, "Brief after the gap");
    ASSERT_TRUE(earlier && earlierGone && brief && unseen && afterGap && briefAfterGap);
    EntityEditor::setSIValue(earlier, Width_t, 0.5);
    EntityEditor::setSIValue(afterGap, Width_t, 0.1);
    EntityEditor::deleteEntity(brief);
    EntityEditor::deleteEntity(briefAfterGap);
    EntityEditor::deleteEntity(unseen);
    EntityEditor::deleteEntity(earlierGone);

    using ByType = ModelChangeCount::ByType;
    EXPECT_EQ(count.createdByType(*model), ByType({{"PCB", 1}, {"Component", 1}}));
    EXPECT_EQ(count.changedByType(*model), ByType({{"PCB", 1}}));
    EXPECT_EQ(count.deletedByType(*model), ByType({{"Solid_Obstruction", 1}, {"Component", 1}}));
    model->setChangeCount(nullptr);
}
