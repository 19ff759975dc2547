// CSV density grids: the table's shapes and spellings, and the tables that are refused.

#include "maps/UniformGridMaterialMapImporter.h"

#include "host/CSVParser.h"
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

Read readGrid(const QByteArray& bytes)
{
    TestSupport::TempDir dir;
    Tools::RecordingProgress progress;
    Tarvex::UniformGridMaterialMapImporter importer(false, &progress);
    Read read;
    read.records = importer.readMaterialMapData(dir.write("grid.csv", bytes));
    read.fatal = progress.texts(Kind::FatalError);
    read.warnings = progress.texts(Kind::Warning);
    return read;
}

// Records every field and row end, as text.
class TableRecorder : public FileSystem::CSVParser::Handler
{
public:
    bool field(const char* text, size_t size) override
    {
        EXPECT_EQ(text[size], '\0');
        row << QString::fromUtf8(text, int(size));
        return true;
    }
    bool endRow() override
    {
        rows << row.join('|');
        row.clear();
        return true;
    }
    QStringList rows;
    QStringList row;
};

} // namespace

TEST(MaterialMapGrid, AHeaderlessTableIsOneLayerWithTheImportersDefaults)
{
    Tools::RecordingProgress progress;
    Tarvex::UniformGridMaterialMapImporter importer(false, &progress);
    const std::vector<MaterialMapData> records =
        importer.readMaterialMapData(QStringLiteral(TARVEX_SAMPLES "/material-map-grid.csv"));
    ASSERT_EQ(records.size(), 1u);
    const MaterialMapData& r = records[0];
    EXPECT_EQ(r.rows, 3);
    EXPECT_EQ(r.columns, 4);
    EXPECT_EQ(r.metalDensity,
              (std::vector<double>{0.0, 0.25, 0.5, 0.75, 0.1, 0.2, 0.3, 0.4, 1.0, 0.9, 0.8, 0.7}));
    EXPECT_FALSE(r.area);
    EXPECT_EQ(r.name, "Layer");
    EXPECT_EQ(r.metal, "Copper");
    EXPECT_EQ(r.dielectric, "Sillicon");
    EXPECT_DOUBLE_EQ(r.thickness, 0.1);
    EXPECT_DOUBLE_EQ(r.upPos, 0.0);
    EXPECT_EQ(r.lengthUnit.getLabel(), "mm");
    EXPECT_TRUE(progress.entries().empty());
}

TEST(MaterialMapGrid, SpellingsOfTheSameTable)
{
    const std::vector<double> expected{0.5, 0.25, 1, 0, 0.125, 0.75};
    const struct
    {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"LF", "0.5,0.25,1\n0,0.125,0.75\n"},
        {"CRLF without a last line end", "0.5,0.25,1\r\n0,0.125,0.75"},
        {"a UTF-8 byte order mark", "\xEF\xBB\xBF" "0.5,0.25,1\n0,0.125,0.75\n"},
        {"semicolons", "0.5;0.25;1\n0;0.125;0.75\n"},
        {"TABs", "0.5\t0.25\t1\n0\t0.125\t0.75\n"},
        {"quoted fields and blanks", "\"0.5\", 0.25 ,\"1\"\n  0,\t0.125,0.75\n"},
        {"blank lines", "\n0.5,0.25,1\n\n\n0,0.125,0.75\n\n"},
        {"exponents and signs", "5e-1,+0.25,1.0E0\n-0,1.25e-1,.75\n"},
    };
    for (const auto& c : cases) {
        const Read read = readGrid(c.bytes);
        ASSERT_EQ(read.records.size(), 1u) << c.what << ": " << read.fatal.join(" | ").toStdString();
        EXPECT_EQ(read.records[0].rows, 2) << c.what;
        EXPECT_EQ(read.records[0].columns, 3) << c.what;
        EXPECT_EQ(read.records[0].metalDensity, expected) << c.what;
        EXPECT_TRUE(read.warnings.isEmpty()) << c.what << ": " << read.warnings.join(" | ").toStdString();
    }
}

