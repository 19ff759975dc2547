// The commands that apply a map to an entity of a saved model, run as a person runs them:
// what they print, and the model file left as it was after any failure.
#include "app/CliFiles.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

using TestSupport::CliRun;
using TestSupport::tarvex;

// A model holding the component "Die" of 3 x 2 x 0.07 mm without layers.
const QByteArray handMadeModel = CliFiles::chassisHolding(
    "Components", R"({"id": 3, "type": "Component", "attributes": {"Name": "Die", "Width": 0.003, "Depth": 0.002, )"
                  R"("Height": 7e-05}})");

const QString textSample = QStringLiteral(TARVEX_SAMPLES "/material-map-layout.txt");

// AddressSanitizer reserves far more address space at start than any cap leaves it.
constexpr bool builtWithAddressSanitizer()
{
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#endif
#endif
    return false;
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

    // The component has no layers yet (the map alone does not fit them: see the bad input).
    const CliRun resized = tarvex({"material-map", textSample, "--model", model, "--entity", "Die", "--resize"});
    ASSERT_EQ(resized.exitCode, 0) << resized.err.toStdString();
    EXPECT_EQ(resized.out, "Applied " + textSample +
                               " to Component \"Die\": 2 layers\n"
                               "  \"M1\": bottom 0 mm, thickness 0.035 mm, grid 2 x 3 (rows x columns), 6 cells, 6 "
                               "active, materials Copper, FR4, mean fraction of Copper 35 %\n"
                               "  \"M2\": bottom 0.035 mm, thickness 0.035 mm, grid 2 x 3 (rows x columns), 6 cells, 6 "
                               "active, materials Copper, FR4, mean fraction of Copper 65 %\n"
                               "Built 2 entities (Material 2), changed 2 entities (Component 1, Project 1), deleted 0 "
                               "entities; 0 warnings.\n"
                               "Saved the model to " +
                               model + "\n");

    // Applied again to the saved model, whose layers now fit, the model does not change.
    const QByteArray once = dir.read("model.json");
    const CliRun again = tarvex({"material-map", textSample, "--model", model, "--entity", "Die"});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(dir.read("model.json"), once);
}

TEST(MapCommands, BadInputEndsWithAMessageAndAnUntouchedModel)
{
    TestSupport::TempDir dir;
    const QString model = dir.write("model.json", handMadeModel);
    const QString badPower = dir.write("bad-power.txt", "DIE_AREA 0 0 1 1\nAREA_POWER_MAP\n1\n0 0 1 1\n");
    const std::pair<QStringList, QString> cases[] = {
        {{"material-map", dir.path("none.txt"), "--model", model, "--entity", "Die"},
         "Cannot open file " + dir.path("none.txt") + ": no such file"},
        {{"material-map", textSample, "--model", dir.path("none.json"), "--entity", "Die"},
         "Cannot open file " + dir.path("none.json")},
        {{"material-map", textSample, "--model", model, "--entity", "Lid"}, "no entity named \"Lid\""},
        // Without --resize the map must fit the layers the component has: it has none.
        {{"material-map", textSample, "--model", model, "--entity", "Die"},
         "error: Component \"Die\" has no layers; use --resize to give it the map's 2 layers\n"},
        {{"power-map", badPower, "--model", model, "--entity", "Die"}, "bad-power.txt : Missing are power data"},
    };
    for (const auto& [arguments, message] : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        EXPECT_TRUE(CliFiles::failedWith(tarvex(arguments), message));
        EXPECT_EQ(dir.read("model.json"), handMadeModel);
    }
    for (int i : {2, 3, 4})
        EXPECT_TRUE(tarvex(cases[i].first).err.contains("The model file " + model + " was left unchanged.")) << i;
}

