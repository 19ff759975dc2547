#include "host/MachineMemory.h"
#include "host/XMLDOMDocument.h"
#include "host/XMLDOMNode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using InterProcess::XMLDOMDocument;
using InterProcess::XMLDOMNode;

QStringList tagsAndIds(const XMLDOMNode& parent)
{
    QStringList result;
    for (QDomElement child = parent.element().firstChildElement(); !child.isNull(); child = child.nextSiblingElement())
        result.append(child.tagName() + QLatin1Char(':') + child.attribute(QStringLiteral("id")));
    return result;
}

XMLDOMDocument parse(const char* xml)
{
    QDomDocument document;
    EXPECT_TRUE(document.setContent(QByteArray(xml)));
    return XMLDOMDocument(document);
}

TEST(XMLDOMTest, TypedAttributeReading)
{
    struct Case
    {
        const char* text;
        double asDouble; // with fallback -7.5
        int asInt;       // with fallback -3
        int asBool;      // -1: fallback
    };
    const Case cases[] = {
        {"2.5", 2.5, -3, -1},
        {" 2.5 ", 2.5, -3, -1},
        {"-1e-3", -1e-3, -3, -1},
        {"1E3", 1000.0, -3, -1},
        {"42", 42.0, 42, -1},
        {" -17 ", -17.0, -17, -1},
        {"0", 0.0, 0, 0},
        {"1", 1.0, 1, 1},
        {"", -7.5, -3, -1},
        {"   ", -7.5, -3, -1},
        {"abc", -7.5, -3, -1},
        {"2.5x", -7.5, -3, -1},
        {"1,5", -7.5, -3, -1},
        {"1e999", -7.5, -3, -1},
        {"-1e999", -7.5, -3, -1},
        {"nan", -7.5, -3, -1},
        {"NaN", -7.5, -3, -1},
        {"inf", -7.5, -3, -1},
        {"-inf", -7.5, -3, -1},
        {"2147483648", 2147483648.0, -3, -1},
        {"1.0", 1.0, -3, -1},
        {"true", -7.5, -3, 1},
        {" TRUE ", -7.5, -3, 1},
        {"Yes", -7.5, -3, 1},
        {"false", -7.5, -3, 0},
        {"no", -7.5, -3, 0},
        {"on", -7.5, -3, -1},
    };
    XMLDOMDocument document = XMLDOMDocument::create(QStringLiteral("Root"));
    XMLDOMNode node = document.getRootElement();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        node.setAttribute(QStringLiteral("v"), QString::fromUtf8(c.text));
        EXPECT_EQ(node.getDoubleAttribute(QStringLiteral("v"), -7.5), c.asDouble);
        // Every present, non-blank text that gives the fallback is one a reader can warn about.
        const bool blank = QString::fromUtf8(c.text).trimmed().isEmpty();
        EXPECT_EQ(node.isNotFiniteNumberAttribute(QStringLiteral("v")), !blank && c.asDouble == -7.5);
        EXPECT_EQ(node.getIntAttribute(QStringLiteral("v"), -3), c.asInt);
        if (c.asBool < 0) {
            EXPECT_TRUE(node.getBoolAttribute(QStringLiteral("v"), true));
            EXPECT_FALSE(node.getBoolAttribute(QStringLiteral("v"), false));
        } else {
            EXPECT_EQ(node.getBoolAttribute(QStringLiteral("v"), c.asBool == 0), c.asBool == 1);
        }
        EXPECT_EQ(node.getAttribute(QStringLiteral("v"), QStringLiteral("fb")), QString::fromUtf8(c.text));
    }

    // A missing attribute gives every fallback; an empty one is present text.
    node.removeAttribute(QStringLiteral("v"));
    EXPECT_FALSE(node.hasAttribute(QStringLiteral("v")));
    EXPECT_EQ(node.getAttribute(QStringLiteral("v"), QStringLiteral("fb")), QStringLiteral("fb"));
    EXPECT_EQ(node.getDoubleAttribute(QStringLiteral("v"), 9.0), 9.0);
    EXPECT_FALSE(node.isNotFiniteNumberAttribute(QStringLiteral("v")));
    EXPECT_EQ(node.getIntAttribute(QStringLiteral("v"), 9), 9);
    EXPECT_TRUE(node.getBoolAttribute(QStringLiteral("v"), true));
    node.setAttribute(QStringLiteral("v"), QString());
    EXPECT_EQ(node.getAttribute(QStringLiteral("v"), QStringLiteral("fb")), QString());
}

