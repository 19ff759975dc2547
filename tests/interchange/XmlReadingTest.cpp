#include "interchange/TarvexTXMXMLParser.h"
#include "interchange/TarvexTXMXMLUpdater.h"

#include "support/RecordingProgress.h"
#include "support/TempDir.h"

#include <QBuffer>
#include <QDomDocument>
#include <QFile>
#include <QTextCodec>

#include <gtest/gtest.h>

using Tarvex::TarvexTXMXMLDocument;
using Tarvex::TarvexTXMXMLParser;
using Tarvex::TXMFileVersion;
using Kind = Tools::ToolProgress::Kind;

namespace {

const QString dataDir = QStringLiteral(TARVEX_TEST_DATA "/interchange/");

struct XmlOutcome
{
    TarvexTXMXMLDocument document;
    TXMFileVersion lastLoaded;
    std::vector<std::string> fatalErrors;
    size_t messageCount = 0;
};

XmlOutcome readBytes(const QByteArray& bytes)
{
    Tools::RecordingProgress progress;
    TarvexTXMXMLParser parser(&progress);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    XmlOutcome outcome;
    outcome.document = parser.read(&buffer);
    outcome.lastLoaded = parser.getLastLoadedFileVersion();
    for (const QString& text : progress.texts(Kind::FatalError))
        outcome.fatalErrors.push_back(text.toStdString());
    outcome.messageCount = progress.entries().size();
    return outcome;
}

// The one fatal error expected from a refused read.
std::vector<std::string> failure(const QString& message, int line, int column)
{
    return {QStringLiteral("Failed to Read : %1\nLine %2, Column %3").arg(message).arg(line).arg(column).toStdString()};
}

QByteArray nested(const QByteArray& tag, int levels)
{
    const QByteArray open = '<' + tag + '>';
    const QByteArray close = "</" + tag + '>';
    return open.repeated(levels) + close.repeated(levels);
}

} // namespace

TEST(TarvexTXMXMLParser, ReadsAFileWithItsContentAndVersion)
{
    Tools::RecordingProgress progress;
    TarvexTXMXMLParser parser(&progress);
    const TarvexTXMXMLDocument document = parser.readFile(dataDir + QStringLiteral("model_current.xml"));
    ASSERT_TRUE(document);
    EXPECT_TRUE(progress.entries().empty());
    EXPECT_EQ(parser.getLastLoadedFileVersion(), TXMFileVersion::current());
    EXPECT_EQ(document.getSchemaVersion().toQString(), QStringLiteral("2025.1.0"));
    const Tarvex::TXMXMLModel model = document.getModel();
    ASSERT_FALSE(model.isNull());
    const QList<QDomElement> geoms = model.getFirstChildElement(QStringLiteral("GEOMSet")).getChildElements("Geom");
    ASSERT_EQ(geoms.size(), 1);
    EXPECT_EQ(geoms.front().attribute(QStringLiteral("MatName")), QStringLiteral("FR4"));
    const QDomNodeList nodes = geoms.front().elementsByTagName(QStringLiteral("node"));
    ASSERT_EQ(nodes.size(), 4);
    EXPECT_EQ(nodes.at(2).toElement().attribute(QStringLiteral("y")), QStringLiteral("80"));

    // A later failed read forgets the version of the earlier one; a file that cannot be
    // opened (missing, a folder, an endless device) is reported by the caller, not here.
    TestSupport::TempDir dir;
    for (const QString& path : {dir.path(QStringLiteral("missing.xml")), dir.path(QString()), QStringLiteral("/dev/zero")}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_FALSE(parser.readFile(path));
        EXPECT_TRUE(parser.getLastLoadedFileVersion().isEmpty());
        EXPECT_TRUE(progress.entries().empty());
    }
}