TEST(MaterialMapCommand, SaysWhatAResizeChangesAndADryRunSavesNothing)
{
    TestSupport::TempDir dir;
    const QByteArray board = CliFiles::chassisHolding(
        "PCBs", R"({"id": 3, "type": "PCB", "attributes": {"Name": "Board", "Width": 0.06, "Depth": 0.04, )"
                R"("Height": 0.001565}})");
    const QString model = dir.write("model.json", board);
    const QStringList resize{"material-map", textSample, "--model", model, "--entity", "Board", "--resize"};
    const QString resizing = QStringLiteral("resizing PCB \"Board\" from 60 \u00d7 40 \u00d7 1.565 mm to "
                                            "3 \u00d7 2 \u00d7 0.07 mm\nApplied ");

    // Refused once, saying why, and nothing per map layer.
    const CliRun refused = tarvex({"material-map", textSample, "--model", model, "--entity", "Board"});
    EXPECT_TRUE(CliFiles::failedWith(refused, "PCB \"Board\" has no layers; use --resize to give it the map's 2 layers"));
    EXPECT_FALSE(refused.err.contains("not contained")) << refused.err.toStdString();

    const CliRun dryRun = tarvex(resize + QStringList{"--dry-run"});
    ASSERT_EQ(dryRun.exitCode, 0) << dryRun.err.toStdString();
    EXPECT_TRUE(dryRun.out.startsWith(resizing)) << dryRun.out.toStdString();
    EXPECT_TRUE(dryRun.out.endsWith("\nDry run: the model file " + model + " was not changed\n"));
    EXPECT_EQ(dir.read("model.json"), board);

    const CliRun resized = tarvex(resize);
    ASSERT_EQ(resized.exitCode, 0) << resized.err.toStdString();
    EXPECT_EQ(resized.out, QString(dryRun.out).replace("Dry run: the model file " + model + " was not changed",
                                                       "Saved the model to " + model));
    EXPECT_TRUE(dir.read("model.json").contains("\"Width\":0.003")) << dir.read("model.json").toStdString();

    // A board that has layers keeps the refusal of a map that does not fit them.
    const QString wide = dir.write("wide.txt", "LAYOUT 2025.1\nLENGTH\tmm\nLAYOUT_MAP\nNUMBER_OF_LAYERS 1\n"
                                               "AREA 0 0 30 20\nLAYER M1 FR4 Copper 0.035 0\nMETAL_DENSITY\n1 1\n0.5\n"
                                               "END_METAL_DENSITY\nEND_LAYER\nEND_LAYOUT_MAP\n");
    EXPECT_TRUE(CliFiles::failedWith(tarvex({"material-map", wide, "--model", model, "--entity", "Board"}),
                                     "wide.txt : Import file contains blocks that are not contained by"));
    // Without a change of size nothing is said about one.
    const CliRun again = tarvex(resize);
    ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_TRUE(again.out.startsWith("Applied ")) << again.out.toStdString();
}

TEST(PowerMapCli, AppliesAMapPrintsItAndSavesTheModel)
{
    TestSupport::TempDir dir;
    const QString model = dir.write(
        "model.json", CliFiles::chassisHolding("Objects", R"({"id": 3, "type": "Heat_Source", "attributes": {"Name": "Die"}})"));
    const CliRun run = tarvex({"power-map", TARVEX_SAMPLES "/area-power-map.txt", "--model", model, "--entity", "Die"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.toStdString(), "Applied " TARVEX_SAMPLES "/area-power-map.txt to Heat_Source \"Die\":\n"
                       "  area-power-map (1): area map of 6 blocks, total power 4.8 W, leakage at 85 C with area-power-map (2)\n"
                       "  area-power-map (2): area map of 6 blocks, total power 5.05 W, leakage at 85 C with area-power-map (1)\n"
                       "Built 2 entities (Power_Map 2), changed 1 entity (Heat_Source 1), deleted 0 entities; 0 warnings.\n"
                       "Saved the model to " + model.toStdString() + "\n");

    // A dry run prints the same and leaves the model as it was.
    const QByteArray saved = dir.read("model.json");
    const CliRun dryRun =
        tarvex({"power-map", TARVEX_SAMPLES "/grid-power-map.txt", "--model", model, "--entity", "Die", "--dry-run"});
    ASSERT_EQ(dryRun.exitCode, 0) << dryRun.err.toStdString();
    EXPECT_TRUE(dryRun.out.contains("total power 0.24 W\n")) << dryRun.out.toStdString();
    EXPECT_TRUE(dryRun.out.endsWith("; 0 warnings.\nDry run: the model file " + model + " was not changed\n"))
        << dryRun.out.toStdString();
    EXPECT_EQ(dir.read("model.json"), saved);

    // A second map replaces the first.
    const CliRun grid = tarvex({"power-map", TARVEX_SAMPLES "/grid-power-map.txt", "--model", model, "--entity", "Die"});
    ASSERT_EQ(grid.exitCode, 0) << grid.err.toStdString();
    EXPECT_TRUE(grid.out.contains("  grid-power-map: grid of 3 rows x 4 columns, total power 0.24 W\n"))
        << grid.out.toStdString();
    // The same map again is written over the entity it made: the model stays as it was.
    const QByteArray once = dir.read("model.json");
    CliFiles::ok({"power-map", TARVEX_SAMPLES "/grid-power-map.txt", "--model", model, "--entity", "Die"});
    EXPECT_EQ(dir.read("model.json"), once);
}

// A command that runs out of memory ends with a message and exit status 1, and the model
// file stays as it was: never an abort.
TEST(TarvexMemoryCap, AMapTooLargeForMemoryEndsWithAMessageAndTheModelAsItWas)
{
    if (builtWithAddressSanitizer())
        GTEST_SKIP() << "AddressSanitizer cannot start under a cap on address space";
    TestSupport::TempDir dir;
    const QString model = CliFiles::importedSample(dir);
    const QByteArray before = dir.read("model.json");

    // As many cells as a model may hold: gigabytes once they are cells of a layer, far
    // more than the capped 300 MB.
    const QString grid = dir.write("big.csv", (QByteArray("0.5,").repeated(999) + "0.5\n").repeated(300));
    const TestSupport::CliRun run =
        cappedTarvex(300000, {"material-map", grid, "--model", model, "--entity", "U1", "--resize"});
    // Out of memory while applying the map or while saving the model: either way said so, no abort.
    EXPECT_TRUE(CliFiles::failedWith(run, "not enough memory"));
    EXPECT_EQ(dir.read("model.json"), before);
}
