#include "Model3DTestData.h"

#include "model3d/Tarvex3DDomModelReader.h"

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

QStringList names(const std::vector<Tarvex3D::Tarvex3DMaterial>& materials)
{
    QStringList result;
    for (const auto& material : materials)
        result << material.getName();
    return result;
}

QStringList names(const QList<Tarvex3DDataDescription>& descriptions)
{
    QStringList result;
    for (const auto& description : descriptions)
        result << description.getName() + QLatin1Char('/') + QString::number(description.getNumberOfColumns());
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
        const Tarvex3DDataDescription thermal = model->getDataDescription("Thermal");
        EXPECT_EQ(thermal.getDefinition(),
                  (Columns{{"Temperature", "C"}, {"Conductivity", "W/(m*K)"}, {"Density", "kg/m^3"},
                           {"Specific heat", "J/(kg*K)"}, {"Emissivity", ""}, {"Solar Reflectance", ""}}));
        EXPECT_EQ(names(model->getDataDescriptions({"Metal", "Thermal", "Missing"})),
                  (QStringList{"Metal/2", "Thermal/6", "Missing/0"}));
        // Structural descriptions: only those present, in the order asked for.
        EXPECT_EQ(names(model->getStructuralDataDescriptions({"CTE", "Missing", "Elasticity"})),
                  (QStringList{"CTE/2", "Elasticity/3"}));
        // A direct description is not a structural one.
        EXPECT_EQ(model->getDataDescription("CTE").getNumberOfColumns(), 0);
    }
}

TEST(Tarvex3DDomModel, MissingPiecesGiveEmptyResults)
{
    // A project without "DataDefinitions" has no library, even with one elsewhere.
    const Tarvex3DDomModel noDefinitions = parse(project(library(twoMaterials).mid(22)));
    EXPECT_TRUE(noDefinitions.getMaterials().empty());
    EXPECT_EQ(noDefinitions.getDataDescription("Thermal").getNumberOfColumns(), 0);

    const Tarvex3DDomModel otherRoot = parse("<Something><Material name=\"X\"/></Something>");
    EXPECT_TRUE(otherRoot.getMaterials().empty());

    // A present structural element without columns still counts.
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

TEST(Tarvex3DDomModelReader, ReadsFilesAndDevicesAndReportsWhatItCannotParse)
{
    TestSupport::TempDir dir;
    Tools::RecordingProgress progress;
    const Tarvex3DDomModel fromFile = Tarvex3DDomModel::fromFile(dir.write("lib.xml", library(twoMaterials)), &progress);
    EXPECT_EQ(names(fromFile.getMaterials()), (QStringList{"A", "B"}));
    EXPECT_TRUE(progress.entries().empty());

    // A file that cannot be opened: a null model and no message.
    dir.write("folder/inside", "x");
    for (const QString& path : {dir.path("missing.xml"), dir.path("folder"), QString()}) {
        EXPECT_TRUE(Tarvex3DDomModel::fromFile(path, &progress).isNull()) << path.toStdString();
        EXPECT_TRUE(Tarvex3DDomModelReader::read(path, &progress).isNull());
    }
    EXPECT_TRUE(progress.entries().empty());

    // Text in other encodings is read as the XML rules say.
    const QString name = QString::fromUtf8("Kupfer \xc3\xa9");
    const QByteArray latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><Norvane_Material_Lib><Material name=\"" +
                              name.toLatin1() + "\"/></Norvane_Material_Lib>";
    EXPECT_EQ(names(parse(latin1).getMaterials()), QStringList{name});
    QByteArray utf16("\xff\xfe", 2);
    const QString text = "<Norvane_Material_Lib><Material name=\"" + name + "\"/></Norvane_Material_Lib>";
    utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    EXPECT_EQ(names(parse(utf16).getMaterials()), QStringList{name});
}

TEST(Tarvex3DDomModelReader, RefusesMalformedDeepAndEntityLadenDocumentsWithTheLine)
{
    const QByteArray deep = QByteArray("<a>").repeated(257) + QByteArray("</a>").repeated(257);
    const QByteArray deepEnough = QByteArray("<a>").repeated(256) + QByteArray("</a>").repeated(256);
    const QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE lib [\n<!ENTITY a \"aaaaaaaaaa\">\n"
                              "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n]>\n<Norvane_Material_Lib>&b;</Norvane_Material_Lib>";
    struct Case
    {
        const char* name;
        QByteArray bytes;
        QString error; // empty: read without a message
    };
    const Case cases[] = {
        {"empty", "", "Failed to Read : unexpected end of file\nLine 1, Column 1"},
        {"truncated", "<Norvane_Material_Lib>\n<Material name=\"x\">", "Failed to Read : unexpected end of file\nLine 2, Column 20"},
        {"mismatched tags", "<Norvane_Material_Lib>\n  <Material></Materia>\n</Norvane_Material_Lib>",
         "Failed to Read : tag mismatch\nLine 2, Column 22"},
        {"binary", QByteArray("\x00\x01\x02\xff\xfe\x00", 6),
         "Failed to Read : the content is not valid UTF-8 text\nLine 1, Column 4"},
        {"too deep", "\n" + deep, "Failed to Read : elements are nested deeper than 256 levels\nLine 2, Column 769"},
        {"deep enough", deepEnough, ""},
        {"entities", laughs,
         "Failed to Read : the document type declaration declares entities, which are not accepted\nLine 2, Column 1"},
        {"internal subset", "<!DOCTYPE lib [ <!ELEMENT lib ANY> ]><lib/>",
         "Failed to Read : the document type declaration has an internal subset, which is not accepted\nLine 1, Column 1"},
        {"external doctype", "<!DOCTYPE lib SYSTEM \"lib.dtd\"><Norvane_Material_Lib/>", ""},
        {"'>' inside quotes", "<Norvane_Material_Lib><Material name=\"a>b\"/></Norvane_Material_Lib>", ""},
    };
    for (const Case& c : cases) {
        Tools::RecordingProgress progress;
        EXPECT_EQ(parse(c.bytes, &progress).isNull(), !c.error.isEmpty()) << c.name;
        EXPECT_EQ(progress.texts(Kind::FatalError), c.error.isEmpty() ? QStringList() : QStringList{c.error}) << c.name;
        EXPECT_EQ(progress.entries().size(), c.error.isEmpty() ? 0u : 1u) << c.name;
    }
    // Without a sink the failure is silent, and still a null model.
    EXPECT_TRUE(parse(deep).isNull());
    EXPECT_TRUE(parse("<unclosed>").isNull());
}
