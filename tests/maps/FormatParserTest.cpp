#include "support/RecordingProgress.h"
#include "maps/NorvaneTXMFormatParser.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using Tarvex::NorvaneTXMFormatParser;
using Tarvex::NorvaneTXMFormatParserNode;
using Kind = Tools::ToolProgress::Kind;

namespace {

// The tree as text: name(values){children}, siblings separated by blanks.
std::string dump(const NorvaneTXMFormatParserNode& node)
{
    std::string text;
    for (const auto& child : node.children) {
        if (!text.empty())
            text += ' ';
        text += child->name;
        if (!child->values.empty()) {
            text += '(';
            for (size_t i = 0; i < child->values.size(); ++i)
                text += (i ? "," : "") + child->values[i];
            text += ')';
        }
        if (!child->children.empty())
            text += '{' + dump(*child) + '}';
    }
    return text;
}

struct Parsed
{
    bool ok = false;
    std::string tree;
    QStringList errors;
};

Parsed parse(const QByteArray& content)
{
    TestSupport::TempDir dir;
    Tools::RecordingProgress progress;
    NorvaneTXMFormatParser parser(dir.write("map.txt", content).toStdString(), &progress);
    Parsed result;
    result.ok = parser.parseFile();
    result.tree = dump(*parser.getRootNode());
    result.errors = progress.texts(Kind::FatalError);
    return result;
}

} // namespace

TEST(NorvaneTXMFormatParser, Grammar)
{
    struct Case
    {
        const char* name;
        QByteArray text;
        bool ok;
        const char* tree;
    };
    const Case cases[] = {
        {"empty file", "", true, ""},
        {"blank lines only", "\n  \r\n\t\n", true, ""},
        {"start block", "START_LAYER\n1 2\nEND_LAYER\n", true, "START_LAYER{__data(1,2)}"},
        {"begin block", "BEGIN_A\nB 5\nEND_A\n", true, "BEGIN_A{B(5)}"},
        {"end with a blank", "LAYER\n1\nEND LAYER\n", true, "LAYER{__data(1)}"},
        {"joined keyword", "Power Map\n1 2 3\nEND Power Map\n", true, "Power_Map{__data(1,2,3)}"},
        {"joined end names the joined keyword", "Power Map\nEND_Power Map\n", true, "Power_Map"},
        {"numeric value keeps a keyword apart", "A 5\nEND A\n", true, "A(5)"},
        {"alphabetic value joins into the keyword", "A x\nEND A\n", false, "A_x"},
        {"tab keeps words apart", "Power\tMap\n", true, "Power(Map)"},
        {"underscore keeps words apart", "die_area mm here\n", true, "die_area(mm,here)"},
        {"later of two open blocks closes", "A\nA\n1\nEND A\n", true, "A A{__data(1)}"},
        {"end closes the block and takes what follows it", "A\nB 1\nC 2\nEND A\nD 3\n", true, "A{B(1) C(2)} D(3)"},
        {"data after an end line joins the closed block", "A\n1\nEND A\n2\n", true, "A{__data(1) __data(2)}"},
        {"nested blocks", "OUTER\nINNER\n1\nEND INNER\nEND OUTER\n", true, "OUTER{INNER{__data(1)}}"},
        {"data before any keyword sits at the top", "1 2\n3\n", true, "__data(1,2){__data(3)}"},
        {"exponent makes a keyword", "LAYER\n1e-3 2\n", true, "LAYER 1e-3(2)"},
        {"negative numbers are data", "LAYER\n-1.5 +2 .5\n", true, "LAYER{__data(-1.5,+2,.5)}"},
        {"bare END_ closes an empty name", "START_\n1\nEND_\n", true, "START_{__data(1)}"},
        {"bare END_ with nothing to close", "A\nEND_\n", false, "A"},
        {"unmatched end keeps what was read", "A\n1\nEND B\nC\n", false, "A{__data(1)}"},
        {"END alone is a keyword", "END\n", true, "END"},
        {"END with a tab is a keyword", "END\tA\n", true, "END(A)"},
        {"CR and indentation fall away", "  START_A \r\n\t 1  2 \r\nEND_A\r\n", true, "START_A{__data(1,2)}"},
        {"no final line feed", "A\n1", true, "A{__data(1)}"},
        {"bytes above ASCII are not letters, so the line is data", "\xC3\xA9 x\n", true, "__data(\xC3\xA9,x)"},
    };
    for (const Case& c : cases) {
        const Parsed parsed = parse(c.text);
        EXPECT_EQ(parsed.ok, c.ok) << c.name;
        EXPECT_EQ(parsed.tree, c.tree) << c.name;
        EXPECT_EQ(parsed.errors, c.ok ? QStringList() : QStringList{"Invalid end tag"}) << c.name;
    }
}

TEST(NorvaneTXMFormatParser, MissingFilesFolderAndRepeatedParses)
{
    TestSupport::TempDir dir;
    Tools::RecordingProgress progress;
    NorvaneTXMFormatParser missing(dir.path("none.txt").toStdString(), &progress);
    EXPECT_FALSE(missing.parseFile());
    ASSERT_TRUE(missing.getRootNode());
    EXPECT_TRUE(missing.getRootNode()->children.empty());
    NorvaneTXMFormatParser folder(dir.path("").toStdString(), &progress);
    EXPECT_FALSE(folder.parseFile());
    EXPECT_TRUE(progress.entries().empty());

    // A second parse starts from a new tree.
    NorvaneTXMFormatParser twice(dir.write("a.txt", "A 1\n").toStdString(), nullptr);
    ASSERT_TRUE(twice.parseFile());
    ASSERT_TRUE(twice.parseFile());
    EXPECT_EQ(dump(*twice.getRootNode()), "A(1)");
}

