// The export3d command end to end: a model saved by the host, exported by the built tool,
// the archive opened and read as the solver would read it.
#include "exchange3d/ExportTestSupport.h"

#include "support/CliRun.h"

#include <QDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace ExportTest;
using TestSupport::CliRun;
using TestSupport::tarvex;

TEST(TarvexExport3DCommand, TwoBlocksBecomeAProjectWithTheirIdsNamesColoursMaterialAndHeatSource)
{
    const TestSupport::TempDir dir;
    saveTwoBlocks(dir);
    const QByteArray savedModel = dir.read("model.json");
    const CliRun run = tarvex({"export3d", dir.path("model.json"), "-o", dir.path("out.zip")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "note: Block 1.a: Wrote Block_1_a.geom (1 bodies).\n"
                       "note: Block 2: Wrote Block_2.geom (1 bodies).\n"
                       "Exported " + dir.path("model.json") + " as " + dir.path("out.zip") + ".\n");
    EXPECT_EQ(dir.read("model.json"), savedModel) << "the model is only read";
    EXPECT_EQ(QDir(dir.path(".")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"model.json", "out.zip"}))
        << "nothing but the archive is left beside the model";

    const auto members = readArchive(dir.path("out.zip"));
    ASSERT_EQ(members.size(), 3u);
    EXPECT_EQ(members[0].first + ' ' + members[1].first + ' ' + members[2].first,
              "Block_1_a.geom Block_2.geom Project.xml");
    QDomDocument project;
    ASSERT_TRUE(project.setContent(members[2].second));

    // Solids first, each with its base-body operation, then the group of the first block's
    // children and its heat source.
    EXPECT_EQ(addedObjects(project), QStringList({"GeomObject 37 Block_1_a", "Operation 38 BaseBody",
                                                  "DataGroup 39 Block_1_a_Group", "BoundaryCondObject 40 Q_1",
                                                  "GeomObject 41 Block_2", "Operation 42 BaseBody"}));
    EXPECT_EQ(project.documentElement().firstChildElement("IdSeed").attribute("Value"), "43");
    EXPECT_EQ(links(structureGroup(project, "Parts")), "37{38} 39 41{42}");
    EXPECT_EQ(links(structureGroup(project, "Static Analysis/Power Input")), "40");
    // Colours as 0xRRGGBB00; a block without one is grey, 0xB4B4B400.
    const struct
    {
        const char* id;
        QString attributes;
    } objects[] = {
        {"37", "ObjectName=Block 1.a|ObjectFileName=Block_1_a.geom|Material=EC_Cu_101_b|Color="
                   + QString::number(255u << 24 | 128u << 16 | 64u << 8)},
        {"38", "OpId=1 100"},
        {"41", "ObjectName=Block 2|Material=None|Color=3031741440"},
        {"42", "OpId=1 101"},
        {"40", "refid=37|Type=10|ThermalSimulationType=0"},
    };
    for (const auto& object : objects)
        EXPECT_EQ(differingAttributes(objectWithId(project, object.id), object.attributes), QStringList()) << object.id;
    EXPECT_EQ(objectWithId(project, "40").firstChildElement("PowerExp").attribute("Value"), "2.5");

    // The geometry files are listed for import.
    QStringList imported;
    const QDomElement files = project.documentElement().firstChildElement("Model").firstChildElement("CADImport");
    EXPECT_EQ(files.firstChildElement("CADImportType").attribute("Value"), "3");
    for (const QDomElement& file : elements(files.firstChildElement("CADImportFiles"), "ImportFile"))
        imported << file.attribute("Value");
    EXPECT_EQ(imported, QStringList({"Block_1_a.geom", "Block_2.geom"}));
}

// An imported board's heat source reads its power where every writer of heat sources puts
// it; its own place and size are more than the project takes, which a note says.
TEST(TarvexExport3DCommand, AnImportedBoardKeepsThePowerOfItsHeatSources)
{
    const TestSupport::TempDir dir;
    ASSERT_EQ(tarvex({"import", "--model", dir.path("board.json")}).exitCode, 0);
    const CliRun run = tarvex({"export3d", dir.path("board.json"), "-o", dir.path("board.zip")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("note: U1_Core: Currently only support heat source with parent size.\n"))
        << run.out.toStdString();
    const auto members = readArchive(dir.path("board.zip"));
    QDomDocument project;
    ASSERT_TRUE(!members.empty() && project.setContent(members.back().second));
    QStringList powers;
    const QDomNodeList sources = project.elementsByTagName("BoundaryCondObject");
    for (int i = 0; i < sources.count(); ++i) {
        const QDomElement source = sources.at(i).toElement();
        powers << source.attribute("Name") + '=' + source.firstChildElement("PowerExp").attribute("Value");
    }
    EXPECT_EQ(powers, QStringList{"U1_Core=2.5"});
}

// The exporter's own refusals are tested in tests/exchange3d; these are the command's.
TEST(TarvexExport3DCommand, UsageErrorsLeaveTheModelAsItWas)
{
    const TestSupport::TempDir dir;
    saveTwoBlocks(dir);
    const QByteArray savedModel = dir.read("model.json");
    // The model by another path, a symbolic link or a hard link is still the model.
    ASSERT_TRUE(QFile::link(dir.path("model.json"), dir.path("link.json")));
    ASSERT_EQ(::link(QFile::encodeName(dir.path("model.json")).constData(),
                     QFile::encodeName(dir.path("hard.json")).constData()),
              0);
    for (const QStringList& output : {QStringList(), QStringList({"-o", dir.path("./model.json")}),
                                      QStringList({"-o", dir.path("link.json")}),
                                      QStringList({"-o", dir.path("hard.json")})}) {
        const CliRun run = tarvex(QStringList({"export3d", dir.path("model.json")}) + output);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains(output.isEmpty() ? "export3d needs MODEL.json and -o OUT.zip"
                                                      : "-o names the model itself"))
            << run.err.toStdString();
    }
    EXPECT_EQ(dir.read("model.json"), savedModel);
}
