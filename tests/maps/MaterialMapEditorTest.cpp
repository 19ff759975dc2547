// Material maps written into host layers and read back cell by cell.

#include "MaterialMapTestSupport.h"

#include "host/LibraryManager.h"
#include "maps/MaterialMapEditor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace MaterialMapTest;
using Geometry::Bound2D;
using Geometry::Vec2;
using Kind = Tools::ToolProgress::Kind;
using Tarvex::MaterialMapData;
using Tarvex::MaterialMapEditor;

namespace {

constexpr double mm = 1e-3;

Bound2D box(double x0, double y0, double x1, double y1)
{
    return Bound2D(Vec2(x0, y0), Vec2(x1, y1));
}

// A map layer on [0, 3] x [0, 2] mm, 0.1 mm thick at 0, of 2 rows and 3 columns.
MaterialMapData map2x3(std::vector<double> densities = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6})
{
    MaterialMapData r;
    r.name = "M1";
    r.metal = "Copper";
    r.dielectric = "FR4";
    r.rows = 2;
    r.columns = 3;
    r.metalDensity = std::move(densities);
    r.area = box(0, 0, 3, 2);
    return r;
}

::testing::AssertionResult near(double a, double b)
{
    if (std::abs(a - b) <= 1e-12)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << a << " != " << b;
}

} // namespace

TEST(MaterialMapEditor, AGridBecomesOneCellPerDensity)
{
    HostFixture host;
    CompositeAttribute* layer = host.addLayer("L", 0, 0.1 * mm, {box(0, 0, 3 * mm, 2 * mm)});
    Tools::RecordingProgress progress;
    MaterialMapEditor editor(&progress);
    ASSERT_TRUE(editor.applyDataToLayer(map2x3({0.25, 0.5, 0.75, 1.0, 0.0, 0.125}), layer));
    EXPECT_TRUE(progress.entries().empty());

    const std::vector<Cell> cells = cellsOf(layer);
    ASSERT_EQ(cells.size(), 6u);
    const QStringList names{"0_0", "1_0", "2_0", "0_1", "1_1", "2_1"};
    const double metal[] = {25, 50, 75, 100, 0, 12.5};
    for (int k = 0; k < 6; ++k) {
        const Cell& cell = cells[size_t(k)];
        EXPECT_EQ(cell.name, names[k]);
        EXPECT_TRUE(cell.active);
        EXPECT_EQ(cell.shape, "Rectangle");
        EXPECT_TRUE(near(cell.x, (k % 3) * mm)) << k;
        EXPECT_TRUE(near(cell.z, (k / 3) * mm)) << k;
        EXPECT_TRUE(near(cell.width, mm));
        EXPECT_TRUE(near(cell.depth, mm));
        EXPECT_EQ(cell.unit, "mm");
        ASSERT_EQ(cell.outline.size(), 8);
        const double corners[] = {0, 0, mm, 0, mm, mm, 0, mm};
        for (int i = 0; i < 8; ++i)
            EXPECT_TRUE(near(cell.outline[i], corners[i])) << k << " " << i;
        EXPECT_EQ(cell.fractions, (QVector<double>{metal[k], 100 - metal[k]})) << k;
    }
    EXPECT_EQ(materialsOf(host.component, layer), (QStringList{"Copper", "FR4"}));

    // Without unit updates the lengths stay in SI.
    editor.setUpdateUnits(false);
    HostFixture plain;
    CompositeAttribute* other = plain.addLayer("L", 0, 0.1 * mm, {box(0, 0, 3 * mm, 2 * mm)});
    ASSERT_TRUE(editor.applyDataToLayer(map2x3(), other));
    EXPECT_EQ(cellsOf(other).front().unit, "");
}

