#include <tarvex/host/MachineMemory.h>
#include <tarvex/host/XMLDOMDocument.h>
#include <tarvex/host/XMLDOMNode.h>
#include <tarvex/host/XMLDOMReader.h>

#include <QTextCodec>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <optional>

namespace {

using InterProcess::XMLDOMBacking;
using InterProcess::XMLDOMDocument;
using InterProcess::XMLDOMNode;
using InterProcess::XMLDOMReader;

QStringList tagsAndIds(const XMLDOMNode& parent)
{
    QStringList result;
    for (const XMLDOMNode& child : parent.getChildElements())
        result.append(child.getTagName() + QLatin1Char(':') + child.getAttribute(QStringLiteral("id")));
    return result;
}

// Everything a reader can see of an element: name, attributes, text and children, in order.
QString dump(const XMLDOMNode& node)
{
    if (node.isNull())
        return QStringLiteral("null");
    QString text = node.getTagName() + QLatin1Char('[');
    for (const QString& name : node.getAttributeNames())
        text += name + QLatin1Char('=') + node.getAttribute(name) + QLatin1Char(';');
    text += QStringLiteral("]{") + node.getText() + QLatin1Char('}');
    for (const XMLDOMNode& child : node.getChildElements())
        text += QLatin1Char('(') + dump(child) + QLatin1Char(')');
    return text;
}

// The wrappers on either tree must behave alike: every test here runs on both.
class XMLDOMTest : public testing::TestWithParam<XMLDOMBacking>
{
protected:
    XMLDOMDocument parse(const char* xml) const
    {
        XMLDOMReader::Failure failure;
        const XMLDOMDocument document = XMLDOMReader::parseDocument(QByteArray(xml), &failure, GetParam());
        EXPECT_FALSE(document.isNull()) << failure.message.toStdString();
        EXPECT_EQ(document.backing(), GetParam()) << xml;
        return document;
    }
};

TEST_P(XMLDOMTest, TypedAttributesReadWithTheirFallbackAndWrittenValuesReadBackExactly)
{
    // Each text with the number read from it, -7.5 being the fallback.
    const std::pair<const char*, double> cases[] = {
        {" -2.5 ", -2.5}, {"", -7.5},      {"   ", -7.5}, {"2.5x", -7.5},
        {"1,5", -7.5},    {"-1e999", -7.5}, {"inf", -7.5}, {"2147483648", 2147483648.0},
    };
    XMLDOMDocument document = XMLDOMDocument::create(QStringLiteral("Root"), GetParam());
    XMLDOMNode node = document.getRootElement();
    const QString v = QStringLiteral("v");
    for (const auto& [text, number] : cases) {
        SCOPED_TRACE(std::string("\"") + text + "\"");
        node.setAttribute(v, QString::fromUtf8(text));
        EXPECT_EQ(node.getDoubleAttribute(v, -7.5), number);
        // Every present, non-blank text that gives the fallback is one a reader can warn about.
        const bool blank = QString::fromUtf8(text).trimmed().isEmpty();
        EXPECT_EQ(node.isNotFiniteNumberAttribute(v), !blank && number == -7.5);
    }
    // Texts on the edge of plain decimal writing read as Qt's own reading of the text does.
    const char* const edges[] = {"+1.5", "\xc2\xa0" "2.5\xc2\xa0", "\t3e2\n", "nan", "1e-400", "0000.50", "1.", ".5",
                                 "-0", "1E3", "0x10", "1e", "123456789012345678901234567890.123456789"};
    for (const char* text : edges) {
        SCOPED_TRACE(text);
        node.setAttribute(v, QString::fromUtf8(text));
        bool ok = false;
        const double qt = QString::fromUtf8(text).trimmed().toDouble(&ok);
        const bool finite = ok && std::isfinite(qt);
        EXPECT_EQ(node.getDoubleAttribute(v, -7.5), finite ? qt : -7.5);
        EXPECT_EQ(node.isNotFiniteNumberAttribute(v), !finite);
    }
    // A missing attribute gives every fallback; an empty one is present text.
    node.removeAttribute(v);
    EXPECT_EQ(node.getAttribute(v, QStringLiteral("fb")), QStringLiteral("fb"));
    EXPECT_FALSE(node.isNotFiniteNumberAttribute(v));
    node.setAttribute(v, QString());
    EXPECT_EQ(node.getAttribute(v, QStringLiteral("fb")), QString());

    // Written values read back exactly.
    for (double value : {1.0 / 3.0, -2.5e-7, std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min()}) {
        node.setDoubleAttribute(QStringLiteral("d"), value);
        // Through the serialised text as well, not only the live tree.
        EXPECT_EQ(parse(document.toByteArray().constData()).getRootElement().getDoubleAttribute(QStringLiteral("d")), value);
    }
    node.setDoubleAttribute(QStringLiteral("d"), 0.1);
    EXPECT_EQ(node.getAttribute(QStringLiteral("d")), QStringLiteral("0.1")) << "the shortest text that reads back";
}

TEST_P(XMLDOMTest, ListsOfDoublesReadOnlyWhenEveryFieldIsAFiniteNumber)
{
    // Each text with the three numbers read from it, or none.
    using Numbers = std::optional<std::array<double, 3>>;
    const std::pair<const char*, Numbers> cases[] = {
        {"1,2,3", Numbers{{1, 2, 3}}},
        {" 1.5 ,-2e-3,\t3\n", Numbers{{1.5, -0.002, 3}}},
        {"+1,.5,1.", Numbers{{1, 0.5, 1}}},
        {"\xc2\xa0" "4,5,6\xc2\xa0", Numbers{{4, 5, 6}}},
        {"0000.25,1E3,-0", Numbers{{0.25, 1000, -0.0}}},
        {"123456789012345678901234567890.123456789,0,0", Numbers{{123456789012345678901234567890.123456789, 0, 0}}},
        {"1,2", std::nullopt},
        {"1,2,3,4", std::nullopt},
        {"1,2,3,", std::nullopt},
        {",1,2", std::nullopt},
        {"1,,3", std::nullopt},
        {"1, ,3", std::nullopt},
        {"", std::nullopt},
        {"1;2;3", std::nullopt},
        {"1 2 3", std::nullopt},
        {"1,2,nan", std::nullopt},
        {"inf,2,3", std::nullopt},
        {"1,-1e999,3", std::nullopt},
        {"1,2,3x", std::nullopt},
        {"1,2,0x10", std::nullopt},
        {"1,2,1e", std::nullopt},
    };
    XMLDOMDocument document = XMLDOMDocument::create(QStringLiteral("Root"), GetParam());
    XMLDOMNode node = document.getRootElement();
    const QString p = QStringLiteral("p");
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(std::string("\"") + text + "\"");
        node.setAttribute(p, QString::fromUtf8(text));
        // Read from a parsed file as well, whose values pugixml keeps in the file's own bytes.
        const XMLDOMDocument parsed = parse(document.toByteArray().constData());
        for (const XMLDOMNode& reader : {node, parsed.getRootElement()}) {
            std::array<double, 3> values{};
            const bool read = reader.getDoublesAttribute(p, QLatin1Char(','), values.data(), 3);
            EXPECT_EQ(read, expected.has_value());
            if (read && expected) {
                EXPECT_EQ(values, *expected);
                EXPECT_EQ(std::signbit(values[2]), std::signbit((*expected)[2]));
            }
        }
    }
    // Another separator and count read alike; a missing attribute reads as nothing.
    node.setAttribute(p, QStringLiteral("7; 8"));
    double pair[2] = {};
    EXPECT_TRUE(node.getDoublesAttribute(p, QLatin1Char(';'), pair, 2));
    EXPECT_EQ(pair[0], 7.0);
    EXPECT_EQ(pair[1], 8.0);
    EXPECT_FALSE(node.getDoublesAttribute(p, QLatin1Char(','), pair, 2));
    EXPECT_FALSE(node.getDoublesAttribute(QStringLiteral("absent"), QLatin1Char(';'), pair, 2));
}

