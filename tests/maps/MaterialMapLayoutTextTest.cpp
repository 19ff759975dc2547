// The text form of layout files: keywords, blocks, layer lines and density grids, read
// without the z-up flip so that grids keep their file order.

#include "MaterialMapTestSupport.h"

#include "maps/NorvaneTXMFormatParser.h"
#include "maps/TarvexMaterialMapImporter.h"

#include "support/RecordingProgress.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using Kind = Tools::ToolProgress::Kind;
using Tarvex::MaterialMapData;

namespace {

struct Read
{
    std::vector<MaterialMapData> records;
    QStringList fatal;
    QStringList warnings;
};

Read readLayout(const QByteArray& text, const char* name = "map.txt")
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

std::string describe(const MaterialMapData& r)
{
    std::string text = r.name + " " + r.dielectric + "/" + r.metal + " unit " + r.lengthUnit.getLabel().toStdString();
    if (r.area)
        text += QStringLiteral(" area %1,%2-%3,%4")
                    .arg(r.area->getLow().x)
                    .arg(r.area->getLow().y)
                    .arg(r.area->getHigh().x)
                    .arg(r.area->getHigh().y)
                    .toStdString();
    text += QStringLiteral(" at %1+%2 grid %3x%4:").arg(r.upPos).arg(r.thickness).arg(r.rows).arg(r.columns).toStdString();
    for (double d : r.metalDensity)
        text += " " + QString::number(d).toStdString();
    return text;
}

} // namespace

TEST(MaterialMapLayoutText, ReadsTheSampleLayout)
{
    TestSupport::TempDir dir;
    Tools::RecordingProgress progress;
    Tarvex::TarvexMaterialMapImporter importer(false, &progress);
    const std::vector<MaterialMapData> records =
        importer.readMaterialMapData(QStringLiteral(TARVEX_SAMPLES "/material-map-layout.txt"));
    ASSERT_EQ(records.size(), 2u) << progress.texts(Kind::FatalError).join('\n').toStdString();
    EXPECT_EQ(describe(records[0]), "M1 FR4/Copper unit mm area 0,0-3,2 at 0+0.035 grid 2x3: 0.1 0.2 0.3 0.4 0.5 0.6");
    EXPECT_EQ(describe(records[1]),
              "M2 FR4/Copper unit mm area 0,0-3,2 at 0.035+0.035 grid 2x3: 0.9 0.8 0.7 0.6 0.5 0.4");
    EXPECT_EQ(importer.getLayoutVersion().toQString(), "2025.1");
    EXPECT_TRUE(progress.entries().empty());
}