TEST(MaterialMapEditor, FractionsFollowTheMaterialsNamed)
{
    struct Case
    {
        std::string metal;
        std::string dielectric;
        double density;
        QVector<double> fractions;
        QStringList materials;
        QStringList warnings;
    };
    const QString noMetal = "Material layer has a non zero metal density, without a a metal specified";
    const QString noDielectric = "Material layer has a non zero dielectric density, without a dielectric specified";
    const Case cases[] = {
        {"Cu", "FR4", 0.25, {25, 75}, {"Cu", "FR4"}, {}},
        {"", "FR4", 0.25, {75}, {"FR4"}, {noMetal}},
        {"", "FR4", 0.0, {100}, {"FR4"}, {}},
        {"Cu", "", 0.25, {25}, {"Cu"}, {noDielectric}},
        {"Cu", "", 1.0, {100}, {"Cu"}, {}},
        {"", "", 0.5, {}, {}, {noMetal, noDielectric}},
        {"Cu", "Cu", 0.25, {25, 75}, {"Cu", "Cu"}, {}},
    };
    for (const Case& c : cases) {
        HostFixture host;
        CompositeAttribute* layer = host.addLayer("L", 0, 0.1 * mm, {box(0, 0, 3 * mm, 2 * mm)});
        MaterialMapData r = map2x3(std::vector<double>(6, c.density));
        r.metal = c.metal;
        r.dielectric = c.dielectric;
        Tools::RecordingProgress progress;
        MaterialMapEditor editor(&progress);
        ASSERT_TRUE(editor.applyDataToLayer(r, layer));
        for (const Cell& cell : cellsOf(layer))
            EXPECT_EQ(cell.fractions, c.fractions) << c.metal << "/" << c.dielectric;
        EXPECT_EQ(materialsOf(host.component, layer), c.materials);
        // Told once per layer, not once per cell.
        EXPECT_EQ(progress.texts(Kind::Warning), c.warnings) << c.metal << "/" << c.dielectric;
    }
}

TEST(MaterialMapEditor, TheLayersMaterialListBecomesMetalThenDielectric)
{
    HostFixture host;
    CompositeAttribute* layer = host.addLayer("L", 0, 0.1 * mm, {box(0, 0, 3 * mm, 2 * mm)});
    Entity* root = host.model->getRoot();
    Entity* fr4 = EntityEditor::createEntity(Material_t, root, Materials_t, nullptr, 0, "FR4");
    Entity* copper = EntityEditor::createEntity(Material_t, root, Materials_t, nullptr, 0, "Copper");
    Entity* extra = EntityEditor::createEntity(Material_t, root, Materials_t, nullptr, 0, "Extra");
    const AttributePath links = ListAttributeEditor::getPathInOwner(layer) / Materials_t;
    MaterialMapEditor editor;

    const std::vector<std::vector<Entity*>> before{{}, {fr4}, {fr4, copper}, {copper, fr4}, {copper, fr4, extra}};
    for (const std::vector<Entity*>& list : before) {
        ASSERT_TRUE(EntityEditor::setLinksNoThrow(host.component, links, list));
        ASSERT_TRUE(editor.applyDataToLayer(map2x3(), layer));
        EXPECT_EQ(getLinkedEntities(host.component, links), (std::vector<Entity*>{copper, fr4})) << list.size();
    }
    // The materials the model has are used, not made again.
    EXPECT_EQ(static_cast<const EntityListAttribute*>(root->findAttribute(Materials_t))->count(), 3);
}

TEST(MaterialMapEditor, MaterialsMissingFromTheModelComeFromTheLibrary)
{
    Model source;
    Entity* copper = EntityEditor::createEntity(Material_t, source.getRoot(), Materials_t, nullptr, 0, "Copper");
    ASSERT_TRUE(EntityEditor::setSIValueNoThrow(copper, Conductivity_t / Value_t, 385.0));
    LibraryManager manager;
    Entity* library = manager.createLibraryByLibraryPath("Norvane Material Library");
    ASSERT_TRUE(manager.setLibraryReadOnly(library, false));
    ASSERT_TRUE(manager.saveToLibrary(library, copper));

    HostFixture host;
    CompositeAttribute* layer = host.addLayer("L", 0, 0.1 * mm, {box(0, 0, 3 * mm, 2 * mm)});
    MaterialMapEditor editor;
    editor.setLibraryManager(&manager);
    ASSERT_TRUE(editor.applyDataToLayer(map2x3(), layer));
    const std::vector<Entity*> materials =
        getLinkedEntities(host.component, ListAttributeEditor::getPathInOwner(layer) / Materials_t);
    ASSERT_EQ(materials.size(), 2u);
    EXPECT_EQ(getStandardDoubleValue(materials[0], Conductivity_t / Value_t, -1), 385.0);
    EXPECT_EQ(getStandardDoubleValue(materials[1], Conductivity_t / Value_t, -1), -1); // no FR4 in the library
}

