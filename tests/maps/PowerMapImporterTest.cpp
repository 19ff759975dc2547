#include "support/RecordingProgress.h"
#include "maps/TarvexPowerMapImporter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

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

double total(const PowerMapData& record) { return std::accumulate(record.powers.begin(), record.powers.end(), 0.0); }

std::vector<std::tuple<int, int, double>> links(const PowerMapData& record)
{
    std::vector<std::tuple<int, int, double>> result;
    for (const auto& link : record.links)
        result.emplace_back(link.record, link.linkedRecord, link.leakageTemperature);
    return result;
}

} // namespace

TEST(PowerMapImporter, GridMapsAreStoredBottomRowFirstInTheUnitsAndAreaTheFileGives)
{
    const auto grid = read("DIE_AREA 0 0 100 300\nPOWER\tmW\nLENGTH\tmm\n"
                           "POWER_MAP\n2 3\n1 2\n3 4\n5 6\nEND_POWER_MAP\n",
                           "chip.power.txt");
    ASSERT_EQ(grid->records.size(), 1u);
    const PowerMapData& record = grid->records.front();
    EXPECT_TRUE(grid->progress.entries().empty());
    EXPECT_EQ(record.name, "chip.power"); // the file name without its last extension
    EXPECT_EQ(record.columns, 2);
    EXPECT_EQ(record.rows, 3);
    EXPECT_EQ(record.powers, (std::vector<double>{5, 6, 3, 4, 1, 2})); // the first line is the top row
    EXPECT_EQ(record.powerUnit.getLabel(), "mW");
    EXPECT_EQ(record.lengthUnit.getLabel(), "mm");
    ASSERT_TRUE(record.area.has_value());
    EXPECT_EQ(*record.area, Geometry::Bound2D(Geometry::Vec2(0, 0), Geometry::Vec2(100, 300)));

    // Units written after a blank are joined into one keyword and do not count; the last
    // unit line before a map counts; without an end line the data still belongs to the map.
    const auto units = read("POWER mW\nPOWER_MAP_AREA 10 10 0 0\nLENGTH\tmm\nLENGTH\tmil\nPOWER_MAP\n1 1\n7\n");
    ASSERT_EQ(units->records.size(), 1u);
    EXPECT_EQ(units->records[0].powerUnit.getLabel(), "W");
    EXPECT_EQ(units->records[0].lengthUnit.getLabel(), "mil");
    EXPECT_EQ(*units->records[0].area, Geometry::Bound2D(Geometry::Vec2(0, 0), Geometry::Vec2(10, 10)));
    EXPECT_EQ(units->records[0].powers, std::vector<double>{7});

    // A second grid power map is ignored with a warning.
    const auto twice = read("POWER_MAP\n1 1\n7\nEND_POWER_MAP\nPOWER_MAP\n1 1\n9\nEND_POWER_MAP\n");
    ASSERT_EQ(twice->records.size(), 1u);
    EXPECT_EQ(twice->records[0].powers, std::vector<double>{7});
    EXPECT_EQ(twice->records[0].name, "power");
    EXPECT_TRUE(twice->progress.has(ToolProgress::Kind::Warning,
                                    "Multiple power maps in file, only the first will be applied."));
}

TEST(PowerMapImporter, ALeakageGridCarriesTheFirstMapsPowerAndIsLinkedWithIt)
{
    const auto maps = read("DIE_AREA 0 0 2 2\n"
                           "POWER_MAP\n2 2\n1 2\n3 4\nEND_POWER_MAP\n"
                           "LEAKAGE_POWER_MAP\n85 2 2\n0.1 0.2\n0.3 0.4\nEND_LEAKAGE_POWER_MAP\n");
    ASSERT_EQ(maps->records.size(), 2u);
    EXPECT_EQ(maps->records[0].name, "power (1)");
    EXPECT_EQ(maps->records[0].powers, (std::vector<double>{3, 4, 1, 2}));
    EXPECT_EQ(maps->records[1].powers, (std::vector<double>{3.3, 4.4, 1.1, 2.2}));
    EXPECT_EQ(links(maps->records[0]), (std::vector<std::tuple<int, int, double>>{{0, 1, 85.0}}));
    EXPECT_EQ(links(maps->records[1]), (std::vector<std::tuple<int, int, double>>{{1, 0, 85.0}}));

    // Grids of different sizes meet on the least common multiple of their rows and columns,
    // each cell taking the value of the cell it falls in.
    const auto sizes = read("POWER_MAP\n1 2\n10\n20\n"
                            "LEAKAGE_POWER_MAP\n100 2 1\n1 2\n");
    ASSERT_EQ(sizes->records.size(), 2u);
    EXPECT_EQ(sizes->records[0].powers, (std::vector<double>{20, 10}));
    EXPECT_EQ(sizes->records[1].rows, 2);
    EXPECT_EQ(sizes->records[1].powers, (std::vector<double>{21, 22, 11, 12}));

    // The first map's powers are brought to the leakage map's unit first.
    const auto units = read("POWER\tW\nPOWER_MAP\n1 1\n2\nPOWER\tmW\nLEAKAGE_POWER_MAP\n25 1 1\n30\n");
    ASSERT_EQ(units->records.size(), 2u);
    EXPECT_EQ(units->records[1].powerUnit.getLabel(), "mW");
    EXPECT_DOUBLE_EQ(units->records[1].powers[0], 2030.0);

    // A leakage map that comes first links with nothing.
    const auto alone = read("LEAKAGE_POWER_MAP\n25 1 1\n30\n");
    ASSERT_EQ(alone->records.size(), 1u);
    EXPECT_TRUE(alone->records[0].links.empty());
}

