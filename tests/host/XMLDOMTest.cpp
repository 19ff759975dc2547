#include "host/MachineMemory.h"
#include "host/XMLDOMDocument.h"
#include "host/XMLDOMNode.h"

#include <gtest/gtest.h>

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
        {" 2.5 ", 2.5, -3, -1},   {" -17 ", -17.0, -17, -1}, {"0", 0.0, 0, 0},          {"1", 1.0, 1, 1},
        {"", -7.5, -3, -1},       {"   ", -7.5, -3, -1},     {"2.5x", -7.5, -3, -1},    {"1,5", -7.5, -3, -1},
        {"-1e999", -7.5, -3, -1}, {"inf", -7.5, -3, -1},     {"1.0", 1.0, -3, -1},      {" TRUE ", -7.5, -3, 1},
        {"Yes", -7.5, -3, 1},     {"no", -7.5, -3, 0},       {"on", -7.5, -3, -1},      {"2147483648", 2147483648.0, -3, -1},
    };
    XMLDOMDocument document = XMLDOMDocument::create(QStringLiteral("Root"));
    XMLDOMNode node = document.getRootElement();
    const QString v = QStringLiteral("v");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        node.setAttribute(v, QString::fromUtf8(c.text));
        EXPECT_EQ(node.getDoubleAttribute(v, -7.5), c.asDouble);
        // Every present, non-blank text that gives the fallback is one a reader can warn about.
        const bool blank = QString::fromUtf8(c.text).trimmed().isEmpty();
        EXPECT_EQ(node.isNotFiniteNumberAttribute(v), !blank && c.asDouble == -7.5);
        EXPECT_EQ(node.getIntAttribute(v, -3), c.asInt);
        EXPECT_EQ(node.getBoolAttribute(v, c.asBool != 1), c.asBool != 0);
        EXPECT_EQ(node.getBoolAttribute(v, c.asBool == 0), c.asBool == 1);
    }
    // A missing attribute gives every fallback; an empty one is present text.
    node.removeAttribute(v);
    EXPECT_EQ(node.getAttribute(v, QStringLiteral("fb")), QStringLiteral("fb"));
    EXPECT_FALSE(node.isNotFiniteNumberAttribute(v));
    node.setAttribute(v, QString());
    EXPECT_EQ(node.getAttribute(v, QStringLiteral("fb")), QString());
}

TEST(XMLDOMTest, WrittenValuesReadBackExactly)
{
    XMLDOMDocument document = XMLDOMDocument::create(QStringLiteral("Root"));
    XMLDOMNode node = document.getRootElement();
    for (double value : {1.0 / 3.0, -2.5e-7, std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min()}) {
        node.setDoubleAttribute(QStringLiteral("d"), value);
        // Through the serialised text as well, not only the live tree.
        EXPECT_EQ(parse(document.toByteArray().constData()).getRootElement().getDoubleAttribute(QStringLiteral("d")), value);
    }
    node.setDoubleAttribute(QStringLiteral("d"), 0.1);
    EXPECT_EQ(node.getAttribute(QStringLiteral("d")), QStringLiteral("0.1")) << "the shortest text that reads back";
    node.setIntAttribute(QStringLiteral("i"), std::numeric_limits<int>::min());
    EXPECT_EQ(node.getIntAttribute(QStringLiteral("i"), 0), std::numeric_limits<int>::min());
}

