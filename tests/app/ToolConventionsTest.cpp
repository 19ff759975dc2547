// The conventions the tool shares with the tools its users know: --version, help, -q and -v,
// the summary at the end, "-" for standard input and output, --json, --center.
#include "app/CliFiles.h"

#include <tarvex/import/TarvexVersion.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

using TestSupport::CliRun;
using TestSupport::tarvex;

namespace {

// Runs the tool in `folder` with `input` on its standard input.
CliRun tarvexIn(const QString& folder, const QStringList& arguments, const QByteArray& input = QByteArray())
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(TARVEX_CLI), arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    return CliRun{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                  QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

QJsonObject jsonOf(const CliRun& run)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString() << run.err.toStdString();
    return document.object();
}

} // namespace

TEST(TarvexConventions, VersionHelpAndTheSwitchesEveryCommandTakes)
{
    const CliRun version = tarvex({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "tarvex " + Tarvex::version() + "\n");

    // Every command answers --help and an unknown option through the same parser: its help
    // with the usage line naming the command, on stdout with status 0 or after the problem on
    // stderr with status 2; and the overview lists it.
    const QString overview = tarvex({"--help"}).out;
    for (const QString command : {"import", "update", "extend", "show", "objects", "materials", "import3d",
                                  "material-map", "power-map", "generate", "export3d", "cfd-export", "set", "add"}) {
        SCOPED_TRACE(command.toStdString());
        EXPECT_TRUE(overview.contains("\n  " + command + ' ')) << overview.toStdString();
        const CliRun help = tarvex({command, "--help"});
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.out.startsWith("Usage: tarvex " + command + " [options]")) << help.out.toStdString();
        EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();
        EXPECT_EQ(tarvex({"help", command}).out, help.out);
        for (const char* option : {"-q, --quiet", "-v, --verbose"})
            EXPECT_TRUE(help.out.contains(option)) << help.out.toStdString();
        const CliRun wrong = tarvex({command, "--help", "--no-such-option"});
        EXPECT_EQ(wrong.exitCode, 2) << "a wrong option wins over --help";
        EXPECT_EQ(wrong.out + wrong.err, "tarvex: Unknown option 'no-such-option'.\n\n" + help.out);
        const CliRun both = tarvex({command, "-q", "-v"});
        EXPECT_EQ(both.exitCode, 2);
        EXPECT_TRUE(both.err.startsWith("tarvex: -q and -v do not go together\n")) << both.err.toStdString();
    }

    // A model is saved in place and locked beside its file: it cannot be a stream.
    const std::pair<QStringList, const char*> refused[] = {
        {{"import", "--model", "-"}, "--model cannot be \"-\""},
        {{"update", "a.xml", "--model", "-"}, "--model cannot be \"-\""},
        {{"set", "-", "#2", "Name=x"}, "MODEL.json cannot be \"-\": the model is saved in place"},
        {{"add", "-", "PCB", "B", "--parent", "#2"}, "MODEL.json cannot be \"-\": the model is saved in place"},
        {{"import3d", "-", "--model", "m.json"}, "ARCHIVE cannot be \"-\""},
    };
    for (const auto& [arguments, message] : refused) {
        const CliRun run = tarvex(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(message)) << run.err.toStdString();
    }
}

