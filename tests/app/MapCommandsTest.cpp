// The commands that apply a map to an entity of a saved model, run as a person runs them:
// what they print, and the model file left as it was after any failure.
#include "app/CliFiles.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

using TestSupport::CliRun;
using TestSupport::tarvex;

// `tarvex material-map` with `arguments`.
CliRun materialMap(const QStringList& arguments) { return TestSupport::tarvex(QStringList{"material-map"} + arguments); }

// A model holding the component "Die" of 3 x 2 x 0.07 mm without layers.
const QByteArray handMadeModel = CliFiles::chassisHolding(
    "Components", R"({"id": 3, "type": "Component", "attributes": {"Name": "Die", "Width": 0.003, "Depth": 0.002, )"
                  R"("Height": 7e-05}})");

const QString textSample = QStringLiteral(TARVEX_SAMPLES "/material-map-layout.txt");

// A saved model with a heat source called "Die".
QString heatSourceModel(const TestSupport::TempDir& dir)
{
    return dir.write("model.json", CliFiles::chassisHolding(
                                       "Objects", R"({"id": 3, "type": "Heat_Source", "attributes": {"Name": "Die"}})"));
}

// Runs the tool with its address space capped at `kilobytes`.
CliRun cappedTarvex(int kilobytes, const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("/bin/sh"),
                  QStringList{"-c", QStringLiteral("ulimit -v %1 && exec \"$0\" \"$@\"").arg(kilobytes),
                              QStringLiteral(TARVEX_CLI)} +
                      arguments);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

TEST(MaterialMapCommand, AppliesALayoutPrintsItAndSavesTheModel)
{
    TestSupport::TempDir dir;
    const QString model = dir.write("model.json", handMadeModel);

    // The component has no layers yet: the map fits only when they are made for it.
    const CliRun fitted = materialMap({textSample, "--model", model, "--entity", "Die"});
    EXPECT_EQ(fitted.exitCode, 1);
    EXPECT_TRUE(fitted.err.contains("material-map-layout.txt : Import file contains blocks that are not contained by "
                                    "the layer."))
        << fitted.err.toStdString();
    EXPECT_TRUE(fitted.err.contains("The model file " + model + " was left unchanged."));
    EXPECT_EQ(dir.read("model.json"), handMadeModel);

    const CliRun resized = materialMap({textSample, "--model", model, "--entity", "Die", "--resize"});
    ASSERT_EQ(resized.exitCode, 0) << resized.err.toStdString();
    EXPECT_EQ(resized.out, "Applied " + textSample +
                               " to Component \"Die\": 2 layers\n"
                               "  \"M1\": bottom 0 mm, thickness 0.035 mm, grid 2 x 3 (rows x columns), 6 cells, 6 "
                               "active, materials Copper, FR4, mean fraction of Copper 35 %\n"
                               "  \"M2\": bottom 0.035 mm, thickness 0.035 mm, grid 2 x 3 (rows x columns), 6 cells, 6 "
                               "active, materials Copper, FR4, mean fraction of Copper 65 %\n"
                               "Saved the model to " +
                               model + "\n");

    // Applied again to the saved model, whose layers now fit, the model does not change.
    const QByteArray once = dir.read("model.json");
    const CliRun again = materialMap({textSample, "--model", model, "--entity", "Die"});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(dir.read("model.json"), once);
}

TEST(MapCommands, BadInputEndsWithAMessageAndAnUntouchedModel)
{
    TestSupport::TempDir dir;
    const QString model = dir.write("model.json", handMadeModel);
    const QString badGrid = dir.write("bad.txt", "LAYOUT_MAP\nAREA 0 0 3 2\nLAYER L D M 0.1 0\nGRID 2\nEND_LAYOUT_MAP\n");
    const QString badPower = dir.write("bad-power.txt", "DIE_AREA 0 0 1 1\nAREA_POWER_MAP\n1\n0 0 1 1\n");
    const std::pair<QStringList, QString> cases[] = {
        {{"material-map", dir.path("none.txt"), "--model", model, "--entity", "Die"},
         "Cannot open file " + dir.path("none.txt") + ": no such file"},
        {{"material-map", textSample, "--model", dir.path("none.json"), "--entity", "Die"},
         "Cannot open file " + dir.path("none.json")},
        {{"material-map", textSample, "--model", model, "--entity", "Lid"}, "no entity named \"Lid\""},
        {{"material-map", badGrid, "--model", model, "--entity", "Die", "--resize"}, "bad.txt : Invalid grid data"},
        {{"power-map", badPower, "--model", model, "--entity", "Die"}, "bad-power.txt : Missing are power data"},
    };
    for (const auto& [arguments, message] : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const CliRun run = tarvex(arguments);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(message)) << run.err.toStdString();
        EXPECT_EQ(dir.read("model.json"), handMadeModel);
    }
    EXPECT_TRUE(tarvex(cases[4].first).err.contains("The model file " + model + " was left unchanged."));
}

TEST(PowerMapCli, AppliesAMapPrintsItAndSavesTheModel)
{
    TestSupport::TempDir dir;
    const QString model = heatSourceModel(dir);
    const CliRun run = tarvex({"power-map", TARVEX_SAMPLES "/area-power-map.txt", "--model", model, "--entity", "Die"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.toStdString(), "Applied " TARVEX_SAMPLES "/area-power-map.txt to Heat_Source \"Die\":\n"
                       "  area-power-map (1): area map of 6 blocks, total power 4.8 W, leakage at 85 C with area-power-map (2)\n"
                       "  area-power-map (2): area map of 6 blocks, total power 5.05 W, leakage at 85 C with area-power-map (1)\n"
                       "Saved the model to " + model.toStdString() + "\n");

    // A second map replaces the first.
    const CliRun grid = tarvex({"power-map", TARVEX_SAMPLES "/grid-power-map.txt", "--model", model, "--entity", "Die"});
    ASSERT_EQ(grid.exitCode, 0) << grid.err.toStdString();
    EXPECT_TRUE(grid.out.contains("  grid-power-map: grid of 3 rows x 4 columns, total power 0.24 W\n"))
        << grid.out.toStdString();
}

// A command that runs out of memory ends with a message and exit status 1, and the model
// file stays as it was: never an abort.
TEST(TarvexMemoryCap, AMapTooLargeForMemoryEndsWithAMessageAndTheModelAsItWas)
{
    TestSupport::TempDir dir;
    const QString model = CliFiles::importedSample(dir);
    const QByteArray before = dir.read("model.json");

    // As many cells as a model may hold: gigabytes once they are cells of a layer, far
    // more than the capped 300 MB.
    const QString grid = dir.write("big.csv", (QByteArray("0.5,").repeated(999) + "0.5\n").repeated(300));
    const TestSupport::CliRun run =
        cappedTarvex(300000, {"material-map", grid, "--model", model, "--entity", "U1", "--resize"});
    EXPECT_EQ(run.exitCode, 1) << "no abort: " << run.err.toStdString();
    // Out of memory while applying the map or while saving the model: either way said so.
    EXPECT_TRUE(run.err.contains("not enough memory")) << run.err.toStdString();
    EXPECT_EQ(dir.read("model.json"), before);
}
