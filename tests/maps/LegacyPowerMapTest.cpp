#include <tarvex/maps/TarvexLegacyPowerMapReader.h>
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

using Tarvex::TarvexLegacyPowerMapReader;
using Tarvex::TarvexPowerMapArea;

namespace {

// Rectangles as "x0 y0 x1 y1" in millimetres, with ":power" in watts when they carry power
// and "[T K:P W ...]" for leakage, in list order.
std::vector<std::string> describe(const std::vector<TarvexPowerMapArea>& areas)
{
    const auto mm = [](double metres) { return QString::number(std::round(metres * 1e9) / 1e6, 'g', 10); };
    std::vector<std::string> result;
    for (const TarvexPowerMapArea& area : areas) {
        const Geometry::Bound2D& b = area.bound;
        QString text = QStringList{mm(b.getLow().x), mm(b.getLow().y), mm(b.getHigh().x), mm(b.getHigh().y)}.join(' ');
        if (area.data) {
            text += ':' + QString::number(area.data->power, 'g', 10);
            for (const auto& entry : area.data->leakage)
                text += QStringLiteral(" [%1 K:%2 W]").arg(entry.first, 0, 'g', 10).arg(entry.second, 0, 'g', 10);
        }
        result.push_back(text.toStdString());
    }
    return result;
}

// The rectangles read into `areas` (if given, else a list of its own), or the message the read threw.
std::vector<std::string> read(const QByteArray& content, std::vector<TarvexPowerMapArea>* areas = nullptr)
{
    TestSupport::TempDir dir;
    std::vector<TarvexPowerMapArea> own;
    std::vector<TarvexPowerMapArea>& into = areas ? *areas : own;
    try {
        TarvexLegacyPowerMapReader().read(dir.write("map.txt", content), into);
    } catch (const std::runtime_error& error) {
        return {error.what()};
    }
    return describe(into);
}

const QByteArray Area = "Length Unit : mm\nPOWER_MAP_AREA 0 0 10 10\n";

} // namespace

