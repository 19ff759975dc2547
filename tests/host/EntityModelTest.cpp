#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/SolverTypes.h>
#include <tarvex/host/ModelFile.h>
#include <tarvex/host/UndoStackOpener.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

using namespace EntityModel;

namespace {

struct SmallModel
{
    std::unique_ptr<Model> model = Model::createDefault();
    Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    Entity* board = EntityEditor::createEntity(PCB_t, chassis, Objects_t, nullptr, 0, "Board");
    Entity* part = EntityEditor::createEntity(Component_t, board, Components_t, nullptr, 0, "U1");

    SmallModel()
    {
        EntityEditor::setSIValue(board, Thickness_t, 0.0016);
        EntityEditor::setValue(part, Board_Side_t, Top_t);
        model->getUndoStack().clear();
    }
    QByteArray json() const { return ModelFile::toJson(*model); }
};

std::vector<QString> names(const std::vector<Entity*>& entities)
{
    std::vector<QString> result;
    for (const Entity* entity : entities)
        result.push_back(entity->getName());
    return result;
}

// The same writes, each addressed by `at(attribute)`: a one-step path or the bare type.
template <typename At>
std::vector<bool> writeEach(const SmallModel& m, At at)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    return {
        EntityEditor::setSIValueNoThrow(m.part, at(X_Location_t), 1.5),
        EntityEditor::setSIValueNoThrow(m.board, at(Thickness_t), 0.0016), // already there: no step
        EntityEditor::setSIValueNoThrow(m.board, at(Thickness_t), 0.002),
        EntityEditor::setValueNoThrow(m.part, at(Name_t), QStringLiteral("U9")),
        EntityEditor::setValueNoThrow(m.part, at(Board_Side_t), "Bottom"), // a string onto a choice
        EntityEditor::setValueNoThrow(m.part, at(Include_Conduction_t), Top_t), // not one of its choices
        EntityEditor::setValueNoThrow(m.part, at(Include_Conduction_t), No_t),
        EntityEditor::setValueNoThrow(m.board, at(Components_t), 3), // where entities are kept
        EntityEditor::setSIValueNoThrow(m.part, at(Y_Location_t), nan),
        EntityEditor::setValueNoThrow(nullptr, at(Name_t), "x"),
        EntityEditor::setLinksNoThrow(m.part, at(MaterialLink_t), {m.board, nullptr}),
        EntityEditor::setLinksNoThrow(m.part, at(MaterialLink_t), {m.board}),
        EntityEditor::setValueNoThrow(m.part, at(Active_t), true),
    };
}

} // namespace

TEST(EntityModel, WritesToAnAttributeOfTheEntityItselfActAsThoseByPathUndoIncluded)
{
    SmallModel byPath;
    SmallModel byType;
    SmallModel unrecorded;
    unrecorded.model->setUndoRecording(false);
    const QByteArray before = byType.json();
    const auto path = [](const TypeRef& attribute) { return AttributePath(attribute); };
    const auto type = [](const TypeRef& attribute) -> const TypeRef& { return attribute; };

    const std::vector<bool> done = writeEach(byPath, path);
    EXPECT_EQ(done,
              (std::vector<bool>{true, true, true, true, true, false, true, false, false, false, false, true, true}));
    EXPECT_EQ(writeEach(byType, type), done);
    EXPECT_EQ(writeEach(unrecorded, type), done);
    EXPECT_EQ(byType.json(), byPath.json());
    EXPECT_EQ(unrecorded.json(), byPath.json());
    EXPECT_EQ(getStringValue(byType.part, Name_t), "U9");
    EXPECT_TRUE(hasAttributeSetTo(byType.part, Board_Side_t, Bottom_t));
    EXPECT_EQ(getLinkedEntity(byType.part, MaterialLink_t), byType.board);

    // Each change is a step of its own, named after its attribute, and undo takes all back.
    UndoStack& stack = byType.model->getUndoStack();
    EXPECT_EQ(stack.count(), 7);
    EXPECT_EQ(stack.count(), byPath.model->getUndoStack().count());
    EXPECT_EQ(stack.undoText(), "Set Active");
    while (stack.undo()) {
    }
    EXPECT_EQ(byType.json(), before);
}

