// The export as one operation: what it reports, what it leaves behind when it fails, and
// that nothing of one export carries into the next.
#include "exchange3d/ExportTestSupport.h"
#include "exchange3d/ProjectArchive.h"

#include "support/RecordingProgress.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace ExportTest;
using Tarvex3D::Tarvex3DExporter;
using Kind = Tools::ToolProgress::Kind;

TEST(ExporterTest, ReportsEachStepAndStartsEveryExportAfresh)
{
    const TestSupport::TempDir dir;
    const TwoBlocks blocks;
    Tools::RecordingProgress progress;
    Tarvex3DExporter exporter;
    ASSERT_TRUE(exporter.exportModel(blocks.model->getRoot(), dir.path("one.zip").toStdString(), false, &progress));
    EXPECT_EQ(progress.texts(Kind::Message),
              QStringList({"Exporting Tarvex3D model", "Exporting Material: EC_Cu_101_b", "Exporting Object: Block 1.a",
                           "Exporting Object: Q 1", "Exporting Object: Block 2", "Exporting Tarvex3D model Finished"}));
    EXPECT_EQ(progress.totalSteps(), 4u) << "the chassis' entities and the materials";
    EXPECT_EQ(progress.step(), 4u);
    EXPECT_EQ(exporter.getNotes().size(), 2);

    // Again, with a relative path: the same ids and names as the first time, and the notes of
    // this export alone.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path(".")));
    const bool again = exporter.exportModel(blocks.model->getRoot(), "two.zip", false, nullptr);
    QDir::setCurrent(previous);
    ASSERT_TRUE(again) << exporter.importError();
    EXPECT_EQ(exporter.getNotes().size(), 2);
    EXPECT_EQ(addedObjects(exporter.getDocument()).first(), "GeomObject 37 Block_1_a");
    EXPECT_EQ(readArchive(dir.path("one.zip")), readArchive(dir.path("two.zip"))) << "the same model, the same archive";
    EXPECT_EQ(TestSupport::entriesOf(dir.path(".")), QStringList({"one.zip", "two.zip"}));
}

TEST(ExporterTest, AFailedExportSaysWhyAndLeavesTheFolderAsItWas)
{
    const TestSupport::TempDir dir;
    const TwoBlocks blocks;
    dir.write("kept.zip", "an earlier archive");
    QDir(dir.path(".")).mkdir("folder.zip");
    const std::unique_ptr<Model> bare = std::make_unique<Model>(); // a project without a chassis
    const struct
    {
        const Model* model;
        QString path;
        QString error;
    } cases[] = {
        {blocks.model.get(), dir.path("missing/out.zip"), "Unable to write to the selected directory: " + dir.path("missing")},
        {bare.get(), dir.path("kept.zip"), "The model has no chassis to export."},
        {blocks.model.get(), dir.path("folder.zip"), "Failed to write the project archive: cannot write " + dir.path("folder.zip")},
    };
    for (const auto& c : cases) {
        Tools::RecordingProgress progress;
        Tarvex3DExporter exporter;
        EXPECT_FALSE(exporter.exportModel(c.model->getRoot(), c.path.toStdString(), false, &progress)) << c.path.toStdString();
        const QString error = QString::fromStdString(exporter.importError());
        EXPECT_TRUE(error.startsWith(c.error)) << error.toStdString();
        EXPECT_EQ(progress.texts(Kind::FatalError), QStringList({error}));
        EXPECT_FALSE(progress.has(Kind::Message, "Exporting Tarvex3D model Finished"));
        EXPECT_EQ(TestSupport::entriesOf(dir.path(".")), QStringList({"folder.zip", "kept.zip"})) << "no files of the export are left";
        EXPECT_EQ(dir.read("kept.zip"), "an earlier archive");
    }
}
