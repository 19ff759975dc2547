// The difference of two host models: every kind of attribute value, entities added, removed,
// moved and retyped, the order of the report, its JSON form, and layers whose cells a grid
// still holds unmade.
#include <tarvex/host/CellGrid.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/ListAttributeEditor.h>
#include <tarvex/host/ModelFile.h>

#include "ModelDiff.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace EntityModel;

namespace {

// A model whose chassis (#2) holds `entities` (JSON of entities) in its list "Objects".
std::unique_ptr<Model> modelOf(const QByteArray& entities)
{
    QString problem;
    std::unique_ptr<Model> model = ModelFile::fromJson(
        R"({"format": "tarvex-host-model", "formatVersion": 1, "root": {"id": 1, "type": "Project", "attributes": {)"
        R"("Chassis": {"entities": [{"id": 2, "type": "Chassis", "attributes": {"Objects": {"entities": [)" +
            entities + "]}}}]}}}}",
        &problem);
    EXPECT_TRUE(model) << problem.toStdString();
    return model;
}

// The board "Board" (#4) holding `attributes` (JSON members) besides its name.
std::unique_ptr<Model> boardWith(const QByteArray& attributes)
{
    return modelOf(R"({"id": 4, "type": "PCB", "attributes": {"Name": "Board")" +
                   (attributes.isEmpty() ? QByteArray() : ", " + attributes) + "}}");
}

QString textOf(const Model& before, const Model& after) { return ModelDiff(before, after).toText(); }

} // namespace

TEST(ModelDiff, ShowsEachKindOfValueThatChangedWithItsOldAndNewValue)
{
    const struct
    {
        const char* before;
        const char* after;
        QString lines; // below "~ PCB "Board" #4"; none when the models are equal
    } rows[] = {
        {R"("Width": 0.06, "Depth": 0.04)", R"("Depth": 0.04, "Width": 0.06)", ""},
        {R"("Width": 0.06, "Depth": 0.04)", R"("Width": 0.07, "Depth": 0.05)",
         "    Depth: 0.04 -> 0.05\n    Width: 0.06 -> 0.07\n"},
        // A display unit is part of the value; digits past ten only where ten do not differ.
        {R"("Width": {"si": 0.06, "unit": "mm"})", R"("Width": 0.06)", "    Width: 0.06 [mm] -> 0.06\n"},
        {R"("Width": 0.1)", R"("Width": 0.1000000000001)", "    Width: 0.1 -> 0.1000000000001\n"},
        {R"("Width": 0.123456789012)", R"("Width": 0.123456789)", "    Width: 0.123456789012 -> 0.123456789\n"},
        {R"("Model": "A \"x\"")", R"("Model": "B")", "    Model: \"A \\\"x\\\"\" -> \"B\"\n"},
        {R"("Side": {"choice": "Top"})", R"("Side": {"choice": "Bottom"})", "    Side: Top -> Bottom\n"},
        {R"("N": {"int": "3"}, "On": true)", R"("N": {"int": "4"}, "On": false)", "    N: 3 -> 4\n    On: true -> false\n"},
        {R"("MaterialLink": {"links": [2]})", R"("MaterialLink": {"links": [2, 4]})",
         "    MaterialLink: #2 -> #2, #4\n"},
        {R"("Curve": {"curve": [[0, 1], [10, 2.5]]})", R"("Curve": {"curve": [[0, 1]]})",
         "    Curve: 0:1, 10:2.5 -> 0:1\n"},
        {R"("Curve": {"curve": [[0, 1e-13]]})", R"("Curve": {"curve": [[0, 0]]})", "    Curve: 0:1e-13 -> 0:0\n"},
        {R"("Outline": {"list": [1, 2]})", R"("Outline": {"list": [1, 3]})", "    Outline: [1, 2] -> [1, 3]\n"},
        {R"("Note": "x")", "", "    Note: \"x\" -> (none)\n"},
        {"", R"("Placement": {"attributes": {"Angle": 90, "X": 1}})",
         "    Placement/Angle: (none) -> 90\n    Placement/X: (none) -> 1\n"},
        {R"("Placement": {"attributes": {"Angle": 0, "X": 1}})", R"("Placement": {"attributes": {"Angle": 90, "X": 1}})",
         "    Placement/Angle: 0 -> 90\n"},
        {R"("Material": "Copper")", R"("Material": {"attributes": {"Name": "Copper"}})",
         "    Material: \"Copper\" -> (none)\n    Material/Name: (none) -> \"Copper\"\n"},
        {"", R"("Extra": {"attributes": {}})", "    Extra: (none) -> (empty)\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.after);
        const std::unique_ptr<Model> before = boardWith(row.before);
        const std::unique_ptr<Model> after = boardWith(row.after);
        ASSERT_TRUE(before && after);
        const ModelDiff diff(*before, *after);
        EXPECT_EQ(diff.isEmpty(), row.lines.isEmpty());
        EXPECT_EQ(diff.toText(), row.lines.isEmpty() ? QString() : "~ PCB \"Board\" #4\n" + row.lines);
    }
}