TEST(MaterialMapEditor, MapsThatDoNotFitAreRefusedUnlessTheLayerIsResized)
{
    struct Case
    {
        const char* what;
        Bound2D area;
        double upPos;
        bool emptyLayer;
    };
    const Case cases[] = {
        {"an area larger than the layer", box(0, 0, 4, 2), 0, false},
        {"an area beside the layer", box(1, 1, 4, 3), 0, false},
        {"a layer above the host layer", box(0, 0, 3, 2), 0.1, false},
        {"a layer without items", box(0, 0, 3, 2), 0, true},
    };
    for (const Case& c : cases) {
        HostFixture host;
        CompositeAttribute* layer = host.addLayer(
            "L", 0, 0.1 * mm, c.emptyLayer ? std::vector<Bound2D>{} : std::vector<Bound2D>{box(0, 0, 3 * mm, 2 * mm)});
        MaterialMapData r = map2x3();
        r.area = c.area;
        r.upPos = c.upPos;
        const QByteArray before = host.json();
        Tools::RecordingProgress progress;
        MaterialMapEditor editor(&progress);
        EXPECT_FALSE(editor.applyDataToLayer(r, layer)) << c.what;
        EXPECT_EQ(progress.texts(Kind::Warning),
                  QStringList{"Import file contains blocks that are not contained by the layer."})
            << c.what;
        EXPECT_EQ(host.json(), before) << c.what;

        editor.setResizeOwner(true);
        ASSERT_TRUE(editor.applyDataToLayer(r, layer)) << c.what;
        EXPECT_EQ(textOf(layer, Name_t), "M1");
        EXPECT_TRUE(near(numberOf(layer, Y_Location_t), c.upPos * mm)) << c.what;
        EXPECT_TRUE(near(numberOf(layer, Thickness_t), 0.1 * mm)) << c.what;
        const std::vector<Cell> cells = cellsOf(layer);
        ASSERT_EQ(cells.size(), 6u);
        EXPECT_TRUE(near(cells[5].width, c.area.getSize().x / 3 * mm)) << c.what;
        EXPECT_TRUE(near(cells[5].depth, c.area.getSize().y / 2 * mm)) << c.what;
    }
}