TEST_P(XMLDOMTest, ChildLookupAndSetChildElementKeepDocumentOrderAndNullNodesIgnoreWrites)
{
    XMLDOMDocument document =
        parse("<Root><A id='1'/><B id='b'>text</B><A id='2'><A id='nested'/></A><A id='3'/></Root>");
    XMLDOMNode root = document.getRootElement();
    // Lookups are by case-sensitive name.
    EXPECT_TRUE(root.getFirstChildElement(QStringLiteral("a")).isNull());
    EXPECT_EQ(root.getFirstChildElement(QStringLiteral("B")).getText(), QStringLiteral("text"));
    // A walk from sibling to sibling sees the same children, in order, as the list does:
    // none of another name and none nested deeper.
    QStringList walked;
    for (XMLDOMNode a = root.getFirstChildElement(QStringLiteral("A")); a; a = a.getNextSiblingElement(QStringLiteral("A")))
        walked.append(a.getAttribute(QStringLiteral("id")));
    EXPECT_EQ(walked, (QStringList{"1", "2", "3"}));
    EXPECT_EQ(root.getFirstChildElement(QStringLiteral("B")).getNextSiblingElement(QStringLiteral("B")), XMLDOMNode());
    EXPECT_EQ(root.getNextSiblingElement(QStringLiteral("A")), XMLDOMNode());
    const auto element = [&document](const char* tag, const char* id) {
        XMLDOMNode node = document.createElement(QString::fromLatin1(tag));
        node.setAttribute(QStringLiteral("id"), QString::fromLatin1(id));
        return node;
    };

    // Replaces only the first "A", in its place, renaming the new element; an absent name appends.
    root.setChildElement(QStringLiteral("A"), element("Whatever", "new"));
    root.setChildElement(QStringLiteral("C"), element("Z", "c"));
    EXPECT_EQ(tagsAndIds(root), (QStringList{"A:new", "B:b", "A:2", "A:3", "C:c"}));
    // An element already in place stays; a later sibling moves into the first place.
    root.setChildElement(QStringLiteral("A"), root.getFirstChildElement(QStringLiteral("A")));
    root.setChildElement(QStringLiteral("A"), root.getChildElements(QStringLiteral("A")).last());
    EXPECT_EQ(tagsAndIds(root), (QStringList{"A:3", "B:b", "A:2", "C:c"}));
    // The element replaced is out of the tree but still usable, as a removed Qt element is.
    EXPECT_TRUE(element("Spare", "s").getParentElement().isNull());

    // An element of another document is copied in, with its children.
    XMLDOMDocument other = XMLDOMDocument::create(QStringLiteral("Other"), GetParam());
    XMLDOMNode foreign = other.createElement(QStringLiteral("F"));
    foreign.setAttribute(QStringLiteral("id"), QStringLiteral("f"));
    foreign.appendChildElement(QStringLiteral("Inner"));
    root.setChildElement(QStringLiteral("B"), foreign);
    EXPECT_EQ(tagsAndIds(root), (QStringList{"A:3", "B:f", "A:2", "C:c"}));
    EXPECT_FALSE(root.getFirstChildElement(QStringLiteral("B")).getFirstChildElement(QStringLiteral("Inner")).isNull());
    EXPECT_EQ(tagsAndIds(foreign), QStringList{"Inner:"}) << "the original stays in its document";

    // The element itself or an ancestor cannot become a child.
    XMLDOMNode c = root.getFirstChildElement(QStringLiteral("C"));
    c.setChildElement(QStringLiteral("Loop"), root);
    c.setChildElement(QStringLiteral("Self"), c);
    EXPECT_TRUE(c.appendChildElement(QStringLiteral("Loop"), root).isNull());
    EXPECT_TRUE(tagsAndIds(c).isEmpty());
    EXPECT_EQ(tagsAndIds(root), (QStringList{"A:3", "B:f", "A:2", "C:c"}));
    EXPECT_EQ(c.getParentElement(), root);

    // A child of another name before the first of the wanted name takes its place, renamed;
    // one with no such child to replace keeps its own place.
    XMLDOMNode renamed = parse("<R><X id='x'/><L id='1'/><Y id='y'/><L id='2'/></R>").getRootElement();
    EXPECT_FALSE(renamed.areChildElementsLast(QStringLiteral("L")));
    EXPECT_TRUE(renamed.areChildElementsLast(QStringLiteral("Q")));
    renamed.setChildElement(QStringLiteral("L"), renamed.getFirstChildElement(QStringLiteral("X")));
    renamed.setChildElement(QStringLiteral("M"), renamed.getFirstChildElement(QStringLiteral("Y")));
    EXPECT_EQ(tagsAndIds(renamed), (QStringList{"L:x", "M:y", "L:2"}));
    // Removed children can be put back, in the order given.
    const QList<XMLDOMNode> ls = renamed.getChildElements(QStringLiteral("L"));
    renamed.setChildElements(QStringLiteral("L"), {ls[1], ls[0]});
    EXPECT_EQ(tagsAndIds(renamed), (QStringList{"M:y", "L:2", "L:x"}));
    EXPECT_TRUE(renamed.areChildElementsLast(QStringLiteral("L")));

    // A null child removes every child of that name.
    root.setChildElement(QStringLiteral("A"), XMLDOMNode());
    EXPECT_EQ(tagsAndIds(root), (QStringList{"B:f", "C:c"}));
    root.removeChildElements(QStringLiteral("B"));
    EXPECT_EQ(tagsAndIds(root), (QStringList{"C:c"}));

    // A new root takes the old one's place.
    XMLDOMNode newRoot = document.createElement(QStringLiteral("New"));
    newRoot.appendChildElement(QStringLiteral("Kept"), c);
    document.setRootElement(newRoot);
    EXPECT_EQ(dump(document.getRootElement()), QStringLiteral("New[]{}(Kept[id=c;]{})"));

    // Null nodes and documents give fallbacks and ignore writes; the element offered as child
    // is not taken out of its own tree.
    XMLDOMNode node;
    EXPECT_EQ(node.getAttribute(QStringLiteral("a"), QStringLiteral("fb")), QStringLiteral("fb"));
    node.setAttribute(QStringLiteral("a"), QStringLiteral("v"));
    node.setChildElement(QStringLiteral("c"), c);
    EXPECT_TRUE(node.appendChildElement(QStringLiteral("c")).isNull());
    EXPECT_FALSE(node.hasAttribute(QStringLiteral("a")));
    EXPECT_EQ(c.getParentElement(), document.getRootElement());

    XMLDOMDocument empty;
    EXPECT_TRUE(empty.createElement(QStringLiteral("E")).isNull());
    EXPECT_TRUE(empty.toByteArray().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Backings, XMLDOMTest, testing::Values(XMLDOMBacking::Qt, XMLDOMBacking::Pugixml),
                         [](const testing::TestParamInfo<XMLDOMBacking>& info) {
                             return info.param == XMLDOMBacking::Qt ? "Qt" : "Pugixml";
                         });

QByteArray encoded(const char* codec, const QString& text)
{
    return QTextCodec::codecForName(codec)->fromUnicode(text);
}

QByteArray nested(int depth)
{
    return QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth);
}

} // namespace

