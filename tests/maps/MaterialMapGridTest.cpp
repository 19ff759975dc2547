// CSV density grids: the table's shapes and spellings, and the tables that are refused.

#include "MaterialMapTestSupport.h"

#include <tarvex/maps/UniformGridMaterialMapImporter.h>

#include <tarvex/host/CSVParser.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace MaterialMapTest;

namespace {

Read readGrid(const QByteArray& bytes) { return readWith<Tarvex::UniformGridMaterialMapImporter>(bytes, "grid.csv"); }

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

TEST(MaterialMapGrid, SpellingsOfTheSameTableGiveOneLayerAndBadTablesAreRefused)
{
    // The layer the grid is applied to gives its area, so the record has none.
    const std::string grid = "Layer Sillicon/Copper unit mm at 0+0.1 grid 2x3: 0.5 0.25 1 0 0.125 0.75";
    // A grid of more cells than a model holds is refused while it is read; at the limit it reads.
    const QByteArray row = QByteArray("0.5,").repeated(999) + "0.5\n";
    const std::string wideRow = "fatal: The material map has 1 rows of 300001 cells, more than the 300000 cells a model can hold";
    const struct
    {
        const char* what;
        QByteArray bytes;
        std::vector<std::string> read;
    } cases[] = {
        {"LF", "0.5,0.25,1\n0,0.125,0.75\n", {grid}},
        {"CRLF without a last line end", "0.5,0.25,1\r\n0,0.125,0.75", {grid}},
        {"a UTF-8 byte order mark", "\xEF\xBB\xBF" "0.5,0.25,1\n0,0.125,0.75\n", {grid}},
        {"semicolons", "0.5;0.25;1\n0;0.125;0.75\n", {grid}},
        {"quoted fields and blanks", "\"0.5\", 0.25 ,\"1\"\n  0,\t0.125,0.75\n", {grid}},
        {"blank lines", "\n0.5,0.25,1\n\n\n0,0.125,0.75\n\n", {grid}},
        {"exponents and signs", "5e-1,+0.25,1.0E0\n-0,1.25e-1,.75\n", {grid}},
        // Cells that are not numbers count as zero, with one warning for all of them.
        {"cells that are not numbers", "0.5,half,1\n0,,x\n",
         {"Layer Sillicon/Copper unit mm at 0+0.1 grid 2x3: 0.5 0 1 0 0 0",
          "warning: 3 cells are not numbers and count as 0, the first \"half\" on line 1, column 2"}},
        {"empty", "", {"fatal: No columns or rows in file."}},
        {"only a byte order mark", "\xEF\xBB\xBF", {"fatal: No columns or rows in file."}},
        {"ragged", "1,2,3\n4,5\n6,7,8\n", {"fatal: Row on line 2 has 2 columns where the first row has 3"}},
        {"unclosed quote", "1,\"2\n3,4\n", {"fatal: Failed to read file - malformed quoted field on line 3"}},
        {"quote inside a field", "1,2\"x\",3\n", {"fatal: Failed to read file - malformed quoted field on line 1"}},
        {"negative", "0.5,0.25\n0.5,-0.25\n", {"fatal: Metal Density parsing failed - negative density on line 2"}},
        {"past the cell limit", row.repeated(301),
         {"fatal: The material map has 301 rows of 1000 cells, more than the 300000 cells a model can hold"}},
        // One row past the limit, ended or not, is refused at its cell past the limit.
        {"one row past the cell limit", QByteArray("1,").repeated(300000) + "1,1\n", {wideRow}},
        {"one unended row past the cell limit", QByteArray("1,").repeated(300000) + "1,1", {wideRow}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(describe(readGrid(c.bytes)), c.read) << c.what;
    const Read atLimit = readGrid(row.repeated(300));
    ASSERT_EQ(atLimit.records.size(), 1u) << atLimit.fatal.join(" | ").toStdString();
    EXPECT_EQ(atLimit.records.front().rows, 300);

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
    for (const Detect& d : {Detect{"1;2;3,4", ';'}, Detect{"\"a,b,c\";d", ';'}, Detect{"12", ','}, Detect{"1;2,3\t4", ','}})
        EXPECT_EQ(FileSystem::CSVParser::detectSeparator(d.line, std::strlen(d.line)), d.separator) << d.line;
}
