#include <tarvex/interchange/TarvexTXMXMLParser.h>

#include "interchange/XmlTestSupport.h"
#include "support/TempDir.h"

#include <QFile>
#include <QTextCodec>

#include <gtest/gtest.h>

using Tarvex::TarvexTXMXMLDocument;
using Tarvex::TarvexTXMXMLParser;
using Tarvex::TXMFileVersion;
using InterchangeTest::readBytes;
using InterchangeTest::XmlOutcome;
using Kind = Tools::ToolProgress::Kind;

namespace {

const QString dataDir = QStringLiteral(TARVEX_TEST_DATA "/interchange/");

QByteArray nested(const QByteArray& tag, int levels)
{
    const QByteArray open = '<' + tag + '>';
    const QByteArray close = "</" + tag + '>';
    return open.repeated(levels) + close.repeated(levels);
}

} // namespace

TEST(TarvexTXMXMLParser, ReadsFilesWithTheirContentAndVersion)
{
    // The former root name is read in the table of harmless input below.
    Tools::RecordingProgress progress;
    TarvexTXMXMLParser parser(&progress);
    const TarvexTXMXMLDocument current = parser.readFile(dataDir + QStringLiteral("model_current.xml"));
    ASSERT_TRUE(current);
    EXPECT_EQ(parser.getLastLoadedFileVersion(), TXMFileVersion::current());
    EXPECT_EQ(current.toQtDocument().elementsByTagName(QStringLiteral("node")).at(2).toElement().attribute("y"), "80");
    EXPECT_TRUE(progress.entries().empty());

    // A later failed read forgets the version of the earlier one; a file that cannot be
    // opened (missing, a folder, an endless device) is reported by the caller, not here.
    parser.readFile(dataDir + QStringLiteral("model_current.xml"));
    TestSupport::TempDir dir;
    for (const QString& path : {dir.path(QStringLiteral("missing.xml")), dir.path(QString()), QStringLiteral("/dev/zero")}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_FALSE(parser.readFile(path));
        EXPECT_TRUE(parser.getLastLoadedFileVersion().isEmpty());
        EXPECT_TRUE(progress.entries().empty());
    }
    // Content larger than the limit is refused unread.
    const qint64 limit = TarvexTXMXMLParser::maximumContentSize();
    EXPECT_FALSE(parser.readFile(InterchangeTest::sparseFile(dir.path(QStringLiteral("huge.xml")), limit + 1)));
    const QString told = progress.texts(Kind::FatalError).join('|');
    EXPECT_TRUE(told.startsWith(InterchangeTest::tooLargeStart(limit))) << told.toStdString();
    EXPECT_TRUE(told.contains("70 times the content's size in memory") || told.contains("the most a document may hold"))
        << told.toStdString();
}

TEST(TarvexTXMXMLParser, MalformedAndHostileInputIsReportedWithItsPosition)
{
    // Hostile input (deep nesting, entities, internal subsets) is refused before parsing.
    const int limit = TarvexTXMXMLParser::maximumElementDepth;
    const QString notUtf8 = QStringLiteral("the content is not valid UTF-8 text");
    const QString tooDeep = QStringLiteral("elements are nested deeper than 256 levels");
    const QString entities = QStringLiteral("the document type declaration declares entities, which are not accepted");
    const QString subset = QStringLiteral("the document type declaration has an internal subset, which is not accepted");
    QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n <!ENTITY lol \"lol\">\n";
    for (int i = 1; i <= 9; ++i) {
        laughs += " <!ENTITY lol" + QByteArray::number(i) + " \"";
        laughs += ("&lol" + (i > 1 ? QByteArray::number(i - 1) : QByteArray()) + ';').repeated(10) + "\">\n";
    }
    laughs += "]>\n<lolz>&lol9;</lolz>";
    struct Case
    {
        const char* name;
        QByteArray xml;
        QString reason;
        int line;
        int column;
    };
    const Case cases[] = {
        // The unquoted value starts at the seventh character of the third line.
        {"unquoted attribute", "<TARVEX_INTERCHANGE_MODEL>\n<GEOMSet>\n <g x=1/></GEOMSet></TARVEX_INTERCHANGE_MODEL>",
         QStringLiteral("unexpected character"), 3, 7},
        // Cut inside a start tag of five characters on the second line.
        {"truncated", "<TARVEX_INTERCHANGE_MODEL><GEOMSet>\n<Geom", QStringLiteral("unexpected end of file"), 2, 6},
        // 0xff cannot start a UTF-8 character: the fourth byte is the first undecodable one.
        {"binary bytes", QByteArray("\x00\x01\x02\xff\xfe\x7f", 6), notUtf8, 1, 4},
        // Found at the ">" that ends the wrong end tag, the 36th character.
        {"mismatched end tag", "<TARVEX_INTERCHANGE_MODEL></GEOMSet>", QStringLiteral("tag mismatch"), 1, 36},
        // Each "<a>" is three characters: the first refused one starts after `limit` of them.
        {"100000 levels", nested("a", 100000), tooDeep, 1, 3 * limit + 1},
        {"one level too many", "<x>\n" + nested("TARVEX_INTERCHANGE_MODEL", limit), tooDeep, 2,
         int(qstrlen("<TARVEX_INTERCHANGE_MODEL>")) * (limit - 1) + 1},
        {"billion laughs", laughs, entities, 2, 1},
        {"deep content model",
         "<!DOCTYPE a [<!ELEMENT a " + QByteArray(100000, '(') + "b" + QByteArray(100000, ')') + ">]>\n<a/>", subset, 1,
         1},
        {"internal subset of a comment", "<!-- x -->\n  <!DOCTYPE a [ <!-- c --> ]><a/>", subset, 2, 3},
        // A ">" inside a quoted value does not end the tag, so "/>" there does not close it.
        {"quoted slash and bracket", nested("n v=\"/>\"", 300).replace("</n v=\"/>\">", "</n>"), tooDeep, 1,
         10 * limit + 1},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        const XmlOutcome outcome = readBytes(row.xml);
        EXPECT_FALSE(outcome.document);
        EXPECT_TRUE(outcome.lastLoaded.isEmpty());
        const QString expected = QStringLiteral("fatal: Failed to Read : %1\nLine %2, Column %3");
        EXPECT_EQ(outcome.messages, expected.arg(row.reason).arg(row.line).arg(row.column).toStdString());
    }
}