TEST(XMLDOMTest, WrittenValuesReadBackExactly)
{
    XMLDOMDocument document = XMLDOMDocument::create(QStringLiteral("Root"));
    XMLDOMNode node = document.getRootElement();
    const double values[] = {0.1, 1.0 / 3.0, -2.5e-7, 6.02214076e23, 1e-300, 123456789.123456789,
                             std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min()};
    for (double value : values) {
        SCOPED_TRACE(value);
        node.setDoubleAttribute(QStringLiteral("d"), value);
        // Through the serialised text as well, not only the live tree.
        const XMLDOMDocument reread = parse(document.toByteArray().constData());
        EXPECT_EQ(reread.getRootElement().getDoubleAttribute(QStringLiteral("d"), 0.0), value);
    }
    node.setDoubleAttribute(QStringLiteral("d"), 0.1);
    EXPECT_EQ(node.getAttribute(QStringLiteral("d")), QStringLiteral("0.1"));

    node.setIntAttribute(QStringLiteral("i"), std::numeric_limits<int>::min());
    EXPECT_EQ(node.getIntAttribute(QStringLiteral("i"), 0), std::numeric_limits<int>::min());
    node.setBoolAttribute(QStringLiteral("b"), false);
    EXPECT_EQ(node.getAttribute(QStringLiteral("b")), QStringLiteral("false"));
    EXPECT_FALSE(node.getBoolAttribute(QStringLiteral("b"), true));
}

TEST(XMLDOMTest, ChildLookupKeepsDocumentOrder)
{
    const XMLDOMDocument document = parse("<Root>"
                                          "<Item id='1'/><Other id='x'/><item id='lower'/>"
                                          "<Item id='2'><Item id='nested'/></Item>"
                                          "<Item id='3'>text</Item>"
                                          "</Root>");
    const XMLDOMNode root = document.getRootElement();
    QStringList ids;
    for (const QDomElement& item : root.getChildElements(QStringLiteral("Item")))
        ids.append(item.attribute(QStringLiteral("id")));
    EXPECT_EQ(ids, (QStringList{"1", "2", "3"}));
    EXPECT_EQ(root.getFirstChildElement(QStringLiteral("Item")).getAttribute(QStringLiteral("id")), QStringLiteral("1"));
    EXPECT_EQ(root.getFirstChildElement(QStringLiteral("item")).getAttribute(QStringLiteral("id")), QStringLiteral("lower"));
    EXPECT_TRUE(root.getFirstChildElement(QStringLiteral("ITEM")).isNull());
    EXPECT_TRUE(root.getChildElements(QStringLiteral("Missing")).isEmpty());
    EXPECT_EQ(XMLDOMNode(root.getChildElements(QStringLiteral("Item")).at(2)).getText(), QStringLiteral("text"));
}

