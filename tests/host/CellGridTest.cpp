// Cell grids written into an item list in one edit, compared with the same cells written
// attribute by attribute.

#include <tarvex/host/CellGrid.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/ListAttributeEditor.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/ModelFile.h>
#include <tarvex/host/UndoStackOpener.h>

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

using namespace EntityModel;
using Geometry::Bound2D;
using Geometry::Vec2;

namespace {

AttributePath cellsPath() { return AttributePath(QStringLiteral("Layers/0000000000/Tarvex_Layer_Items")); }

AttributePath itemPath(int index, const TypeRef& label)
{
    return cellsPath() / AttributePath(TypeRef(ListAttributeEditor::itemLabel(index))) / AttributePath(label);
}

struct Host
{
    std::unique_ptr<Model> model = Model::createDefault();
    Entity* part = EntityEditor::createEntity(Component_t, EntityFetcher::getChassis(model->getRoot()),
                                              Objects_t, nullptr, 0, "Die");
    Host()
    {
        EntityEditor::setValue(part, AttributePath(QStringLiteral("Layers/0000000000/Name")), "L");
        model->getUndoStack().clear();
    }
    QByteArray json() const { return ModelFile::toJson(*model); }
};

// 3 columns by 2 rows of 1 x 0.5 mm from (0.5, 0) mm with two values per cell, one cell
// left out of the outline, one cut to a smaller rectangle and one cut to an L.
std::shared_ptr<CellGrid> sampleGrid(const std::optional<TypeRef>& unit, int width)
{
    auto grid = std::make_shared<CellGrid>(3, 2, Vec2(0.5e-3, 0.0), Vec2(1e-3, 0.5e-3), unit, Material_Fraction_t, width);
    for (int k = 0; k < grid->getCount() * width; ++k)
        grid->listValues(k / width)[k % width] = k * 10.0 + 1.0 / 3.0;
    grid->setCell(5, {false, Rectangle_t, grid->getGridBound(5), {0, 0, 1e-3, 0, 1e-3, 0.5e-3, 0, 0.5e-3}});
    grid->setCell(1, {true, Rectangle_t, Bound2D(Vec2(1.5e-3, 0.0), Vec2(2e-3, 0.5e-3)),
                      {0, 0, 0.5e-3, 0, 0.5e-3, 0.5e-3, 0, 0.5e-3}});
    grid->setCell(3, {true, Polygon_t, grid->getGridBound(3),
                      {0, 0, 1e-3, 0, 1e-3, 0.2e-3, 0.3e-3, 0.2e-3, 0.3e-3, 0.5e-3, 0, 0.5e-3}});
    return grid;
}

// The cells written as a user of the host would: the item count, then every attribute.
void writeOneByOne(Entity* part, const CellGrid& grid)
{
    ASSERT_TRUE(ListAttributeEditor::setItemCount(part, cellsPath(), grid.getCount()));
    for (int k = 0; k < grid.getCount(); ++k) {
        const CellGrid::Cell cell = grid.getCell(k);
        EntityEditor::setValue(part, itemPath(k, Name_t), grid.getName(k));
        EntityEditor::setValue(part, itemPath(k, Active_t), cell.active ? Yes_t : No_t);
        EntityEditor::setValue(part, itemPath(k, Shape_t), cell.shape);
        for (const auto& [label, length] : {std::pair<TypeRef, double>{X_Location_t, cell.bound.getLow().x},
                                            {Z_Location_t, cell.bound.getLow().y}, {Width_t, cell.bound.getSize().x},
                                            {Depth_t, cell.bound.getSize().y}}) {
            EntityEditor::setSIValue(part, itemPath(k, label), length);
            if (grid.getLengthUnit() && !grid.getLengthUnit()->isNull())
                EntityEditor::setConvertValueToUnits(part, itemPath(k, label), Length_t, *grid.getLengthUnit());
        }
        EntityEditor::setSIDoubleListValue(part, itemPath(k, Outline_t), cell.outline);
        QVector<double> values;
        for (int i = 0; i < grid.getListWidth(); ++i)
            values << grid.listValues(k)[i];
        EntityEditor::setSIDoubleListValue(part, itemPath(k, Material_Fraction_t), values);
    }
}

} // namespace

TEST(CellGrid, CellsWrittenInOneEditEqualCellsWrittenOneByOne)
{
    // Shown in mm with two values, in a unit unknown to the host (shown in SI), and without
    // unit or values.
    for (const auto& [unit, width] : std::vector<std::pair<std::optional<TypeRef>, int>>{
             {mm_t, 2}, {TypeRef("furlong"), 1}, {std::nullopt, 0}}) {
        SCOPED_TRACE(width);
        const std::shared_ptr<CellGrid> grid = sampleGrid(unit, width);
        Host oneByOne;
        Host bulk;
        // Items of an earlier write, fewer than the grid's.
        for (Host* host : {&oneByOne, &bulk}) {
            ASSERT_TRUE(ListAttributeEditor::setItemCount(host->part, cellsPath(), 2));
            EntityEditor::setSIValue(host->part, itemPath(1, Width_t), 7.0);
        }
        writeOneByOne(oneByOne.part, *grid);
        ASSERT_TRUE(ListAttributeEditor::writeCells(bulk.part, cellsPath(), grid));
        EXPECT_EQ(bulk.json(), oneByOne.json());
        // Reading cells makes their items; the saved model stays the same.
        EXPECT_EQ(bulk.part->findAttribute(itemPath(4, Name_t))->getKind(), Attribute::Kind::Value);
        EXPECT_EQ(ListAttributeEditor::getItems(bulk.part, cellsPath())[3]->getType().getLabel(), "0000000003");
        EXPECT_EQ(bulk.json(), oneByOne.json());
    }
}