TEST(MaterialMapLayoutText, KeywordsAndBlocks)
{
    struct Case
    {
        const char* what;
        QByteArray text;
        std::vector<std::string> records;
    };
    const Case cases[] = {
        {"a layout map with a LAYER block",
         "LAYOUT_MAP\nAREA 0 0 2 1\nLAYER L1 FR4 Cu 0.1 0\nGRID 1 2\nMETAL_DENSITY\n1 2\n0.5 0.25\nEND_METAL_DENSITY\n"
         "END_LAYER\nEND_LAYOUT_MAP\n",
         {"L1 FR4/Cu unit mm area 0,0-2,1 at 0+0.1 grid 1x2: 0.5 0.25"}},
        {"keywords in any case, CRLF and indentation",
         "layout_map\r\n  area 2 1 0 0\r\n  layer L1 FR4 Cu 0.1 0\r\n    metal_density\r\n    1 2\r\n    0.5 0.25\r\n"
         "    END_metal_density\r\n  END_layer\r\nEND_layout_map\r\n",
         {"L1 FR4/Cu unit mm area 0,0-2,1 at 0+0.1 grid 1x2: 0.5 0.25"}},
        {"a LENGTH unit kept apart by a TAB",
         "LENGTH\tum\nLAYOUT_MAP\nDIE_AREA 0 0 2 1\nLAYER L1 FR4 Cu 0.1 0\nEND_LAYOUT_MAP\n",
         {"L1 FR4/Cu unit um area 0,0-2,1 at 0+0.1 grid 0x0:"}},
        {"LENGTH and its unit joined into one keyword by a blank",
         "LENGTH um\nLAYOUT_MAP\nAREA 0 0 2 1\nLAYER L1 FR4 Cu 0.1 0\nEND_LAYOUT_MAP\n",
         {"L1 FR4/Cu unit mm area 0,0-2,1 at 0+0.1 grid 0x0:"}},
        {"LAYER lines followed by their grids; a later layer's grid is read for the earlier one too",
         "LAYOUT_MAP\nAREA 0 0 2 1\nNUMBER_OF_LAYERS 2\nLAYER A FR4 Cu 0.1 0.1\nMETAL_DENSITY\n1 2\n0.5 0.25\n"
         "END_METAL_DENSITY\nLAYER B FR4 Cu 0.2 0.2\nMETAL_DENSITY\n1 2\n0.75 1\nEND_METAL_DENSITY\nEND_LAYOUT_MAP\n",
         {"A FR4/Cu unit mm area 0,0-2,1 at 0.1+0.1 grid 1x2: 0.5 0.25",
          "B FR4/Cu unit mm area 0,0-2,1 at 0.2+0.2 grid 1x2: 0.75 1"}},
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
        {"a single-layer file without a LAYER line keeps the defaults",
         "AREA 0 0 3 1\nGRID 1 3\nMETAL_DENSITY\n1 3\n0 0.5 1\n",
         {"Layer Sillicon/Copper unit mm area 0,0-3,1 at 0+0.1 grid 1x3: 0 0.5 1"}},
        {"an unclosed LAYOUT_MAP leaves its lines at the top level: one single layer",
         "LAYOUT_MAP\nAREA 0 0 1 1\nLAYER L D M 1 0\n",
         {"L D/M unit mm area 0,0-1,1 at 0+1 grid 0x0:"}},
        {"a negative thickness reaches down from its z", "LAYOUT_MAP\nAREA 0 0 1 1\nLAYER L D M -0.2 1.0\nEND_LAYOUT_MAP\n",
         {"L D/M unit mm area 0,0-1,1 at 0.8+0.2 grid 0x0:"}},
        {"unknown keywords and PROCESS_ENCRYPTION are ignored",
         "PROCESS_ENCRYPTION abc\nCOLOUR red 5\nLAYOUT_MAP\nAREA 0 0 1 1\nNOTE x 1\nLAYER L D M 1 0\nEND_LAYOUT_MAP\n",
         {"L D/M unit mm area 0,0-1,1 at 0+1 grid 0x0:"}},
        {"an empty file has no layer", "", {}},
        {"a metal_density block with only its header contributes nothing",
         "AREA 0 0 1 1\nMETAL_DENSITY\n2 3\nEND_METAL_DENSITY\n", {"Layer Sillicon/Copper unit mm area 0,0-1,1 at 0+0.1 grid 0x0:"}},
    };
    for (const Case& c : cases) {
        const Read read = readLayout(c.text);
        std::vector<std::string> got;
        for (const MaterialMapData& record : read.records)
            got.push_back(describe(record));
        EXPECT_EQ(got, c.records) << c.what << "\n" << read.fatal.join('\n').toStdString();
        EXPECT_TRUE(read.fatal.isEmpty()) << c.what << ": " << read.fatal.join('\n').toStdString();
    }
}

