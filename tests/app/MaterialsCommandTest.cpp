#include "app/CliFiles.h"
#include "model3d/Model3DTestData.h"

#include "support/CliRun.h"
#include "support/TempDir.h"

#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

using namespace Model3DTest;

using TestSupport::CliRun;
using TestSupport::tarvex;

namespace {

// Copies the sample library to `dir`/materials.xml, dated `date`.
QString datedSample(const TestSupport::TempDir& dir, const char* date)
{
    const QString lib = dir.path("materials.xml");
    QFile::remove(lib);
    QFile::copy(sampleLibrary(), lib);
    QFile file(lib);
    file.open(QIODevice::ReadWrite);
    file.setFileTime(QDateTime::fromString(date, Qt::ISODate), QFileDevice::FileModificationTime);
    return lib;
}

} // namespace

// One library imported, imported again, refused for bad input with both files left alone, and
// updated from a newer file.
TEST(TarvexMaterialsCommand, ImportsTheSampleAndKeepsTheLibraryInStepAcrossRuns)
{
    TestSupport::TempDir dir;
    const QString lib = datedSample(dir, "2024-01-01T00:00:00Z");
    const QString model = dir.path("model.json");
    const QString store = dir.path("model.library.json");
    const CliRun first = tarvex({"materials", lib, "--model", model});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_TRUE(first.out.startsWith("Imported " + lib + " into the material library \"Norvane Material Library\":\n"));
    EXPECT_TRUE(first.out.contains("    Conductivity/Conductivity_Temperature_Curve = curve of 3 points, x 223.15 .. 398.15\n"))
        << first.out.toStdString();
    EXPECT_TRUE(first.out.contains("holds 4 materials; 4 of them from this file.\n"));
    EXPECT_LT(first.out.indexOf("\"SAC305\""), first.out.indexOf("\"Silicon\"")) << "in the order of the file";
    EXPECT_TRUE(first.out.endsWith("Saved the material library to " + store + "\n"));
    const QByteArray savedStore = dir.read("model.library.json");
    const QByteArray savedModel = dir.read("model.json");

    // The same file again: up to date, nothing written.
    const CliRun again = tarvex({"materials", lib, "--model", model});
    EXPECT_TRUE(again.out.startsWith("The material library \"Norvane Material Library\" is up to date with " + lib +
                                     "; nothing was imported:\n"))
        << again.out.toStdString();
    EXPECT_EQ(dir.read("model.library.json"), savedStore);
    EXPECT_EQ(dir.read("model.json"), savedModel);

    const QString project = dir.write("project.xml", "<Project><Objects/></Project>");
    const std::pair<QString, QString> cases[] = {
        {dir.path("missing.xml"), "error: Cannot open file " + dir.path("missing.xml") + ": no such file"},
        {project, "error: project.xml : no materials in the file"},
        // A store marked read-only: the newer library cannot go in.
        {datedSample(dir, "2024-07-01T00:00:00Z"),
         "error: materials.xml : The material library \"Norvane Material Library\" is read-only and cannot be updated."},
    };
    ASSERT_TRUE(QFile::setPermissions(store, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    for (const auto& [path, message] : cases) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_TRUE(CliFiles::failedWith(tarvex({"materials", path, "--model", model}), message));
        EXPECT_EQ(dir.read("model.library.json"), savedStore);
        EXPECT_EQ(dir.read("model.json"), savedModel);
    }
    EXPECT_TRUE(tarvex({"materials", project, "--model", model})
                    .err.contains("The model file " + model + " and its material library " + store + " were left unchanged."));

    // A newer file updates the library: FR4 changes, Zinc joins, the others stay.
    ASSERT_TRUE(QFile::setPermissions(store, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QFile::remove(lib);
    dir.write("materials.xml", library(material("FR4", "25 0.4 1850 1100 0.9 0.1\n") +
                                       material("Zinc", "25 116 7140 388 0.05 0.5\n")));
    const CliRun updated = tarvex({"materials", lib, "--model", model});
    ASSERT_EQ(updated.exitCode, 0) << updated.err.toStdString();
    EXPECT_TRUE(updated.out.contains("holds 5 materials; 2 of them from this file.\n")) << updated.out.toStdString();
}