TEST(TarvexTXMXMLParser, VersionsRootNamesAndUnusualButHarmlessInputAreRead)
{
    const int limit = TarvexTXMXMLParser::maximumElementDepth;
    const QByteArray root = "TARVEX_INTERCHANGE_MODEL";
    // Markup-like text inside comments, CDATA, instructions and attribute values, and
    // self-closing or closed siblings, adds no depth.
    QByteArray crowded = "<?xml version=\"1.0\"?><!-- " + QByteArray("<a>").repeated(1000) + " -->\n<" + root +
                         " SchemaVersion=\"2025.1.0\" note='a>b/&gt;'><?pi " + QByteArray("<a>").repeated(1000) + "?>";
    crowded += "<![CDATA[" + QByteArray("<a>").repeated(1000) + "]]>";
    crowded += QByteArray("<node x=\"1\"/>").repeated(1000) + QByteArray("<g></g>").repeated(1000);
    crowded += QByteArray("<n v=\"/\"></n>").repeated(1000) + "</" + root + '>';

    const QByteArray hugeValue(8 * 1024 * 1024, 'v');
    const QString utf16Text = "<" + QString::fromLatin1(root) + QStringLiteral(" Name=\"\u00e9\"/>");
    const QByteArray utf16 = QTextCodec::codecForName("UTF-16")->fromUnicode(utf16Text); // with a mark

    // The version read is the file's own; the former root name is renamed and read as the
    // oldest layout whatever its version says. Roots of other names are refused (see the
    // updater's test).
    struct Case
    {
        const char* name;
        QByteArray xml;
        const char* lastLoaded = "";
        const char* schemaAfter = "absent"; // "absent": attribute absent after reading
        QString nameAttribute = {};
    };
    const Case cases[] = {
        {"no SchemaVersion", "<TARVEX_INTERCHANGE_MODEL><GEOMSet/></TARVEX_INTERCHANGE_MODEL>"},
        {"newer", "<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.2\"/>", "2025.2", "2025.2"},
        {"legacy root", "<NORVANE_SIMPLIFIED_DESIGN_THERMAL_MODEL SchemaVersion=\"2025.2\"><GEOMSet/>"
                        "</NORVANE_SIMPLIFIED_DESIGN_THERMAL_MODEL>", "", ""},
        {"exactly the deepest nesting", nested(root, limit)},
        {"crowded markup", crowded, "2025.1.0", "2025.1.0"},
        {"huge attribute", "<" + root + " Name=\"" + hugeValue + "\"/>", "", "absent", QString::fromLatin1(hugeValue)},
        {"UTF-16 with a byte-order mark", utf16, "", "absent", QStringLiteral("\u00e9")},
        {"external document type", "<!DOCTYPE " + root + " SYSTEM \"[none].dtd\"><" + root + "/>"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        const XmlOutcome outcome = readBytes(row.xml);
        EXPECT_EQ(outcome.messages, "");
        ASSERT_TRUE(outcome.document);
        EXPECT_EQ(outcome.lastLoaded, TXMFileVersion::fromString(row.lastLoaded));
        const Tarvex::TXMXMLModel model = outcome.document.getModel();
        EXPECT_EQ(model.getTagName(), QStringLiteral("TARVEX_INTERCHANGE_MODEL"));
        EXPECT_EQ(model.getAttribute(QStringLiteral("SchemaVersion"), QStringLiteral("absent")), row.schemaAfter);
        EXPECT_EQ(model.getAttribute(QStringLiteral("Name")), row.nameAttribute);
        // Children survive the update.
        EXPECT_EQ(model.getChildElements(QStringLiteral("GEOMSet")).size(), row.xml.count("<GEOMSet"));
    }
}