TEST(EntityModel, OneUndoStepTakesBackEveryEditOfAnImportAndOtherEditsAreStepsOfTheirOwn)
{
    SmallModel m;
    const QByteArray before = m.json();
    {
        UndoStackOpener step(m.model.get(), "Import Tarvex Data");
        Entity* heat = EntityEditor::createEntity(Heat_Source_t, m.part, AttributePath("Heat_Sources"), nullptr, 0, "Q");
        EntityEditor::setSIValue(heat, Power_t, 2.5);
        EntityEditor::setValue(m.chassis, Solid_Objects_t / Output_convective_HTC_t, "Yes");
        EntityEditor::setSIValue(m.board, Thickness_t, 0.002);
        ASSERT_TRUE(EntityEditor::removeEntity(m.board, Components_t, m.part));
        ASSERT_TRUE(EntityEditor::addEntity(m.chassis, Objects_t, m.part, 0));
        ASSERT_TRUE(EntityEditor::deleteEntity(m.board));
        {
            UndoStackOpener inner(m.model.get(), "inner step joins the outer one");
            EntityEditor::setValue(m.part, Reference_Designator_t, "U1");
        }
    }
    const QByteArray after = m.json();
    UndoStack& stack = m.model->getUndoStack();
    EXPECT_EQ(stack.count(), 1);
    EXPECT_EQ(stack.undoText(), "Import Tarvex Data");
    ASSERT_TRUE(stack.undo());
    EXPECT_EQ(m.json(), before);
    ASSERT_TRUE(stack.redo());
    EXPECT_EQ(m.json(), after);

    // Edits outside a step are steps of their own, and new edits drop the redo branch.
    EntityEditor::setSIValue(m.part, X_Location_t, 1.0);
    EntityEditor::setSIValue(m.part, X_Location_t, 2.0);
    Entity* extra = EntityEditor::createEntity(Component_t, m.part, Components_t, nullptr, 0, "C1");
    EXPECT_EQ(stack.count(), 4) << "creating with a name is one step, not two";
    stack.undo();
    EXPECT_FALSE(extra->isAlive());
    stack.undo();
    EXPECT_DOUBLE_EQ(getStandardDoubleValue(m.part, X_Location_t, -1), 1.0);
    EntityEditor::setSIValue(m.part, Y_Location_t, 3.0);
    EXPECT_FALSE(stack.canRedo());
}

TEST(EntityModel, AModelThatKeepsNoHistoryEndsAsOneThatDoesAndRecordsAgainWhenAsked)
{
    // The same edits, into a model that records them and one that does not.
    SmallModel recorded;
    SmallModel unrecorded;
    unrecorded.model->setUndoRecording(false);
    Entity* gone = nullptr;
    for (SmallModel* m : {&recorded, &unrecorded}) {
        UndoStackOpener step(m->model.get(), "Update Tarvex Data");
        Entity* heat = EntityEditor::createEntity(Heat_Source_t, m->part, AttributePath("Heat_Sources"), nullptr, 0, "Q");
        EntityEditor::createEntity(Heat_Source_t, m->part, AttributePath("Heat_Sources"), nullptr, 0, "First", 0);
        EntityEditor::setSIValue(heat, Power_t, 2.5);
        EntityEditor::setValue(m->chassis, Solid_Objects_t / Output_convective_HTC_t, "Yes");
        EntityEditor::setSIValue(m->board, Thickness_t, 0.002);
        ASSERT_TRUE(EntityEditor::removeEntity(m->board, Components_t, m->part));
        ASSERT_TRUE(EntityEditor::addEntity(m->chassis, Objects_t, m->part, 0));
        Entity* spare = EntityEditor::createEntity(Component_t, m->board, Components_t, nullptr, 0, "Spare");
        ASSERT_TRUE(EntityEditor::removeEntity(m->board, Components_t, spare));
        ASSERT_TRUE(EntityEditor::deleteEntity(spare)) << "a detached entity can be deleted";
        ASSERT_TRUE(EntityEditor::deleteEntity(m->board));
        gone = m->board;
    }
    EXPECT_EQ(unrecorded.json(), recorded.json());
    EXPECT_EQ(recorded.model->getUndoStack().count(), 1);
    EXPECT_EQ(unrecorded.model->getUndoStack().count(), 0);
    EXPECT_FALSE(unrecorded.model->getUndoStack().undo());
    // What was deleted is still there to be asked, and no longer found.
    EXPECT_FALSE(gone->isAlive());
    EXPECT_EQ(unrecorded.model->findEntity(gone->getId()), nullptr);
    EXPECT_TRUE(unrecorded.model->getDetachedEntities().empty());

    unrecorded.model->setUndoRecording(true);
    const QByteArray before = unrecorded.json();
    EntityEditor::setSIValue(unrecorded.part, X_Location_t, 1.0);
    ASSERT_TRUE(unrecorded.model->getUndoStack().undo());
    EXPECT_EQ(unrecorded.json(), before);
}

