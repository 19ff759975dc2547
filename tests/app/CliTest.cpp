#include "support/CliRun.h"
#include "support/TempDir.h"

#include <QFile>
#include <QRegularExpression>
#include <QProcess>

#include <sys/stat.h>

#include <gtest/gtest.h>

using TestSupport::CliRun;
using TestSupport::tarvex;

TEST(TarvexCli, ImportsTheBuiltInSampleAndSavesAModelThatShowReads)
{
    TestSupport::TempDir dir;
    const CliRun sample = tarvex({"import"});
    EXPECT_EQ(sample.exitCode, 0) << sample.err.toStdString();
    EXPECT_TRUE(sample.out.startsWith("Imported ")) << sample.out.toStdString();
    EXPECT_TRUE(sample.err.contains("Importing Tarvex Interchange Model Finished\n")) << sample.err.toStdString();

    const QString model = dir.path("model.json");
    const CliRun saved = tarvex({"import", "--model", model});
    ASSERT_EQ(saved.exitCode, 0) << saved.err.toStdString();
    EXPECT_TRUE(saved.out.contains("Saved the model to " + model));
    const CliRun shown = tarvex({"show", model});
    EXPECT_EQ(shown.exitCode, 0) << shown.err.toStdString();
    EXPECT_TRUE(shown.out.startsWith("Project #")) << shown.out.toStdString();
    EXPECT_TRUE(shown.out.contains("  Chassis #"));
    EXPECT_TRUE(shown.out.contains("Solid_Objects/Output_convective_HTC = \"Yes\""));
}

TEST(TarvexCli, BadInputEndsWithAMessageAnErrorStatusAndAnUntouchedModel)
{
    TestSupport::TempDir dir;
    const QString model = dir.path("model.json");
    ASSERT_EQ(tarvex({"import", "--model", model}).exitCode, 0);
    const QByteArray saved = dir.read("model.json");

    struct Case
    {
        const char* name;
        QByteArray bytes; // null: the path is used as it is
        const char* message;
    };
    dir.write("folder.xml/inside", "x");
    const Case cases[] = {
        {"missing.xml", QByteArray(), "Cannot open file %1: no such file"},
        {"folder.xml", QByteArray(), "Cannot open file %1: it is a directory"},
        {"empty.xml", QByteArray(""), "empty.xml : Failed to Read : "},
        {"truncated.xml", QByteArray("<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1.0\"><GEOMSet>"),
         "truncated.xml : Failed to Read : "},
        {"binary.xml", QByteArray("\x00\x01\x02\xff\xfe\x00garbage", 14), "binary.xml : Failed to Read : "},
        {"latin1.xml", QByteArray("<TARVEX_INTERCHANGE_MODEL Name=\"\xe9t\xe9\"/>"), "latin1.xml : Failed to Read : "},
        {"wrong-root.xml", QByteArray("<Layout/>"), "wrong-root.xml : Failed to read file : "},
        {"list.json", QByteArray("{\"TARVEX_INTERCHANGE_MODEL\": [1, "), "list.json : Invalid File Format."},
    };
    for (const Case& c : cases) {
        const QString path = c.bytes.isNull() ? dir.path(c.name) : dir.write(c.name, c.bytes);
        const CliRun run = tarvex({"import", path, "--model", model});
        EXPECT_EQ(run.exitCode, 1) << c.name;
        const QString message = QString::fromUtf8(c.message).replace("%1", path);
        EXPECT_TRUE(run.err.contains(message)) << c.name << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("error: ")) << c.name;
        EXPECT_EQ(dir.read("model.json"), saved) << c.name;
    }

    const CliRun notAModel = tarvex({"show", dir.write("not-a-model.json", "{}")});
    EXPECT_EQ(notAModel.exitCode, 1);
    EXPECT_TRUE(notAModel.err.contains("Cannot read model file " + dir.path("not-a-model.json")));
}