TEST(PowerMapImporter, AreaMapsAreSlicedAndTheirLeakageMapsJoinTheFirstMapsBlocks)
{
    const auto maps = read("DIE_AREA 0 0 10 10\n"
                           "AREA_POWER_MAP\n2\n0 0 1 1 4\n0.5 0.5 0 0 1\nEND_AREA_POWER_MAP\n"
                           "AREA_LEAKAGE_POWER_MAP\n105 1\n5 5 6 6 0.5\nEND_AREA_LEAKAGE_POWER_MAP\n");
    ASSERT_EQ(maps->records.size(), 2u);
    const PowerMapData& first = maps->records[0];
    ASSERT_TRUE(first.isAreaMap());
    // The small block keeps its place with its own power and the large block's share.
    ASSERT_EQ(first.blocks.size(), 3u);
    EXPECT_EQ(first.blocks[0], Geometry::Bound2D(Geometry::Vec2(0, 0), Geometry::Vec2(0.5, 0.5)));
    EXPECT_EQ(first.powers, (std::vector<double>{2, 2, 1}));
    EXPECT_EQ(first.rows, 4);
    EXPECT_EQ(first.columns, 5);
    const PowerMapData& leakage = maps->records[1];
    ASSERT_EQ(leakage.blocks.size(), 4u);
    EXPECT_EQ(leakage.blocks[0], Geometry::Bound2D(Geometry::Vec2(5, 5), Geometry::Vec2(6, 6)));
    EXPECT_DOUBLE_EQ(total(leakage), 5.5);
    EXPECT_EQ(links(leakage), (std::vector<std::tuple<int, int, double>>{{1, 0, 105.0}}));
    EXPECT_EQ(links(first), (std::vector<std::tuple<int, int, double>>{{0, 1, 105.0}}));

    // A grid after an area map joins the slicing cell by cell.
    const auto mixed = read("DIE_AREA 0 0 2 1\n"
                            "AREA_POWER_MAP\n1\n0 0 1 1 3\n"
                            "LEAKAGE_POWER_MAP\n85 2 1\n0.5 0.25\n");
    ASSERT_EQ(mixed->records.size(), 2u);
    ASSERT_TRUE(mixed->records[1].isAreaMap());
    EXPECT_EQ(mixed->records[1].blocks.size(), 2u);
    EXPECT_EQ(mixed->records[1].powers, (std::vector<double>{3.5, 0.25}));
}