TEST(EntityModel, RejectedWritesChangeNothingReadsOfTheWrongKindGiveTheFallbackAndChildrenComeInTreeOrder)
{
    SmallModel m;
    const QByteArray before = m.json();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(EntityEditor::setSIValueNoThrow(m.board, Thickness_t, inf));
    EXPECT_FALSE(EntityEditor::setSIDoubleListValueNoThrow(m.board, AttributePath("Layers"), {1.0, -inf}));
    EXPECT_FALSE(EntityEditor::setSIPointsCurveNoThrow(m.board, AttributePath("Curve"), {{0, 1}, {nan, 2}}));
    // A value cannot stand where entities are kept, nor be walked through.
    EXPECT_FALSE(EntityEditor::setValueNoThrow(m.board, Components_t, 3));
    EXPECT_FALSE(EntityEditor::setValueNoThrow(m.board, Thickness_t / Name_t, "x"));
    EXPECT_FALSE(EntityEditor::setValueNoThrow(nullptr, Name_t, "x"));
    EXPECT_FALSE(EntityEditor::setConvertValueToUnitsNoThrow(m.board, Thickness_t, Length_t, TypeRef("furlong")));
    EXPECT_FALSE(EntityEditor::setConvertValueToUnitsNoThrow(m.board, Name_t, Length_t, mm_t));
    // Moves that would make a cycle, or address the wrong holder, fail.
    EXPECT_FALSE(EntityEditor::moveEntity(m.board, m.part, Objects_t));
    EXPECT_FALSE(EntityEditor::moveEntity(m.board, m.board, Objects_t));
    EXPECT_FALSE(EntityEditor::removeEntity(m.chassis, Components_t, m.part));
    EXPECT_FALSE(EntityEditor::addEntity(m.chassis, Objects_t, m.part));
    EXPECT_EQ(EntityEditor::createEntity(Component_t, m.board, Thickness_t), nullptr);
    // Attributes whose choices the host fixes take none other.
    EXPECT_FALSE(EntityEditor::setValueNoThrow(m.part, Include_Conduction_t, Top_t));
    EXPECT_EQ(m.json(), before);
    EXPECT_EQ(m.model->getUndoStack().count(), 0);
    EXPECT_THROW(EntityEditor::setSIValue(m.board, Thickness_t, nan), std::runtime_error);

    // Reading gives the fallback for missing values or values of another kind (values of each
    // kind read back in the model-file round trip).
    EXPECT_NEAR(getDoubleValue(m.board, Thickness_t, Length_t, um_t, -1), 1600, 1e-9);
    EXPECT_DOUBLE_EQ(getStandardDoubleValue(m.board, Name_t, -1), -1);
    EXPECT_EQ(getStringValue(m.part, Board_Side_t), "Top");
    EXPECT_EQ(getTypeValue(m.board, Thickness_t, No_t), No_t);

    // A string written onto a choice becomes the choice of that label; a plain string
    // still answers the choice test.
    EntityEditor::setValue(m.part, Board_Side_t, "Bottom");
    EXPECT_TRUE(hasAttributeSetTo(m.part, Board_Side_t, Bottom_t));
    EntityEditor::setValue(m.board, Is_Tarvex_Extended_t, "Yes");
    EXPECT_TRUE(attributeIsSetTo(m.board, Is_Tarvex_Extended_t, Yes_t));
    EXPECT_FALSE(hasAttributeSetTo(m.board, Is_Tarvex_Extended_t, No_t));
    EXPECT_TRUE(EntityEditor::setValueNoThrow(m.part, Include_Conduction_t, No_t));
    EXPECT_FALSE(EntityEditor::setValueNoThrow(m.part, Include_Conduction_t, QStringLiteral("Maybe")));
    EXPECT_TRUE(hasAttributeSetTo(m.part, Include_Conduction_t, No_t));

    // Owned children come in tree order, and links follow deletion.
    EntityEditor::createEntity(Component_t, m.board, Components_t, nullptr, 0, "U2");
    Entity* first = EntityEditor::createEntity(Component_t, m.board, Components_t, nullptr, 0, "U0", 0);
    EntityEditor::createEntity(Heat_Source_t, m.part, AttributePath("Nested/Heat_Sources"), nullptr, 0, "H1");
    EntityEditor::createEntity(Terminal_t, m.board, AttributePath("Terminals"), nullptr, 0, "T1");

    std::vector<Entity*> all;
    CompositeAttribute::getOwnedChildEntities(m.board, all, true, true);
    EXPECT_EQ(names(all), (std::vector<QString>{"U0", "U1", "H1", "U2", "T1"}));
    EXPECT_EQ(getOwnerPath(all[2]), AttributePath("Nested/Heat_Sources"));
    EXPECT_EQ(names(m.board->getOwnedChildEntitiesOfType(Component_t)), (std::vector<QString>{"U0", "U1", "U2"}));

    EntityEditor::setLinks(m.chassis, AttributePath("Selected"), {first, m.part});
    EXPECT_TRUE(EntityEditor::deleteEntities({m.part, m.board, m.part}));
    EXPECT_EQ(getLinkedEntity(m.chassis, AttributePath("Selected")), nullptr);
    m.model->getUndoStack().undo();
    EXPECT_EQ(getLinkedEntity(m.chassis, AttributePath("Selected")), first);

    EXPECT_EQ(EntityFetcher::getChassis(m.part), m.chassis);
    EXPECT_EQ(EntityFetcher::getSolutionControl(m.part)->getType(), Solution_Control_t);
    EXPECT_EQ(EntityFetcher::getSolutionControl(Model().getRoot()), nullptr);
}

