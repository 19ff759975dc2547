// Material maps written into host layers and read back cell by cell.

#include "MaterialMapTestSupport.h"

#include <tarvex/host/LibraryManager.h>
#include <tarvex/maps/MaterialMapEditor.h>

#include <gtest/gtest.h>


using namespace MaterialMapTest;
using Tarvex::MaterialMapEditor;

namespace {

Bound2D box(double x0, double y0, double x1, double y1) { return Bound2D(Vec2(x0, y0), Vec2(x1, y1)); }

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

bool near(double a, double b) { return std::abs(a - b) <= 1e-12; }

} // namespace

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
        {"", "FR4", 0.25, {75}, {"FR4"}, {noMetal}},
        {"", "FR4", 0.0, {100}, {"FR4"}, {}},
        {"Cu", "", 0.25, {25}, {"Cu"}, {noDielectric}},
        {"", "", 0.5, {}, {}, {noMetal, noDielectric}},
        {"Cu", "Cu", 0.25, {25, 75}, {"Cu", "Cu"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.metal + "/" + c.dielectric);
        HostFixture host;
        CompositeAttribute* layer = host.addLayer("L", 0, 0.1 * mm, {box(0, 0, 3 * mm, 2 * mm)});
        MaterialMapData r = map2x3(std::vector<double>(6, c.density));
        r.metal = c.metal;
        r.dielectric = c.dielectric;
        Tools::RecordingProgress progress;
        ASSERT_TRUE(MaterialMapEditor(&progress).applyDataToLayer(r, layer));
        for (const Cell& cell : cellsOf(layer))
            EXPECT_EQ(cell.fractions, c.fractions);
        EXPECT_EQ(materialsOf(host.component, layer), c.materials);
        // Told once per layer, not once per cell.
        EXPECT_EQ(progress.texts(Kind::Warning), c.warnings);
    }
}

TEST(MaterialMapEditor, TheLayersMaterialsAreMetalThenDielectricFromTheModelOrTheLibrary)
{
    Model source;
    Entity* libraryCopper = EntityEditor::createEntity(Material_t, source.getRoot(), Materials_t, nullptr, 0, "Copper");
    ASSERT_TRUE(EntityEditor::setSIValueNoThrow(libraryCopper, Conductivity_t / Value_t, 385.0));
    LibraryManager manager;
    Entity* library = manager.createLibraryByLibraryPath("Norvane Material Library");
    ASSERT_TRUE(manager.setLibraryReadOnly(library, false));
    ASSERT_TRUE(manager.saveToLibrary(library, libraryCopper));

    HostFixture host;
    CompositeAttribute* layer = host.addLayer("L", 0, 0.1 * mm, {box(0, 0, 3 * mm, 2 * mm)});
    Entity* root = host.model->getRoot();
    Entity* fr4 = EntityEditor::createEntity(Material_t, root, Materials_t, nullptr, 0, "FR4");
    Entity* extra = EntityEditor::createEntity(Material_t, root, Materials_t, nullptr, 0, "Extra");
    const AttributePath links = ListAttributeEditor::getPathInOwner(layer) / Materials_t;
    MaterialMapEditor editor;
    editor.setLibraryManager(&manager);
    ASSERT_TRUE(editor.applyDataToLayer(map2x3(), layer));
    const std::vector<Entity*> linked = getLinkedEntities(host.component, links);
    ASSERT_EQ(linked.size(), 2u);
    EXPECT_EQ(linked[1], fr4);
    EXPECT_EQ(getStandardDoubleValue(linked[0], Conductivity_t / Value_t, -1), 385.0); // the library's copper

    Entity* copper = linked[0];
    for (const std::vector<Entity*>& list : {std::vector<Entity*>{fr4}, {fr4, copper}, {copper, fr4, extra}}) {
        ASSERT_TRUE(EntityEditor::setLinksNoThrow(host.component, links, list));
        ASSERT_TRUE(editor.applyDataToLayer(map2x3(), layer));
        EXPECT_EQ(getLinkedEntities(host.component, links), (std::vector<Entity*>{copper, fr4})) << list.size();
    }
    // The materials the model has are used, not made again.
    EXPECT_EQ(static_cast<const EntityListAttribute*>(root->findAttribute(Materials_t))->count(), 3);
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
        {"a layer above the host layer", box(0, 0, 3, 2), 0.1, false},
        {"a layer without items", box(0, 0, 3, 2), 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HostFixture host;
        CompositeAttribute* layer = host.addLayer(
            "L", 0, 0.1 * mm, c.emptyLayer ? std::vector<Bound2D>{} : std::vector<Bound2D>{box(0, 0, 3 * mm, 2 * mm)});
        MaterialMapData r = map2x3();
        r.area = c.area;
        r.upPos = c.upPos;
        const QByteArray before = host.json();
        Tools::RecordingProgress progress;
        MaterialMapEditor editor(&progress);
        EXPECT_FALSE(editor.applyDataToLayer(r, layer));
        EXPECT_EQ(progress.texts(Kind::Warning),
                  QStringList{"Import file contains blocks that are not contained by the layer."});
        EXPECT_EQ(host.json(), before);

        editor.setResizeOwner(true);
        ASSERT_TRUE(editor.applyDataToLayer(r, layer));
        EXPECT_TRUE(near(numberOf(layer, Y_Location_t), c.upPos * mm));
        const std::vector<Cell> cells = cellsOf(layer);
        ASSERT_EQ(cells.size(), 6u);
        EXPECT_TRUE(near(cells[5].width, c.area.getSize().x / 3 * mm));
    }
}

