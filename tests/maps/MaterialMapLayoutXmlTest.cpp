// The XML form of layout files, read without the z-up flip.

#include "maps/TarvexMaterialMapImporter.h"

#include "support/RecordingProgress.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using Kind = Tools::ToolProgress::Kind;
using Tarvex::MaterialMapData;

namespace {

struct Read
{
    std::vector<MaterialMapData> records;
    QStringList fatal;
    QStringList warnings;
};

Read readXml(const QByteArray& text, const QString& name = QStringLiteral("map.xml"))
{
    TestSupport::TempDir dir;
    Tools::RecordingProgress progress;
    Tarvex::TarvexMaterialMapImporter importer(false, &progress);
    Read read;
    read.records = importer.readMaterialMapData(dir.write(name, text));
    read.fatal = progress.texts(Kind::FatalError);
    read.warnings = progress.texts(Kind::Warning);
    return read;
}

QByteArray layout(const QByteArray& body, const QByteArray& rootAttributes = "version=\"1.0\"")
{
    return "<Layout " + rootAttributes + ">" + body + "</Layout>";
}

const QByteArray layer = "<LAYER name=\"L\" diel_material=\"FR4\" metal_material=\"Cu\" z=\"0.5\" thickness=\"0.25\"/>";
const QByteArray grid = "<GRID row=\"2\" col=\"2\"/><METAL_DENSITY>0.1 0.2\n0.3 0.4</METAL_DENSITY>";

} // namespace

TEST(MaterialMapLayoutXml, ReadsTheSampleLayout)
{
    Tools::RecordingProgress progress;
    Tarvex::TarvexMaterialMapImporter importer(false, &progress);
    const std::vector<MaterialMapData> records =
        importer.readMaterialMapData(QStringLiteral(TARVEX_SAMPLES "/material-map-layout.xml"));
    ASSERT_EQ(records.size(), 2u) << progress.texts(Kind::FatalError).join('\n').toStdString();
    EXPECT_EQ(records[0].name, "M1");
    EXPECT_EQ(records[1].name, "M2");
    EXPECT_EQ(records[0].dielectric, "FR4");
    EXPECT_EQ(records[0].metal, "Copper");
    EXPECT_EQ(records[0].area, Geometry::Bound2D(Geometry::Vec2(0, 0), Geometry::Vec2(3, 2)));
    EXPECT_DOUBLE_EQ(records[1].upPos, double(0.035f));
    EXPECT_DOUBLE_EQ(records[1].thickness, double(0.035f));
    EXPECT_EQ(records[1].rows, 2);
    EXPECT_EQ(records[1].columns, 3);
    EXPECT_EQ(records[1].metalDensity, (std::vector<double>{0.9, 0.8, 0.7, 0.6, 0.5, 0.4}));
    EXPECT_EQ(importer.getLayoutVersion().toQString(), "2025.1");
}