TEST(CellGrid, OneUndoStepRestoresTheEarlierBytesAndTheSavedModelLoadsToTheSameBytes)
{
    Host host;
    ASSERT_TRUE(ListAttributeEditor::setItemCount(host.part, cellsPath(), 9));
    EntityEditor::setSIValue(host.part, itemPath(8, X_Location_t), 3e-3);
    host.model->getUndoStack().clear();
    const QByteArray before = host.json();
    UndoStack& stack = host.model->getUndoStack();
    {
        UndoStackOpener opener(host.model.get(), "Import Material Map");
        ASSERT_TRUE(ListAttributeEditor::writeCells(host.part, cellsPath(), sampleGrid(mm_t, 2)));
        // An edit of one cell after the grid belongs to the same step.
        EntityEditor::setValue(host.part, itemPath(2, Name_t), "renamed");
    }
    const QByteArray after = host.json();
    ASSERT_TRUE(stack.undo());
    EXPECT_EQ(host.json(), before);
    ASSERT_TRUE(stack.redo());
    EXPECT_EQ(host.json(), after);
    const std::unique_ptr<Model> loaded = ModelFile::fromJson(after, nullptr);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(ModelFile::toJson(*loaded), after);
    // The cells resize and undo like any items.
    ASSERT_TRUE(ListAttributeEditor::setItemCount(host.part, cellsPath(), 4));
    ASSERT_TRUE(stack.undo());
    EXPECT_EQ(host.json(), after);
}

TEST(CellGrid, WritesThatWouldKeepSomethingAreRefusedAndChangeNothing)
{
    const auto set = [](const AttributePath& path, auto value) {
        return [path, value](Entity* part) { EntityEditor::setValue(part, path, value); };
    };
    struct Case
    {
        const char* what;
        std::function<void(Entity*)> prepare;
        std::optional<TypeRef> unit = mm_t;
        double value = 1;
        AttributePath path = cellsPath();
    };
    const Case cases[] = {
        {"an item holds another attribute", set(itemPath(0, TypeRef("Note")), "x")},
        {"a length would keep its unit",
         [](Entity* part) {
             EntityEditor::setSIValue(part, itemPath(1, Width_t), 1.0);
             EntityEditor::setConvertValueToUnits(part, itemPath(1, Width_t), Length_t, mm_t);
         },
         std::nullopt},
        {"a name is a choice", [](Entity* part) { EntityEditor::setValue(part, itemPath(2, Name_t), Yes_t); }},
        {"an outline holds attributes", set(itemPath(0, Outline_t) / AttributePath(QStringLiteral("x")), 1)},
        {"an item is not a composite",
         [](Entity* part) {
             ListAttributeEditor::setItemCount(part, cellsPath(), 0);
             EntityEditor::setValue(part, cellsPath() / AttributePath(TypeRef("0000000000")), 1);
         }},
        {"labels are not positions", set(cellsPath() / AttributePath(QStringLiteral("x/y")), 1)},
        {"the list is a value", set(AttributePath(QStringLiteral("Flat")), 1), mm_t, 1,
         AttributePath(QStringLiteral("Flat/x"))},
        {"a value is not finite", [](Entity*) {}, mm_t, std::numeric_limits<double>::quiet_NaN()},
    };
    for (const Case& c : cases) {
        Host host;
        ASSERT_TRUE(ListAttributeEditor::setItemCount(host.part, cellsPath(), 3));
        c.prepare(host.part);
        const int steps = host.model->getUndoStack().count();
        const QByteArray before = host.json();
        const std::shared_ptr<CellGrid> grid = sampleGrid(c.unit, 1);
        grid->listValues(4)[0] = c.value;
        EXPECT_FALSE(ListAttributeEditor::writeCells(host.part, c.path, grid)) << c.what;
        EXPECT_EQ(host.json(), before) << c.what;
        EXPECT_EQ(host.model->getUndoStack().count(), steps) << c.what;
    }

    // What goes with a removed item does not stop the write; an earlier grid is overwritten.
    Host host;
    ASSERT_TRUE(ListAttributeEditor::setItemCount(host.part, cellsPath(), 8));
    EntityEditor::setValue(host.part, itemPath(7, TypeRef("Note")), "x");
    EXPECT_TRUE(ListAttributeEditor::writeCells(host.part, cellsPath(), sampleGrid(mm_t, 2)));
    EXPECT_TRUE(ListAttributeEditor::writeCells(host.part, cellsPath(), sampleGrid(mm_t, 1)));
    Host reference;
    writeOneByOne(reference.part, *sampleGrid(mm_t, 1));
    EXPECT_EQ(host.json(), reference.json());
}

// A grid too large for a model file is refused before anything is written: the file keeps
// its bytes and the message says why, instead of the writer running out of memory.
TEST(CellGrid, ModelsWithMoreCellsThanAFileTakesAreNotSaved)
{
    Host host;
    const TestSupport::TempDir dir;
    const QString path = dir.write("model.json", "old");
    ASSERT_TRUE(ListAttributeEditor::writeCells(host.part, cellsPath(),
                                                std::make_shared<CellGrid>(600, 501, Vec2(0.0, 0.0), Vec2(1e-5, 1e-5),
                                                                           std::nullopt, Material_Fraction_t, 2)));
    QString error;
    EXPECT_FALSE(ModelFile::save(*host.model, path, &error));
    EXPECT_EQ(error, "Cannot write model file " + path +
                         ": the model holds 300600 material-map cells, more than the 300000 a model file can take "
                         "(apply a coarser map)");
    EXPECT_EQ(dir.read("model.json"), "old");
}
