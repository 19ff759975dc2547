#include "Model3DTestData.h"

#include <tarvex/model3d/Tarvex3DDomModelReader.h>

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace Model3DTest;
using Tarvex3D::Tarvex3DDataDescription;
using Tarvex3D::Tarvex3DDomModel;
using Tarvex3D::Tarvex3DDomModelReader;
using Kind = Tools::ToolProgress::Kind;

namespace {

using Columns = QList<Tarvex3DDataDescription::Column>;

const QByteArray twoMaterials = "<Material name=\"A\"><Thermal><Model>25 1 2 3 4 5</Model></Thermal></Material>\n"
                                "<Other name=\"not a material\"/>\n"
                                "<Material name=\"B\"/>\n";

QByteArray project(const QByteArray& body)
{
    return "<?xml version=\"1.0\"?>\n<Project Version=\"3\">\n" + body + "</Project>\n";
}

// A material by its name, a description by its name and number of columns ("Thermal/6").
QString nameOf(const Tarvex3D::Tarvex3DMaterial& material) { return material.getName(); }
QString nameOf(const Tarvex3DDataDescription& d) { return d.getName() + '/' + QString::number(d.getNumberOfColumns()); }

template <typename Items>
QStringList names(const Items& items)
{
    QStringList result;
    for (const auto& item : items)
        result << nameOf(item);
    return result;
}

} // namespace

TEST(Tarvex3DDomModel, FindsTheSameLibraryInALibraryFileAndInAProject)
{
    const Tarvex3DDomModel libraryFile = parse(library(twoMaterials));
    const QByteArray nested = library(twoMaterials).mid(QByteArray("<?xml version=\"1.0\"?>\n").size());
    const Tarvex3DDomModel projectFile = parse(project("<DataDefinitions>" + nested + "</DataDefinitions>"));
    // Only a document with a project is "true"; a library file is a valid document all the same.
    EXPECT_FALSE(bool(libraryFile));
    EXPECT_TRUE(bool(projectFile));

    for (const Tarvex3DDomModel* model : {&libraryFile, &projectFile}) {
        EXPECT_EQ(names(model->getMaterials()), (QStringList{"A", "B"}));
        // Columns as read are the next test's; here, that each description is found.
        EXPECT_EQ(names(model->getDataDescriptions({"Metal", "Thermal", "Missing"})),
                  (QStringList{"Metal/2", "Thermal/6", "Missing/0"}));
        // Structural descriptions: only those present, in the order asked for.
        EXPECT_EQ(names(model->getStructuralDataDescriptions({"CTE", "Missing", "Elasticity"})),
                  (QStringList{"CTE/2", "Elasticity/3"}));
        // A direct description is not a structural one.
        EXPECT_EQ(model->getDataDescription("CTE").getNumberOfColumns(), 0);
    }
    // A project without "DataDefinitions" has no library, even with one elsewhere; a present
    // structural element without columns still counts.
    const Tarvex3DDomModel noDefinitions = parse(project(library(twoMaterials).mid(22)));
    EXPECT_TRUE(noDefinitions.getMaterials().empty());
    EXPECT_EQ(noDefinitions.getDataDescription("Thermal").getNumberOfColumns(), 0);
    EXPECT_TRUE(parse("<Something><Material name=\"X\"/></Something>").getMaterials().empty());
    const Tarvex3DDomModel bare = parse(library("", "<DataDescriptions><Structural><CTE/></Structural></DataDescriptions>"));
    EXPECT_EQ(names(bare.getStructuralDataDescriptions({"Elasticity", "CTE"})), QStringList{"CTE/0"});
}

TEST(Tarvex3DDomModel, ReadsColumnsFromTheFirstColumnOnWhateverTheirTag)
{
    const Tarvex3DDomModel model = parse(library(
        "", "<DataDescriptions><Thermal>\n"
            "<Note name=\"before the first column\"/>\n"
            "<Column name=\"Temperature\" unit=\"C\"/>\n"
            "<!-- a comment is no column -->\n"
            "<Column name=\"Conductivity\"/>\n"
            "<Extra name=\"Conductivity\" unit=\"W/(m K)\"/>\n"
            "<Column unit=\"kg/m^3\"/>\n"
            "</Thermal></DataDescriptions>"));
    const Tarvex3DDataDescription thermal = model.getDataDescription("Thermal");
    EXPECT_EQ(thermal.getDefinition(),
              (Columns{{"Temperature", "C"}, {"Conductivity", ""}, {"Conductivity", "W/(m K)"}, {"", "kg/m^3"}}));
    // The last column of a name is the one that counts.
    EXPECT_EQ(thermal.getColumnIndex("Conductivity"), 2);
    EXPECT_EQ(thermal.getColumnIndex("temperature"), -1);
}

// What the XML reader refuses is tested with it; here, that its failure reaches the sink
// with the line and column, or silently without a sink, and that files that cannot be
// opened give a null model without a message.
TEST(Tarvex3DDomModelReader, ReadsFilesAndRefusesMalformedAndHostileDocumentsWithTheLine)
{
    TestSupport::TempDir dir;
    Tools::RecordingProgress quiet;
    EXPECT_EQ(names(Tarvex3DDomModel::fromFile(dir.write("lib.xml", library(twoMaterials)), &quiet).getMaterials()),
              (QStringList{"A", "B"}));
    dir.write("folder/inside", "x");
    for (const QString& path : {dir.path("missing.xml"), dir.path("folder"), QString()}) {
        EXPECT_TRUE(Tarvex3DDomModel::fromFile(path, &quiet).isNull()) << path.toStdString();
        EXPECT_TRUE(Tarvex3DDomModelReader::read(path, &quiet).isNull());
    }
    EXPECT_TRUE(quiet.entries().empty());

    const QByteArray deep = QByteArray("<a>").repeated(257) + QByteArray("</a>").repeated(257);
    const std::pair<QByteArray, QString> cases[] = {
        {"<Norvane_Material_Lib>\n<Material name=\"x\">", "Failed to Read : unexpected end of file\nLine 2, Column 20"},
        {"\n" + deep, "Failed to Read : elements are nested deeper than 256 levels\nLine 2, Column 769"},
    };
    for (const auto& [bytes, error] : cases) {
        Tools::RecordingProgress progress;
        EXPECT_TRUE(parse(bytes, &progress).isNull()) << error.toStdString();
        EXPECT_EQ(progress.texts(Kind::FatalError), QStringList{error});
        EXPECT_EQ(progress.entries().size(), 1u);
        EXPECT_TRUE(parse(bytes).isNull());
    }
}