// By default a warning and the summary, no line per entity; -q says nothing; -v says every
// step and every entity; --json gives the summary to a program.
TEST(TarvexImport, SaysAsMuchAsAskedAndSumsUpWhatItBuilt)
{
    const TestSupport::TempDir dir;
    const QString file = dir.path("board.xml");
    ASSERT_EQ(tarvex({"generate", "--components", "3", "--balls", "20", "-o", file}).exitCode, 0);
    const QString summary = "Built 70 entities (Bump 40, Component 2, Group_Obstruction 2, Heat_Source 2, Material 6, "
                            "PCB 1, Solid_Obstruction 7, Subcomponent_Group 4, Substrate 2, Terminal 4), changed 3 "
                            "entities (Chassis 1, Project 1, Solution_Control 1), deleted 0 entities; 1 warning.\n";

    const CliRun plain = tarvex({"import", file, "--model", dir.path("plain.json")});
    EXPECT_EQ(plain.out, summary + "Saved the model to " + dir.path("plain.json") + "\n");
    EXPECT_EQ(plain.err, "warning: board.xml : Material Map with 1 layers, only first layer will be applied\n"
                         "Importing Tarvex Interchange Model Finished\n");
    EXPECT_FALSE(plain.err.contains('\r')) << "stderr is no terminal: no progress line";

    const CliRun quiet = tarvex({"import", "-q", file, "--model", dir.path("quiet.json")});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.out + quiet.err, "");
    EXPECT_EQ(dir.read("quiet.json"), dir.read("plain.json"));
    // Errors are told however quiet the run.
    EXPECT_TRUE(CliFiles::failedWith(tarvex({"import", "-q", dir.path("gone.xml")}), "no such file"));

    const CliRun verbose = tarvex({"import", "--verbose", file, "--model", dir.path("verbose.json")});
    EXPECT_TRUE(verbose.out.startsWith("Built 5 top-level entities:\n  PCB \"")) << verbose.out.toStdString();
    EXPECT_TRUE(verbose.out.contains("\n" + summary));
    EXPECT_TRUE(verbose.err.startsWith("Reading Tarvex Interchange Model For Import\n")) << verbose.err.toStdString();

    // An update from the same file builds, changes and deletes nothing.
    const QJsonObject updated = jsonOf(tarvex({"update", file, "--model", dir.path("plain.json"), "--json"}));
    EXPECT_EQ(updated, QJsonObject({{"built", QJsonObject()},
                                    {"changed", QJsonObject()},
                                    {"deleted", QJsonObject()},
                                    {"errors", 0},
                                    {"warnings", 1}}));
    // One that drops the balls deletes them, and the ball group's list changes.
    QByteArray fewer = dir.read("board.xml");
    fewer.remove(fewer.indexOf("<SolderBallSet"), fewer.indexOf("</SolderBallSet>") + 16 - fewer.indexOf("<SolderBallSet"));
    const QJsonObject dropped =
        jsonOf(tarvex({"update", dir.write("fewer.xml", fewer), "--model", dir.path("plain.json"), "--json"}));
    EXPECT_EQ(dropped.value("deleted").toObject().value("Bump").toInt(), 20) << QJsonDocument(dropped).toJson().toStdString();
    EXPECT_EQ(dropped.value("built").toObject(), QJsonObject());

    // --center is --centre.
    EXPECT_EQ(tarvex({"import", "--centre", file, "--model", dir.path("centre.json")}).exitCode, 0);
    EXPECT_EQ(tarvex({"import", "--center", file, "--model", dir.path("center.json")}).exitCode, 0);
    EXPECT_EQ(dir.read("center.json"), dir.read("centre.json"));
}

