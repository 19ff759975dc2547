// The text and XML forms of layout files: keywords, blocks, layer lines and density grids,
// read without the z-up flip so that grids keep their file order.

#include "MaterialMapTestSupport.h"

#include <tarvex/maps/TarvexMaterialMapImporter.h>

#include <gtest/gtest.h>

#include <algorithm>

using namespace MaterialMapTest;

namespace {

Read readLayout(const QByteArray& text, const char* name = "map.txt")
{
    return readWith<Tarvex::TarvexMaterialMapImporter>(text, name);
}

QByteArray layout(const QByteArray& body, const QByteArray& rootAttributes = "version=\"1.0\"")
{
    return "<Layout " + rootAttributes + ">" + body + "</Layout>";
}

const QByteArray layer = "<LAYER name=\"L\" diel_material=\"FR4\" metal_material=\"Cu\" z=\"0.5\" thickness=\"0.25\"/>";
const QByteArray grid = "<GRID row=\"2\" col=\"2\"/><METAL_DENSITY>0.1 0.2\n0.3 0.4</METAL_DENSITY>";
const QByteArray xmlArea = "x0=\"0\" x1=\"2\" y0=\"0\" y1=\"1\"";
const QByteArray areaElement = "<AREA " + xmlArea + "/>";

} // namespace

