// Whole imports: a file read, brought into form and applied to an entity or one layer, and
// failed imports that leave the model exactly as it was.

#include "MaterialMapTestSupport.h"

#include "maps/TarvexMaterialMapImporter.h"
#include "maps/UniformGridMaterialMapImporter.h"
#include "host/MemoryGuard.h"
#include "support/FailingProgress.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace MaterialMapTest;
using Geometry::Bound2D;
using Geometry::Vec2;
using Kind = Tools::ToolProgress::Kind;

namespace {

constexpr double mm = 1e-3;

const QString textSample = QStringLiteral(TARVEX_SAMPLES "/material-map-layout.txt");
const QString xmlSample = QStringLiteral(TARVEX_SAMPLES "/material-map-layout.xml");
const QString csvSample = QStringLiteral(TARVEX_SAMPLES "/material-map-grid.csv");

std::unique_ptr<Tarvex::MaterialMapImporter> importerFor(const QString& path, Tools::ToolProgress* progress)
{
    if (path.endsWith(QLatin1String(".csv")))
        return std::make_unique<Tarvex::UniformGridMaterialMapImporter>(progress);
    return std::make_unique<Tarvex::TarvexMaterialMapImporter>(progress);
}

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
        auto importer = importerFor(path, &progress);
        ASSERT_TRUE(importer->importFile(path, host.component)) << progress.texts(Kind::Warning).join('\n').toStdString();
        EXPECT_TRUE(progress.entries().empty()) << progress.entries().front().text.toStdString();
        EXPECT_EQ(getStringValue(host.component, Construction_t / Modelling_Level_t), "Tarvex_Interchange_Model");
        // The file is z-up: its first row is the host's far row.
        EXPECT_EQ(metalOf(host.layer(0)), (std::vector<double>{40, 50, 60, 10, 20, 30}));
        EXPECT_EQ(metalOf(host.layer(1)), (std::vector<double>{60, 50, 40, 90, 80, 70}));
        EXPECT_EQ(textOf(host.layer(0), Name_t), "bottom"); // fitted, not resized
        EXPECT_EQ(materialsOf(host.component, host.layer(1)), (QStringList{"Copper", "FR4"}));
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

    // The first layer of a layout goes into the layer given.
    HostFixture other = twoLayerDie();
    Tarvex::TarvexMaterialMapImporter layout(&progress);
    ASSERT_TRUE(layout.importFileInLayer(textSample, other.layer(0)));
    EXPECT_TRUE(progress.texts(Kind::Warning).contains("Material Map with 2 layers, only first layer will be applied"));
    EXPECT_EQ(metalOf(other.layer(0)), (std::vector<double>{40, 50, 60, 10, 20, 30}));
}

TEST(MaterialMapImport, FailedImportsLeaveTheModelAsItWas)
{
    TestSupport::TempDir dir;
    const QByteArray head = "LAYOUT_MAP\nAREA 0 0 3 2\nLAYER L FR4 Cu 0.035 0\n";
    struct Case
    {
        const char* name;
        QByteArray bytes;
        const char* message;
        bool failsInLayer = true;
    };
    const Case cases[] = {
        {"empty.txt", "", "Material Map Has No Layers"},
        // The second layer does not fit its host layer: the first one, already written, is taken
        // back. Applied to one layer, only the first layer of the file is used, which fits.
        {"second-straddles.txt",
         head + "METAL_DENSITY\n1 1\n0.5\nEND_METAL_DENSITY\nEND_LAYER\nLAYER M FR4 Cu 0.035 0.02\nMETAL_DENSITY\n1 1\n"
                "0.5\nEND_METAL_DENSITY\nEND_LAYER\nEND_LAYOUT_MAP\n",
         "Import file contains blocks that are not contained by the layer.", false},
        {"too-wide.txt", "LAYOUT_MAP\nAREA 0 0 30 2\nLAYER L FR4 Cu 0.035 0\nGRID 1 1\nMETAL_DENSITY\n1 1\n0.5\n"
                         "END_METAL_DENSITY\nEND_LAYER\nEND_LAYOUT_MAP\n",
         "Import file contains blocks that are not contained by parent component."},
        {"bad.xml", "<Layout version=\"1\"><LAYOUT_MAP>", "Failed to parse file - "},
        {"tall.csv", "0.5\n0.5\n0.5\n", "not contained by parent component."},
    };
    for (const Case& c : cases) {
        const QString path = dir.write(c.name, c.bytes);
        for (bool inLayer : {false, true}) {
            if (inLayer && !c.failsInLayer)
                continue;
            HostFixture host = twoLayerDie();
            const QByteArray before = host.json();
            Tools::RecordingProgress progress;
            auto importer = importerFor(path, &progress);
            importer->setDefaultLayerThickness(0.5);
            const bool applied = inLayer ? importer->importFileInLayer(path, host.layer(0))
                                         : importer->importFile(path, host.component);
            EXPECT_FALSE(applied) << c.name;
            EXPECT_EQ(host.json(), before) << c.name << (inLayer ? " in a layer" : "");
            EXPECT_FALSE(host.model->getUndoStack().canUndo()) << c.name;
            QStringList all = progress.texts(Kind::FatalError) + progress.texts(Kind::Warning);
            const bool told = std::any_of(all.begin(), all.end(), [&](const QString& text) {
                return text.contains(QString::fromUtf8(c.message)) ||
                       (inLayer && text.contains("not contained by the layer"));
            });
            EXPECT_TRUE(told) << c.name << (inLayer ? " in a layer" : "") << ": " << all.join(" | ").toStdString();
        }
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

TEST(MaterialMapImport, RunningOutOfMemoryLeavesTheModelAsItWas)
{
    // The sink fails once the first layer was written (whole map) or the owner marked (one
    // layer): what was written must be taken back.
    TestSupport::TempDir dir;
    const QString path = dir.write("map.txt", "LAYOUT_MAP\nAREA 0 0 3 2\nLAYER L FR4 Cu 0.035 0\nGRID 1 1\n"
                                              "METAL_DENSITY\n1 1\n0.5\nEND_METAL_DENSITY\nEND_LAYER\n"
                                              "LAYER M FR4 Cu 0.035 0.035\nEND_LAYER\nEND_LAYOUT_MAP\n");
    for (bool inLayer : {false, true}) {
        HostFixture host = twoLayerDie();
        const QByteArray before = host.json();
        Tools::FailingProgress progress(inLayer ? "only first layer will be applied"
                                                : "Material Map layer M does not have a valid density grid.");
        Tarvex::TarvexMaterialMapImporter importer(&progress);
        const bool applied = inLayer ? importer.importFileInLayer(path, host.layer(0))
                                     : importer.importFile(path, host.component);
        EXPECT_FALSE(applied) << inLayer;
        EXPECT_EQ(host.json(), before) << inLayer;
        EXPECT_FALSE(host.model->getUndoStack().canUndo()) << inLayer;
        EXPECT_EQ(progress.texts(Kind::FatalError), QStringList{EntityModel::MemoryGuard::message("Import Material Map")})
            << inLayer;
    }
}