TEST(PowerMapImporter, EveryMalformedFileEndsInItsMessageAndNoRecords)
{
    struct Case
    {
        const char* name;
        QByteArray content;
        const char* message; // the whole last fatal text, %1 standing for the path
    };
    const QByteArray die = "DIE_AREA 0 0 10 10\n";
    const char* const sizeText = "Invalid size data in power map file.";
    const char* const blockData = "Missing are power data in power map file.";
    const Case cases[] = {
        {"unmatched end line", "POWER_MAP\n1 1\n5\nEND_AREA_POWER_MAP\n", "Failed to open file - %1"},
        {"old power map format", "START_POWER_MAP_DEFINITION\nEND_POWER_MAP_DEFINITION\n",
         "Power maps are not supported in this version of Tarvex. Please use the area power map format instead."},
        {"die area with three values", "DIE_AREA 0 0 10\n", "Invalid power map area data in power map file."},
        {"die area without area", "DIE_AREA 0 0 10 0\n", "Invalid power map area data in power map file."},
        {"die area not a number", "DIE_AREA 0 0 10 ten\n", "Error parsing area data"},
        {"grid with a keyword line inside", "POWER_MAP\n1 1\nabc\nEND_POWER_MAP\n", "Invalid data format in power map file."},
        {"grid with one size value", "POWER_MAP\n2\n1 2\n", sizeText},
        {"grid of zero columns", "POWER_MAP\n0 1\n\n", sizeText},
        {"grid size not a number", "POWER_MAP\n2 #\n1 2\n", "Error parsing power map data"},
        {"grid, too few rows", "POWER_MAP\n2 3\n1 2\n3 4\n", "Missing rows in power map file. Rows declared: 3, given: 2."},
        {"grid, too many rows before the end line", "POWER_MAP\n1 2\n1\n2\n3\nEND_POWER_MAP\n",
         "Missing rows in power map file. Rows declared: 2, given: 3."},
        {"huge row count and no rows", "POWER_MAP\n1000000 2000000000\n",
         "Missing rows in power map file. Rows declared: 2000000000, given: 0."},
        {"grid line too short", "POWER_MAP\n2 2\n1 2\n3\n", "Missing columns in power map file."},
        {"non-numeric cell", "POWER_MAP\n2 1\n1 -\n", "Error parsing power map data"},
        {"infinite cell", "POWER_MAP\n2 1\n1 1e999\n", "Error parsing power map data"},
        {"leakage grid without temperature", "LEAKAGE_POWER_MAP\n2 2\n1 2\n3 4\n",
         "Invalid size data in leakage power map file."},
        {"leakage grid with a keyword line", "LEAKAGE_POWER_MAP\n85 1 1\nx\nEND_LEAKAGE_POWER_MAP\n",
         "Invalid data format in leakage power map file."},
        {"leakage grid, too many rows", "LEAKAGE_POWER_MAP\n85 1 2\n1\n2\n3\n",
         "Missing rows in leakage power map file. Rows declared: 2, given: 3."},
        {"leakage cell not a number", "LEAKAGE_POWER_MAP\n85 1 1\n1.2.3\n", "Error parsing leakage power map data"},
        {"block line of four values", die + "AREA_POWER_MAP\n1\n0 0 1 1\n", blockData},
        {"block count missing", die + "AREA_POWER_MAP\nEND_AREA_POWER_MAP\n", sizeText},
        {"area map, too few blocks", die + "AREA_POWER_MAP\n3\n0 0 1 1 1\n",
         "Missing area power blocks in power map file. Blocks declared: 3, given: 1."},
        {"leakage area map, too many blocks", die + "AREA_LEAKAGE_POWER_MAP\n85 1\n0 0 1 1 1\n0 0 2 2 1\n",
         "Missing area power blocks in power map file. Blocks declared: 1, given: 2."},
        {"no blocks", die + "AREA_POWER_MAP\n0\n", "No area power blocks found in power map file."},
        {"block outside the die", die + "AREA_POWER_MAP\n1\n5 5 11 6 1\n", "Area power block out of bounds in power map file."},
        {"block without area", die + "AREA_POWER_MAP\n1\n5 5 5 6 1\n", "Area power block has no area in power map file."},
        {"blocks without a die area", "AREA_POWER_MAP\n1\n5 5 6 6 1\n",
         "No die area before the area power blocks in power map file."},
        {"block power not a number", die + "AREA_POWER_MAP\n1\n5 5 6 6 -\n", "Error parsing area power map data"},
        {"leakage temperature not a number", die + "AREA_LEAKAGE_POWER_MAP\n-- 1\n5 5 6 6 1\n",
         "Error parsing area power map data"},
        {"grid and area map without a die area", "POWER_MAP\n1 1\n1\nDIE_AREA 0 0 1 1\nAREA_POWER_MAP\n1\n0 0 1 1 1\n",
         "Failed to overlap area and grid based power maps."},
        {"grids with too many cells in common", "POWER_MAP\n4099 1\n" + QByteArray(4099, '1').replace("1", "1 ").append('\n') +
                                                    "LEAKAGE_POWER_MAP\n1 4097 1\n" +
                                                    QByteArray(4097, '1').replace("1", "1 ").append('\n'),
         "The grids of the power maps are too large to be combined (more than 16777216 cells in common)."},
    };
    for (const Case& c : cases) {
        const auto result = read(c.content);
        EXPECT_TRUE(result->records.empty()) << c.name;
        const QStringList fatal = result->progress.texts(ToolProgress::Kind::FatalError);
        EXPECT_EQ(fatal.value(fatal.size() - 1).replace(QRegularExpression("- /.*"), "- %1"), QString::fromUtf8(c.message)) << c.name;
    }

    // A file without any map is no error for the reader: it has nothing to give.
    for (const QByteArray& empty : {QByteArray("\n\n  \n"), QByteArray("POWER\tW\nDIE_AREA 0 0 1 1\n")}) {
        const auto nothing = read(empty);
        EXPECT_TRUE(nothing->records.empty());
        EXPECT_TRUE(nothing->progress.entries().empty());
    }
}