TEST(MaterialMapGrid, CellsThatAreNotNumbersCountAsZeroWithAWarning)
{
    const Read read = readGrid("0.5,half,1\n0,,x\n");
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].metalDensity, (std::vector<double>{0.5, 0, 1, 0, 0, 0}));
    EXPECT_EQ(read.warnings,
              QStringList{"3 cells are not numbers and count as 0, the first \"half\" on line 1, column 2"});
}

TEST(MaterialMapGrid, BadTablesAreRefused)
{
    const struct
    {
        QByteArray bytes;
        const char* message;
    } cases[] = {
        {"", "No columns or rows in file."},
        {"\n\r\n\n", "No columns or rows in file."},
        {"\xEF\xBB\xBF", "No columns or rows in file."},
        {"1,2,3\n4,5\n6,7,8\n", "Row on line 2 has 2 columns where the first row has 3"},
        {"1,2\r\n3,4\r\n5,6,7\r\n", "Row on line 3 has 3 columns where the first row has 2"},
        {"1,\"2\n3,4\n", "Failed to read file - malformed quoted field on line 3"},
        {"1,2\"x\",3\n", "Failed to read file - malformed quoted field on line 1"},
        {"0.5,0.25\n0.5,-0.25\n", "Metal Density parsing failed - negative density on line 2"},
    };
    for (const auto& c : cases) {
        const Read read = readGrid(c.bytes);
        EXPECT_TRUE(read.records.empty()) << c.message;
        EXPECT_EQ(read.fatal, QStringList{QString::fromUtf8(c.message)}) << read.fatal.join(" | ").toStdString();
    }
    Tools::RecordingProgress progress;
    Tarvex::UniformGridMaterialMapImporter importer(&progress);
    EXPECT_TRUE(importer.readMaterialMapDataImpl(QString()).empty());
    EXPECT_TRUE(importer.readMaterialMapDataImpl(QStringLiteral("/no/such/grid.csv")).empty());
    EXPECT_EQ(progress.texts(Kind::FatalError),
              (QStringList{"Empty File Path Provided.", "Unable to open /no/such/grid.csv"}));
}

TEST(MaterialMapGrid, ParserKeepsQuotedSeparatorsAndLineBreaks)
{
    FileSystem::CSVParser parser;
    TableRecorder table;
    ASSERT_TRUE(parser.parse("a;\"b;c\";\"d\"\"e\"\n\"f\ng\";;h\r\n", table));
    EXPECT_EQ(parser.getSeparator(), ';');
    EXPECT_EQ(table.rows, (QStringList{"a|b;c|d\"e", "f\ng||h"}));

    struct Detect
    {
        const char* line;
        char separator;
    };
    for (const Detect& d : {Detect{"1,2;3,4", ','}, Detect{"1;2;3,4", ';'}, Detect{"1\t2\t3", '\t'},
                            Detect{"\"a,b,c\";d", ';'}, Detect{"12", ','}, Detect{"1;2,3\t4", ','}})
        EXPECT_EQ(FileSystem::CSVParser::detectSeparator(d.line, std::strlen(d.line)), d.separator) << d.line;

    // A handler that stops ends the read without an error.
    class Stop : public FileSystem::CSVParser::Handler
    {
    public:
        bool field(const char*, size_t) override { return ++fields < 2; }
        bool endRow() override { return true; }
        int fields = 0;
    } stop;
    EXPECT_FALSE(parser.parse("1,2,3,4\n5\n", stop));
    EXPECT_EQ(stop.fields, 2);
    EXPECT_TRUE(parser.getError().isEmpty());
}

TEST(MaterialMapGrid, AGridOfMoreCellsThanAModelHoldsIsRefusedWhileItIsRead)
{
    const QByteArray row = QByteArray("0.5,").repeated(999) + "0.5\n";
    const Read atLimit = readGrid(row.repeated(300));
    ASSERT_EQ(atLimit.records.size(), 1u) << atLimit.fatal.join(" | ").toStdString();
    EXPECT_EQ(atLimit.records.front().rows, 300);

    const Read past = readGrid(row.repeated(301));
    EXPECT_TRUE(past.records.empty());
    EXPECT_EQ(past.fatal, QStringList{"The material map has 301 rows of 1000 cells, more than the 300000 cells a "
                                      "model can hold"});
}