TEST(MaterialMapEditor, CellsAreClippedByThePolygonalOutlineOfTheLayer)
{
    // An L: [0, 3] x [0, 1] and [0, 1] x [1, 3] mm, as two rectangle items or one polygon item.
    const std::vector<double> corners{0, 0, 3, 0, 3, 1, 1, 1, 1, 3, 0, 3};
    MaterialMapData r = map2x3(std::vector<double>(4, 0.5));
    r.rows = 2;
    r.columns = 2;
    r.area = box(0, 0, 3, 3);

    for (const TypeRef& shape : {Rectangle_t, Polygon_t}) {
        HostFixture host(3 * mm, 3 * mm, 0.1 * mm, shape);
        CompositeAttribute* layer = nullptr;
        if (shape == Rectangle_t) {
            layer = host.addLayer("L", 0, 0.1 * mm, {box(0, 0, 3 * mm, 1 * mm), box(0, 1 * mm, 1 * mm, 3 * mm)});
        } else {
            layer = host.addLayer("L", 0, 0.1 * mm, {box(0, 0, 3 * mm, 3 * mm)});
            QVector<double> outline;
            for (double value : corners)
                outline << value * mm;
            const AttributePath item = ListAttributeEditor::getPathInOwner(layer) / Tarvex_Layer_Items_t /
                                       AttributePath(TypeRef(ListAttributeEditor::itemLabel(0)));
            ASSERT_TRUE(EntityEditor::setSIDoubleListValueNoThrow(host.component, item / Outline_t, outline));
        }
        Tools::RecordingProgress progress;
        MaterialMapEditor editor(&progress);
        ASSERT_TRUE(editor.applyDataToLayer(r, layer)) << shape.getLabel().toStdString();
        const std::vector<Cell> cells = cellsOf(layer);
        ASSERT_EQ(cells.size(), 4u);

        // The cell at the inner corner holds an L of its own.
        const Cell& corner = cells[0];
        EXPECT_TRUE(corner.active);
        EXPECT_TRUE(near(corner.width, 1.5 * mm));
        EXPECT_TRUE(near(corner.depth, 1.5 * mm));
        if (shape == Rectangle_t) {
            EXPECT_EQ(corner.shape, "Rectangle");
            EXPECT_EQ(corner.outline.size(), 8);
            EXPECT_EQ(progress.texts(Kind::FatalError), QStringList{"Approximating cell geometry to rectangle"});
        } else {
            EXPECT_EQ(corner.shape, "Polygon");
            std::set<std::pair<long, long>> points;
            for (int i = 0; i + 1 < corner.outline.size(); i += 2)
                points.insert({std::lround(corner.outline[i] / mm * 10), std::lround(corner.outline[i + 1] / mm * 10)});
            EXPECT_EQ(points, (std::set<std::pair<long, long>>{{0, 0}, {15, 0}, {15, 10}, {10, 10}, {10, 15}, {0, 15}}));
            EXPECT_TRUE(progress.texts(Kind::FatalError).isEmpty());
        }
        // The cells beside the corner keep their part of the outline; the far one lies outside it.
        EXPECT_TRUE(cells[1].active);
        EXPECT_EQ(cells[1].shape, "Rectangle");
        EXPECT_TRUE(near(cells[1].x, 1.5 * mm));
        EXPECT_TRUE(near(cells[1].depth, 1 * mm));
        EXPECT_TRUE(cells[2].active);
        EXPECT_TRUE(near(cells[2].width, 1 * mm));
        EXPECT_TRUE(near(cells[2].z, 1.5 * mm));
        EXPECT_FALSE(cells[3].active);
        EXPECT_TRUE(near(cells[3].x, 1.5 * mm));
        EXPECT_TRUE(near(cells[3].width, 1.5 * mm));
        EXPECT_EQ(cells[3].fractions, (QVector<double>{50, 50}));
    }
}

TEST(MaterialMapEditor, ReapplyingAMapToACuboidGivesTheSameCells)
{
    HostFixture host(3 * mm, 2 * mm, 0.1 * mm, Cuboid_t);
    CompositeAttribute* layer = host.addLayer("L", 0, 0.1 * mm, {box(0, 0, 3 * mm, 2 * mm)});
    MaterialMapEditor editor;
    ASSERT_TRUE(editor.applyDataToLayer(map2x3(), layer));
    const QByteArray once = host.json();
    // The layer's outline is now the union of its six cells.
    ASSERT_TRUE(editor.applyDataToLayer(map2x3(), layer));
    EXPECT_EQ(host.json(), once);
    // A map on half the layer cuts the layer's cells down to it.
    MaterialMapData half = map2x3();
    half.area = box(0, 0, 1.5, 2);
    ASSERT_TRUE(editor.applyDataToLayer(half, layer));
    const std::vector<Cell> cells = cellsOf(layer);
    EXPECT_TRUE(near(cells[2].x, 1 * mm));
    EXPECT_TRUE(near(cells[2].width, 0.5 * mm));
}

