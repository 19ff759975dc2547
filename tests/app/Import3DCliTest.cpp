// tarvex import3d as a user runs it: a project archive brought into a model, and a hostile
// archive refused with a clear message, the saved model byte-identical, nothing written
// outside the temporary folder and no folder left behind.
#include "CliFiles.h"
#include "exchange3d/ProjectArchive.h"
#include "support/CliRun.h"
#include "support/TempDir.h"

#include <QDir>

#include <gtest/gtest.h>

using TestSupport::tarvex;

namespace {

TEST(TarvexImport3D, ImportsTheSampleArchiveIntoAGroupNamedAfterIt)
{
    // samples/blocks.zip is the export of two blocks: "Block 1.a" (10 x 2 x 5 mm at 1, 0,
    // 2 mm, coloured, of copper, with a 2.5 W heat source and a terminal on its top) and
    // "Block 2" (4 x 1 x 3 mm at 20, 0, 0 mm, with a point sensor).
    TestSupport::TempDir dir;
    const TestSupport::TemporaryFolderAt temporary(dir.path("tmp"));
    const TestSupport::CliRun run =
        tarvex({"import3d", QStringLiteral(TARVEX_SAMPLES "/blocks.zip"), "--model", dir.path("model.json")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("warning: No Implementation for UCS Object")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("Importing Tarvex3D model Finished")) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("Built ")) << run.out.toStdString();
    EXPECT_FALSE(run.out.contains("Group_Obstruction \"blocks\"")) << "the entities are listed with -v only";
    EXPECT_EQ(TestSupport::everythingBelow(dir.path("tmp")), QStringList());

    // The values of each entity are the importer's (tests/exchange3d): here that all arrive,
    // in the group named after the archive.
    const QString shown = tarvex({"show", dir.path("model.json")}).out;
    for (const char* expected : {"Group_Obstruction \"blocks\"", "Solid_Obstruction \"Block 1.a\"", "Heat_Source \"Q_1\"",
                                 "Terminal \"Pin_1\"", "Solid_Obstruction \"Block 2\"", "Sensor \"T_probe\"",
                                 "Material \"EC_Cu_101_b\""})
        EXPECT_TRUE(shown.contains(QString::fromUtf8(expected))) << expected << "\n" << shown.toStdString();
}

// Each refusal is tested where it is made (tests/host, tests/exchange3d); one of them here
// end to end.
TEST(TarvexImport3D, RefusesAHostileArchiveLeavingTheModelAndTheDiskAsTheyWere)
{
    TestSupport::TempDir dir;
    const QString model = CliFiles::importedSample(dir);
    ASSERT_FALSE(model.isEmpty());
    const QByteArray before = dir.read("model.json");
    const TestSupport::TemporaryFolderAt temporary(dir.path("tmp"));
    ASSERT_TRUE(TestSupport::writeZip(dir.path("hostile.zip"), {{"Project.xml", TestSupport::twoBlocks()},
                                                                TestSupport::twoBlockGeometry()[0],
                                                                {"../escaped.txt", "evil"}}));
    const TestSupport::CliRun run = tarvex({"import3d", dir.path("hostile.zip"), "--model", model});
    EXPECT_TRUE(CliFiles::failedWith(run, "the entry \"../escaped.txt\" leaves the extraction folder"));
    EXPECT_TRUE(run.err.contains("was left unchanged")) << run.err.toStdString();
    EXPECT_EQ(dir.read("model.json"), before);
    EXPECT_EQ(TestSupport::everythingBelow(dir.path("")), QStringList({"hostile.zip", "model.json", "tmp"}));
}

TEST(TarvexImport3D, UsageErrorsAndAFileThatIsNoArchive)
{
    TestSupport::TempDir dir;
    const QString archive = dir.write("a.zip", "");
    for (const QStringList& arguments : {QStringList{"import3d"}, QStringList{"import3d", archive}}) {
        const TestSupport::CliRun run = tarvex(arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains("tarvex: import3d needs ARCHIVE and --model MODEL.json")) << run.err.toStdString();
    }
    // A file that is no archive is refused like any other.
    const TestSupport::CliRun run = tarvex({"import3d", archive, "--model", dir.path("new.json")});
    EXPECT_TRUE(CliFiles::failedWith(run, "The archive a.zip was refused: it is not a zip archive that can be read."));
    EXPECT_FALSE(QFileInfo::exists(dir.path("new.json")));
}

} // namespace