// A composite keeps its children in QString's order whatever order they are put in, finds
// each by its exact label (not one differing in case or length), replaces one put again
// under the same label, and gives back the one taken.
TEST(EntityModel, ChildrenKeepQStringOrderAndAreFoundByTheirExactLabel)
{
    const std::pair<const char*, QStringList> cases[] = {
        {"in order", {"A", "B", "C"}},
        {"reversed", {"C", "B", "A"}},
        {"case apart", {"name", "Name", "NAME", "nAme"}},
        {"one starts another", {"Width_2", "Width", "W", "Wi", ""}},
        {"same length, last character apart", {"X_Lox", "X_Low", "X_Lo_"}},
        {"beyond ASCII and surrogates", {"z", QString::fromUtf8("\xC2\xB5"), QString::fromUtf8("\xF0\x9F\x98\x80"),
                                         QString::fromUtf8("\xEF\xBF\xBD"), "Z"}},
        {"digits and punctuation", {"10", "9", "1_0", "1 0", "1-0"}},
    };
    for (const auto& [name, labels] : cases) {
        SCOPED_TRACE(name);
        CompositeAttribute composite(TypeRef("Holder"));
        for (int i = 0; i < labels.size(); ++i)
            EXPECT_EQ(composite.put(std::make_unique<ValueAttribute>(TypeRef(labels[i]), double(i))), nullptr);
        QStringList sorted = labels;
        std::sort(sorted.begin(), sorted.end());
        QStringList held;
        for (const Attribute* child : composite.children())
            held << child->getType().getLabel();
        EXPECT_EQ(held, sorted);
        for (int i = 0; i < labels.size(); ++i) {
            const auto* value = dynamic_cast<const ValueAttribute*>(composite.child(labels[i]));
            ASSERT_TRUE(value) << labels[i].toStdString();
            EXPECT_EQ(value->getValue().toDouble(), i);
        }
        EXPECT_EQ(composite.child(labels.first() + QStringLiteral("?")), nullptr);
        // Put again: the old one comes back, the new one is found in its place.
        const std::unique_ptr<Attribute> old =
            composite.put(std::make_unique<ValueAttribute>(TypeRef(labels.last()), 99.0));
        ASSERT_TRUE(old);
        EXPECT_EQ(static_cast<const ValueAttribute&>(*old).getValue().toDouble(), labels.size() - 1);
        EXPECT_EQ(static_cast<const ValueAttribute*>(composite.child(labels.last()))->getValue().toDouble(), 99.0);
        const std::unique_ptr<Attribute> taken = composite.take(labels.first());
        ASSERT_TRUE(taken);
        EXPECT_EQ(taken->getType().getLabel(), labels.first());
        EXPECT_EQ(composite.child(labels.first()), nullptr);
        EXPECT_EQ(composite.childCount(), labels.size() - 1);
    }
}