TEST(TarvexCli, UsageErrorsAndHelp)
{
    struct Case
    {
        QStringList arguments;
        int exitCode;
        const char* text;
    };
    const Case cases[] = {
        {{}, 2, "no command given"},
        {{"frobnicate"}, 2, "unknown command 'frobnicate'"},
        {{"--help"}, 0, "Commands:"},
        {{"help"}, 0, "Commands:"},
        {{"update", "file.xml"}, 2, "update needs FILE and --model MODEL.json"},
        {{"extend", "file.xml", "--model", "m.json"}, 2, "extend needs FILE, --model MODEL.json and --board NAME"},
        {{"import", "--colour"}, 2, "Unknown option 'colour'"},
        {{"import", "a.xml", "b.xml"}, 2, "unexpected argument 'b.xml'"},
        // A leading ":" would name a resource built into the program, never a user's file.
        {{"objects", ":/samples/board.xml"}, 1, "Cannot open file ./:/samples/board.xml"},
    };
    for (const Case& c : cases) {
        const CliRun run = tarvex(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE((run.out + run.err).contains(c.text)) << c.arguments.join(' ').toStdString() << ":\n"
                                                           << (run.out + run.err).toStdString();
    }
}

// Every command answers --help and an unknown option through the same parser: its help
// with the usage line naming the command, on stdout with status 0 or after the problem on
// stderr with status 2; and the overview lists it.
TEST(TarvexCli, EveryCommandAnswersHelpAndUnknownOptionsAlike)
{
    const QString overview = tarvex({"--help"}).out;
    for (const QString command : {"import", "update", "extend", "show", "objects", "materials", "material-map",
                                  "power-map", "generate"}) {
        SCOPED_TRACE(command.toStdString());
        EXPECT_TRUE(overview.contains("\n  " + command + ' ')) << overview.toStdString();
        const CliRun help = tarvex({command, "--help"});
        EXPECT_EQ(help.exitCode, 0);
        const QString usage = "Usage: tarvex " + command + " [options]";
        EXPECT_TRUE(help.out.startsWith(usage)) << help.out.toStdString();
        EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();
        const CliRun wrong = tarvex({command, "--no-such-option"});
        EXPECT_EQ(wrong.exitCode, 2);
        EXPECT_TRUE(wrong.out.isEmpty()) << wrong.out.toStdString();
        EXPECT_EQ(wrong.err, "tarvex: Unknown option 'no-such-option'.\n\n" + help.out);
        EXPECT_EQ(tarvex({command, "--help", "--no-such-option"}).exitCode, 2) << "a wrong option wins over --help";
        EXPECT_EQ(tarvex({"help", command}).out, help.out);
    }
}

TEST(TarvexCli, UpdateAndExtendWorkOnASavedModel)
{
    TestSupport::TempDir dir;
    const QString model = dir.path("model.json");
    ASSERT_EQ(tarvex({"import", "--model", model}).exitCode, 0);
    // Ids aside, updating with the same file gives the same model: every entity is reused
    // or made again, none is left twice.
    const auto withoutIds = [](QString text) { return text.remove(QRegularExpression(" #\\d+")); };
    const QString imported = withoutIds(tarvex({"show", model}).out);
    EXPECT_TRUE(imported.contains("Bump \"U1_A1\"")) << imported.toStdString();

    const CliRun update = tarvex({"update", TARVEX_SAMPLES "/board.xml", "--model", model});
    EXPECT_EQ(update.exitCode, 0) << update.err.toStdString();
    EXPECT_TRUE(update.err.contains("Updating Tarvex Interchange Model Finished\n"));
    EXPECT_EQ(withoutIds(tarvex({"show", model}).out), imported);

    // A file that builds nothing keeps the earlier import.
    const QString board = dir.write("board.xml", "<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1.0\"/>");
    const QByteArray before = dir.read("model.json");
    const CliRun empty = tarvex({"update", board, "--model", model});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_TRUE(empty.err.contains("the update built nothing, so the earlier import is kept"));
    EXPECT_EQ(dir.read("model.json"), before);

    const CliRun noBoard = tarvex({"extend", board, "--model", model, "--board", "Main"});
    EXPECT_EQ(noBoard.exitCode, 1);
    EXPECT_TRUE(noBoard.err.contains("no board named \"Main\""));

    const CliRun missing = tarvex({"extend", dir.path("gone.xml"), "--model", model, "--board", "Main"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("Cannot open file " + dir.path("gone.xml")));
}

TEST(TarvexCli, PipesAreRefusedRatherThanWaitedOn)
{
    TestSupport::TempDir dir;
    const QString fifo = dir.path("pipe.xml");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    for (const QStringList& arguments : {QStringList{"import", fifo}, QStringList{"show", fifo},
                                         QStringList{"import", "--model", fifo}}) {
        const CliRun run = tarvex(arguments);
        EXPECT_NE(run.exitCode, 0) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(fifo)) << run.err.toStdString();
    }
}

TEST(TarvexCli, UpdateReplacesOnlyWhatEarlierImportsBuiltAndReadOnlyModelsStay)
{
    TestSupport::TempDir dir;
    // A model with a board a person made by hand: no import recorded it.
    const QString model = dir.write("model.json", R"({
 "format": "tarvex-host-model", "formatVersion": 1,
 "root": {"id": 1, "type": "Project", "attributes": {
  "Chassis": {"entities": [{"id": 2, "type": "Chassis", "attributes": {
   "Objects": {"entities": [{"id": 3, "type": "PCB", "attributes": {"Name": "Main"}}]}}}]},
  "Solution_Control": {"entities": [{"id": 4, "type": "Solution_Control", "attributes": {}}]}}}})");
    const QString board = dir.write("board.xml", "<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1.0\"/>");
    const CliRun update = tarvex({"update", board, "--model", model});
    EXPECT_EQ(update.exitCode, 0) << update.err.toStdString();
    const CliRun shown = tarvex({"show", model});
    EXPECT_TRUE(shown.out.contains("PCB \"Main\" #3")) << shown.out.toStdString();

    const QByteArray before = dir.read("model.json");
    ASSERT_TRUE(QFile::setPermissions(model, QFile::ReadOwner | QFile::ReadGroup));
    const CliRun readOnly = tarvex({"import", board, "--model", model});
    EXPECT_EQ(readOnly.exitCode, 1);
    EXPECT_TRUE(readOnly.err.contains("Cannot write model file " + model + ": the file is read-only"))
        << readOnly.err.toStdString();
    EXPECT_EQ(dir.read("model.json"), before);
}

