// What only the tool does: exit statuses, usage errors, the model file left as it was after
// any failure, "Finished" only for a run that succeeded, and the imports a model records.
#include "app/CliFiles.h"

#include <QFile>
#include <QRegularExpression>

#include <sys/stat.h>

#include <gtest/gtest.h>

using TestSupport::CliRun;
using TestSupport::tarvex;

namespace {

// `tarvex generate` with `arguments`.
CliRun generate(const QStringList& arguments) { return tarvex(QStringList{"generate"} + arguments); }

} // namespace

TEST(TarvexCli, ImportAndObjectsOfTheSampleBoard)
{
    TestSupport::TempDir dir;
    const CliRun saved = tarvex({"import", "--model", dir.path("model.json")});
    // By default a summary, not a line per entity: every entity the sample makes, by type.
    EXPECT_TRUE(saved.out.startsWith("Built 29 entities (Bump 6, Component 3, Group_Obstruction 2, Heat_Source 1, "
                                     "Material 6, PCB 1, Solid_Obstruction 4, Subcomponent_Group 3, Substrate 1, "
                                     "Terminal 2), changed 3 entities (Chassis 1, Project 1, Solution_Control 1), "
                                     "deleted 0 entities; 0 warnings.\n"))
        << saved.out.toStdString();
    EXPECT_TRUE(saved.out.contains("Saved the model to " + dir.path("model.json")));
    EXPECT_TRUE(saved.err.endsWith("Importing Tarvex Interchange Model Finished\n")) << saved.err.toStdString();

    // The object tree of a file, before any entity: every part with its bound in metres.
    const CliRun objects = tarvex({"objects", TARVEX_SAMPLES "/board.xml"});
    EXPECT_EQ(objects.exitCode, 0) << objects.err.toStdString();
    EXPECT_TRUE(objects.out.contains("layered \"PCB\", type PCB: (0, 0, 0) .. (0.06, 0.04, 0.001565) m"))
        << objects.out.toStdString();
    EXPECT_TRUE(objects.out.contains("  - solder bump \"U1_D1\", type SolderBump, material SAC305"));
    EXPECT_TRUE(objects.out.contains("9 top-level objects, 9 nodes, 33 parts."));
}

// Each way a run can fail ends with its message, status 1, no "Finished", and every model
// file as it was.
TEST(TarvexCli, FailedRunsSayWhyAndLeaveTheModelAsItWas)
{
    TestSupport::TempDir dir;
    const QString model = CliFiles::importedSample(dir);
    ASSERT_FALSE(model.isEmpty());
    const QString noChassis = dir.write("no-chassis.json", CliFiles::savedModel(R"("Solution_Control": {"entities": [
        {"id": 4, "type": "Solution_Control", "attributes": {}}]})"));
    const QByteArray before = dir.read("model.json");
    const QByteArray noChassisBefore = dir.read("no-chassis.json");
    dir.write("folder.xml/inside", "x");
    const QString fifo = dir.path("pipe.xml");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const QString broken = dir.write("broken.xml", "<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1.0\"><GEOMSet>");
    const QString list = dir.write("list.json", "{\"TARVEX_INTERCHANGE_MODEL\": [1, ");
    const QString empty = dir.write("empty.xml", CliFiles::emptyBoard());
    const QString block = dir.write("block.xml", CliFiles::blockFile("B1"));
    // One corner of a block raised: its outline is not flat.
    const QByteArray bentBlock = CliFiles::blockFile("B").replace("x=\"1\" y=\"0\" z=\"0\"", "x=\"1\" y=\"0\" z=\"0.5\"");
    const QString bent = dir.write("bent.xml", bentBlock);
    struct Case
    {
        QStringList arguments;
        QString message;
    };
    const Case cases[] = {
        {{"import", dir.path("missing.xml"), "--model", model}, "file " + dir.path("missing.xml") + ": no such file"},
        {{"import", dir.path("folder.xml"), "--model", model}, "file " + dir.path("folder.xml") + ": it is a directory"},
        {{"show", fifo}, "Cannot open file " + fifo + ": it is not a regular file"}, // a pipe is not waited on
        {{"import", broken, "--model", model}, "broken.xml : Failed to read file : "},
        {{"import", list}, "list.json : Invalid File Format."}, // the importer's own "Finished" is held back
        {{"update", empty, "--model", model}, "the update built nothing, so the earlier import is kept"},
        {{"extend", empty, "--model", model, "--board", "Main"}, "no entity named \"Main\""},
        {{"extend", dir.path("gone.xml"), "--model", model, "--board", "Main"}, "Cannot open file " + dir.path("gone.xml")},
        {{"import", block, "--model", noChassis}, "There is no entity to import into"},
        // The import went well but the saving failed: not a success either.
        {{"import", block, "--model", model}, "Cannot write model file " + model + ": the file is read-only"},
        {{"show", dir.write("not-a-model.json", "{}")}, "Cannot read model file " + dir.path("not-a-model.json")},
        // A leading ":" would name a resource built into the program, never a user's file.
        {{"objects", ":/samples/board.xml"}, "Cannot open file ./:/samples/board.xml"},
        {{"objects", bent}, "Failed to read file : " + bent},
    };
    ASSERT_TRUE(QFile::setPermissions(model, QFile::ReadOwner | QFile::ReadGroup));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        EXPECT_TRUE(CliFiles::failedWith(tarvex(c.arguments), c.message));
        EXPECT_EQ(dir.read("model.json"), before);
        EXPECT_EQ(dir.read("no-chassis.json"), noChassisBefore);
    }
    // A run that fails into a model not made yet makes none, and says so.
    const CliRun unmade = tarvex({"import", broken, "--model", dir.path("new.json")});
    EXPECT_TRUE(unmade.err.contains("No model file was made at " + dir.path("new.json") + ".")) << unmade.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.path("new.json")));

}