TEST(MaterialMapLayoutXml, LayoutsThatRead)
{
    struct Case
    {
        const char* what;
        QByteArray text;
        size_t records;
        int rows;
        std::vector<double> densities;
        double upPos;
    };
    const Case cases[] = {
        {"a single-layer AREA holding its LAYER, with the grid after it",
         layout("<AREA x0=\"0\" x1=\"2\" y0=\"0\" y1=\"1\">" + layer + "</AREA>" + grid), 1, 2, {0.1, 0.2, 0.3, 0.4}, 0.5},
        {"a DENSITY_GRID with the LAYER beside it, misspelt version",
         layout(layer + "<DENSITY_GRID x0=\"2\" x1=\"0\" y0=\"1\" y1=\"0\"/>" + grid, "verion=\"1\""), 1, 2,
         {0.1, 0.2, 0.3, 0.4}, 0.5},
        {"a LAYER without children takes the grid that follows it",
         layout("<layout_map><die_area x0=\"0\" x1=\"2\" y0=\"0\" y1=\"1\"/>" + layer + grid + "</layout_map>"), 1, 2,
         {0.1, 0.2, 0.3, 0.4}, 0.5},
        {"die_material for the dielectric and a negative thickness",
         layout("<LAYOUT_MAP><AREA x0=\"0\" x1=\"2\" y0=\"0\" y1=\"1\"/><LAYER name=\"L\" die_material=\"FR4\" "
                "metal_material=\"Cu\" z=\"1\" thickness=\"-0.25\"><GRID row=\"1\" col=\"1\"/>"
                "<METAL_DENSITY>\n\n  0.5  \n</METAL_DENSITY></LAYER></LAYOUT_MAP>"),
         1, 1, {0.5}, 0.75},
        {"anisotropy sections are ignored",
         layout("<LAYOUT_MAP><AREA x0=\"0\" x1=\"2\" y0=\"0\" y1=\"1\"/><LAYER name=\"L\" diel_material=\"FR4\" "
                "metal_material=\"Cu\" z=\"0\" thickness=\"1\"><THERMAL_ANISOTROPY/><thermal_anistropy/>"
                "<STRUCTURE_ANISOTROPY/>" + grid + "</LAYER></LAYOUT_MAP>"),
         1, 2, {0.1, 0.2, 0.3, 0.4}, 0.0},
    };
    for (const Case& c : cases) {
        const Read read = readXml(c.text);
        ASSERT_EQ(read.records.size(), c.records) << c.what << ": " << read.fatal.join(" | ").toStdString();
        EXPECT_EQ(read.records[0].rows, c.rows) << c.what;
        EXPECT_EQ(read.records[0].metalDensity, c.densities) << c.what;
        EXPECT_DOUBLE_EQ(read.records[0].upPos, c.upPos) << c.what;
        EXPECT_EQ(read.records[0].area, Geometry::Bound2D(Geometry::Vec2(0, 0), Geometry::Vec2(2, 1))) << c.what;
    }
    // The file name's suffix picks the form, in any case.
    EXPECT_EQ(readXml(layout("<AREA x0=\"0\" x1=\"2\" y0=\"0\" y1=\"1\">" + layer + "</AREA>" + grid), "MAP.XML")
                  .records.size(),
              1u);
    EXPECT_EQ(readXml(layout("<GEOMETRY/><AREA x0=\"0\" x1=\"2\" y0=\"0\" y1=\"1\">" + layer + "</AREA><GEOMETRY/>" +
                             grid))
                  .warnings,
              QStringList{"XML Layout Geometry section not implemented"});
}

namespace {

QByteArray layoutMap(const QByteArray& inside)
{
    return layout("<LAYOUT_MAP><AREA x0=\"0\" x1=\"2\" y0=\"0\" y1=\"1\"/>" + inside + "</LAYOUT_MAP>");
}

} // namespace

TEST(MaterialMapLayoutXml, EmptyLayersTakeTheFirstDensitiesAfterThem)
{
    // Each empty layer takes the grid declared after it and the first densities after it;
    // a layer holding its grid keeps its own, and the last layer finds no grid at all.
    const Read read = readXml(layoutMap(
        layer + "<GRID row=\"1\" col=\"2\"/><GEOMETRY/><METAL_DENSITY>0.1 0.2</METAL_DENSITY>" + layer +
        "<GRID row=\"1\" col=\"2\"/><METAL_DENSITY>0.3 0.4</METAL_DENSITY>" + layer +
        "<GRID row=\"1\" col=\"2\"/><METAL_DENSITY>0.5 0.6</METAL_DENSITY>" +
        "<LAYER name=\"D\" diel_material=\"FR4\" metal_material=\"Cu\" z=\"0.5\" thickness=\"0.25\">"
        "<GRID row=\"1\" col=\"1\"/><METAL_DENSITY>0.9</METAL_DENSITY></LAYER>" + layer));
    ASSERT_EQ(read.records.size(), 5u) << read.fatal.join(" | ").toStdString();
    const std::vector<std::vector<double>> densities = {{0.1, 0.2}, {0.3, 0.4}, {0.5, 0.6}, {0.9}, {}};
    for (size_t i = 0; i < densities.size(); ++i)
        EXPECT_EQ(read.records[i].metalDensity, densities[i]) << i;
    EXPECT_EQ(read.records[4].rows, 0);
    // The GEOMETRY element is told of once, though three layers read past it.
    EXPECT_EQ(read.warnings, QStringList{"XML Layout Geometry section not implemented"});
}