TEST(MaterialMapEditor, CellsAreClippedByThePolygonalOutlineOfTheLayer)
{
    // An L: [0, 3] x [0, 1] and [0, 1] x [1, 3] mm, as two rectangle items or one polygon item.
    MaterialMapData r = map2x3(std::vector<double>(4, 0.5));
    r.rows = 2;
    r.columns = 2;
    r.area = box(0, 0, 3, 3);
    for (const TypeRef& shape : {Rectangle_t, Polygon_t}) {
        SCOPED_TRACE(shape.getLabel().toStdString());
        HostFixture host(3 * mm, 3 * mm, 0.1 * mm, shape);
        const bool rectangles = shape == Rectangle_t;
        CompositeAttribute* layer = nullptr;
        if (rectangles) {
            layer = host.addLayer("L", 0, 0.1 * mm, {box(0, 0, 3 * mm, 1 * mm), box(0, 1 * mm, 1 * mm, 3 * mm)});
        } else {
            layer = host.addLayer("L", 0, 0.1 * mm, {box(0, 0, 3 * mm, 3 * mm)});
            const AttributePath item = ListAttributeEditor::getPathInOwner(layer) / Tarvex_Layer_Items_t /
                                       AttributePath(TypeRef(ListAttributeEditor::itemLabel(0)));
            const QVector<double> outline{0, 0, 3 * mm, 0, 3 * mm, mm, mm, mm, mm, 3 * mm, 0, 3 * mm};
            ASSERT_TRUE(EntityEditor::setSIDoubleListValueNoThrow(host.component, item / Outline_t, outline));
        }
        Tools::RecordingProgress progress;
        ASSERT_TRUE(MaterialMapEditor(&progress).applyDataToLayer(r, layer));
        // The cell at the inner corner holds an L of its own; rectangle items can only give
        // its bound, and say so. The cells beside it keep their part of the outline; the far
        // one lies outside it.
        EXPECT_EQ(describe(cellsOf(layer)),
                  (std::vector<std::string>{
                      rectangles ? "0_0 on Rectangle 0,0 1.5x1.5 (0 0 1.5 0 1.5 1.5 0 1.5) 50/50 mm"
                                 : "0_0 on Polygon 0,0 1.5x1.5 (0 0 0 1.5 1 1.5 1 1 1.5 1 1.5 0) 50/50 mm",
                      "1_0 on Rectangle 1.5,0 1.5x1 (0 0 1.5 0 1.5 1 0 1) 50/50 mm",
                      "0_1 on Rectangle 0,1.5 1x1.5 (0 0 1 0 1 1.5 0 1.5) 50/50 mm",
                      "1_1 off Rectangle 1.5,1.5 1.5x1.5 (0 0 1.5 0 1.5 1.5 0 1.5) 50/50 mm"}));
        EXPECT_EQ(progress.texts(Kind::FatalError),
                  rectangles ? QStringList{"Approximating cell geometry to rectangle"} : QStringList());
        EXPECT_EQ(progress.entries().size(), rectangles ? 1u : 0u);
    }
}