TEST(XMLDOMTest, ChildLookupAndSetChildElementKeepDocumentOrder)
{
    XMLDOMDocument document =
        parse("<Root><A id='1'/><B id='b'>text</B><A id='2'><A id='nested'/></A><A id='3'/></Root>");
    XMLDOMNode root = document.getRootElement();
    // Lookups see direct children only, in document order, by case-sensitive name.
    EXPECT_EQ(root.getChildElements(QStringLiteral("A")).size(), 3);
    EXPECT_EQ(XMLDOMNode(root.getChildElements(QStringLiteral("A")).at(2)).getAttribute(QStringLiteral("id")),
              QStringLiteral("3"));
    EXPECT_TRUE(root.getFirstChildElement(QStringLiteral("a")).isNull());
    EXPECT_EQ(root.getFirstChildElement(QStringLiteral("B")).getText(), QStringLiteral("text"));
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
    root.setChildElement(QStringLiteral("A"), XMLDOMNode(root.getChildElements(QStringLiteral("A")).at(2)));
    EXPECT_EQ(tagsAndIds(root), (QStringList{"A:3", "B:b", "A:2", "C:c"}));

    // An element of another document is copied in, with its children.
    XMLDOMDocument other = XMLDOMDocument::create(QStringLiteral("Other"));
    XMLDOMNode foreign = other.createElement(QStringLiteral("F"));
    foreign.setAttribute(QStringLiteral("id"), QStringLiteral("f"));
    foreign.appendChildElement(QStringLiteral("Inner"));
    root.setChildElement(QStringLiteral("B"), foreign);
    EXPECT_EQ(tagsAndIds(root), (QStringList{"A:3", "B:f", "A:2", "C:c"}));
    EXPECT_FALSE(root.getFirstChildElement(QStringLiteral("B")).getFirstChildElement(QStringLiteral("Inner")).isNull());

    // The element itself or an ancestor cannot become a child.
    XMLDOMNode c = root.getFirstChildElement(QStringLiteral("C"));
    c.setChildElement(QStringLiteral("Loop"), root);
    c.setChildElement(QStringLiteral("Self"), c);
    EXPECT_TRUE(tagsAndIds(c).isEmpty());
    EXPECT_EQ(tagsAndIds(root), (QStringList{"A:3", "B:f", "A:2", "C:c"}));

    // A null child removes every child of that name.
    root.setChildElement(QStringLiteral("A"), XMLDOMNode());
    EXPECT_EQ(tagsAndIds(root), (QStringList{"B:f", "C:c"}));

    // setChildElements replaces all of a name, in order, skipping null entries.
    root.setChildElements(QStringLiteral("L"), {element("Tmp", "n1").element(), QDomElement(), element("Tmp", "n2").element()});
    EXPECT_EQ(tagsAndIds(root), (QStringList{"B:f", "C:c", "L:n1", "L:n2"}));
    // A child of another name before them takes the first one's place, renamed.
    root.setChildElement(QStringLiteral("L"), root.getFirstChildElement(QStringLiteral("C")));
    EXPECT_EQ(tagsAndIds(root), (QStringList{"B:f", "L:c", "L:n2"}));
    root.setChildElements(QStringLiteral("L"), {});
    root.removeChildElements(QStringLiteral("B"));
    EXPECT_TRUE(tagsAndIds(root).isEmpty());
}

TEST(XMLDOMTest, NullNodesAndDocumentsGiveFallbacksAndIgnoreWrites)
{
    XMLDOMNode node;
    EXPECT_EQ(node.getAttribute(QStringLiteral("a"), QStringLiteral("fb")), QStringLiteral("fb"));

    XMLDOMDocument document = XMLDOMDocument::create(QStringLiteral("Root"));
    node.setAttribute(QStringLiteral("a"), QStringLiteral("v"));
    node.setChildElement(QStringLiteral("c"), document.getRootElement());
    EXPECT_TRUE(node.appendChildElement(QStringLiteral("c")).isNull());
    EXPECT_FALSE(node.hasAttribute(QStringLiteral("a")));
    // The element offered as child was not taken out of its own tree.
    EXPECT_EQ(document.getRootElement().getTagName(), QStringLiteral("Root"));

    XMLDOMDocument empty;
    EXPECT_TRUE(empty.createElement(QStringLiteral("E")).isNull());
    EXPECT_TRUE(empty.toByteArray().isEmpty());
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