TEST(ModelDiff, ListsEntitiesAddedRemovedMovedAndRetypedByIdWithTheSameDocumentAsJson)
{
    // #9 stands before #5 in the board's list; the report is by id all the same.
    const std::unique_ptr<Model> before = modelOf(
        R"({"id": 4, "type": "PCB", "attributes": {"Name": "Board", "Objects": {"entities": [)"
        R"({"id": 9, "type": "Component", "attributes": {"Reference_Designator": "U1"}},)"
        R"({"id": 5, "type": "Component", "attributes": {"Name": "U2", "Parts": {"entities": [)"
        R"({"id": 6, "type": "Solid_Obstruction", "attributes": {"Name": "Body"}}]}}}]}}},)"
        R"({"id": 7, "type": "Block", "attributes": {"Name": "Lid"}})");
    const std::unique_ptr<Model> after = modelOf(
        R"({"id": 4, "type": "PCB", "attributes": {"Name": "Board", "Objects": {"entities": [)"
        R"({"id": 12, "type": "Component", "attributes": {"Name": "U3"}},)"
        R"({"id": 9, "type": "Solid_Obstruction", "attributes": {"Reference_Designator": "U1", "Width": 0.01}},)"
        R"({"id": 7, "type": "Block", "attributes": {"Name": "Lid"}}]}}})");
    ASSERT_TRUE(before && after);
    const ModelDiff diff(*before, *after);
    EXPECT_EQ(diff.toText(), "- Component \"U2\" #5 in PCB \"Board\" #4\n"
                             "- Solid_Obstruction \"Body\" #6 in Component \"U2\" #5\n"
                             "~ Block \"Lid\" #7\n"
                             "    (owner): Objects of Chassis #2 -> Objects of PCB \"Board\" #4\n"
                             "~ Solid_Obstruction \"U1\" #9\n"
                             "    (type): Component -> Solid_Obstruction\n"
                             "    Width: (none) -> 0.01\n"
                             "+ Component \"U3\" #12 in PCB \"Board\" #4\n");
    EXPECT_EQ(QString::fromUtf8(diff.toJson().toJson(QJsonDocument::Compact)),
              QString::fromUtf8(QJsonDocument::fromJson(R"json({"added": 1, "removed": 2, "changed": 2, "entities": [
        {"change": "removed", "id": 5, "type": "Component", "name": "U2", "owner": 4},
        {"change": "removed", "id": 6, "type": "Solid_Obstruction", "name": "Body", "owner": 5},
        {"change": "changed", "id": 7, "type": "Block", "name": "Lid", "owner": 4, "attributes": [
            {"path": "(owner)", "old": "Objects of Chassis #2", "new": "Objects of PCB \"Board\" #4"}]},
        {"change": "changed", "id": 9, "type": "Solid_Obstruction", "name": "U1", "owner": 4, "attributes": [
            {"path": "(type)", "old": "Component", "new": "Solid_Obstruction"},
            {"path": "Width", "old": null, "new": "0.01"}]},
        {"change": "added", "id": 12, "type": "Component", "name": "U3", "owner": 4}]})json")
                                    .toJson(QJsonDocument::Compact)));
}

TEST(ModelDiff, ComparesTheCellsOfAGridMadeOrNotWithoutMakingThem)
{
    const std::unique_ptr<Model> model = Model::createDefault();
    Entity* part = EntityEditor::createEntity(Component_t, EntityFetcher::getChassis(model->getRoot()), Objects_t,
                                              nullptr, 0, "Die");
    const AttributePath cells(QStringLiteral("Layers/0000000000/Tarvex_Layer_Items"));
    auto grid = std::make_shared<CellGrid>(4, 3, Geometry::Vec2(0, 0), Geometry::Vec2(1e-3, 1e-3), mm_t,
                                           Material_Fraction_t, 1);
    for (int k = 0; k < grid->getCount(); ++k)
        grid->listValues(k)[0] = k;
    ASSERT_TRUE(ListAttributeEditor::writeCells(part, cells, grid));
    // One cell made by an edit, the others still held by the grid alone.
    const AttributePath third = cells / AttributePath(TypeRef(ListAttributeEditor::itemLabel(2)));
    EntityEditor::setValue(part, third / AttributePath(Name_t), "renamed");

    // The same cells read from the saved text are all made.
    const std::unique_ptr<Model> saved = ModelFile::fromJson(ModelFile::toJson(*model), nullptr);
    ASSERT_TRUE(saved);
    EXPECT_TRUE(ModelDiff(*model, *saved).isEmpty()) << textOf(*model, *saved).toStdString();
    EXPECT_TRUE(ModelDiff(*saved, *model).isEmpty());
    const auto* items = static_cast<const CompositeAttribute*>(part->findAttribute(cells));
    for (int k : {0, 3, 11})
        EXPECT_TRUE(items->isCellUnmade(k)) << k;

    Entity* copy = saved->findEntity(part->getId());
    EntityEditor::setSIDoubleListValue(copy, cells / AttributePath(TypeRef(ListAttributeEditor::itemLabel(10))) /
                                                 AttributePath(Material_Fraction_t),
                                       {99});
    EntityEditor::setValue(copy, third / AttributePath(Name_t), "again");
    EXPECT_EQ(textOf(*model, *saved), QStringLiteral("~ Component \"Die\" #%1\n"
                                                     "    Layers/0000000000/Tarvex_Layer_Items/0000000002/Name: "
                                                     "\"renamed\" -> \"again\"\n"
                                                     "    Layers/0000000000/Tarvex_Layer_Items/0000000010/"
                                                     "Material_Fraction: [10] -> [99]\n")
                                          .arg(part->getId()));
}