TEST(TarvexTXMXMLParser, VersionsAndRootNames)
{
    struct Case
    {
        const char* name;
        QByteArray xml;
        bool null;
        const char* lastLoaded;
        const char* schemaAfter; // nullptr: attribute absent after reading
    };
    const Case cases[] = {
        {"no SchemaVersion", "<TARVEX_INTERCHANGE_MODEL><GEOMSet/></TARVEX_INTERCHANGE_MODEL>", false, "", nullptr},
        {"current", "<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1.0\"/>", false, "2025.1.0", "2025.1.0"},
        {"newer", "<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.2\"><GEOMSet><Geom MetalMat=\"Cu\"/></GEOMSet>"
                  "</TARVEX_INTERCHANGE_MODEL>",
         false, "2025.2", "2025.2"},
        {"legacy root", "<NORVANE_SIMPLIFIED_DESIGN_THERMAL_MODEL SchemaVersion=\"2025.2\"><GEOMSet/>"
                        "</NORVANE_SIMPLIFIED_DESIGN_THERMAL_MODEL>",
         false, "", ""},
        {"unknown root", "<SOME_OTHER_MODEL SchemaVersion=\"2025.1.0\"/>", true, "", nullptr},
        {"unknown newer root", "<SOME_OTHER_MODEL SchemaVersion=\"2026\"/>", true, "", nullptr},
        {"lower-case root", "<tarvex_interchange_model SchemaVersion=\"2025.1.0\"/>", true, "", nullptr},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        const XmlOutcome outcome = readBytes(row.xml);
        EXPECT_EQ(outcome.messageCount, 0u);
        EXPECT_EQ(outcome.lastLoaded, TXMFileVersion::fromString(row.lastLoaded));
        ASSERT_EQ(outcome.document.isNull(), row.null);
        if (row.null)
            continue;
        const Tarvex::TXMXMLModel model = outcome.document.getModel();
        ASSERT_FALSE(model.isNull());
        EXPECT_EQ(model.getTagName(), QStringLiteral("TARVEX_INTERCHANGE_MODEL"));
        EXPECT_EQ(model.hasAttribute(QStringLiteral("SchemaVersion")), row.schemaAfter != nullptr);
        if (row.schemaAfter) {
            EXPECT_EQ(model.getAttribute(QStringLiteral("SchemaVersion")), QString::fromLatin1(row.schemaAfter));
        }
        // Children survive the update.
        EXPECT_EQ(model.getChildElements(QStringLiteral("GEOMSet")).size(), row.xml.count("<GEOMSet"));
    }

    // A newer file is handed on exactly as parsed.
    const QByteArray newer = cases[2].xml;
    QDomDocument bare;
    ASSERT_TRUE(bare.setContent(newer));
    EXPECT_EQ(readBytes(newer).document.toByteArray(), bare.toByteArray(1));
}

TEST(TarvexTXMXMLParser, LegacyRootFromFile)
{
    TarvexTXMXMLParser parser;
    const TarvexTXMXMLDocument document = parser.readFile(dataDir + QStringLiteral("model_legacy_root.xml"));
    ASSERT_TRUE(document);
    EXPECT_EQ(document.document().documentElement().tagName(), QStringLiteral("TARVEX_INTERCHANGE_MODEL"));
    EXPECT_TRUE(document.getSchemaVersion().isEmpty());
    EXPECT_EQ(document.getModel().getFirstChildElement(QStringLiteral("GEOMSet"))
                  .getFirstChildElement(QStringLiteral("Geom"))
                  .getAttribute(QStringLiteral("Name")),
              QStringLiteral("U1"));
}

TEST(TarvexTXMXMLUpdater, DocumentLevelUpdate)
{
    Tarvex::TarvexTXMXMLUpdater updater;
    EXPECT_TRUE(updater.needsUpdate(TarvexTXMXMLDocument()));

    // The update works on the shared tree: the caller's copy sees the renamed root.
    QDomDocument dom;
    ASSERT_TRUE(dom.setContent(QByteArray("<NORVANE_SIMPLIFIED_DESIGN_THERMAL_MODEL SchemaVersion=\"2024\"/>")));
    const TarvexTXMXMLDocument document(dom);
    const TarvexTXMXMLDocument updated = updater.update(document);
    ASSERT_TRUE(updated);
    EXPECT_EQ(dom.documentElement().tagName(), QStringLiteral("TARVEX_INTERCHANGE_MODEL"));
    EXPECT_EQ(updated.document().documentElement(), dom.documentElement());
}

TEST(TarvexTXMXMLParser, MalformedInputIsReportedWithItsPosition)
{
    const QByteArray brokenUtf8("<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"a\xff\xfe" "b\"/>");
    struct Case
    {
        const char* name;
        QByteArray xml;
        QString qtMessage;
        int line;
        int column;
    };
    const Case cases[] = {
        // The unquoted value starts at the seventh character of the third line.
        {"unquoted attribute", "<TARVEX_INTERCHANGE_MODEL>\n<GEOMSet>\n <g x=1/></GEOMSet></TARVEX_INTERCHANGE_MODEL>",
         QStringLiteral("unexpected character"), 3, 7},
        {"empty file", "", QStringLiteral("unexpected end of file"), 1, 1},
        // Cut inside a start tag of five characters on the second line.
        {"truncated", "<TARVEX_INTERCHANGE_MODEL><GEOMSet>\n<Geom", QStringLiteral("unexpected end of file"), 2, 6},
        // 0xff cannot start a UTF-8 character: the fourth byte is the first undecodable one.
        {"binary bytes", QByteArray("\x00\x01\x02\xff\xfe\x7f", 6),
         QStringLiteral("the content is not valid UTF-8 text"), 1, 4},
        // Found at the ">" that ends the wrong end tag, the 36th character.
        {"mismatched end tag", "<TARVEX_INTERCHANGE_MODEL></GEOMSet>", QStringLiteral("tag mismatch"), 1, 36},
        // Undecodable bytes are an encoding error, found at the first of them (column 43).
        {"bytes that are not UTF-8", brokenUtf8, QStringLiteral("the content is not valid UTF-8 text"), 1, 43},
        {"UTF-8 cut inside a character", "<TARVEX_INTERCHANGE_MODEL Name=\"\xc3",
         QStringLiteral("the content is not valid UTF-8 text"), 1, 33},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        const XmlOutcome outcome = readBytes(row.xml);
        EXPECT_FALSE(outcome.document);
        EXPECT_TRUE(outcome.lastLoaded.isEmpty());
        EXPECT_EQ(outcome.messageCount, 1u);
        EXPECT_EQ(outcome.fatalErrors, failure(row.qtMessage, row.line, row.column));
    }
}