TEST(MaterialMapEditor, AnEntityGetsOneLayerPerRecordInOneUndoStep)
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
    EXPECT_TRUE(near(getStandardDoubleValue(host.component, Height_t, 0), 0.15 * mm));
    ASSERT_EQ(ListAttributeEditor::getItemCount(host.component, MaterialMapEditor::layersPath()), 2);
    EXPECT_EQ(textOf(host.layer(1), Name_t), "M2");
    EXPECT_TRUE(near(numberOf(host.layer(1), Y_Location_t), 0.1 * mm));
    EXPECT_EQ(cellsOf(host.layer(1))[0].fractions, (QVector<double>{100, 0}));
    EXPECT_TRUE(near(cellsOf(host.layer(1))[2].x, 8.0 / 3 * mm));
    const QByteArray after = host.json();
    UndoStack& stack = host.model->getUndoStack();
    EXPECT_EQ(stack.undoText(), "Import Material Map");
    ASSERT_TRUE(stack.undo());
    EXPECT_EQ(host.json(), before);
    ASSERT_TRUE(stack.redo());
    EXPECT_EQ(host.json(), after);

    // Fewer records, fewer layers; none is refused.
    records.pop_back();
    ASSERT_TRUE(editor.applyDataToEntity(records, host.component));
    EXPECT_EQ(ListAttributeEditor::getItemCount(host.component, MaterialMapEditor::layersPath()), 1);
    records.clear();
    EXPECT_FALSE(editor.applyDataToEntity(records, host.component));
    EXPECT_EQ(ListAttributeEditor::getItemCount(host.component, MaterialMapEditor::layersPath()), 1);
    EXPECT_EQ(progress.texts(Kind::FatalError), QStringList{"Material Map Has No Layers"});

    // A failure inside an outer step is left to that step.
    MaterialMapData tooLarge = map2x3();
    tooLarge.area = box(0, 0, 30, 2);
    const QByteArray applied = host.json();
    stack.beginStep("Outer");
    EXPECT_FALSE(MaterialMapEditor().applyDataToLayer(tooLarge, host.layer(0)));
    stack.endStep();
    EXPECT_EQ(host.json(), applied);
}

TEST(MaterialMapEditor, CellsWrittenInOneEditEqualCellsWrittenOneByOne)
{
    // A layer whose first cell carries a note of its own cannot be replaced whole: its cells
    // are written one by one, and must come out as those written in one edit.
    struct Case
    {
        const char* what;
        TypeRef shape;
        std::vector<Bound2D> items;
        bool updateUnits;
        Bound2D area;
    };
    const Case cases[] = {
        {"rectangles covering an L, lengths left in SI", Rectangle_t,
         {box(0, 0, 3 * mm, 1 * mm), box(0, 1 * mm, 1 * mm, 3 * mm)}, false, box(0, 0, 3, 3)},
        {"cuboid larger than the map", Cuboid_t, {box(0, 0, 4 * mm, 3 * mm)}, true, box(0.5, 0, 3.5, 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MaterialMapData r = map2x3();
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
        ASSERT_TRUE(editor.applyDataToLayer(r, fast));
        ASSERT_TRUE(editor.applyDataToLayer(r, slow));
        EXPECT_EQ(describe(cellsOf(fast)), describe(cellsOf(slow)));
        EXPECT_EQ(cellsOf(fast).front().unit, c.updateUnits ? "mm" : "");
        EXPECT_EQ(getStringValue(oneByOne.component, note), "kept");
        // Only the layer that could be replaced whole holds its cells as one grid.
        EXPECT_NE(static_cast<const CompositeAttribute*>(childOf(fast, Tarvex_Layer_Items_t))->getCellGrid(), nullptr);
        EXPECT_EQ(static_cast<const CompositeAttribute*>(childOf(slow, Tarvex_Layer_Items_t))->getCellGrid(), nullptr);
        ASSERT_TRUE(oneByOne.model->getUndoStack().undo());
        EXPECT_EQ(oneByOne.json(), before);
    }
}