// The object tree of a file, before any entity: every part with its bound in metres; a
// file whose outline is not flat is refused by both commands, and the model stays as it was.
TEST(TarvexCli, ObjectsPrintsTheTreeAndBentOutlinesAreRefused)
{
    const CliRun objects = tarvex({"objects", TARVEX_SAMPLES "/board.xml"});
    EXPECT_EQ(objects.exitCode, 0) << objects.err.toStdString();
    EXPECT_TRUE(objects.out.contains("layered \"PCB\", type PCB: (0, 0, 0) .. (0.06, 0.04, 0.001565) m"))
        << objects.out.toStdString();
    EXPECT_TRUE(objects.out.contains("  - solder bump \"U1_D1\", type SolderBump, material SAC305"));
    EXPECT_TRUE(objects.out.contains("9 top-level objects, 9 nodes, 33 parts."));

    TestSupport::TempDir dir;
    const QString bent = dir.write(
        "bent.xml", "<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1.0\"><GEOMSet><Geom ObjectName=\"B\" Name=\"B\" "
                    "Type=\"Block\" dz=\"1\"><node x=\"0\" y=\"0\" z=\"0\"/><node x=\"1\" y=\"0\" z=\"0.5\"/>"
                    "<node x=\"1\" y=\"1\" z=\"0\"/></Geom></GEOMSet></TARVEX_INTERCHANGE_MODEL>");
    const CliRun refused = tarvex({"objects", bent});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("bent.xml : The nodes of B do not lie in one plane (Z variation)"))
        << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("Failed to read file : " + bent));

    const QString model = dir.path("model.json");
    ASSERT_EQ(tarvex({"import", "--model", model}).exitCode, 0);
    const QByteArray before = dir.read("model.json");
    const CliRun imported = tarvex({"import", bent, "--model", model});
    EXPECT_EQ(imported.exitCode, 1);
    EXPECT_TRUE(imported.err.contains("bent.xml : The nodes of B do not lie in one plane (Z variation)"))
        << imported.err.toStdString();
    EXPECT_TRUE(imported.err.contains("bent.xml : Failed to read file : " + bent));
    EXPECT_EQ(dir.read("model.json"), before);
}

// Imported components carry reference designators, not names: the map commands find them
// by those.
TEST(TarvexCli, MapsApplyToImportedComponentsByReferenceDesignator)
{
    TestSupport::TempDir dir;
    const QString model = dir.path("model.json");
    ASSERT_EQ(tarvex({"import", "--model", model}).exitCode, 0);
    const CliRun applied =
        tarvex({"material-map", TARVEX_SAMPLES "/material-map-grid.csv", "--model", model, "--entity", "C1", "--resize"});
    EXPECT_EQ(applied.exitCode, 0) << applied.err.toStdString();
    EXPECT_TRUE(applied.out.contains("to Component \"C1\": 1 layer")) << applied.out.toStdString();
}