TEST(MaterialMapEditor, AnEntityGetsOneLayerPerRecord)
{
    HostFixture host;
    host.addLayer("old", 0, 0.1 * mm, {box(0, 0, 3 * mm, 2 * mm)});
    std::vector<MaterialMapData> records{map2x3(), map2x3({1, 1, 1, 0, 0, 0})};
    records[1].name = "M2";
    records[1].upPos = 0.1;
    records[1].thickness = 0.05;
    records[1].area = box(0, 0, 4, 2);

    Tools::RecordingProgress progress;
    MaterialMapEditor editor(&progress);
    const QByteArray before = host.json();
    EXPECT_FALSE(editor.applyDataToEntity(records, host.component));
    EXPECT_EQ(progress.texts(Kind::Warning),
              QStringList{"Import file contains blocks that are not contained by parent component."});
    EXPECT_EQ(host.json(), before);

    editor.setResizeOwner(true);
    ASSERT_TRUE(editor.applyDataToEntity(records, host.component));
    EXPECT_TRUE(near(getStandardDoubleValue(host.component, Width_t, 0), 4 * mm));
    EXPECT_TRUE(near(getStandardDoubleValue(host.component, Depth_t, 0), 2 * mm));
    EXPECT_TRUE(near(getStandardDoubleValue(host.component, Height_t, 0), 0.15 * mm));
    ASSERT_EQ(ListAttributeEditor::getItemCount(host.component, MaterialMapEditor::layersPath()), 2);
    EXPECT_EQ(textOf(host.layer(0), Name_t), "M1");
    EXPECT_EQ(textOf(host.layer(1), Name_t), "M2");
    EXPECT_TRUE(near(numberOf(host.layer(1), Y_Location_t), 0.1 * mm));
    EXPECT_EQ(cellsOf(host.layer(1))[0].fractions, (QVector<double>{100, 0}));
    EXPECT_TRUE(near(cellsOf(host.layer(1))[2].x, 8.0 / 3 * mm));

    // Fewer records, fewer layers.
    records.pop_back();
    ASSERT_TRUE(editor.applyDataToEntity(records, host.component));
    EXPECT_EQ(ListAttributeEditor::getItemCount(host.component, MaterialMapEditor::layersPath()), 1);

    std::vector<MaterialMapData> none;
    EXPECT_FALSE(editor.applyDataToEntity(none, host.component));
    EXPECT_EQ(ListAttributeEditor::getItemCount(host.component, MaterialMapEditor::layersPath()), 1);
    EXPECT_TRUE(progress.texts(Kind::FatalError).contains("Material Map Has No Layers"));
}

TEST(MaterialMapEditor, OneUndoStepTakesAnApplicationBack)
{
    HostFixture host;
    CompositeAttribute* layer = host.addLayer("L", 0, 0.1 * mm, {box(0, 0, 3 * mm, 2 * mm)});
    const QByteArray before = host.json();
    MaterialMapEditor editor;
    ASSERT_TRUE(editor.applyDataToLayer(map2x3(), layer));
    const QByteArray after = host.json();
    UndoStack& stack = host.model->getUndoStack();
    EXPECT_EQ(stack.count(), 1);
    EXPECT_EQ(stack.undoText(), "Import Material Map");
    ASSERT_TRUE(stack.undo());
    EXPECT_EQ(host.json(), before);
    ASSERT_TRUE(stack.redo());
    EXPECT_EQ(host.json(), after);

    // A failure inside an outer step is left to that step.
    MaterialMapData tooLarge = map2x3();
    tooLarge.area = box(0, 0, 30, 2);
    stack.beginStep("Outer");
    EXPECT_FALSE(editor.applyDataToLayer(tooLarge, host.layer(0)));
    stack.endStep();
    EXPECT_EQ(host.json(), after);
}

TEST(MaterialMapEditor, ItemListsGrowShrinkAndUndo)
{
    HostFixture host;
    const AttributePath list(QStringLiteral("Things"));
    ASSERT_TRUE(ListAttributeEditor::setItemCount(host.component, list, 3));
    ASSERT_TRUE(EntityEditor::setValueNoThrow(host.component, list / AttributePath(TypeRef("0000000002")) / Name_t, "c"));
    ASSERT_TRUE(ListAttributeEditor::setItemCount(host.component, list, 12));
    EXPECT_EQ(ListAttributeEditor::getItems(host.component, list).back()->getType().getLabel(), "0000000011");
    ASSERT_TRUE(ListAttributeEditor::setItemCount(host.component, list, 2));
    EXPECT_EQ(ListAttributeEditor::getItemCount(host.component, list), 2);
    UndoStack& stack = host.model->getUndoStack();
    ASSERT_TRUE(stack.undo());
    EXPECT_EQ(ListAttributeEditor::getItemCount(host.component, list), 12);
    EXPECT_EQ(textOf(ListAttributeEditor::getItems(host.component, list)[2], Name_t), "c");
    EXPECT_FALSE(ListAttributeEditor::setItemCount(host.component, list, -1));
    EXPECT_FALSE(ListAttributeEditor::setItemCount(host.component, Name_t, 1));
    // Items that are not labelled by their position cannot be counted on.
    ASSERT_TRUE(EntityEditor::setValueNoThrow(host.component, AttributePath(QStringLiteral("Odd/first/x")), 1));
    EXPECT_FALSE(ListAttributeEditor::setItemCount(host.component, AttributePath(QStringLiteral("Odd")), 3));
}