TEST(MaterialMapLayoutText, BadFilesAreRefusedWithTheirMessage)
{
    struct Case
    {
        QByteArray text;
        const char* message;
    };
    const QByteArray head = "LAYOUT_MAP\nAREA 0 0 3 2\nLAYER L FR4 Cu 0.1 0\n";
    const QByteArray tail = "END_LAYER\nEND_LAYOUT_MAP\n";
    const Case cases[] = {
        {"LAYOUT_MAP\nAREA 0 0 3\nEND_LAYOUT_MAP\n", "Invalid area data"},
        {"AREA 0 0 three 2\n", "Invalid area data"},
        {"AREA 0 0 0 2\n", "Invalid area data - the area has no size"},
        {"LAYOUT_MAP\nAREA 0 0 3 2\nLAYER L FR4 Cu 0.1\nEND_LAYOUT_MAP\n", "Invalid layer data - unexpected layer data"},
        {"LAYOUT_MAP\nAREA 0 0 3 2\nLAYER L FR4 Cu thin 0\nEND_LAYOUT_MAP\n", "Invalid layer data - \"thin\" is not a number"},
        {"LAYOUT_MAP\nAREA 0 0 3 2\nLAYER L FR4 Cu 0 0\nEND_LAYOUT_MAP\n", "Invalid layer data - the layer L has no thickness"},
        {head + "GRID 2\n" + tail, "Invalid grid data"},
        {head + "GRID 0 3\n" + tail, "Invalid grid data"},
        {head + "GRID -2 3\n" + tail, "Invalid grid data"},
        {head + "GRID 2.5 3\n" + tail, "Invalid grid data"},
        {head + "METAL_DENSITY\n2 3\n0 0 0\n0 0 0\n0 0 0\nEND_METAL_DENSITY\n" + tail,
         "Invalid metal density data - unexpected number of rows"},
        {head + "METAL_DENSITY\n2 3\n0 0 0\n0 0\nEND_METAL_DENSITY\n" + tail, "Invalid metal density data"},
        {head + "METAL_DENSITY\n1 3\n0.5 abc 0\nEND_METAL_DENSITY\n" + tail,
         "Invalid metal density data - \"abc\" is not a number"},
        {head + "METAL_DENSITY\n1 3\n0.5 0.1x 0\nEND_METAL_DENSITY\n" + tail,
         "Invalid metal density data - \"0.1x\" is not a number"},
        {head + "METAL_DENSITY\n1 3\n0.5 nan 0\nEND_METAL_DENSITY\n" + tail,
         "Invalid metal density data - \"nan\" is not a number"},
        // A row that starts with a letter is a keyword line, not data.
        {head + "METAL_DENSITY\n1 2\n1e-3 0.5\nEND_METAL_DENSITY\n" + tail, "Invalid metal density data"},
        {head + "METAL_DENSITY\n2\n0.5 0.5\n0.5 0.5\nEND_METAL_DENSITY\n" + tail,
         "Invalid grid data - unexpected data layout"},
        {head + "METAL_DENSITY\n1 2 3\n0.5 0.5\nEND_METAL_DENSITY\n" + tail, "Invalid grid data - unexpected data layout"},
        {head + "METAL_DENSITY\nEND_METAL_DENSITY\n" + tail, "Invalid grid data"},
        {head + "GRID 2 2\nMETAL_DENSITY\n1 2\n0.5 0.5\nEND_METAL_DENSITY\n" + tail, "Conflicting grid sizes"},
        {head + "GRID 1 2\nGRID 2 2\n" + tail, "Conflicting grid sizes"},
        {head + "METAL_DENSITY\n1 2\n0.5 -0.5\nEND_METAL_DENSITY\n" + tail, "Metal Density parsing failed"},
        {head + "GRID 2 3\n" + tail, "Metal Density parsing failed"},
        // Past the cells a model holds, refused before any cell is made; at the limit it reads on.
        {head + "GRID 100000 100000\n" + tail,
         "The material map has 100000 rows of 100000 cells, more than the 300000 cells a model can hold"},
        {head + "GRID 301 1000\n" + tail,
         "The material map has 301 rows of 1000 cells, more than the 300000 cells a model can hold"},
        {head + "GRID 300 1000\n" + tail, "Metal Density parsing failed"},
        {head + "METAL_DENSITY\n2000000000 2000000000\n0.5\nEND_METAL_DENSITY\n" + tail,
         "Invalid metal density data - unexpected number of rows"},
        {"LENGTH\tfurlong\n", "Unknown unit \"furlong\" for Length"},
        // The first LAYER line has its densities; a later one declares a grid with none left for it.
        {"LAYOUT_MAP\nAREA 0 0 2 1\nLAYER A FR4 Cu 0.1 0\nMETAL_DENSITY\n1 2\n0.5 0.25\nEND_METAL_DENSITY\n"
         "LAYER B FR4 Cu 0.1 0.1\nGRID 1 2\nEND_LAYOUT_MAP\n",
         "Metal Density parsing failed"},
        {"LAYOUT_MAP\nAREA 0 0 2 1\nLAYER A FR4 Cu 0.1 0\nGRID 1 2\nLAYER B FR4 Cu 0.1 0.1\nGRID 2 2\nEND_LAYOUT_MAP\n",
         "Conflicting grid sizes"},
        {"LAYOUT_MAP\nEND_LAYER\n", "Invalid end tag"},
        {"END_LAYOUT_MAP\n", "Invalid end tag"},
    };
    for (const Case& c : cases) {
        const Read read = readLayout(c.text);
        EXPECT_TRUE(read.records.empty()) << c.message;
        EXPECT_TRUE(read.fatal.contains(QString::fromUtf8(c.message)))
            << "expected \"" << c.message << "\", got: " << read.fatal.join(" | ").toStdString();
    }
    // A parse failure also names the file.
    EXPECT_TRUE(readLayout("END_X\n").fatal.last().startsWith("Failed to open file - "));
}