TEST(TarvexCli, UsageErrorsExitWithTwo)
{
    const std::pair<QStringList, const char*> cases[] = {
        {{}, "no command given"},
        {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"help", "frobnicate"}, "unknown command 'frobnicate'"},
        {{"help", "import", "extra"}, "unexpected argument 'extra'"},
        {{"update", "file.xml"}, "update needs FILE and --model MODEL.json"},
        {{"extend", "file.xml", "--model", "m.json"}, "extend needs FILE, --model MODEL.json and --board NAME"},
        {{"power-map", "file.txt", "--model", "m.json"}, "power-map needs FILE, --model MODEL.json and --entity NAME"},
        {{"materials"}, "materials needs exactly one LIBRARY_FILE"},
        {{"import", "a.xml", "b.xml"}, "unexpected argument 'b.xml'"},
    };
    for (const auto& [arguments, text] : cases) {
        const CliRun run = tarvex(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(text)) << arguments.join(' ').toStdString() << ":\n" << run.err.toStdString();
    }
}

// An update replaces what the imports recorded in the model, and only that: a board made by
// hand stays.
TEST(TarvexCli, UpdateReplacesOnlyWhatEarlierImportsBuilt)
{
    TestSupport::TempDir dir;
    const QString handMade = dir.write(
        "hand.json", CliFiles::chassisHolding("Objects", R"({"id": 3, "type": "PCB", "attributes": {"Name": "Main"}})"));
    EXPECT_EQ(tarvex({"update", dir.write("empty.xml", CliFiles::emptyBoard()), "--model", handMade}).exitCode, 0);
    EXPECT_TRUE(tarvex({"show", handMade}).out.contains("PCB \"Main\" #3"));
}

// A board file in, a saved model out: the board's layers and their cells as numbered items,
// one material entity per name; updating from the same file saves the same bytes.
TEST(TarvexCli, BoardsComeWithTheirLayersAndAnUpdateFromTheSameFileChangesNothing)
{
    TestSupport::TempDir dir;
    const QString model = dir.path("board.json");
    const CliRun imported = tarvex({"import", TARVEX_TEST_DATA "/builders/l-board.xml", "--model", model});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    const QByteArray saved = dir.read("board.json");
    const CliRun updated = tarvex({"update", TARVEX_TEST_DATA "/builders/l-board.xml", "--model", model});
    EXPECT_EQ(updated.exitCode, 0) << updated.err.toStdString();
    EXPECT_EQ(dir.read("board.json"), saved);
    // A run with errors shows what it built as not saved, and leaves the model as it was.
    const CliRun failed = tarvex({"import", TARVEX_TEST_DATA "/builders/legacy-sources.xml", "--model", model});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.out, "Because of the errors nothing is saved; built 4 entities (Heat_Source 2, Material 1, "
                          "PCB 1), changed 0 entities, deleted 0 entities; 0 warnings, 1 error.\n");
    EXPECT_TRUE(failed.err.endsWith("The model file " + model + " was left unchanged.\n")) << failed.err.toStdString();
    EXPECT_EQ(dir.read("board.json"), saved);
    const QString shown = tarvex({"show", model}).out;
    EXPECT_TRUE(shown.contains("      Tarvex_Interchange_Model/Tarvex_Layers_Definition/Tarvex_Layers (3 items)\n"
                               "        [1] \"Bottom\"\n"))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains("          Tarvex_Layer_Items (1 item)\n            [1] \"Core\"\n")) << shown.toStdString();
    EXPECT_EQ(shown.count("  Material \""), 2) << shown.toStdString();
}

