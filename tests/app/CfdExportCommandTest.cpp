// The cfd-export command end to end on the sample board, which its script makes with the add
// and set commands of the built tool: a board 100 x 1.6 x 80 mm at (10, 20, 30) mm holding U1,
// 10 x 2 x 10 mm at (20, 1.6, 30) mm, whose top carries the separate group "Signals" of the
// terminal T1 (4 x 2 mm, 1 and 3 mm from U1's corner, two pins) and the lumped group "Ground".
// A point q relative to the board is written as (q.x, 0.08 - q.z, q.y).
#include "export/CfdFileReading.h"

#include "CliFiles.h"
#include "support/CliRun.h"
#include "support/TempDir.h"

#include <QFile>
#include <QProcess>
#include <QSet>

using namespace CfdFile;
using TestSupport::CliRun;
using TestSupport::tarvex;
using CliFiles::ok;

namespace {

/// The sample board made again by its script as `dir`/board.json.
QString sampleBoard(const TestSupport::TempDir& dir)
{
    QProcess script;
    script.start(QStringLiteral("sh"), {TARVEX_SAMPLES "/make-cfd-board.sh", TARVEX_CLI, dir.path("board.json")});
    EXPECT_TRUE(script.waitForFinished(120000));
    EXPECT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();
    return dir.path("board.json");
}

} // namespace