TEST(TarvexTXMXMLParser, HostileInputIsRefusedBeforeParsing)
{
    const int limit = TarvexTXMXMLParser::maximumElementDepth;
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
        // Each "<a>" is three characters: the first refused one starts after `limit` of them.
        {"100000 levels", nested("a", 100000), tooDeep, 1, 3 * limit + 1},
        {"one level too many", "<x>\n" + nested("TARVEX_INTERCHANGE_MODEL", limit), tooDeep, 2,
         int(qstrlen("<TARVEX_INTERCHANGE_MODEL>")) * (limit - 1) + 1},
        {"billion laughs", laughs, entities, 2, 1},
        {"deep content model", "<!DOCTYPE a [<!ELEMENT a " + QByteArray(100000, '(') + "b" + QByteArray(100000, ')') + ">]>\n<a/>",
         subset, 1, 1},
        {"internal subset of a comment", "<!-- x -->\n  <!DOCTYPE a [ <!-- c --> ]><a/>", subset, 2, 3},
        // A ">" inside a quoted value does not end the tag, so "/>" there does not close it.
        {"quoted slash and bracket", nested("n v=\"/>\"", 300).replace("</n v=\"/>\">", "</n>"), tooDeep, 1,
         10 * limit + 1},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        const XmlOutcome outcome = readBytes(row.xml);
        EXPECT_FALSE(outcome.document);
        EXPECT_EQ(outcome.messageCount, 1u);
        EXPECT_EQ(outcome.fatalErrors, failure(row.reason, row.line, row.column));
    }
}

TEST(TarvexTXMXMLParser, UnusualButHarmlessInputIsRead)
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
    const QByteArray latin1("<?xml version='1.0' encoding='ISO-8859-1'?><" + root + " Name=\"\xe9\"/>");
    const QString utf16Text = "<" + QString::fromLatin1(root) + QStringLiteral(" Name=\"\u00e9\"/>");
    const QByteArray utf16 = QTextCodec::codecForName("UTF-16")->fromUnicode(utf16Text); // with a mark

    struct Case
    {
        const char* name;
        QByteArray xml;
        QString name_attribute;
    };
    const Case cases[] = {
        {"exactly the deepest nesting", nested(root, limit), QString()},
        {"crowded markup", crowded, QString()},
        {"huge attribute", "<" + root + " Name=\"" + hugeValue + "\"/>", QString::fromLatin1(hugeValue)},
        {"declared Latin-1", latin1, QStringLiteral("\u00e9")},
        {"UTF-16 with a byte-order mark", utf16, QStringLiteral("\u00e9")},
        {"external document type", "<!DOCTYPE " + root + " SYSTEM \"[none].dtd\"><" + root + "/>", QString()},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        const XmlOutcome outcome = readBytes(row.xml);
        EXPECT_EQ(outcome.messageCount, 0u);
        ASSERT_TRUE(outcome.document);
        EXPECT_EQ(outcome.document.getModel().getAttribute(QStringLiteral("Name")), row.name_attribute);
    }
}

TEST(TarvexTXMXMLParser, OversizedContentIsRefusedUnread)
{
    TestSupport::TempDir dir;
    QFile file(dir.path(QStringLiteral("huge.xml")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(TarvexTXMXMLParser::maximumContentSize() + 1)); // sparse: no disk used
    file.close();

    Tools::RecordingProgress progress;
    TarvexTXMXMLParser parser(&progress);
    EXPECT_FALSE(parser.readFile(file.fileName()));
    // The limit and why: the machine's memory, or on a very large one the most a document holds.
    const QString told = progress.texts(Kind::FatalError).join('|');
    EXPECT_TRUE(told.startsWith(QStringLiteral("Failed to Read : the content is larger than %1 MB, the most ")
                                    .arg(TarvexTXMXMLParser::maximumContentSize() >> 20)))
        << told.toStdString();
    EXPECT_TRUE(told.contains("times the content's size in memory") || told.contains("the most a document may hold"))
        << told.toStdString();
}
