// Runs that say what happened: "Finished" only for a run that succeeded, and an import with
// no place for its entities is an error.

#include "support/CliRun.h"
#include "support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

using TestSupport::CliRun;
using TestSupport::tarvex;

namespace {

const QByteArray Block = "<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1.0\"><GEOMSet>"
                         "<Geom ObjectName=\"B1\" Name=\"B1\" Type=\"Block\" dz=\"1\"><node x=\"0\" y=\"0\" z=\"0\"/>"
                         "<node x=\"1\" y=\"0\" z=\"0\"/><node x=\"1\" y=\"1\" z=\"0\"/><node x=\"0\" y=\"1\" z=\"0\"/>"
                         "</Geom></GEOMSet></TARVEX_INTERCHANGE_MODEL>";

} // namespace

// A model without a chassis gives an import no place to build: an error, exit 1, the model
// as it was, and no "Finished".
TEST(RunOutcome, AnImportIntoAModelWithoutAChassisIsAnError)
{
    TestSupport::TempDir dir;
    const QString model = dir.write("model.json", R"({
 "format": "tarvex-host-model", "formatVersion": 1,
 "root": {"id": 1, "type": "Project", "attributes": {
  "Solution_Control": {"entities": [{"id": 4, "type": "Solution_Control", "attributes": {}}]}}}})");
    const QByteArray before = dir.read("model.json");
    const QString block = dir.write("block.xml", Block);
    for (const QStringList& arguments :
         {QStringList{"import", block, "--model", model}, QStringList{"update", block, "--model", model}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const CliRun run = tarvex(arguments);
        EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("error: There is no entity to import into (no parent entity was given, or the "
                                     "model has no chassis); nothing was imported"))
            << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("Finished")) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("The model file " + model + " was left unchanged."));
        EXPECT_EQ(dir.read("model.json"), before);
    }
}

// The importer closes every operation with its "Finished" message, also after an
// error its success flag does not record (an invalid import list); the tool shows that
// message only when the whole run - the import and the saving - succeeded.
TEST(RunOutcome, FinishedIsShownOnlyForARunThatSucceeded)
{
    TestSupport::TempDir dir;
    const QString model = dir.path("model.json");
    const CliRun first = tarvex({"import", "--model", model});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_TRUE(first.err.endsWith("Importing Tarvex Interchange Model Finished\n")) << first.err.toStdString();
    const QByteArray before = dir.read("model.json");

    struct Case
    {
        const char* what;
        QStringList arguments;
        const char* error;
    };
    const QString invalidList = dir.write("list.json", "{\"TARVEX_INTERCHANGE_MODEL\": [1, ");
    const QString brokenXml = dir.write("broken.xml", "<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1.0\"><GEOMSet>");
    const QString empty = dir.write("empty.xml", "<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1.0\"/>");
    const Case cases[] = {
        {"an invalid import list", {"import", invalidList, "--model", model}, "list.json : Invalid File Format."},
        {"the same without a model", {"import", invalidList}, "list.json : Invalid File Format."},
        {"a broken XML file", {"import", brokenXml, "--model", model}, "broken.xml : Failed to read file : "},
        {"an update of a broken file", {"update", brokenXml, "--model", model}, "broken.xml : Failed to read file : "},
        {"an update that builds nothing", {"update", empty, "--model", model}, "the update built nothing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CliRun run = tarvex(c.arguments);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(c.error)) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("Finished")) << run.err.toStdString();
        EXPECT_EQ(dir.read("model.json"), before);
    }

    // A run whose import went well but whose saving failed did not succeed either.
    ASSERT_TRUE(QFile::setPermissions(model, QFile::ReadOwner | QFile::ReadGroup));
    const CliRun readOnly = tarvex({"import", dir.write("block.xml", Block), "--model", model});
    EXPECT_EQ(readOnly.exitCode, 1);
    EXPECT_TRUE(readOnly.err.contains("Cannot write model file " + model)) << readOnly.err.toStdString();
    EXPECT_FALSE(readOnly.err.contains("Finished")) << readOnly.err.toStdString();
    ASSERT_TRUE(QFile::setPermissions(model, QFile::ReadOwner | QFile::WriteOwner));

    const CliRun update = tarvex({"update", TARVEX_SAMPLES "/board.xml", "--model", model});
    EXPECT_EQ(update.exitCode, 0) << update.err.toStdString();
    EXPECT_TRUE(update.err.endsWith("Updating Tarvex Interchange Model Finished\n")) << update.err.toStdString();
}