TEST(MaterialMapLayout, LayoutsThatRead)
{
    const QByteArray grid12 = "<GRID row=\"1\" col=\"2\"/>";
    const std::string xmlRead = "L FR4/Cu unit mm area 0,0-2,1 at 0.5+0.25 grid 2x2: 0.1 0.2 0.3 0.4";
    struct Case
    {
        const char* what;
        QByteArray text;
        std::vector<std::string> records; // and the messages
        const char* name = "map.txt";
    };
    const Case cases[] = {
        {"keywords in any case, CRLF and indentation",
         "layout_map\r\n  area 2 1 0 0\r\n  layer L1 FR4 Cu 0.1 0\r\n    metal_density\r\n    1 2\r\n    0.5 0.25\r\n"
         "    END_metal_density\r\n  END_layer\r\nEND_layout_map\r\n",
         {"L1 FR4/Cu unit mm area 0,0-2,1 at 0+0.1 grid 1x2: 0.5 0.25"}},
        {"a LENGTH unit kept apart by a TAB; unknown keywords and PROCESS_ENCRYPTION are ignored",
         "PROCESS_ENCRYPTION abc\nLENGTH\tum\nLAYOUT_MAP\nDIE_AREA 0 0 2 1\nNOTE x 1\nLAYER L1 FR4 Cu 0.1 0\nEND_LAYOUT_MAP\n",
         {"L1 FR4/Cu unit um area 0,0-2,1 at 0+0.1 grid 0x0:"}},
        {"LAYER lines share the grids after them, each from its own line on",
         "LAYOUT_MAP\nAREA 0 0 2 1\nLAYER A FR4 Cu 0.1 0\nLAYER B FR4 Cu 0.1 0.1\nGRID 1 2\nMETAL_DENSITY\n1 2\n0.5 0.25\n"
         "END_METAL_DENSITY\nLAYER C FR4 Cu 0.1 0.2\nGRID 1 2\nLAYER D FR4 Cu 0.1 0.3\nMETAL_DENSITY\n1 2\n0.75 1\n"
         "END_METAL_DENSITY\nLAYER E FR4 Cu 0.1 0.4\nEND_LAYOUT_MAP\n",
         {"A FR4/Cu unit mm area 0,0-2,1 at 0+0.1 grid 1x2: 0.5 0.25",
          "B FR4/Cu unit mm area 0,0-2,1 at 0.1+0.1 grid 1x2: 0.5 0.25",
          "C FR4/Cu unit mm area 0,0-2,1 at 0.2+0.1 grid 1x2: 0.75 1",
          "D FR4/Cu unit mm area 0,0-2,1 at 0.3+0.1 grid 1x2: 0.75 1",
          "E FR4/Cu unit mm area 0,0-2,1 at 0.4+0.1 grid 0x0:"}},
        {"LAYER blocks between LAYER lines keep their own grids",
         "LAYOUT_MAP\nAREA 0 0 1 1\nLAYER A D M 1 0\nLAYER B D M 1 1\nMETAL_DENSITY\n1 1\n0.5\nEND_METAL_DENSITY\n"
         "END_LAYER\nLAYER C D M 1 2\nMETAL_DENSITY\n1 1\n0.25\nEND_METAL_DENSITY\nEND_LAYOUT_MAP\n",
         {"A D/M unit mm area 0,0-1,1 at 0+1 grid 1x1: 0.25", "B D/M unit mm area 0,0-1,1 at 1+1 grid 1x1: 0.5",
          "C D/M unit mm area 0,0-1,1 at 2+1 grid 1x1: 0.25"}},
        {"a single-layer file: the area, the last LAYER line and every grid after the area",
         "LAYOUT 1.0\nAREA 0 0 3 1\nLAYER first D M 1 0\nGRID 1 3\nLAYER last FR4 Cu 0.5 2\nMETAL_DENSITY\n1 3\n"
         "0 0.5 1\n",
         {"last FR4/Cu unit mm area 0,0-3,1 at 2+0.5 grid 1x3: 0 0.5 1"}},
        {"each single-layer AREA takes the grids from its own line on",
         "AREA 0 0 2 1\nMETAL_DENSITY\n1 2\n0.5 0.25\nEND_METAL_DENSITY\nAREA 0 0 4 1\nMETAL_DENSITY\n1 2\n0.75 1\n"
         "END_METAL_DENSITY\nLAYER L D M 1 0\nAREA 0 0 1 1\n",
         {"L D/M unit mm area 0,0-2,1 at 0+1 grid 1x2: 0.5 0.25", "L D/M unit mm area 0,0-4,1 at 0+1 grid 1x2: 0.75 1",
          "Layer 3 Sillicon/Copper unit mm area 0,0-1,1 at 1+0.1 grid 0x0:"}},
        {"an unclosed LAYOUT_MAP leaves its lines at the top level: one single layer",
         "LAYOUT_MAP\nAREA 0 0 1 1\nLAYER L D M 1 0\n",
         {"L D/M unit mm area 0,0-1,1 at 0+1 grid 0x0:"}},
        {"a metal_density block with only its header contributes nothing",
         "AREA 0 0 1 1\nMETAL_DENSITY\n2 3\nEND_METAL_DENSITY\n", {"Layer Sillicon/Copper unit mm area 0,0-1,1 at 0+0.1 grid 0x0:"}},
        {"XML: a single-layer AREA holding its LAYER, with the grid after it; the suffix in any case",
         layout("<AREA " + xmlArea + ">" + layer + "</AREA>" + grid), {xmlRead}, "MAP.XML"},
        {"XML: a DENSITY_GRID with the LAYER beside it, misspelt version",
         layout(layer + "<DENSITY_GRID x0=\"2\" x1=\"0\" y0=\"1\" y1=\"0\"/>" + grid, "verion=\"1\""), {xmlRead}, "map.xml"},
        {"XML: a LAYER without children takes the grid that follows it",
         layout("<layout_map><die_area " + xmlArea + "/>" + layer + grid + "</layout_map>"), {xmlRead}, "map.xml"},
        {"XML: die_material for the dielectric, a negative thickness, anisotropy ignored",
         layout("<LAYOUT_MAP><AREA " + xmlArea + "/><LAYER name=\"L\" die_material=\"FR4\" metal_material=\"Cu\" z=\"1\" "
                "thickness=\"-0.25\"><THERMAL_ANISOTROPY/><thermal_anistropy/><STRUCTURE_ANISOTROPY/>"
                "<GRID row=\"1\" col=\"1\"/><METAL_DENSITY>\n\n  0.5  \n</METAL_DENSITY></LAYER></LAYOUT_MAP>"),
         {"L FR4/Cu unit mm area 0,0-2,1 at 0.75+0.25 grid 1x1: 0.5"}, "map.xml"},
        // Each empty layer takes the grid declared after it and the first densities after it;
        // a layer holding its grid keeps its own, and the last layer finds no grid at all. The
        // GEOMETRY element is told of once, though three layers read past it.
        {"XML: empty layers take the first densities after them",
         layout("<LAYOUT_MAP><AREA " + xmlArea + "/>" + layer + grid12 + "<GEOMETRY/><METAL_DENSITY>0.1 0.2</METAL_DENSITY>" +
                layer + grid12 + "<METAL_DENSITY>0.3 0.4</METAL_DENSITY>" + layer + grid12 +
                "<METAL_DENSITY>0.5 0.6</METAL_DENSITY><LAYER name=\"D\" diel_material=\"FR4\" metal_material=\"Cu\" "
                "z=\"0.5\" thickness=\"0.25\"><GRID row=\"1\" col=\"1\"/><METAL_DENSITY>0.9</METAL_DENSITY></LAYER>" +
                layer + "</LAYOUT_MAP>"),
         {"L FR4/Cu unit mm area 0,0-2,1 at 0.5+0.25 grid 1x2: 0.1 0.2", "L FR4/Cu unit mm area 0,0-2,1 at 0.5+0.25 grid 1x2: 0.3 0.4",
          "L FR4/Cu unit mm area 0,0-2,1 at 0.5+0.25 grid 1x2: 0.5 0.6", "D FR4/Cu unit mm area 0,0-2,1 at 0.5+0.25 grid 1x1: 0.9",
          "L FR4/Cu unit mm area 0,0-2,1 at 0.5+0.25 grid 0x0:", "warning: XML Layout Geometry section not implemented"},
         "map.xml"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(describe(readLayout(c.text, c.name)), c.records) << c.what;
}

TEST(MaterialMapLayout, BadFilesAreRefusedWithTheirMessage)
{
    const char* const Txt = "map.txt";
    const char* const Xml = "map.xml";
    const QByteArray head = "LAYOUT_MAP\nAREA 0 0 3 2\nLAYER L FR4 Cu 0.1 0\n";
    const QByteArray tail = "END_LAYER\nEND_LAYOUT_MAP\n";
    const auto map = [&](const QByteArray& inside) { return layout("<LAYOUT_MAP>" + areaElement + inside + "</LAYOUT_MAP>"); };
    const QByteArray densities = QByteArray(QByteArray("0 ").repeated(1000) + "\n").repeated(100);
    const QByteArray sharedGrid = "METAL_DENSITY\n100 1000\n" + densities + "END_METAL_DENSITY\n";
    const QByteArray sharedXmlGrid = "<GRID row=\"100\" col=\"1000\"/><METAL_DENSITY>" + densities + "</METAL_DENSITY>";
    const char* const tooManyCells =
        "The layers of the material map hold 400000 cells together, more than the 300000 cells a model can hold";
    // Layers are counted while they are read; outside a layout map each AREA is a layer of its own.
    const int limit = Tarvex::TarvexMaterialMapImporter::MaxLayoutLayers;
    const QByteArray tooManyLayers = "The layout has more than " + QByteArray::number(limit) + " layers";
    const auto layerLines = [](int count) {
        QByteArray text = "LAYOUT_MAP\nAREA 0 0 3 2\n";
        for (int i = 0; i < count; ++i)
            text += "LAYER L" + QByteArray::number(i) + " FR4 Cu 0.001 0\n";
        return text + "END_LAYOUT_MAP\n";
    };
    const auto xmlMap = [&](int layers) { return map(layer.repeated(layers)); };
    const QByteArray areaLine = "AREA 0 0 3 2\n";
    struct Case
    {
        const char* name;
        QByteArray text;
        const char* message; // the whole text, or its start where it ends in a blank
    };
    const Case cases[] = {
        {Txt, "LAYOUT_MAP\nAREA 0 0 3\nEND_LAYOUT_MAP\n", "Invalid area data"},
        {Txt, "AREA 0 0 0 2\n", "Invalid area data - the area has no size"},
        {Txt, "LAYOUT_MAP\nAREA 0 0 3 2\nLAYER L FR4 Cu 0.1\nEND_LAYOUT_MAP\n", "Invalid layer data - unexpected layer data"},
        {Txt, "LAYOUT_MAP\nAREA 0 0 3 2\nLAYER L FR4 Cu thin 0\nEND_LAYOUT_MAP\n", "Invalid layer data - \"thin\" is not a number"},
        {Txt, "LAYOUT_MAP\nAREA 0 0 3 2\nLAYER L FR4 Cu 0 0\nEND_LAYOUT_MAP\n", "Invalid layer data - the layer L has no thickness"},
        {Txt, head + "GRID 0 3\n" + tail, "Invalid grid data"},
        {Txt, head + "METAL_DENSITY\n2 3\n0 0 0\n0 0 0\n0 0 0\nEND_METAL_DENSITY\n" + tail,
         "Invalid metal density data - unexpected number of rows"},
        {Txt, head + "METAL_DENSITY\n2 3\n0 0 0\n0 0\nEND_METAL_DENSITY\n" + tail, "Invalid metal density data"},
        {Txt, head + "METAL_DENSITY\n1 3\n0.5 abc 0\nEND_METAL_DENSITY\n" + tail,
         "Invalid metal density data - \"abc\" is not a number"},
        {Txt, head + "METAL_DENSITY\n2\n0.5 0.5\n0.5 0.5\nEND_METAL_DENSITY\n" + tail,
         "Invalid grid data - unexpected data layout"},
        {Txt, head + "GRID 1 3\nMETAL_DENSITY\n1 2\n0.5 0.5\nEND_METAL_DENSITY\n" + tail, "Conflicting grid sizes"},
        {Txt, head + "METAL_DENSITY\n1 2\n0.5 -0.5\nEND_METAL_DENSITY\n" + tail, "Metal Density parsing failed"},
        {Txt, head + "GRID 2 3\n" + tail, "Metal Density parsing failed"},
        // Past the cells a model holds, refused before any cell is made; at the limit it reads on.
        {Txt, head + "GRID 301 1000\n" + tail,
         "The material map has 301 rows of 1000 cells, more than the 300000 cells a model can hold"},
        {Txt, head + "GRID 300 1000\n" + tail, "Metal Density parsing failed"},
        {Txt, head + "METAL_DENSITY\n2000000000 2000000000\n0.5\nEND_METAL_DENSITY\n" + tail,
         "Invalid metal density data - unexpected number of rows"},
        {Txt, "LENGTH\tfurlong\n", "Unknown unit \"furlong\" for Length"},
        {Txt, "END_LAYOUT_MAP\n", "Invalid end tag"},
        {Txt, "END_X\n", "The file "},
        {Xml, "<Layout version=\"1\"><AREA", "Failed to parse file - "},
        {Xml, "<Map version=\"1\"/>", "Invalid file format"},
        {Xml, "<Layout/>", "Version attribute missing"},
        {Xml, layout("<PROCESS_ENCRYPTION/>"), "Encryption missing process attribute"},
        {Xml, layout("<LAYOUT_MAP>" + layer + "</LAYOUT_MAP>"), "Layer Area parsing failed"},
        {Xml, layout("<LAYOUT_MAP><AREA x0=\"0\" x1=\"0\" y0=\"0\" y1=\"1\"/>" + layer + "</LAYOUT_MAP>"),
         "Layer Area parsing failed - the area has no size"},
        {Xml, map(""), "Layer parsing failed"},
        {Xml, layout(areaElement), "Layer parsing failed - file missing layer information."},
        {Xml, map("<LAYER diel_material=\"a\" metal_material=\"b\" z=\"0\" thickness=\"1\"/>"), "Layer name missing"},
        {Xml, map("<LAYER name=\"L\" metal_material=\"b\" z=\"0\" thickness=\"1\"/>"), "Dielectric material missing"},
        {Xml, map("<LAYER name=\"L\" diel_material=\"a\" z=\"0\" thickness=\"1\"/>"), "Metal material missing"},
        {Xml, map("<LAYER name=\"L\" diel_material=\"a\" metal_material=\"b\" thickness=\"1\"/>"), "Z position missing"},
        {Xml, map("<LAYER name=\"L\" diel_material=\"a\" metal_material=\"b\" z=\"0\"/>"), "Thickness missing"},
        {Xml, map(layer + "<GRID row=\"2\"/>"), "Grid missing col or row attribute"},
        {Xml, map(layer + "<METAL_DENSITY>0.5</METAL_DENSITY>"), "Metal Density parsing failed"},
        {Xml, layout("<LAYOUT_MAP>" + areaElement + layer + "</LAYOUT_MAP><AREA x0=\"0\" x1=\"2\" y0=\"0\" y1=\"1\">" + layer + "</AREA>"),
         "Invalid file format"},
        {Xml, layout("<LengthUnit value=\"parsec\"/>"), "Unknown unit \"parsec\" for Length"},
        // The first empty layer has its grid; the second finds densities with no grid after it.
        {Xml, map(layer + "<GRID row=\"1\" col=\"1\"/>" + layer + "<METAL_DENSITY>0.5</METAL_DENSITY>"),
         "Metal Density parsing failed"},
        {Xml, map(layer + "<GRID row=\"1\" col=\"1\"/><METAL_DENSITY>0.5</METAL_DENSITY>" + layer + "<GRID row=\"1\" col=\"2\"/>"),
         "Conflicting grid sizes"},
        // Four layers that all take one grid of 100 000 cells: 400 000 cells together.
        {Txt, "LAYOUT_MAP\nAREA 0 0 3 2\n" + QByteArray("LAYER L FR4 Cu 0.001 0\n").repeated(4) + sharedGrid +
             "END_LAYOUT_MAP\n", tooManyCells},
        {Xml, map(layer.repeated(4) + sharedXmlGrid), tooManyCells},
        {Txt, layerLines(limit + 1), tooManyLayers.constData()},
        {Txt, areaLine.repeated(limit + 1), tooManyLayers.constData()},
        {Xml, xmlMap(limit + 1), tooManyLayers.constData()},
        {Xml, layout(layer + areaElement.repeated(limit + 1)), tooManyLayers.constData()},
    };
    for (const Case& c : cases) {
        const Read read = readLayout(c.text, c.name);
        EXPECT_TRUE(read.records.empty()) << c.message;
        const QString message = QString::fromUtf8(c.message);
        const auto told = [&](const QString& text) { return text == message || (message.endsWith(' ') && text.startsWith(message)); };
        EXPECT_TRUE(std::any_of(read.fatal.begin(), read.fatal.end(), told))
            << "expected \"" << c.message << "\", got: " << read.fatal.join(" | ").toStdString();
    }
    const std::pair<const char*, QByteArray> atLimit[] = {
        {Txt, layerLines(limit)}, {Txt, areaLine.repeated(limit)}, {Xml, xmlMap(limit)}};
    for (const auto& [name, text] : atLimit)
        EXPECT_EQ(readLayout(text, name).records.size(), size_t(limit)) << "at the limit in " << name;
}

TEST(MaterialMapLayout, TextForcedMaterials)
{
    TestSupport::TempDir dir;
    const QString path = dir.write("map.txt", "LAYOUT_MAP\nAREA 0 0 1 1\nLAYER L FR4 Copper 1 0\nEND_LAYOUT_MAP\n");
    const auto forced = [](const char* name) { return name ? std::optional<std::string>(name) : std::nullopt; };
    struct Case
    {
        const char* metal; // null: not forced
        const char* dielectric;
        const char* expected;
        QStringList warnings;
    };
    const Case cases[] = {
        {"Copper", nullptr, "FR4/Copper", {}},
        {"Aluminium", nullptr, "FR4/Aluminium", {"Material Map file defines Metal as Copper, but forcing Aluminium"}},
        {nullptr, "Mold", "Mold/Copper", {"Material Map file defines Dielectric as FR4, but forcing Mold"}},
    };
    for (const Case& c : cases) {
        Tools::RecordingProgress progress;
        Tarvex::TarvexMaterialMapImporter importer(false, &progress);
        importer.setForcedMetal(forced(c.metal));
        importer.setForcedDielectric(forced(c.dielectric));
        const std::vector<MaterialMapData> records = importer.readMaterialMapData(path);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].dielectric + "/" + records[0].metal, c.expected);
        EXPECT_EQ(progress.texts(Kind::Warning), c.warnings) << c.expected;
    }
    Tools::RecordingProgress progress;
    Tarvex::TarvexMaterialMapImporter importer(false, &progress);
    importer.readMaterialMapData(dir.write("same.txt", "AREA 0 0 1 1\nLAYER L Cu Cu 1 0\n"));
    EXPECT_EQ(progress.texts(Kind::Informational), QStringList{"Using same material for dielectric and metal"});
}