TEST(MaterialMapLayoutXml, LayersAndCellsAreBoundedWhileReading)
{
    const int limit = Tarvex::TarvexMaterialMapImporter::MaxLayoutLayers;
    const QString tooManyLayers = QStringLiteral("The layout has more than %1 layers").arg(limit);
    const QByteArray singleArea = "<AREA x0=\"0\" x1=\"2\" y0=\"0\" y1=\"1\"/>";
    // Four empty layers that all take one grid of 100 000 cells: 400 000 cells together.
    const QByteArray sharedGrid = "<GRID row=\"100\" col=\"1000\"/><METAL_DENSITY>" +
                                  QByteArray(QByteArray("0 ").repeated(1000) + "\n").repeated(100) + "</METAL_DENSITY>";
    struct Case
    {
        const char* what;
        QByteArray text;
        size_t records;
        QString message;
    };
    const Case cases[] = {
        {"layers at the limit", layoutMap(layer.repeated(limit)), size_t(limit), QString()},
        {"one layer too many", layoutMap(layer.repeated(limit + 1)), 0, tooManyLayers},
        {"one single-layer area too many", layout(layer + singleArea.repeated(limit + 1)), 0, tooManyLayers},
        {"three layers sharing a grid", layoutMap(layer.repeated(3) + sharedGrid), 3, QString()},
        {"four layers sharing a grid", layoutMap(layer.repeated(4) + sharedGrid), 0,
         "The layers of the material map hold 400000 cells together, more than the 300000 cells a model can hold"},
    };
    for (const Case& c : cases) {
        const Read read = readXml(c.text);
        EXPECT_EQ(read.records.size(), c.records) << c.what;
        EXPECT_EQ(read.fatal, c.message.isEmpty() ? QStringList() : QStringList{c.message}) << c.what;
    }
}

