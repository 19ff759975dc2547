#include "model3d/Model3DTestData.h"

#include "support/CliRun.h"
#include "support/TempDir.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

using namespace Model3DTest;

using TestSupport::CliRun;
using TestSupport::tarvex;

namespace {


void setFileTime(const QString& path, const QDateTime& time)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
}

} // namespace

TEST(TarvexMaterialsCommand, ImportsTheSampleAndKeepsTheLibraryInStepAcrossRuns)
{
    TestSupport::TempDir dir;
    const QString lib = dir.path("materials.xml");
    ASSERT_TRUE(QFile::copy(sampleLibrary(), lib));
    setFileTime(lib, QDateTime::fromString("2024-01-01T00:00:00Z", Qt::ISODate));

    // Without a model: printed, nothing saved.
    const CliRun shown = tarvex({"materials", lib});
    ASSERT_EQ(shown.exitCode, 0) << shown.err.toStdString();
    EXPECT_TRUE(shown.err.isEmpty()) << shown.err.toStdString();
    EXPECT_TRUE(shown.out.startsWith("Imported " + lib + " into the material library \"Norvane Material Library\":\n"));
    EXPECT_TRUE(shown.out.contains("  Material \"Copper\" #")) << shown.out.toStdString();
    EXPECT_TRUE(shown.out.contains("    Conductivity/Conductivity_Temperature_Curve = curve of 3 points, x 223.15 .. 398.15\n"));
    EXPECT_TRUE(shown.out.contains("    Density/Value = 1850\n"));
    EXPECT_TRUE(shown.out.contains("holds 4 materials; 4 of them from this file.\n"));
    EXPECT_LT(shown.out.indexOf("\"Copper\""), shown.out.indexOf("\"FR4\""));
    EXPECT_LT(shown.out.indexOf("\"SAC305\""), shown.out.indexOf("\"Silicon\""));

    const QString model = dir.path("model.json");
    const QString store = dir.path("model.library.json");
    const CliRun first = tarvex({"materials", lib, "--model", model});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_TRUE(first.out.endsWith("Saved the material library to " + store + "\n")) << first.out.toStdString();
    ASSERT_TRUE(QFileInfo::exists(model));
    const QByteArray savedStore = dir.read("model.library.json");
    const QByteArray savedModel = dir.read("model.json");
    EXPECT_TRUE(savedStore.contains("\"Norvane Material Library\""));
    EXPECT_TRUE(savedStore.contains("\"2024-01-01T00:00:00.000Z\""));

    // The same file again: up to date, nothing written.
    const CliRun again = tarvex({"materials", lib, "--model", model});
    ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_TRUE(again.out.startsWith("The material library \"Norvane Material Library\" is up to date with " + lib +
                                     "; nothing was imported:\n"))
        << again.out.toStdString();
    EXPECT_TRUE(again.out.contains("  Material \"Silicon\" #"));
    EXPECT_EQ(dir.read("model.library.json"), savedStore);
    EXPECT_EQ(dir.read("model.json"), savedModel);

    // A newer file updates the library: FR4 changes, Zinc joins, the others stay.
    QFile::remove(lib);
    dir.write("materials.xml", library(material("FR4", "25 0.4 1850 1100 0.9 0.1\n") +
                                       material("Zinc", "25 116 7140 388 0.05 0.5\n")));
    setFileTime(lib, QDateTime::fromString("2024-02-01T00:00:00Z", Qt::ISODate));
    const CliRun updated = tarvex({"materials", lib, "--model", model});
    ASSERT_EQ(updated.exitCode, 0) << updated.err.toStdString();
    EXPECT_TRUE(updated.out.contains("holds 5 materials; 2 of them from this file.\n")) << updated.out.toStdString();
    EXPECT_TRUE(updated.out.contains("    Conductivity/Value = 0.4\n"));
    const CliRun listed = tarvex({"show", store});
    ASSERT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    for (const char* name : {"Copper", "FR4", "SAC305", "Silicon", "Zinc"})
        EXPECT_TRUE(listed.out.contains(QStringLiteral("Material \"%1\"").arg(name))) << name;
}