TEST(NorvaneTXMFormatParser, OverlongLinesAreRefusedWithTheirNumber)
{
    const qint64 limit = NorvaneTXMFormatParser::MaxLineBytes;
    const QByteArray longLine(int(limit + 1), 'x');
    const QString message = QStringLiteral("Line %1 is longer than %2 bytes");
    struct Case
    {
        const char* name;
        QByteArray text;
        qint64 line; // 0: read whole
    };
    const Case cases[] = {
        {"a line at the limit is read", "A\n" + QByteArray(int(limit), '7') + "\n", 0},
        {"a line one byte over, ended", "A\n1\n" + longLine + "\nB\n", 3},
        {"a last line without an end", "A\n" + longLine, 2},
    };
    for (const Case& c : cases) {
        const Parsed parsed = parse(c.text);
        EXPECT_EQ(parsed.ok, c.line == 0) << c.name;
        EXPECT_EQ(parsed.errors, c.line == 0 ? QStringList() : QStringList{message.arg(c.line).arg(limit)}) << c.name;
    }
}

TEST(NorvaneTXMFormatParser, KeywordCheckSeesEachKeywordLineAndCanStop)
{
    TestSupport::TempDir dir;
    const std::string path = dir.write("map.txt", "A 1\n2 3\nB\nC 4\nEND B\nD\n").toStdString();
    NorvaneTXMFormatParser parser(path, nullptr);
    std::vector<std::string> seen;
    parser.setKeywordCheck([&seen](const NorvaneTXMFormatParserNode& node) {
        seen.push_back(node.name);
        return node.name != "C";
    });
    EXPECT_FALSE(parser.parseFile());
    EXPECT_EQ(seen, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(dump(*parser.getRootNode()), "A(1){__data(2,3)} B C(4)");
}

TEST(NorvaneTXMFormatParser, DeepNestingIsBuiltAndFreedWithoutRecursion)
{
    // X1 .. Xn closed from the inside out nests n levels deep.
    const int depth = 200000;
    QByteArray text;
    for (int i = 0; i < depth; ++i)
        text += "X_" + QByteArray::number(i) + '\n';
    for (int i = depth - 2; i >= 0; --i)
        text += "END_X_" + QByteArray::number(i) + '\n';
    TestSupport::TempDir dir;
    auto parser = std::make_unique<NorvaneTXMFormatParser>(dir.write("deep.txt", text).toStdString(), nullptr);
    ASSERT_TRUE(parser->parseFile());
    const NorvaneTXMFormatParserNode* node = parser->getRootNode().get();
    int levels = 0;
    while (!node->children.empty()) {
        node = node->children.front().get();
        ++levels;
    }
    EXPECT_EQ(levels, depth);
    parser.reset();
}

TEST(NorvaneTXMFormatParser, LinesAcrossReadingBlocksAreReadWhole)
{
    // Far more than one reading block, with lines of varying length so that block ends fall
    // inside lines, and no line feed after the last line.
    QByteArray text = "START_LAYER\n";
    const int rows = 120000;
    for (int row = 0; row < rows; ++row)
        text += QByteArray::number(row) + ' ' + QByteArray(row % 97, '7') + " -1.5\r\n";
    text += "END_LAYER\nTAIL 42";
    TestSupport::TempDir dir;
    NorvaneTXMFormatParser parser(dir.write("big.txt", text).toStdString(), nullptr);
    ASSERT_TRUE(parser.parseFile());
    const auto& top = parser.getRootNode()->children;
    ASSERT_EQ(top.size(), 2u);
    ASSERT_EQ(top[0]->children.size(), size_t(rows));
    for (int row : {0, 1, 34952, 69905, rows - 1}) {
        const auto& values = top[0]->children[size_t(row)]->values;
        ASSERT_EQ(values.size(), row % 97 ? 3u : 2u) << row;
        EXPECT_EQ(values.front(), std::to_string(row));
        EXPECT_EQ(values.back(), "-1.5");
    }
    EXPECT_EQ(top[1]->name, "TAIL");
    EXPECT_EQ(top[1]->values, std::vector<std::string>{"42"});
}

TEST(NorvaneTXMFormatParser, DataLinesLongerThanTheShortFormKeepEveryWord)
{
    // Words of 1 to 12 characters, about 200 KiB on one line, then a short line.
    std::vector<std::string> words;
    QByteArray line;
    for (int i = 0; i < 30000; ++i) {
        words.push_back(std::to_string(i) + std::string(size_t(i % 8), '5'));
        line += QByteArray::fromStdString(words.back()) + (i % 3 ? " " : "\t ");
    }
    TestSupport::TempDir dir;
    NorvaneTXMFormatParser parser(dir.write("long.txt", "START_GRID\n" + line + "\n7 8\nEND_GRID\n").toStdString(), nullptr);
    ASSERT_TRUE(parser.parseFile());
    const auto& lines = parser.getRootNode()->children.at(0)->children;
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]->values, words);
    EXPECT_EQ(lines[0]->values.view(29999), words.back());
    EXPECT_EQ(lines[1]->values, (std::vector<std::string>{"7", "8"}));
    EXPECT_NE(lines[1]->values, (std::vector<std::string>{"7", "9"}));
    EXPECT_NE(lines[1]->values, (std::vector<std::string>{"7"}));
    EXPECT_EQ(std::vector<std::string>(lines[1]->values.begin(), lines[1]->values.end()),
              (std::vector<std::string>{"7", "8"}));
}