TEST(TarvexCfdExportCommand, SampleMadeWithAddAndSetIsWrittenRelativeToTheBoard)
{
    const TestSupport::TempDir dir;
    const QString model = sampleBoard(dir);
    QFile sample(TARVEX_SAMPLES "/cfd-board.json");
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const QByteArray saved = sample.readAll();
    EXPECT_EQ(dir.read("board.json"), saved) << "samples/cfd-board.json is what its script makes";

    const CliRun run = tarvex({"cfd-export", model, "--board", "Board", "-o", dir.path("out.xml")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, "") << "the steps of an operation are told with -v only";
    EXPECT_EQ(run.out, "Exported the terminals of PCB \"Board\" #4 to " + dir.path("out.xml") + ".\n");
    EXPECT_EQ(dir.read("board.json"), saved) << "the model is only read";

    const QByteArray bytes = dir.read("out.xml");
    const QDomElement root = readBack(bytes);
    // The lumped group stands for its terminals G1 and G2, which are not written.
    ASSERT_EQ(children(root, "Terminal", "name"), QStringList({"T1", "Ground"}));
    const QDomElement t1 = terminal(root, "T1");
    // T1 covers x 0.021..0.025 and z 0.033..0.035 relative to the board, at U1's top (0.0036).
    const QDomElement nodes = t1.firstChildElement("Outline");
    EXPECT_EQ(QSet<QString>({nodes.attribute("Node1"), nodes.attribute("Node2"), nodes.attribute("Node3"),
                             nodes.attribute("Node4")}),
              QSet<QString>({"(0.021, 0.047, 0.0036)", "(0.025, 0.047, 0.0036)", "(0.025, 0.045, 0.0036)",
                             "(0.021, 0.045, 0.0036)"}));
    EXPECT_EQ(fields(nodes, {"Type", "Node5", "NX", "NY"}), "Type=grid Node5=- NX=2 NY=1");
    EXPECT_EQ(t1.firstChildElement("TerminalPinSet").attribute("num"), "2");
    // P1's radiation is the end of a curve; P2's convection is a curve's end less what comes in,
    // and its Rth a curve.
    EXPECT_EQ(pins(t1), QStringList({"PinName=P1 PinID=1 x=0.022 y=0.046 z=0.0036 A=4e-06 ConvectionHeatTransfer=2 "
                                     "ConductionHeatTransfer=1 RadiationHeatTransfer=0.5 TotalHeatTransfer=3.5 "
                                     "Rth=12.5 htc=25 Tsurf=358.15 Tamb=298.15",
                                     "PinName=P2 PinID=2 x=0.024 y=0.046 z=0.0036 A=4e-06 ConvectionHeatTransfer=1 "
                                     "ConductionHeatTransfer=0.5 RadiationHeatTransfer=0 TotalHeatTransfer=1.5 Rth=8 "
                                     "htc=0 Tsurf=343.15 Tamb=298.15"}));
    EXPECT_EQ(totals(t1), "Convective=3.25 Conduction=1.5 Radiation=0.5 Total=5.25 Tsurf=350.15 Tamb=298.15");
    // The group includes no conduction: its 0.3 W out by conduction is not written.
    const QDomElement ground = terminal(root, "Ground");
    EXPECT_EQ(fields(ground.firstChildElement("Outline"), {"NX", "NY"}), "NX=1 NY=1");
    EXPECT_EQ(pins(ground), QStringList({"PinName=Ground PinID=1 x=0.027 y=0.042 z=0.0036 A=8e-06 "
                                         "ConvectionHeatTransfer=0.8 ConductionHeatTransfer=0 RadiationHeatTransfer=0 "
                                         "TotalHeatTransfer=0.8 Rth=0 htc=0 Tsurf=338.15 Tamb=298.15"}));

    // Moved in the host, the board writes the same file.
    ok({"set", model, "Board", "X_Location=-2.5", "Y_Location=0.125", "Z_Location=7 mm"});
    ok({"cfd-export", model, "--board", "Board", "-o", dir.path("moved.xml")});
    EXPECT_EQ(dir.read("moved.xml"), bytes);
}

// Terminals an import built on a board stand where the file put them: T_TOP covers the whole
// top face of the 40 x 30 mm board, 1.6 mm thick.
TEST(TarvexCfdExportCommand, ImportedTerminalsAreWrittenWhereTheFilePutThem)
{
    const TestSupport::TempDir dir;
    ok({"import", TARVEX_TEST_DATA "/builders/terminals.xml", "--model", dir.path("m.json")});
    ok({"cfd-export", dir.path("m.json"), "--board", "BRD", "-o", dir.path("out.xml")});
    EXPECT_EQ(outline(terminal(readBack(dir.read("out.xml")), "T_TOP")),
              "Type=grid Node1=(0.04, 0.03, 0.0016) Node2=(0.04, 0, 0.0016) Node3=(0, 0, 0.0016) "
              "Node4=(0, 0.03, 0.0016) Node5=- NX=0 NY=0");
}

TEST(TarvexCfdExportCommand, RefusesNoBoardAnUnknownNameAndAnOutputItCannotWrite)
{
    const TestSupport::TempDir dir;
    const QString model = sampleBoard(dir);
    const QByteArray saved = dir.read("board.json");
    const QString out = dir.path("out.xml");
    const QString missing = dir.path("missing/out.xml");
    const struct
    {
        QStringList arguments;
        QString message;
    } rows[] = {
        {{"--board", "U1", "-o", out}, "error: Only PCBs can be exported\n"},
        {{"--board", "Nothing", "-o", out}, "error: No Root Part provided (no entity named \"Nothing\" in " + model + ")\n"},
        {{"--board", "Board", "-o", missing}, "error: Cannot write " + missing + "\n"},
        {{"--board", "Board", "-o", dir.path(".")}, "error: Cannot write " + dir.path(".") + "\n"},
        // The output is looked at before anything else.
        {{"--board", "Nothing", "-o", missing}, "error: Cannot write " + missing + "\n"},
    };
    for (const auto& row : rows) {
        const CliRun run = tarvex(QStringList{"cfd-export", model} + row.arguments);
        EXPECT_EQ(run.exitCode, 1) << row.message.toStdString();
        EXPECT_TRUE(run.err.endsWith(row.message)) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(out) || QFile::exists(dir.path("missing"))) << row.message.toStdString();
    }
    EXPECT_EQ(dir.read("board.json"), saved);
}