TEST(TarvexMaterialsCommand, BadInputEndsWithAMessageAndLeavesTheFilesAlone)
{
    TestSupport::TempDir dir;
    const QString model = dir.path("model.json");
    const QString lib = dir.path("materials.xml");
    ASSERT_TRUE(QFile::copy(sampleLibrary(), lib));
    setFileTime(lib, QDateTime::fromString("2024-01-01T00:00:00Z", Qt::ISODate));
    ASSERT_EQ(tarvex({"materials", lib, "--model", model}).exitCode, 0);
    const QByteArray savedStore = dir.read("model.library.json");
    const QByteArray savedModel = dir.read("model.json");

    struct Case
    {
        const char* name;
        QByteArray bytes; // null: the path is used as it is
        const char* message;
    };
    dir.write("folder.xml/inside", "x");
    const Case cases[] = {
        {"missing.xml", QByteArray(), "error: Cannot open file %1: no such file"},
        {"folder.xml", QByteArray(), "error: Cannot open file %1: it is a directory"},
        {"empty.xml", QByteArray(""), "error: empty.xml : Failed to Read : unexpected end of file\nLine 1, Column 1"},
        {"truncated.xml", "<Norvane_Material_Lib>\n<Material name=\"x\">",
         "error: truncated.xml : Failed to Read : unexpected end of file\nLine 2, Column 20"},
        {"deep.xml", QByteArray("<a>").repeated(300) + QByteArray("</a>").repeated(300),
         "error: deep.xml : Failed to Read : elements are nested deeper than 256 levels\nLine 1, Column 769"},
        {"entities.xml",
         "<!DOCTYPE l [<!ENTITY a \"aaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>\n<Norvane_Material_Lib>&b;</Norvane_Material_Lib>",
         "error: entities.xml : Failed to Read : the document type declaration declares entities, which are not accepted"},
        {"nothing.xml", library(""), "error: nothing.xml : no materials in the file"},
        {"project.xml", "<Project><Objects/></Project>", "error: project.xml : no materials in the file"},
    };
    for (const Case& c : cases) {
        const QString path = c.bytes.isNull() ? dir.path(c.name) : dir.write(c.name, c.bytes);
        if (!c.bytes.isNull())
            setFileTime(path, QDateTime::fromString("2024-06-01T00:00:00Z", Qt::ISODate));
        const CliRun run = tarvex({"materials", path, "--model", model});
        EXPECT_EQ(run.exitCode, 1) << c.name << ": " << run.err.toStdString();
        const QString message = QString::fromUtf8(c.message).replace("%1", path);
        EXPECT_TRUE(run.err.contains(message)) << c.name << ": " << run.err.toStdString();
        EXPECT_EQ(dir.read("model.library.json"), savedStore) << c.name;
        EXPECT_EQ(dir.read("model.json"), savedModel) << c.name;
    }

    // A store marked read-only: the newer library cannot go in, and nothing is written.
    const QString store = dir.path("model.library.json");
    ASSERT_TRUE(QFile::setPermissions(store, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    setFileTime(lib, QDateTime::fromString("2024-07-01T00:00:00Z", Qt::ISODate));
    const CliRun locked = tarvex({"materials", lib, "--model", model});
    EXPECT_EQ(locked.exitCode, 1);
    EXPECT_TRUE(locked.err.contains("error: materials.xml : The material library \"Norvane Material Library\" is "
                                    "read-only and cannot be updated."))
        << locked.err.toStdString();
    EXPECT_TRUE(locked.err.contains("were left unchanged"));
    QFile::setPermissions(store, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(dir.read("model.library.json"), savedStore);
    EXPECT_EQ(dir.read("model.json"), savedModel);

    // Questionable rows are warnings naming the file, material, table and line; the import goes on.
    const QString odd = dir.write("odd.xml", library(material("Odd", "25 1 2 3 4 5\n50 1,5 2 3 4 5\n")));
    const CliRun warned = tarvex({"materials", odd});
    EXPECT_EQ(warned.exitCode, 0) << warned.err.toStdString();
    EXPECT_TRUE(warned.err.contains("warning: odd.xml : Material \"Odd\", Thermal table, line 14: not a number, read "
                                    "as 0: \"1,5\" in column \"Conductivity\"\n"))
        << warned.err.toStdString();
}

TEST(TarvexMaterialsCommand, UsageErrorsAndHelp)
{
    const CliRun help = tarvex({"materials", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: tarvex materials [options] LIBRARY_FILE\n")) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("--model <MODEL.json>"));
    const CliRun overview = tarvex({"--help"});
    EXPECT_TRUE(overview.out.contains("  materials LIBRARY_FILE [--model MODEL.json]")) << overview.out.toStdString();

    for (const QStringList& arguments : {QStringList{"materials"}, QStringList{"materials", "a.xml", "b.xml"},
                                         QStringList{"materials", "a.xml", "--bogus"}, QStringList{"materials", "--model"}}) {
        const CliRun run = tarvex(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith("tarvex: ")) << run.err.toStdString();
    }
}
