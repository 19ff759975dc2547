// Whole imports: a file read, brought into form and applied to an entity or one layer, and
// failed imports that leave the model exactly as it was.

#include "MaterialMapTestSupport.h"

#include <tarvex/maps/TarvexMaterialMapImporter.h>
#include <tarvex/maps/UniformGridMaterialMapImporter.h>
#include <tarvex/host/MemoryGuard.h>
#include "support/FailingProgress.h"

#include <gtest/gtest.h>

#include <cmath>


using namespace MaterialMapTest;

namespace {

const QString textSample = QStringLiteral(TARVEX_SAMPLES "/material-map-layout.txt");
const QString xmlSample = QStringLiteral(TARVEX_SAMPLES "/material-map-layout.xml");
const QString csvSample = QStringLiteral(TARVEX_SAMPLES "/material-map-grid.csv");

// A component of 3 x 2 x 0.07 mm with two layers of 0.035 mm, each one item over the whole area.
HostFixture twoLayerDie()
{
    HostFixture host(3 * mm, 2 * mm, 0.07 * mm);
    host.addLayer("bottom", 0, 0.035 * mm, {Bound2D(Vec2(0, 0), Vec2(3 * mm, 2 * mm))});
    host.addLayer("top", 0.035 * mm, 0.035 * mm, {Bound2D(Vec2(0, 0), Vec2(3 * mm, 2 * mm))});
    return host;
}

std::vector<double> metalOf(const CompositeAttribute* layer)
{
    std::vector<double> metal;
    for (const Cell& cell : cellsOf(layer))
        metal.push_back(std::round(cell.fractions.value(0, -1) * 1000) / 1000);
    return metal;
}

} // namespace

TEST(MaterialMapImport, BothLayoutFormsGiveTheSameLayers)
{
    for (const QString& path : {textSample, xmlSample}) {
        HostFixture host = twoLayerDie();
        Tools::RecordingProgress progress;
        Tarvex::TarvexMaterialMapImporter importer(&progress);
        ASSERT_TRUE(importer.importFile(path, host.component)) << progress.texts(Kind::Warning).join('\n').toStdString();
        EXPECT_TRUE(progress.entries().empty()) << progress.entries().front().text.toStdString();
        EXPECT_EQ(importer.getLayoutVersion().toQString(), "2025.1");
        EXPECT_EQ(getStringValue(host.component, Construction_t / Modelling_Level_t), "Tarvex_Interchange_Model");
        // The file is z-up: its first row is the host's far row.
        EXPECT_EQ(metalOf(host.layer(0)), (std::vector<double>{40, 50, 60, 10, 20, 30}));
        EXPECT_EQ(metalOf(host.layer(1)), (std::vector<double>{60, 50, 40, 90, 80, 70}));
        EXPECT_EQ(textOf(host.layer(0), Name_t), "bottom"); // fitted, not resized
        EXPECT_EQ(host.model->getUndoStack().count(), 1);
    }
}

TEST(MaterialMapImport, AGridFillsTheLayerItIsAppliedTo)
{
    HostFixture host = twoLayerDie();
    Tools::RecordingProgress progress;
    Tarvex::UniformGridMaterialMapImporter importer(&progress);
    importer.setDefaultLayerThickness(0.035);
    importer.setDefaultUpPos(0.035);
    ASSERT_TRUE(importer.importFileInLayer(csvSample, host.layer(1)));
    EXPECT_EQ(progress.texts(Kind::Warning),
              QStringList{"Material Map with 1 layers, only first layer will be applied"});
    const std::vector<Cell> cells = cellsOf(host.layer(1));
    ASSERT_EQ(cells.size(), 12u);
    EXPECT_NEAR(cells[11].depth, 2.0 / 3 * mm, 1e-12);
    EXPECT_EQ(metalOf(host.layer(1)), (std::vector<double>{100, 90, 80, 70, 10, 20, 30, 40, 0, 25, 50, 75}));
    EXPECT_EQ(materialsOf(host.component, host.layer(1)), (QStringList{"Copper", "Sillicon"}));
    EXPECT_EQ(cellsOf(host.layer(0)).size(), 1u);
}

// Refusals of the editor and failures of the readers are their own tests' (and, end to end,
// the command's); here, the refusals and the running out of memory that come only after part
// of the map was written, which must be taken back: the whole map or one layer.
TEST(MaterialMapImport, FailedImportsLeaveTheModelAsItWas)
{
    TestSupport::TempDir dir;
    const auto failsCleanly = [](Tools::RecordingProgress& progress, const QString& path, bool inLayer) {
        HostFixture host = twoLayerDie();
        const QByteArray before = host.json();
        Tarvex::TarvexMaterialMapImporter importer(&progress);
        EXPECT_FALSE(inLayer ? importer.importFileInLayer(path, host.layer(0)) : importer.importFile(path, host.component));
        EXPECT_EQ(host.json(), before) << inLayer;
        EXPECT_FALSE(host.model->getUndoStack().canUndo()) << inLayer;
    };
    const QByteArray density = "METAL_DENSITY\n1 1\n0.5\nEND_METAL_DENSITY\nEND_LAYER\n";
    const QByteArray layer = "LAYER L FR4 Cu 0.035 0\n" + density;
    // The second layer does not fit its host layer: the first one, already written, is taken
    // back. In one layer, the owner marked for the map is unmarked again.
    const QString straddles = dir.write("straddles.txt", "LAYOUT_MAP\nAREA 0 0 3 2\n" + layer +
                                                             "LAYER M FR4 Cu 0.035 0.02\n" + density +
                                                             "END_LAYOUT_MAP\n");
    const QString tooWide = dir.write("too-wide.txt", "LAYOUT_MAP\nAREA 0 0 30 2\n" + layer + "END_LAYOUT_MAP\n");
    // The sink fails once the first layer was written (whole map) or the owner marked (one layer).
    const QString twoLayers = dir.write("map.txt", "LAYOUT_MAP\nAREA 0 0 3 2\n" + layer +
                                                       "LAYER M FR4 Cu 0.035 0.035\nEND_LAYER\nEND_LAYOUT_MAP\n");
    for (bool inLayer : {false, true}) {
        Tools::RecordingProgress progress;
        failsCleanly(progress, inLayer ? tooWide : straddles, inLayer);
        EXPECT_TRUE(progress.texts(Kind::Warning).contains("Import file contains blocks that are not contained by the layer."))
            << progress.texts(Kind::Warning).join(" | ").toStdString();
        Tools::FailingProgress failing(inLayer ? "only first layer will be applied"
                                               : "Material Map layer M does not have a valid density grid.");
        failsCleanly(failing, twoLayers, inLayer);
        EXPECT_EQ(failing.texts(Kind::FatalError), QStringList{EntityModel::MemoryGuard::message("Import Material Map")})
            << inLayer;
    }

    // Nothing to import into, or nothing to import.
    Tools::RecordingProgress progress;
    Tarvex::TarvexMaterialMapImporter importer(&progress);
    EXPECT_FALSE(importer.importFile(textSample, nullptr));
    EXPECT_FALSE(importer.importFileInLayer(textSample, nullptr));
    HostFixture host = twoLayerDie();
    EXPECT_FALSE(importer.importFile(dir.path("missing.txt"), host.component));
    EXPECT_EQ(progress.texts(Kind::FatalError),
              (QStringList{"No entity to import material map into", "No layer to import material map into",
                           "Unable to open " + dir.path("missing.txt")}));
}