TEST(TarvexGenerate, WritesTheSameFileForTheSameOptionsInEveryProcess)
{
    TestSupport::TempDir dir;
    const QStringList options{"--components", "9", "--balls", "6", "--layers", "3", "--seed", "42"};
    const CliRun run = generate(options + QStringList{"-o", dir.path("first.xml")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("Wrote " + dir.path("first.xml") + " (")) << run.out.toStdString();
    ASSERT_EQ(generate(options + QStringList{"--output", dir.path("second.xml")}).exitCode, 0);
    EXPECT_EQ(dir.read("second.xml"), dir.read("first.xml"));

    // The older layout is an interchange model that the import reads too.
    const CliRun legacy = generate(options + QStringList{"--legacy", "-o", dir.path("second.xml")});
    EXPECT_TRUE(legacy.out.contains("older layout")) << legacy.err.toStdString();
    EXPECT_TRUE(dir.read("second.xml").contains("<NORVANE_SIMPLIFIED_DESIGN_THERMAL_MODEL>"));
    EXPECT_EQ(tarvex({"import", dir.path("second.xml")}).exitCode, 0);

    // A current file comes with the layouts it names, so that its board imports whole.
    const CliRun current = tarvex({"import", "-v", dir.path("first.xml")});
    EXPECT_EQ(current.exitCode, 0) << current.err.toStdString();
    EXPECT_FALSE(current.err.contains("error: ")) << current.err.toStdString();
    EXPECT_TRUE(current.out.contains("Material_Fraction = [")) << current.out.toStdString();

    // A layout on the top layer stands at that layer's height, so the import applies it.
    for (const char* seed : {"1", "7"}) {
        SCOPED_TRACE(seed);
        ASSERT_EQ(generate({"--components", "10", "--balls", "20", "--layers", "3", "--seed", seed, "-o",
                            dir.path("top.xml")})
                      .exitCode,
                  0);
        const CliRun topLayout = tarvex({"import", dir.path("top.xml")});
        EXPECT_EQ(topLayout.exitCode, 0) << topLayout.err.toStdString();
    }
}

TEST(TarvexGenerate, UsageErrorsExitWithTwoAndWriteNothing)
{
    TestSupport::TempDir dir;
    const QString out = dir.path("out.xml");
    const std::pair<QStringList, const char*> cases[] = {
        {{"--components", "1", "--balls", "1"}, "generate needs --components M, --balls K and -o FILE"},
        {{"--components", "-1", "--balls", "1", "-o", out}, "--components takes a whole number from 0 to 1000000, not '-1'"},
        {{"--components", "1", "--balls", "1", "--layers", "0", "-o", out}, "--layers takes a whole number from 1 to 100"},
        {{"--components", "1", "--balls", "1", "--seed", "-3", "-o", out}, "--seed takes a whole number"},
        {{"--components", "1", "--balls", "1", "-o", ""}, "-o needs a file name"},
    };
    for (const auto& [options, message] : cases) {
        SCOPED_TRACE(options.join(' ').toStdString());
        const CliRun run = generate(options);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(message))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("\n\nUsage: tarvex generate [options]\n")) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
    // A file that cannot be written is a failure, not a usage error.
    const CliRun unwritable = generate({"--components", "1", "--balls", "1", "-o", dir.path("no/such/x.xml")});
    EXPECT_TRUE(CliFiles::failedWith(unwritable, "The folder " + dir.path("no/such") + " does not exist while saving "));
}

// A generated board of 200 components and 2 000 balls saves to a model at most three times its
// size and updates to the same bytes; a changed file updates what it still has in place (same
// ids) and drops what it no longer has.
TEST(TarvexCli, AnUpdateKeepsIdsChangesValuesInPlaceAndDropsWhatIsGone)
{
    TestSupport::TempDir dir;
    const QString generated = dir.path("generated.xml");
    ASSERT_EQ(tarvex({"generate", "--components", "200", "--balls", "2000", "-o", generated}).exitCode, 0);
    ASSERT_EQ(tarvex({"import", generated, "--model", dir.path("generated.json")}).exitCode, 0);
    const QByteArray imported = dir.read("generated.json");
    EXPECT_LE(imported.size(), 3 * dir.read("generated.xml").size()) << "the saved model is bloated";

    QFile original(TARVEX_TEST_DATA "/builders/package-board.xml");
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    QByteArray file = original.readAll();
    const QString model = dir.path("package.json");
    ASSERT_EQ(tarvex({"import", dir.write("package.xml", file), "--model", model}).exitCode, 0);
    const QString before = tarvex({"show", model}).out;

    file.replace("Power=\"2\"", "Power=\"3.5\"");
    const int ball = file.indexOf("<SolderBall Name=\"U1_A2\"");
    file.remove(ball, file.indexOf("/>", ball) + 2 - ball);
    ASSERT_EQ(tarvex({"update", dir.write("package.xml", file), "--model", model}).exitCode, 0);
    const QString after = tarvex({"show", model}).out;

    // The die keeps its id and takes its new power; the dropped ball is gone with nothing
    // duplicated in its place.
    const QRegularExpression die("Solid_Obstruction \"DIE\" #(\\d+)");
    ASSERT_TRUE(die.match(before).hasMatch());
    EXPECT_EQ(die.match(after).captured(1), die.match(before).captured(1));
    EXPECT_TRUE(after.contains("Heat_Dissipated = 3.5")) << after.toStdString();
    EXPECT_FALSE(after.contains("U1_A2"));
    for (const char* once : {"Bump \"U1_A1\"", "Solid_Obstruction \"DIE\"", "Material \"SAC\"",
                             "Subcomponent_Group \"U1-subcomponents\"", "Group_Obstruction \"Solder Balls\""})
        EXPECT_EQ(after.count(once), 1) << once;
    EXPECT_EQ(after.count("Component #"), before.count("Component #"));
}