// "-" is standard input for what is read and standard output for what is written; the
// files that a model read from standard input names are found from the current folder.
TEST(TarvexStreams, DashReadsStandardInputAndWritesStandardOutput)
{
    const TestSupport::TempDir dir;
    const QStringList options{"--components", "2", "--balls", "5"};
    ASSERT_TRUE(QDir().mkpath(dir.path("file")));
    const CliRun generated = tarvexIn(dir.path("."), QStringList{"generate", "-o", "-"} + options);
    ASSERT_EQ(generated.exitCode, 0) << generated.err.toStdString();
    EXPECT_TRUE(generated.err.startsWith("Wrote the model to standard output (")) << generated.err.toStdString();
    ASSERT_EQ(tarvex(QStringList{"generate", "-o", dir.path("file/board.xml")} + options).exitCode, 0);
    EXPECT_EQ(generated.out.toUtf8(), dir.read("file/board.xml"));
    EXPECT_EQ(dir.read("L1.layout"), dir.read("file/L1.layout")) << "the layout it names, in the current folder";

    const CliRun piped = tarvexIn(dir.path("."), {"import", "-", "--model", "piped.json"}, generated.out.toUtf8());
    EXPECT_EQ(piped.exitCode, 0) << piped.err.toStdString();
    EXPECT_TRUE(piped.err.startsWith("warning: <stdin> : Material Map with 1 layers")) << piped.err.toStdString();
    ASSERT_EQ(tarvex({"import", dir.path("file/board.xml"), "--model", dir.path("file.json")}).exitCode, 0);
    // The same model, but for the source file that only the import from a file records.
    const QRegularExpression source(R"("Tarvex_Import_File": ?"[^"]*",?\s*)");
    EXPECT_EQ(QString::fromUtf8(dir.read("piped.json")), QString::fromUtf8(dir.read("file.json")).remove(source));

    // A model from standard input, a file to standard output.
    const QString cfd = QStringLiteral(TARVEX_SAMPLES "/cfd-board.json");
    ASSERT_EQ(tarvex({"cfd-export", cfd, "--board", "Board", "-o", dir.path("terminals.xml")}).exitCode, 0);
    QFile board(cfd);
    ASSERT_TRUE(board.open(QIODevice::ReadOnly));
    const CliRun exported = tarvexIn(dir.path("."), {"cfd-export", "-", "--board", "Board", "-o", "-"}, board.readAll());
    EXPECT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    EXPECT_EQ(exported.out.toUtf8(), dir.read("terminals.xml"));
    EXPECT_EQ(exported.err, "Exported the terminals of PCB \"Board\" #4 to standard output.\n");

    // What is not a model says so, naming standard input as the user named it; the copy
    // kept while it was read is gone.
    const CliRun wrong = tarvexIn(dir.path("."), {"import", "-"}, "not a model");
    EXPECT_TRUE(CliFiles::failedWith(wrong, "Failed to read file : <stdin>"));
    EXPECT_EQ(QDir(dir.path(".")).entryList(QDir::Hidden | QDir::Files | QDir::NoDotAndDotDot),
              QStringList({"file.json", "L1.layout", "piped.json", "terminals.xml"}));
}

// Each entity on a line with its type, name and id; its attributes, then what it owns;
// a subtree, a depth, millimetres, short lines, and the same as JSON.
TEST(TarvexShow, ReadableTreeOfASavedModel)
{
    const TestSupport::TempDir dir;
    const QString model = CliFiles::importedSample(dir);
    ASSERT_FALSE(model.isEmpty());
    const QString all = tarvex({"show", model}).out;
    const QRegularExpression component("\n(\\s*)Component \"U1\" #(\\d+)\n");
    const QRegularExpressionMatch match = component.match(all);
    ASSERT_TRUE(match.hasMatch()) << all.toStdString();
    const QString id = match.captured(2);
    // The component's attributes come before its first child, one level deeper.
    const QString below = all.mid(match.capturedEnd());
    const QString indent = match.captured(1) + "  ";
    EXPECT_LT(below.indexOf(indent + "Width = 0.015\n"), below.indexOf(indent + "Subcomponent_Group \"U1-subcomponents\""));
    EXPECT_EQ(all.count("Reference_Designator = \"U1\""), 0) << "the designator is the entity's name in its line";

    const CliRun subtree = tarvex({"show", model, "--entity", "#" + id, "--depth", "0", "--unit", "mm"});
    EXPECT_TRUE(subtree.out.startsWith("Component \"U1\" #" + id + "\n  Angle_1 = 0\n")) << subtree.out.toStdString();
    EXPECT_TRUE(subtree.out.contains("\n  Width = 15 mm\n")) << subtree.out.toStdString();
    EXPECT_FALSE(subtree.out.contains("Subcomponent_Group")) << "depth 0 shows no owned entity";
    const CliRun oneLevel = tarvex({"show", model, "--entity", "#" + id, "--depth", "1"});
    EXPECT_TRUE(oneLevel.out.contains("\n  Subcomponent_Group \"U1-subcomponents\" #"));
    EXPECT_FALSE(oneLevel.out.contains("Solid_Obstruction")) << oneLevel.out.toStdString();
    for (const QStringList& wrong : {QStringList{"--depth", "-1"}, QStringList{"--unit", "inch"}})
        EXPECT_EQ(tarvex(QStringList{"show", model} + wrong).exitCode, 2) << wrong.join(' ').toStdString();
    EXPECT_TRUE(CliFiles::failedWith(tarvex({"show", model, "--entity", "#999"}), "#999"));

    // A board of many balls: long lists of links and numbers are cut to the line.
    ASSERT_EQ(tarvex({"generate", "--components", "4", "--balls", "300", "-o", dir.path("big.xml")}).exitCode, 0);
    ASSERT_EQ(tarvex({"import", "-q", dir.path("big.xml"), "--model", dir.path("big.json")}).exitCode, 0);
    const QString big = tarvex({"show", dir.path("big.json")}).out;
    EXPECT_TRUE(big.contains(QRegularExpression("/Nodes = \\[0, 0, 0, [^\\]]*, \\.\\.\\. \\(12 in all\\)\\]\n")))
        << "a cut list says how long it is";
    for (const QString& line : big.split('\n'))
        ASSERT_LE(line.size(), 100) << line.toStdString();

    // JSON: ids are numbers, attributes by the path `set` takes, owned entities in "children".
    const QJsonObject json = jsonOf(tarvex({"show", model, "--entity", "#" + id, "--json", "--depth", "1"}));
    EXPECT_EQ(json.value("id").toDouble(), id.toDouble());
    EXPECT_EQ(json.value("type").toString(), "Component");
    EXPECT_EQ(json.value("name").toString(), "U1");
    EXPECT_DOUBLE_EQ(json.value("attributes").toObject().value("Width").toDouble(), 0.015);
    const QJsonArray children = json.value("children").toArray();
    ASSERT_EQ(children.size(), 1);
    EXPECT_EQ(children.at(0).toObject().value("name").toString(), "U1-subcomponents");
    EXPECT_FALSE(children.at(0).toObject().contains("children")) << "past the depth";
}

TEST(TarvexObjects, JsonTreeWithBoundsInMetres)
{
    const QJsonObject json = jsonOf(tarvex({"objects", TARVEX_SAMPLES "/board.xml", "--json"}));
    const QJsonArray objects = json.value("objects").toArray();
    ASSERT_EQ(objects.size(), 9);
    const QJsonObject board = objects.at(0).toObject();
    EXPECT_EQ(board.value("kind").toString(), "layered");
    EXPECT_EQ(board.value("name").toString(), "PCB");
    EXPECT_EQ(board.value("bound").toObject(),
              QJsonObject({{"low", QJsonArray{0, 0, 0}}, {"high", QJsonArray{0.06, 0.04, 0.001565}}}));
    EXPECT_EQ(board.value("parts").toArray().size(), 5) << "its layers";
}

// On a terminal something is shown at once and the line is cleared before the summary; the
// throttle itself is tried with a clock of the test's (ConsoleProgressTest).
TEST(TarvexImport, OnATerminalTheProgressLineNamesThePhaseAndMakesWayForTheSummary)
{
    if (QStandardPaths::findExecutable("script").isEmpty())
        GTEST_SKIP() << "script(1) is not installed";
    // A container or chroot may offer no pseudo-terminal to run in.
    QProcess probe;
    probe.start("script", {"-qec", "true", "/dev/null"});
    if (!probe.waitForFinished(30000) || probe.exitCode() != 0)
        GTEST_SKIP() << "script(1) cannot open a pseudo-terminal here";
    const TestSupport::TempDir dir;
    dir.write("block.xml", CliFiles::blockFile("B1"));
    QProcess script;
    script.setWorkingDirectory(dir.path("."));
    script.start("script", {"-qec", QStringLiteral("'%1' import block.xml --model m.json").arg(TARVEX_CLI), "/dev/null"});
    ASSERT_TRUE(script.waitForFinished(120000));
    const QString screen = QString::fromUtf8(script.readAllStandardOutput());
    EXPECT_EQ(script.exitCode(), 0) << screen.toStdString();
    EXPECT_TRUE(screen.startsWith("\r\033[KReading block.xml ...")) << screen.toStdString();
    EXPECT_TRUE(screen.contains("\r\033[KSaving m.json ...\r\033[KSaved the model to m.json")) << screen.toStdString();
    EXPECT_TRUE(screen.contains(QRegularExpression("(\n|\r\033\\[K)Built 3 entities \\(Component 1, ")))
        << screen.toStdString();
}
