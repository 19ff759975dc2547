// The `tarvex material-map` command, run as a person runs it.

#include "maps/MaterialMapTestSupport.h"

#include "support/CliRun.h"
#include "support/TempDir.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using TestSupport::CliRun;

// The command under test with `arguments`.
CliRun tarvex(const QStringList& arguments) { return TestSupport::tarvex(QStringList{"material-map"} + arguments); }

// A model holding the component "Die" of 3 x 2 x 0.07 mm without layers.
const QByteArray handMadeModel = R"({"format": "tarvex-host-model", "formatVersion": 1,
 "root": {"id": 1, "type": "Project", "attributes": {
  "Chassis": {"entities": [{"id": 2, "type": "Chassis", "attributes": {
   "Components": {"entities": [{"id": 3, "type": "Component", "attributes": {
     "Name": "Die", "Width": 0.003, "Depth": 0.002, "Height": 7e-05}}]}}}]},
  "Solution_Control": {"entities": [{"id": 4, "type": "Solution_Control", "attributes": {}}]}}}})";

const QString textSample = QStringLiteral(TARVEX_SAMPLES "/material-map-layout.txt");

} // namespace

TEST(MaterialMapCommand, AppliesALayoutPrintsItAndSavesTheModel)
{
    TestSupport::TempDir dir;
    const QString model = dir.write("model.json", handMadeModel);

    // The component has no layers yet: the map fits only when they are made for it.
    const CliRun fitted = tarvex({textSample, "--model", model, "--entity", "Die"});
    EXPECT_EQ(fitted.exitCode, 1);
    EXPECT_TRUE(fitted.err.contains("material-map-layout.txt : Import file contains blocks that are not contained by "
                                    "the layer."))
        << fitted.err.toStdString();
    EXPECT_TRUE(fitted.err.contains("The model file " + model + " was left unchanged."));
    EXPECT_EQ(dir.read("model.json"), handMadeModel);

    const CliRun resized = tarvex({textSample, "--model", model, "--entity", "Die", "--resize"});
    ASSERT_EQ(resized.exitCode, 0) << resized.err.toStdString();
    EXPECT_EQ(resized.out, "Applied " + textSample +
                               " to Component \"Die\": 2 layers\n"
                               "  \"M1\": bottom 0 mm, thickness 0.035 mm, grid 2 x 3 (rows x columns), 6 cells, 6 "
                               "active, materials Copper, FR4, mean fraction of Copper 35 %\n"
                               "  \"M2\": bottom 0.035 mm, thickness 0.035 mm, grid 2 x 3 (rows x columns), 6 cells, 6 "
                               "active, materials Copper, FR4, mean fraction of Copper 65 %\n"
                               "Saved the model to " +
                               model + "\n");

    QString problem;
    const std::unique_ptr<EntityModel::Model> saved = EntityModel::ModelFile::load(model, &problem);
    ASSERT_TRUE(saved) << problem.toStdString();
    const EntityModel::Attribute* chassisList = saved->getRoot()->findAttribute(EntityModel::Chassis_t);
    const EntityModel::Entity* chassis = static_cast<const EntityModel::EntityListAttribute*>(chassisList)->at(0);
    const EntityModel::Entity* die =
        static_cast<const EntityModel::EntityListAttribute*>(chassis->findAttribute(EntityModel::Components_t))->at(0);
    const std::vector<EntityModel::CompositeAttribute*> layers =
        EntityModel::ListAttributeEditor::getItems(die, Tarvex::MaterialMapEditor::layersPath());
    ASSERT_EQ(layers.size(), 2u);
    const std::vector<MaterialMapTest::Cell> cells = MaterialMapTest::cellsOf(layers[1]);
    ASSERT_EQ(cells.size(), 6u);
    EXPECT_EQ(cells[3].name, "0_1");
    ASSERT_EQ(cells[3].fractions.size(), 2);
    EXPECT_NEAR(cells[3].fractions[0], 90, 1e-9);
    EXPECT_NEAR(cells[3].fractions[1], 10, 1e-9);

    // Applied again, now that the layers fit, the saved model does not change.
    const QByteArray once = dir.read("model.json");
    const CliRun again = tarvex({textSample, "--model", model, "--entity", "Die"});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(dir.read("model.json"), once);
}

TEST(MaterialMapCommand, BadInputEndsWithAMessageAndAnUntouchedModel)
{
    TestSupport::TempDir dir;
    const QString model = dir.write("model.json", handMadeModel);
    struct Case
    {
        QStringList arguments;
        int exitCode;
        const char* text;
    };
    const QString badGrid = dir.write("bad.txt", "LAYOUT_MAP\nAREA 0 0 3 2\nLAYER L D M 0.1 0\nGRID 2\nEND_LAYOUT_MAP\n");
    const QString empty = dir.write("empty.csv", "");
    const Case cases[] = {
        {{}, 2, "material-map needs FILE, --model MODEL.json and --entity NAME"},
        {{textSample, "--model", model}, 2, "material-map needs FILE, --model MODEL.json and --entity NAME"},
        {{textSample, "--model", model, "--entity", "Die", "--rotate"}, 2, "Unknown option 'rotate'"},
        {{"--help"}, 0, "--resize"},
        {{dir.path("none.txt"), "--model", model, "--entity", "Die"}, 1, "Cannot open file %1/none.txt: no such file"},
        {{textSample, "--model", dir.path("none.json"), "--entity", "Die"}, 1, "Cannot open file %1/none.json"},
        {{textSample, "--model", model, "--entity", "Lid"}, 1, "no entity named \"Lid\""},
        {{badGrid, "--model", model, "--entity", "Die", "--resize"}, 1, "bad.txt : Invalid grid data"},
        {{empty, "--model", model, "--entity", "Die", "--resize"}, 1, "empty.csv : No columns or rows in file."},
    };
    for (const Case& c : cases) {
        const CliRun run = tarvex(c.arguments);
        const QString expected = QString::fromUtf8(c.text).replace("%1", QFileInfo(dir.path("x")).absolutePath());
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE((run.out + run.err).contains(expected))
            << c.arguments.join(' ').toStdString() << ":\n" << (run.out + run.err).toStdString();
        EXPECT_EQ(dir.read("model.json"), handMadeModel) << c.arguments.join(' ').toStdString();
    }
}
