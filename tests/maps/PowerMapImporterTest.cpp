#include "support/RecordingProgress.h"
#include <tarvex/maps/TarvexPowerMapImporter.h>
#include "support/TempDir.h"

#include <gtest/gtest.h>


#include <QRegularExpression>

using ServerConstructor::PowerMapData;
using Tarvex::TarvexPowerMapImporter;
using Tools::RecordingProgress;
using Tools::ToolProgress;

namespace {

struct Read
{
    std::vector<PowerMapData> records;
    RecordingProgress progress;
};

// Reads `content` written to a file called `name`.
std::unique_ptr<Read> read(const QByteArray& content, const QString& name = QStringLiteral("power.txt"))
{
    TestSupport::TempDir dir;
    auto result = std::make_unique<Read>();
    TarvexPowerMapImporter importer(&result->progress);
    result->records = importer.readPowerMapData(dir.write(name, content));
    return result;
}

// "name RxC powerUnit/lengthUnit [area]: powers [blocks: first of n] [links]" per record.
std::vector<std::string> describe(const std::vector<PowerMapData>& records)
{
    const auto bound = [](const Geometry::Bound2D& b) {
        return QStringLiteral("%1,%2-%3,%4").arg(b.getLow().x).arg(b.getLow().y).arg(b.getHigh().x).arg(b.getHigh().y);
    };
    std::vector<std::string> result;
    for (const PowerMapData& r : records) {
        QString text = QStringLiteral("%1 %2x%3 %4/%5").arg(QString::fromStdString(r.name)).arg(r.rows).arg(r.columns)
                           .arg(r.powerUnit.getLabel(), r.lengthUnit.getLabel());
        if (r.area)
            text += " area " + bound(*r.area);
        text += ':';
        for (double power : r.powers)
            text += ' ' + QString::number(power);
        if (r.isAreaMap())
            text += QStringLiteral(" blocks %1 of %2").arg(bound(r.blocks.front())).arg(r.blocks.size());
        for (const auto& link : r.links)
            text += QStringLiteral(" link %1-%2@%3").arg(link.record).arg(link.linkedRecord).arg(link.leakageTemperature);
        result.push_back(text.toStdString());
    }
    return result;
}

} // namespace