TEST(MaterialMapEditor, CellsWrittenInOneEditEqualCellsWrittenOneByOne)
{
    // A layer whose first cell carries a note of its own cannot be replaced whole: its cells
    // are written one by one, and must come out as those written in one edit.
    const auto sameCells = [](const std::vector<Cell>& a, const std::vector<Cell>& b) {
        if (a.size() != b.size())
            return ::testing::AssertionFailure() << a.size() << " cells against " << b.size();
        for (size_t k = 0; k < a.size(); ++k) {
            const bool same = a[k].name == b[k].name && a[k].active == b[k].active && a[k].shape == b[k].shape &&
                              a[k].x == b[k].x && a[k].z == b[k].z && a[k].width == b[k].width &&
                              a[k].depth == b[k].depth && a[k].outline == b[k].outline &&
                              a[k].fractions == b[k].fractions && a[k].unit == b[k].unit;
            if (!same)
                return ::testing::AssertionFailure() << "cell " << k << " differs";
        }
        return ::testing::AssertionSuccess();
    };
        struct Case
    {
        const char* what;
        TypeRef shape;
        std::vector<Bound2D> items;
        bool updateUnits;
        Bound2D area;
    };
    const Case cases[] = {
        {"plain layer", TypeRef(), {box(0, 0, 3 * mm, 2 * mm)}, true, box(0, 0, 3, 2)},
        {"lengths left in SI", TypeRef(), {box(0, 0, 3 * mm, 2 * mm)}, false, box(0, 0, 3, 2)},
        {"rectangles covering an L", Rectangle_t, {box(0, 0, 3 * mm, 1 * mm), box(0, 1 * mm, 1 * mm, 3 * mm)}, true,
         box(0, 0, 3, 3)},
        {"cuboid larger than the map", Cuboid_t, {box(0, 0, 4 * mm, 3 * mm)}, true, box(0.5, 0, 3.5, 3)},
    };
    for (const Case& c : cases) {
        MaterialMapData r = map2x3({0.1, 0.2, 0.3, 0.4, 0.5, 0.6});
        r.area = c.area;
        HostFixture oneEdit(4 * mm, 3 * mm, 0.1 * mm, c.shape);
        HostFixture oneByOne(4 * mm, 3 * mm, 0.1 * mm, c.shape);
        CompositeAttribute* fast = oneEdit.addLayer("L", 0, 0.1 * mm, c.items);
        CompositeAttribute* slow = oneByOne.addLayer("L", 0, 0.1 * mm, c.items);
        const AttributePath note = ListAttributeEditor::getPathInOwner(slow) / Tarvex_Layer_Items_t /
                                   AttributePath(TypeRef(ListAttributeEditor::itemLabel(0))) / AttributePath(TypeRef("Note"));
        ASSERT_TRUE(EntityEditor::setValueNoThrow(oneByOne.component, note, QStringLiteral("kept")));
        oneByOne.model->getUndoStack().clear();
        const QByteArray before = oneByOne.json();

        MaterialMapEditor editor;
        editor.setUpdateUnits(c.updateUnits);
        ASSERT_TRUE(editor.applyDataToLayer(r, fast)) << c.what;
        ASSERT_TRUE(editor.applyDataToLayer(r, slow)) << c.what;
        EXPECT_TRUE(sameCells(cellsOf(fast), cellsOf(slow))) << c.what;
        EXPECT_EQ(getStringValue(oneByOne.component, note), "kept") << c.what;
        // Only the layer that could be replaced whole holds its cells as one grid.
        const auto* fastItems = static_cast<const CompositeAttribute*>(childOf(fast, Tarvex_Layer_Items_t));
        const auto* slowItems = static_cast<const CompositeAttribute*>(childOf(slow, Tarvex_Layer_Items_t));
        EXPECT_NE(fastItems->getCellGrid(), nullptr) << c.what;
        EXPECT_EQ(slowItems->getCellGrid(), nullptr) << c.what;

        ASSERT_TRUE(oneByOne.model->getUndoStack().undo());
        EXPECT_EQ(oneByOne.json(), before) << c.what;
    }
}