TEST(MaterialMapLayoutXml, BadFilesAreRefusedWithTheirMessage)
{
    const QByteArray area = "<AREA x0=\"0\" x1=\"2\" y0=\"0\" y1=\"1\"/>";
    const auto map = [&](const QByteArray& inside) { return layout("<LAYOUT_MAP>" + area + inside + "</LAYOUT_MAP>"); };
    struct Case
    {
        QByteArray text;
        const char* message;
    };
    const Case cases[] = {
        {"<Layout version=\"1\"><AREA", "Failed to parse file - "},
        {"", "Failed to parse file - "},
        {"<Map version=\"1\"/>", "Invalid file format"},
        {"<Layout/>", "Version attribute missing"},
        {layout("<PROCESS_ENCRYPTION/>"), "Encryption missing process attribute"},
        {layout("<LAYOUT_MAP>" + layer + "</LAYOUT_MAP>"), "Layer Area parsing failed"},
        {layout("<LAYOUT_MAP><AREA x0=\"0\" x1=\"2\" y0=\"0\"/>" + layer + "</LAYOUT_MAP>"), "Layer Area parsing failed"},
        {layout("<LAYOUT_MAP><AREA x0=\"0\" x1=\"two\" y0=\"0\" y1=\"1\"/>" + layer + "</LAYOUT_MAP>"),
         "Layer Area parsing failed"},
        {layout("<LAYOUT_MAP><AREA x0=\"0\" x1=\"0\" y0=\"0\" y1=\"1\"/>" + layer + "</LAYOUT_MAP>"),
         "Layer Area parsing failed - the area has no size"},
        {map(""), "Layer parsing failed"},
        {layout(area), "Layer parsing failed - file missing layer information."},
        {map("<LAYER diel_material=\"a\" metal_material=\"b\" z=\"0\" thickness=\"1\"/>"), "Layer name missing"},
        {map("<LAYER name=\"L\" metal_material=\"b\" z=\"0\" thickness=\"1\"/>"), "Dielectric material missing"},
        {map("<LAYER name=\"L\" diel_material=\"a\" z=\"0\" thickness=\"1\"/>"), "Metal material missing"},
        {map("<LAYER name=\"L\" diel_material=\"a\" metal_material=\"b\" thickness=\"1\"/>"), "Z position missing"},
        {map("<LAYER name=\"L\" diel_material=\"a\" metal_material=\"b\" z=\"0\"/>"), "Thickness missing"},
        {map("<LAYER name=\"L\" diel_material=\"a\" metal_material=\"b\" z=\"low\" thickness=\"1\"/>"),
         "Invalid layer data - \"low\" is not a number"},
        {map("<LAYER name=\"L\" diel_material=\"a\" metal_material=\"b\" z=\"0\" thickness=\"1e40\"/>"),
         "Invalid layer data - \"1e40\" is not a number"},
        {map(layer + "<GRID row=\"2\"/>"), "Grid missing col or row attribute"},
        {map(layer + "<GRID row=\"2\" col=\"x\"/>"), "Invalid grid data"},
        {map(layer + "<GRID row=\"0\" col=\"2\"/>"), "Invalid grid data"},
        {map(layer + "<METAL_DENSITY>0.5</METAL_DENSITY>"), "Metal Density parsing failed"},
        {map(layer + "<GRID row=\"2\" col=\"2\"/><METAL_DENSITY>0.1 0.2\n0.3</METAL_DENSITY>"),
         "Metal Density parsing failed"},
        {map(layer + "<GRID row=\"2\" col=\"2\"/><METAL_DENSITY>0.1 0.2\n0.3 0.4\n0.5 0.6</METAL_DENSITY>"),
         "Metal Density parsing failed"},
        {map(layer + "<GRID row=\"1\" col=\"2\"/><METAL_DENSITY>0.1 zero</METAL_DENSITY>"), "Metal Density parsing failed"},
        {map(layer + "<GRID row=\"1\" col=\"2\"/><METAL_DENSITY>0.1 -0.2</METAL_DENSITY>"), "Metal Density parsing failed"},
        {map(layer + "<GRID row=\"1\" col=\"2\"/>"), "Metal Density parsing failed"},
        // The first empty layer has its grid; the second finds densities with no grid after it.
        {map(layer + "<GRID row=\"1\" col=\"1\"/>" + layer + "<METAL_DENSITY>0.5</METAL_DENSITY>"),
         "Metal Density parsing failed"},
        {map(layer + "<GRID row=\"1\" col=\"1\"/><METAL_DENSITY>0.5</METAL_DENSITY>" + layer + "<GRID row=\"1\" col=\"2\"/>"),
         "Conflicting grid sizes"},
        {layout("<LAYOUT_MAP>" + area + layer + "</LAYOUT_MAP><AREA x0=\"0\" x1=\"2\" y0=\"0\" y1=\"1\">" + layer + "</AREA>"),
         "Invalid file format"},
        {layout("<AREA x0=\"0\" x1=\"2\" y0=\"0\" y1=\"1\">" + layer + "</AREA><LAYOUT_MAP>" + area + layer + "</LAYOUT_MAP>"),
         "Invalid file format"},
        {layout("<LengthUnit value=\"parsec\"/>"), "Unknown unit \"parsec\" for Length"},
    };
    for (const Case& c : cases) {
        const Read read = readXml(c.text);
        EXPECT_TRUE(read.records.empty()) << c.message;
        const bool found = std::any_of(read.fatal.begin(), read.fatal.end(),
                                       [&](const QString& text) { return text.startsWith(QString::fromUtf8(c.message)); });
        EXPECT_TRUE(found) << "expected \"" << c.message << "\", got: " << read.fatal.join(" | ").toStdString();
    }
}