TEST(XMLDOMTest, SetChildElementReplacesFirstOrAppends)
{
    XMLDOMDocument document =
        parse("<Root><A id='1'/><B id='b'/><A id='2'/><A id='3'/></Root>");
    XMLDOMNode root = document.getRootElement();

    // Replaces only the first "A", in its place, renaming the new element.
    XMLDOMNode replacement = document.createElement(QStringLiteral("Whatever"));
    replacement.setAttribute(QStringLiteral("id"), QStringLiteral("new"));
    root.setChildElement(QStringLiteral("A"), replacement);
    EXPECT_EQ(tagsAndIds(root), (QStringList{"A:new", "B:b", "A:2", "A:3"}));
    EXPECT_EQ(replacement.getTagName(), QStringLiteral("A")); // copies share the element

    // Absent name: appended at the end.
    XMLDOMNode appended = document.createElement(QStringLiteral("Z"));
    appended.setAttribute(QStringLiteral("id"), QStringLiteral("c"));
    root.setChildElement(QStringLiteral("C"), appended);
    EXPECT_EQ(tagsAndIds(root), (QStringList{"A:new", "B:b", "A:2", "A:3", "C:c"}));

    // An element already in place stays where it is.
    root.setChildElement(QStringLiteral("A"), root.getFirstChildElement(QStringLiteral("A")));
    EXPECT_EQ(tagsAndIds(root), (QStringList{"A:new", "B:b", "A:2", "A:3", "C:c"}));

    // A later sibling moves into the first place rather than being duplicated.
    root.setChildElement(QStringLiteral("A"), XMLDOMNode(root.getChildElements(QStringLiteral("A")).at(2)));
    EXPECT_EQ(tagsAndIds(root), (QStringList{"A:3", "B:b", "A:2", "C:c"}));

    // An element of another document is copied in.
    XMLDOMDocument other = XMLDOMDocument::create(QStringLiteral("Other"));
    XMLDOMNode foreign = other.createElement(QStringLiteral("F"));
    foreign.setAttribute(QStringLiteral("id"), QStringLiteral("f"));
    foreign.appendChildElement(QStringLiteral("Inner"));
    root.setChildElement(QStringLiteral("B"), foreign);
    EXPECT_EQ(tagsAndIds(root), (QStringList{"A:3", "B:f", "A:2", "C:c"}));
    EXPECT_FALSE(root.getFirstChildElement(QStringLiteral("B")).getFirstChildElement(QStringLiteral("Inner")).isNull());
    EXPECT_EQ(root.getFirstChildElement(QStringLiteral("B")).element().ownerDocument(), document.document());

    // The element itself or an ancestor cannot become a child.
    XMLDOMNode c = root.getFirstChildElement(QStringLiteral("C"));
    c.setChildElement(QStringLiteral("Loop"), root);
    c.setChildElement(QStringLiteral("Self"), c);
    EXPECT_TRUE(c.getChildElements(QStringLiteral("Loop")).isEmpty());
    EXPECT_TRUE(c.getChildElements(QStringLiteral("Self")).isEmpty());
    EXPECT_EQ(tagsAndIds(root), (QStringList{"A:3", "B:f", "A:2", "C:c"}));

    // A null child removes every child of that name.
    root.setChildElement(QStringLiteral("A"), XMLDOMNode());
    EXPECT_EQ(tagsAndIds(root), (QStringList{"B:f", "C:c"}));
}

TEST(XMLDOMTest, SetChildElementsReplacesAllInOrder)
{
    XMLDOMDocument document = parse("<Root><L id='old1'/><K id='k'/><L id='old2'/></Root>");
    XMLDOMNode root = document.getRootElement();

    QList<QDomElement> children;
    for (const char* id : {"n1", "n2", "n3"}) {
        XMLDOMNode child = document.createElement(QStringLiteral("Tmp"));
        child.setAttribute(QStringLiteral("id"), QString::fromLatin1(id));
        children.append(child.element());
    }
    children.insert(1, QDomElement()); // null entries are skipped
    root.setChildElements(QStringLiteral("L"), children);
    EXPECT_EQ(tagsAndIds(root), (QStringList{"K:k", "L:n1", "L:n2", "L:n3"}));

    // Reordering the existing children through their own list.
    QList<QDomElement> reversed = root.getChildElements(QStringLiteral("L"));
    std::reverse(reversed.begin(), reversed.end());
    root.setChildElements(QStringLiteral("L"), reversed);
    EXPECT_EQ(tagsAndIds(root), (QStringList{"K:k", "L:n3", "L:n2", "L:n1"}));

    root.setChildElements(QStringLiteral("L"), {});
    EXPECT_EQ(tagsAndIds(root), (QStringList{"K:k"}));

    root.removeChildElements(QStringLiteral("K"));
    EXPECT_TRUE(tagsAndIds(root).isEmpty());

    XMLDOMNode added = root.appendChildElement(QStringLiteral("New"));
    added.setTagName(QStringLiteral("Renamed"));
    EXPECT_EQ(tagsAndIds(root), (QStringList{"Renamed:"}));
}

