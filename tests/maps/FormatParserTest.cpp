#include "support/RecordingProgress.h"
#include <tarvex/maps/NorvaneTXMFormatParser.h>
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
    const qint64 limit = NorvaneTXMFormatParser::MaxLineBytes;
    const QByteArray longLine(int(limit + 1), 'x');
    const QString tooLong = QStringLiteral("Line %1 is longer than %2 bytes");
    const QString badEnd = "Invalid end tag";
    struct Case
    {
        const char* name;
        QByteArray text;
        std::string tree;
        QString error = {}; // empty: the parse succeeds
    };
    const Case cases[] = {
        {"empty file", "", ""},
        {"start block", "START_LAYER\n1 2\nEND_LAYER\n", "START_LAYER{__data(1,2)}"},
        {"end with a blank", "LAYER\n1\nEND LAYER\n", "LAYER{__data(1)}"},
        {"joined keyword", "Power Map\n1 2 3\nEND Power Map\n", "Power_Map{__data(1,2,3)}"},
        {"numeric value keeps a keyword apart", "A 5\nEND A\n", "A(5)"},
        {"alphabetic value joins into the keyword", "A x\nEND A\n", "A_x", badEnd},
        {"tab keeps words apart", "Power\tMap\n", "Power(Map)"},
        {"later of two open blocks closes", "A\nA\n1\nEND A\n", "A A{__data(1)}"},
        {"end closes the block and takes what follows it", "A\nB 1\nC 2\nEND A\nD 3\n", "A{B(1) C(2)} D(3)"},
        {"data after an end line joins the closed block", "A\n1\nEND A\n2\n", "A{__data(1) __data(2)}"},
        {"data before any keyword sits at the top", "1 2\n3\n", "__data(1,2){__data(3)}"},
        {"exponent makes a keyword", "LAYER\n1e-3 2\n", "LAYER 1e-3(2)"},
        {"negative numbers are data", "LAYER\n-1.5 +2 .5\n", "LAYER{__data(-1.5,+2,.5)}"},
        {"bare END_ closes an empty name", "START_\n1\nEND_\n", "START_{__data(1)}"},
        {"bare END_ with nothing to close", "A\nEND_\n", "A", badEnd},
        {"unmatched end keeps what was read", "A\n1\nEND B\nC\n", "A{__data(1)}", badEnd},
        {"END alone is a keyword", "END\n", "END"},
        {"CR and indentation fall away", "  START_A \r\n\t 1  2 \r\nEND_A\r\n", "START_A{__data(1,2)}"},
        {"bytes above ASCII are not letters, so the line is data", "\xC3\xA9 x\n", "__data(\xC3\xA9,x)"},
        // Lines past the limit are refused while they are read, with their number.
        {"a line at the limit is read", "A\n" + QByteArray(int(limit), '7') + "\n",
         "A{__data(" + std::string(size_t(limit), '7') + ")}"},
        {"a line one byte over, ended", "A\n1\n" + longLine + "\nB\n", "A{__data(1)}", tooLong.arg(3).arg(limit)},
        {"a last line without an end", "A\n" + longLine, "A", tooLong.arg(2).arg(limit)},
    };
    for (const Case& c : cases) {
        const Parsed parsed = parse(c.text);
        EXPECT_EQ(parsed.ok, c.error.isEmpty()) << c.name;
        EXPECT_EQ(parsed.tree, c.tree) << c.name;
        EXPECT_EQ(parsed.errors, c.error.isEmpty() ? QStringList() : QStringList{c.error}) << c.name;
    }
}

TEST(NorvaneTXMFormatParser, KeywordCheckSeesEachKeywordLineAndCanStopAndMissingFilesFailQuietly)
{
    TestSupport::TempDir dir;
    Tools::RecordingProgress progress;
    EXPECT_FALSE(NorvaneTXMFormatParser(dir.path("none.txt").toStdString(), &progress).parseFile());
    EXPECT_TRUE(progress.entries().empty());

    NorvaneTXMFormatParser parser(dir.write("map.txt", "A 1\n2 3\nB\nC 4\nEND B\nD\n").toStdString(), nullptr);
    std::vector<std::string> seen;
    parser.setKeywordCheck([&seen](const NorvaneTXMFormatParserNode& node) {
        seen.push_back(node.name);
        return node.name != "C";
    });
    EXPECT_FALSE(parser.parseFile());
    EXPECT_EQ(seen, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(dump(*parser.getRootNode()), "A(1){__data(2,3)} B C(4)");
    // Each parse starts a new tree.
    parser.setKeywordCheck({});
    ASSERT_TRUE(parser.parseFile());
    ASSERT_TRUE(parser.parseFile());
    EXPECT_EQ(dump(*parser.getRootNode()), "A(1){__data(2,3)} B{C(4)} D");
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
    // inside lines and between CR and LF, and no line feed after the last line. (One line
    // longer than a block is the grammar's line-limit row.)
    QByteArray text = "START_LAYER\n";
    const int rows = 120000;
    for (int row = 0; row < rows; ++row)
        text += QByteArray::number(row) + ' ' + QByteArray(row % 97, '7') + " -1.5\r\n";
    TestSupport::TempDir dir;
    NorvaneTXMFormatParser parser(dir.write("big.txt", text + "END_LAYER\nTAIL 42").toStdString(), nullptr);
    ASSERT_TRUE(parser.parseFile());
    const auto& top = parser.getRootNode()->children;
    ASSERT_EQ(top.size(), 2u);
    ASSERT_EQ(top[0]->children.size(), size_t(rows));
    for (int row = 0; row < rows; ++row) {
        const auto& values = top[0]->children[size_t(row)]->values;
        ASSERT_EQ(values.size(), row % 97 ? 3u : 2u) << row;
        ASSERT_EQ(values.front() + values.back(), std::to_string(row) + "-1.5") << row;
    }
    EXPECT_EQ(top[1]->values, std::vector<std::string>{"42"});
}