TEST(TarvexLegacyPowerMapReader, BlocksCutTheAreaIntoRectanglesSortedByCentreAndMalformedFilesThrow)
{
    struct Case
    {
        const char* name;
        QByteArray text;
        std::vector<std::string> areas; // or the message thrown
    };
    const std::vector<std::string> ninePieces{
        "0 0 4 4", "0 4 4 6", "0 6 4 10", "4 0 6 4", "4 4 6 6:4", "4 6 6 10", "6 0 10 4", "6 4 10 6", "6 6 10 10"};
    const Case cases[] = {
        {"area alone", "POWER Unit : W\n" + Area, {"0 0 10 10"}},
        {"micrometres by default", "POWER_MAP_AREA 0 0 10 20\n", {"0 0 0.01 0.02"}},
        {"a centred block makes a 3 x 3 grid; tabs are blanks, CRs fall away", Area + "AREA_POWER_MAP\r\n1\r\n4\t4 6\t\t6 4\r\n",
         ninePieces},
        {"milliwatts", Area + "POWER Unit : mW\nAREA_POWER_MAP\n1\n0 0 10 10 500\n", {"0 0 10 10:0.5"}},
        {"a block on the same corners adds its power",
         Area + "AREA_POWER_MAP\n2\n0 0 5 10 1\n0 0 5 10 2\n", {"0 0 5 10:3", "5 0 10 10"}},
        {"power shared by area when a placed block is cut",
         Area + "AREA_POWER_MAP\n2\n0 0 10 4 8\n0 0 5 10 1\n",
         {"0 0 5 4:4.4", "0 4 5 10:0.6", "5 0 10 4:4", "5 4 10 10"}},
        {"leakage at one temperature adds up, other temperatures are kept in order",
         Area + "AREA_LEAKAGE_POWER_MAP\n85 2\n0 0 5 10 1\n0 0 5 10 2\n"
                "AREA_LEAKAGE_POWER_MAP\n25 1\n0 0 5 10 0.5\n",
         {"0 0 5 10:0 [298.15 K:0.5 W] [358.15 K:3 W]", "5 0 10 10"}},
        {"a block outside the area is dropped", Area + "AREA_POWER_MAP\n1\n20 20 30 30 5\n", {"0 0 10 10"}},
        {"a degenerate block is dropped", Area + "AREA_POWER_MAP\n1\n2 2 2 8 5\n", {"0 0 10 10"}},
        // Neither the strip nor the cross bar holds a corner of the other, so the strip is not
        // cut: the bar goes in whole, on top of it, and the side pieces are cut by its ends.
        {"a block crossing a placed one with another centre",
         Area + "AREA_POWER_MAP\n2\n4 0 6 10 1\n0 3 10 5 2\n",
         {"0 0 4 3", "0 3 4 5", "0 5 4 10", "0 3 10 5:2", "4 0 6 10:1", "6 0 10 3", "6 3 10 5", "6 5 10 10"}},
        {"a block crossing a placed one with the same centre adds to it",
         Area + "AREA_POWER_MAP\n2\n4 0 6 10 1\n0 4 10 6 2\n",
         {"0 0 4 4", "0 4 4 6", "0 6 4 10", "4 0 6 10:3", "6 0 10 4", "6 4 10 6", "6 6 10 10"}},
        // The first block replaces the map area by its pieces; the second must still be
        // found inside the whole map.
        {"blocks after the map area was cut away", Area + "AREA_POWER_MAP\n2\n0 0 6 10 1\n7 2 9 4 2\n",
         {"0 0 6 10:1", "6 0 7 2", "6 2 7 4", "6 4 7 10", "7 0 9 2", "7 2 9 4:2", "7 4 9 10", "9 0 10 2", "9 2 10 4",
          "9 4 10 10"}},
        // A second map area grows the first rectangle, which is then sorted by its new
        // centre and merges by it.
        {"a grown map area keeps the list sorted", Area + "POWER_MAP_AREA 10 0 20 10\nAREA_POWER_MAP\n1\n-5 2 25 4 1\n",
         {"-5 2 25 4:1", "0 0 20 10"}},
        {"unknown lines are ignored", "# comment\n" + Area + "SOMETHING ELSE\n", {"0 0 10 10"}},
        // Malformed files throw, naming the file and line.
        {"block section before any area", "AREA_POWER_MAP\n1\n0 0 1 1 1\n", {"Invalid Power Map in AREA_POWER_MAP"}},
        {"area too thin", "POWER_MAP_AREA 0 0 10 0\nAREA_POWER_MAP\n0\n", {"Invalid Power Map in AREA_POWER_MAP"}},
        {"four cells", Area + "AREA_POWER_MAP\n1\n4 4 6 6\n", {"Invalid number of cells. Expected 5 Cell.\nmap.txt line 5"}},
        {"negative count", Area + "AREA_POWER_MAP\n-1\n", {"Invalid number of blocks \"-1\".\nmap.txt line 4"}},
        {"not a number", Area + "AREA_POWER_MAP\n1\n4 4 six 6 1\n", {"Invalid number \"six\".\nmap.txt line 5"}},
        {"unknown unit", "Length Unit : furlong\nPOWER_MAP_AREA 0 0 1 1\n", {"Unknown unit \"furlong\" for Length.\nmap.txt line 2"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(read(c.text), c.areas) << c.name;
    TestSupport::TempDir dir;
    std::vector<TarvexPowerMapArea> areas;
    EXPECT_THROW(TarvexLegacyPowerMapReader().read(dir.path("none.txt"), areas), std::runtime_error);
}

TEST(TarvexLegacyPowerMapReader, BlocksThatCutTheAreaIntoTooManyRectanglesAreRefusedAndLeaveTheListAlone)
{
    // Blocks scattered over each other: every block cuts the rectangles holding its corners,
    // so ten thousand of them pass the ceiling long before the last one.
    const auto scattered = [](int count) {
        QByteArray text = "Length Unit : um\nPOWER_MAP_AREA 0 0 100000 100000\nAREA_POWER_MAP\n" +
                          QByteArray::number(count) + '\n';
        for (int i = 0; i < count; ++i) {
            const int x = (i * 7919) % 9000 * 10, y = (i * 104729) % 9000 * 10, size = 1000 + (i * 31) % 9000;
            text += QByteArray::number(x) + ' ' + QByteArray::number(y) + ' ' + QByteArray::number(x + size) + ' ' +
                    QByteArray::number(y + size) + " 1\n";
        }
        return text;
    };
    std::vector<TarvexPowerMapArea> areas(1);
    EXPECT_EQ(read(scattered(10000), &areas)
                  .at(0).rfind("The power blocks cut the map area into more than 300000 rectangles.\nmap.txt line ", 0),
              0u);
    EXPECT_EQ(areas.size(), 1u);
    // The first few of the same blocks stay below the ceiling and are read: however the index
    // finds the rectangles a block meets, each block's watt is placed once.
    areas.clear();
    read(scattered(200), &areas);
    EXPECT_GT(areas.size(), 200u);
    double power = 0;
    for (const TarvexPowerMapArea& area : areas)
        power += area.data ? area.data->power : 0;
    EXPECT_NEAR(power, 200, 1e-9);
}