TEST(XMLDOMReaderTest, BothTreesReadEveryFileAlikeAndRefuseTheSameFilesWithTheSameMessages)
{
    // Each file with whether pugixml's tree takes it (plain) or Qt's reads it as before.
    const std::pair<QByteArray, bool> files[] = {
        // Plain: values, order, text, line ends and blanks kept as written.
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<M v=\"2025.1\">\n <G n=\"a\" x=\" 1.5 \"/>\n <G n=\"b\"><L/></G>\n"
         " <!-- note -->\n <T>x &amp; y &lt;z&gt;</T>\n</M>\n",
         true},
        {"<a x='a\r\nb\tc' y=\"&#13;&#x41;&quot;'\">p\r\nq<b>r</b> s <![CDATA[<raw> ]]></a>", true},
        {"\xEF\xBB\xBF<a n='\xC2\xB5m \xE2\x84\x83 \xF0\x9F\x94\xA5'>\xC3\xA9t\xC3\xA9</a>", true},
        {"<a>\n  <b/>\n  <![CDATA[ ]]>\n</a>", true},
        {"<?xml version='1.0' standalone='yes' ?><p:a xmlns:p='u'><p:b/></p:a>", true},
        {"<a></a >", true},
        {nested(256), true},
        // Unusual: Qt's DOM reads them, with its own results.
        {"<a x='1' x='2'/>", false},
        {"<a>&foo;</a>", false},
        {"<a>&#10;</a>", false},
        {"<a>\xC2\xA0</a>", false},
        {"<a x='1'y='2'/>", false},
        {"<!DOCTYPE a SYSTEM 'a.dtd'><a/>", false},
        {"<a><?pi data?></a>", false},
        {"<a x='1'>\x7F</a>", false},
        {encoded("UTF-16LE", QStringLiteral("<a x='\u00e9'/>")), false},
        {"<?xml version='1.0' encoding='ISO-8859-1'?><a x='\xE9'/>", false},
        // Refused by both, each with Qt's message and place.
        {"", false},
        {"<a>", false},
        {"<a></b>", false},
        {"<a/><b/>", false},
        {"<a/>text", false},
        {"<a x='<'/>", false},
        {"<a>]]></a>", false},
        {"<a><!-- -- --></a>", false},
        {"<a>\x01</a>", false},
        {"<a>\xFF</a>", false},
        {"<a>\xEF\xBF\xBE</a>", false},
        {"<a>&amp</a>", false},
        {" <?xml version='1.0'?><a/>", false},
        {"<?xml encoding='UTF-8'?><a/>", false},
        {"<a>\n<b>\n</a>", false},
        {nested(257), false},
        {"<!DOCTYPE a [<!ENTITY e 'x'>]><a>&e;</a>", false},
        {"<!DOCTYPE a [<!ELEMENT a ANY>]><a/>", false},
    };
    for (const auto& [bytes, plain] : files) {
        SCOPED_TRACE(bytes.toStdString());
        XMLDOMReader::Failure qtFailure;
        XMLDOMReader::Failure pugiFailure{QStringLiteral("unset"), -1, -1};
        const XMLDOMDocument qt = XMLDOMReader::parseDocument(bytes, &qtFailure, XMLDOMBacking::Qt);
        const QByteArray unread(bytes.constData(), bytes.size());
        const XMLDOMDocument pugi = XMLDOMReader::parseDocument(bytes, &pugiFailure, XMLDOMBacking::Pugixml);
        // pugixml parses in place, but never in the caller's bytes.
        EXPECT_EQ(bytes, unread);
        EXPECT_EQ(pugi.isNull(), qt.isNull());
        EXPECT_EQ(dump(pugi.getRootElement()), dump(qt.getRootElement()));
        EXPECT_EQ(pugi.toByteArray(), qt.toByteArray());
        if (qt.isNull()) {
            EXPECT_FALSE(qtFailure.message.isEmpty());
            EXPECT_EQ(pugiFailure.message, qtFailure.message);
            EXPECT_EQ(pugiFailure.line, qtFailure.line);
            EXPECT_EQ(pugiFailure.column, qtFailure.column);
        } else {
            EXPECT_EQ(pugi.backing() == XMLDOMBacking::Pugixml, plain);
        }
    }
}

TEST(XMLDOMReaderTest, TheLargestContentReadFitsHalfOfTheMachinesMemory)
{
    using Tools::MachineMemory;
    const qint64 GiB = qint64(1) << 30;
    EXPECT_EQ(MachineMemory::largestInput(37.0, 1000 * GiB, 24 * GiB), qint64(12 * GiB / 37.0));
    EXPECT_EQ(MachineMemory::largestInput(37.0, 100, 24 * GiB), 100); // the ceiling first
    EXPECT_EQ(MachineMemory::largestInput(0.0, 100, 24 * GiB), 0);
    EXPECT_GT(MachineMemory::physicalBytes(), qint64(0));
}