TEST(XMLDOMTest, NullNodeGivesFallbacksAndIgnoresWrites)
{
    XMLDOMNode node;
    EXPECT_TRUE(node.isNull());
    EXPECT_FALSE(static_cast<bool>(node));
    EXPECT_TRUE(node.getTagName().isEmpty());
    EXPECT_FALSE(node.hasAttribute(QStringLiteral("a")));
    EXPECT_FALSE(node.isNotFiniteNumberAttribute(QStringLiteral("a")));
    EXPECT_EQ(node.getAttribute(QStringLiteral("a"), QStringLiteral("fb")), QStringLiteral("fb"));
    EXPECT_TRUE(node.getFirstChildElement(QStringLiteral("a")).isNull());
    EXPECT_TRUE(node.getChildElements(QStringLiteral("a")).isEmpty());
    EXPECT_TRUE(node.getText().isEmpty());

    XMLDOMDocument document = XMLDOMDocument::create(QStringLiteral("Root"));
    node.setTagName(QStringLiteral("X"));
    node.setAttribute(QStringLiteral("a"), QStringLiteral("v"));
    node.removeAttribute(QStringLiteral("a"));
    node.setChildElement(QStringLiteral("c"), document.getRootElement());
    node.setChildElements(QStringLiteral("c"), {document.getRootElement().element()});
    node.removeChildElements(QStringLiteral("c"));
    EXPECT_TRUE(node.appendChildElement(QStringLiteral("c")).isNull());
    EXPECT_TRUE(node.isNull());
    EXPECT_FALSE(node.hasAttribute(QStringLiteral("a")));
    // The element offered as child was not taken out of its own tree.
    EXPECT_EQ(document.getRootElement().getTagName(), QStringLiteral("Root"));
}

TEST(XMLDOMTest, Documents)
{
    XMLDOMDocument empty;
    EXPECT_TRUE(empty.isNull());
    EXPECT_FALSE(static_cast<bool>(empty));
    EXPECT_TRUE(empty.getRootElement().isNull());
    EXPECT_TRUE(empty.createElement(QStringLiteral("E")).isNull());
    EXPECT_TRUE(empty.isNull());
    EXPECT_TRUE(empty.toByteArray().isEmpty());

    XMLDOMDocument document = XMLDOMDocument::create(QStringLiteral("TOP"));
    EXPECT_TRUE(static_cast<bool>(document));
    XMLDOMNode root = document.getRootElement();
    EXPECT_EQ(root.getTagName(), QStringLiteral("TOP"));
    EXPECT_TRUE(root.getChildElements(QString()).isEmpty());
    XMLDOMNode child = root.appendChildElement(QStringLiteral("Child"));
    child.setAttribute(QStringLiteral("name"), QString::fromUtf8("\xc3\xa9t\xc3\xa9 & <x>"));

    // Copies share the tree, and the text form reads back the same.
    const XMLDOMDocument copy = document;
    EXPECT_EQ(copy.getRootElement().getFirstChildElement(QStringLiteral("Child")).getAttribute(QStringLiteral("name")),
              QString::fromUtf8("\xc3\xa9t\xc3\xa9 & <x>"));
    const XMLDOMDocument reread = parse(document.toByteArray(2).constData());
    EXPECT_EQ(reread.getRootElement().getFirstChildElement(QStringLiteral("Child")).getAttribute(QStringLiteral("name")),
              QString::fromUtf8("\xc3\xa9t\xc3\xa9 & <x>"));
}

} // namespace

TEST(XMLDOMTest, TheLargestContentReadFitsHalfOfTheMachinesMemory)
{
    using Tools::MachineMemory;
    const qint64 GiB = qint64(1) << 30;
    EXPECT_EQ(MachineMemory::largestInput(37.0, 1000 * GiB, 24 * GiB), qint64(12 * GiB / 37.0));
    EXPECT_EQ(MachineMemory::largestInput(37.0, 100, 24 * GiB), 100); // the ceiling first
    EXPECT_EQ(MachineMemory::largestInput(0.0, 100, 24 * GiB), 0);
    EXPECT_GT(MachineMemory::physicalBytes(), qint64(0));
}