TEST(MaterialMapLayoutText, ForcedMaterials)
{
    TestSupport::TempDir dir;
    const QString path = dir.write("map.txt", "LAYOUT_MAP\nAREA 0 0 1 1\nLAYER L FR4 Copper 1 0\nEND_LAYOUT_MAP\n");
    struct Case
    {
        std::optional<std::string> metal;
        std::optional<std::string> dielectric;
        const char* expected;
        QStringList warnings;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, "FR4/Copper", {}},
        {std::string("Copper"), std::nullopt, "FR4/Copper", {}},
        {std::string("Aluminium"), std::nullopt, "FR4/Aluminium",
         {"Material Map file defines Metal as Copper, but forcing Aluminium"}},
        {std::nullopt, std::string("Mold"), "Mold/Copper", {"Material Map file defines Dielectric as FR4, but forcing Mold"}},
    };
    for (const Case& c : cases) {
        Tools::RecordingProgress progress;
        Tarvex::TarvexMaterialMapImporter importer(false, &progress);
        importer.setForcedMetal(c.metal);
        importer.setForcedDielectric(c.dielectric);
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

namespace {

// `count` LAYER lines, each a layer of its own without a grid.
QByteArray layerLines(int count)
{
    QByteArray text = "LAYOUT_MAP\nAREA 0 0 3 2\n";
    for (int i = 0; i < count; ++i)
        text += "LAYER L" + QByteArray::number(i) + " FR4 Cu 0.001 0\n";
    return text + "END_LAYOUT_MAP\n";
}

} // namespace

TEST(MaterialMapLayoutText, LayerCountIsBoundedWhileReading)
{
    const int limit = Tarvex::TarvexMaterialMapImporter::MaxLayoutLayers;
    const Read atLimit = readLayout(layerLines(limit));
    EXPECT_EQ(atLimit.records.size(), size_t(limit));
    EXPECT_TRUE(atLimit.fatal.isEmpty()) << atLimit.fatal.join(" | ").toStdString();

    // Outside a layout map each AREA line is a layer of its own.
    const Read areas = readLayout(QByteArray("AREA 0 0 3 2\n").repeated(limit));
    EXPECT_EQ(areas.records.size(), size_t(limit));
    EXPECT_TRUE(areas.fatal.isEmpty()) << areas.fatal.join(" | ").toStdString();

    const Read over = readLayout(layerLines(limit + 1));
    EXPECT_TRUE(over.records.empty());
    ASSERT_FALSE(over.fatal.isEmpty());
    EXPECT_EQ(over.fatal.first(), QStringLiteral("The layout has more than %1 layers").arg(limit));
}

TEST(MaterialMapLayoutText, LimitsLeaveTheModelAsItWas)
{
    using MaterialMapTest::HostFixture;
    struct Case
    {
        const char* what;
        QByteArray text;
        QString message;
    };
    const qint64 lineLimit = Tarvex::NorvaneTXMFormatParser::MaxLineBytes;
    const int layerLimit = Tarvex::TarvexMaterialMapImporter::MaxLayoutLayers;
    const Case cases[] = {
        {"too many layers", layerLines(layerLimit + 1),
         QStringLiteral("The layout has more than %1 layers").arg(layerLimit)},
        {"too many single-layer areas", QByteArray("AREA 0 0 3 2\n").repeated(layerLimit + 1),
         QStringLiteral("The layout has more than %1 layers").arg(layerLimit)},
        {"a line too long", "LAYOUT_MAP\nAREA 0 0 3 2\n" + QByteArray(int(lineLimit + 1), '5'),
         QStringLiteral("Line 3 is longer than %1 bytes").arg(lineLimit)},
        // Four LAYER lines that all take the one grid of 100 000 cells after them.
        {"too many cells together",
         "LAYOUT_MAP\nAREA 0 0 3 2\n" + QByteArray("LAYER L FR4 Cu 0.001 0\n").repeated(4) +
             "METAL_DENSITY\n100 1000\n" + QByteArray(QByteArray("0 ").repeated(1000) + "\n").repeated(100) +
             "END_METAL_DENSITY\nEND_LAYOUT_MAP\n",
         QStringLiteral("The layers of the material map hold 400000 cells together, more than the 300000 cells a "
                        "model can hold")},
    };
    for (const Case& c : cases) {
        TestSupport::TempDir dir;
        HostFixture host(0.003, 0.002, 0.0001);
        host.addLayer("bottom", 0, 0.00005, {Geometry::Bound2D(Geometry::Vec2(0, 0), Geometry::Vec2(0.003, 0.002))});
        const QByteArray before = host.json();
        Tools::RecordingProgress progress;
        Tarvex::TarvexMaterialMapImporter importer(&progress);
        EXPECT_FALSE(importer.importFile(dir.write("map.txt", c.text), host.component)) << c.what;
        EXPECT_EQ(host.json(), before) << c.what;
        EXPECT_FALSE(host.model->getUndoStack().canUndo()) << c.what;
        EXPECT_TRUE(progress.texts(Kind::FatalError).contains(c.message))
            << c.what << ": " << progress.texts(Kind::FatalError).join(" | ").toStdString();
    }
}