TEST(PowerMapImporter, MapsAreReadBottomRowFirstLeakageMapsJoinTheFirstMapAndMalformedFilesAreRefused)
{
    struct Case
    {
        const char* what;
        QByteArray content;
        std::vector<std::string> records; // then the first fatal message, if any
        QStringList warnings = {};
    };
    const QByteArray die = "DIE_AREA 0 0 10 10\n";
    const char* const sizeText = "Invalid size data in power map file.";
    const char* const blockData = "Missing are power data in power map file.";
    const Case cases[] = {
        {"a grid in the units and area the file gives, named after the file without its last extension; "
         "the first line is the top row",
         "DIE_AREA 0 0 100 300\nPOWER\tmW\nLENGTH\tmm\nPOWER_MAP\n2 3\n1 2\n3 4\n5 6\nEND_POWER_MAP\n", {"chip.power 3x2 mW/mm area 0,0-100,300: 5 6 3 4 1 2"}},
        {"the last unit line before a map counts; without an end line the data still belongs to the map",
         "POWER_MAP_AREA 10 10 0 0\nLENGTH\tmm\nLENGTH\tmil\nPOWER_MAP\n1 1\n7\n", {"chip.power 1x1 W/mil area 0,0-10,10: 7"}},
        {"a second grid power map is ignored", "POWER_MAP\n1 1\n7\nEND_POWER_MAP\nPOWER_MAP\n1 1\n9\nEND_POWER_MAP\n",
         {"chip.power 1x1 W/um: 7"}, {"Multiple power maps in file, only the first will be applied."}},
        {"a leakage grid carries the first map's power and is linked with it",
         "DIE_AREA 0 0 2 2\nPOWER_MAP\n2 2\n1 2\n3 4\nEND_POWER_MAP\n"
         "LEAKAGE_POWER_MAP\n85 2 2\n0.1 0.2\n0.3 0.4\nEND_LEAKAGE_POWER_MAP\n", {"chip.power (1) 2x2 W/um area 0,0-2,2: 3 4 1 2 link 0-1@85",
          "chip.power (2) 2x2 W/um area 0,0-2,2: 3.3 4.4 1.1 2.2 link 1-0@85"}},
        {"grids of different sizes meet on the least common multiple of their rows and columns",
         "POWER_MAP\n1 2\n10\n20\nLEAKAGE_POWER_MAP\n100 2 1\n1 2\n", {"chip.power (1) 2x1 W/um: 20 10 link 0-1@100", "chip.power (2) 2x2 W/um: 21 22 11 12 link 1-0@100"}},
        {"the first map's powers are brought to the leakage map's unit first",
         "POWER\tW\nPOWER_MAP\n1 1\n2\nPOWER\tmW\nLEAKAGE_POWER_MAP\n25 1 1\n30\n", {"chip.power (1) 1x1 W/um: 2 link 0-1@25", "chip.power (2) 1x1 mW/um: 2030 link 1-0@25"}},
        {"a leakage map that comes first links with nothing", "LEAKAGE_POWER_MAP\n25 1 1\n30\n", {"chip.power 1x1 W/um: 30"}},
        // The small block keeps its place with its own power and the large block's share.
        {"area maps are sliced and their leakage maps join the first map's blocks",
         "DIE_AREA 0 0 10 10\nAREA_POWER_MAP\n2\n0 0 1 1 4\n0.5 0.5 0 0 1\nEND_AREA_POWER_MAP\n"
         "AREA_LEAKAGE_POWER_MAP\n105 1\n5 5 6 6 0.5\nEND_AREA_LEAKAGE_POWER_MAP\n", {"chip.power (1) 4x5 W/um area 0,0-10,10: 2 2 1 blocks 0,0-0.5,0.5 of 3 link 0-1@105",
          "chip.power (2) 5x5 W/um area 0,0-10,10: 0.5 2 2 1 blocks 5,5-6,6 of 4 link 1-0@105"}},
        {"a grid after an area map joins the slicing cell by cell",
         "DIE_AREA 0 0 2 1\nAREA_POWER_MAP\n1\n0 0 1 1 3\nLEAKAGE_POWER_MAP\n85 2 1\n0.5 0.25\n", {"chip.power (1) 2x5 W/um area 0,0-2,1: 3 blocks 0,0-1,1 of 1 link 0-1@85",
          "chip.power (2) 3x5 W/um area 0,0-2,1: 3.5 0.25 blocks 0,0-1,1 of 2 link 1-0@85"}},
        // Every malformed file ends in its message, %1 standing for the path, and no records.
        {"unmatched end line", "POWER_MAP\n1 1\n5\nEND_AREA_POWER_MAP\n", {"Invalid end tag"}},
        {"old power map format", "START_POWER_MAP_DEFINITION\nEND_POWER_MAP_DEFINITION\n",
         {"Power maps are not supported in this version of Tarvex. Please use the area power map format instead."}},
        {"die area with three values", "DIE_AREA 0 0 10\n", {"Invalid power map area data in power map file."}},
        {"die area without area", "DIE_AREA 0 0 10 0\n", {"Invalid power map area data in power map file."}},
        {"die area not a number", "DIE_AREA 0 0 10 ten\n", {"Error parsing area data"}},
        {"grid with a keyword line inside", "POWER_MAP\n1 1\nabc\nEND_POWER_MAP\n", {"Invalid data format in power map file."}},
        {"grid with one size value", "POWER_MAP\n2\n1 2\n", {sizeText}},
        {"grid of zero columns", "POWER_MAP\n0 1\n\n", {sizeText}},
        {"grid size not a number", "POWER_MAP\n2 #\n1 2\n", {"Error parsing power map data"}},
        {"grid, too few rows", "POWER_MAP\n2 3\n1 2\n3 4\n", {"Missing rows in power map file. Rows declared: 3, given: 2."}},
        {"grid, too many rows before the end line", "POWER_MAP\n1 2\n1\n2\n3\nEND_POWER_MAP\n",
         {"Missing rows in power map file. Rows declared: 2, given: 3."}},
        // Grids past the cells a model holds are refused at their size line.
        {"huge row count and no rows", "POWER_MAP\n1000000 2000000000\n",
         {"The power map has 2000000000 rows of 1000000 cells, more than the 300000 cells a model can hold"}},
        {"leakage grid past the model's cells", "LEAKAGE_POWER_MAP\n85 300001 1\n",
         {"The power map has 1 rows of 300001 cells, more than the 300000 cells a model can hold"}},
        {"grid line too short", "POWER_MAP\n2 2\n1 2\n3\n", {"Missing columns in power map file."}},
        {"non-numeric cell", "POWER_MAP\n2 1\n1 -\n", {"Error parsing power map data"}},
        {"leakage grid without temperature", "LEAKAGE_POWER_MAP\n2 2\n1 2\n3 4\n",
         {"Invalid size data in leakage power map file."}},
        {"block line of four values", die + "AREA_POWER_MAP\n1\n0 0 1 1\n", {blockData}},
        {"block count missing", die + "AREA_POWER_MAP\nEND_AREA_POWER_MAP\n", {sizeText}},
        {"area map, too few blocks", die + "AREA_POWER_MAP\n3\n0 0 1 1 1\n",
         {"Missing area power blocks in power map file. Blocks declared: 3, given: 1."}},
        {"leakage area map, too many blocks", die + "AREA_LEAKAGE_POWER_MAP\n85 1\n0 0 1 1 1\n0 0 2 2 1\n",
         {"Missing area power blocks in power map file. Blocks declared: 1, given: 2."}},
        {"no blocks", die + "AREA_POWER_MAP\n0\n", {"No area power blocks found in power map file."}},
        {"block outside the die", die + "AREA_POWER_MAP\n1\n5 5 11 6 1\n", {"Area power block out of bounds in power map file."}},
        {"block without area", die + "AREA_POWER_MAP\n1\n5 5 5 6 1\n", {"Area power block has no area in power map file."}},
        {"blocks without a die area", "AREA_POWER_MAP\n1\n5 5 6 6 1\n",
         {"No die area before the area power blocks in power map file."}},
        {"block power not a number", die + "AREA_POWER_MAP\n1\n5 5 6 6 -\n", {"Error parsing area power map data"}},
        {"grid and area map without a die area", "POWER_MAP\n1 1\n1\nDIE_AREA 0 0 1 1\nAREA_POWER_MAP\n1\n0 0 1 1 1\n",
         {"Failed to overlap area and grid based power maps."}},
        {"grids with too many cells in common", "POWER_MAP\n4099 1\n" + QByteArray(4099, '1').replace("1", "1 ").append('\n') +
                                                    "LEAKAGE_POWER_MAP\n1 4097 1\n" +
                                                    QByteArray(4097, '1').replace("1", "1 ").append('\n'),
         {"The grids of the power maps are too large to be combined (more than 16777216 cells in common)."}},
    };
    for (const Case& c : cases) {
        const auto result = read(c.content, "chip.power.txt");
        std::vector<std::string> got = describe(result->records);
        const QStringList fatal = result->progress.texts(ToolProgress::Kind::FatalError);
        if (!fatal.isEmpty())
            got.push_back(QString(fatal.first()).replace(QRegularExpression("/\\S+"), "%1").toStdString());
        EXPECT_EQ(got, c.records) << c.what;
        EXPECT_EQ(result->progress.texts(ToolProgress::Kind::Warning), c.warnings) << c.what;
    }

    // After the parser's own message, the file is said to be left unread (it did open).
    const QStringList unread = read("POWER_MAP\n1 1\n5\nEND_AREA_POWER_MAP\n")->progress.texts(ToolProgress::Kind::FatalError);
    EXPECT_TRUE(unread.last().startsWith("The file /") && unread.last().endsWith("power.txt was not read.")) << unread.last().toStdString();

    // A file without any map is no error for the reader: it has nothing to give.
    for (const QByteArray& empty : {QByteArray("\n\n  \n"), QByteArray("POWER\tW\nDIE_AREA 0 0 1 1\n")}) {
        const auto nothing = read(empty);
        EXPECT_TRUE(nothing->records.empty());
        EXPECT_TRUE(nothing->progress.entries().empty());
    }
}

TEST(PowerMapImporter, TheBlocksOfAllMapsOfAFileShareOneLimit)
{
    // A 400 x 400 grid joins each area map after it as 160 000 blocks: one such map fits,
    // two pass the limit together though each alone is well below it.
    const QByteArray row = QByteArray("1 ").repeated(400) + "\n";
    const QByteArray grid = "DIE_AREA 0 0 400 400\nPOWER_MAP\n400 400\n" + row.repeated(400);
    const QByteArray area = "AREA_POWER_MAP\n1\n0 0 1 1 1\nEND_AREA_POWER_MAP\n";
    const auto one = read(grid + area);
    ASSERT_EQ(one->records.size(), 2u) << one->progress.texts(ToolProgress::Kind::FatalError).join('\n').toStdString();
    EXPECT_EQ(one->records[1].blocks.size(), 160000u);

    const auto two = read(grid + area + area);
    EXPECT_TRUE(two->records.empty());
    EXPECT_EQ(two->progress.texts(ToolProgress::Kind::FatalError),
              QStringList{"The power maps of the file hold more than 300000 blocks together."});
}
