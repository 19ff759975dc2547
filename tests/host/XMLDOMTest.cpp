#include <tarvex/host/MachineMemory.h>
#include <tarvex/host/XMLDOMDocument.h>
#include <tarvex/host/XMLDOMNode.h>

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

TEST(XMLDOMTest, TypedAttributesReadWithTheirFallbackAndWrittenValuesReadBackExactly)
{
    // Each text with the number read from it, -7.5 being the fallback.
    const std::pair<const char*, double> cases[] = {
        {" -2.5 ", -2.5}, {"", -7.5},      {"   ", -7.5}, {"2.5x", -7.5},
        {"1,5", -7.5},    {"-1e999", -7.5}, {"inf", -7.5}, {"2147483648", 2147483648.0},
    };
    XMLDOMDocument document = XMLDOMDocument::create(QStringLiteral("Root"));
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

TEST(XMLDOMTest, ChildLookupAndSetChildElementKeepDocumentOrderAndNullNodesIgnoreWrites)
{
    XMLDOMDocument document =
        parse("<Root><A id='1'/><B id='b'>text</B><A id='2'><A id='nested'/></A><A id='3'/></Root>");
    XMLDOMNode root = document.getRootElement();
    // Lookups are by case-sensitive name.
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
    root.setChildElement(QStringLiteral("A"), XMLDOMNode(root.element().lastChildElement(QStringLiteral("A"))));
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

    // A child of another name before the first of the wanted name takes its place, renamed;
    // one with no such child to replace keeps its own place.
    XMLDOMNode renamed = parse("<R><X id='x'/><L id='1'/><Y id='y'/><L id='2'/></R>").getRootElement();
    renamed.setChildElement(QStringLiteral("L"), renamed.getFirstChildElement(QStringLiteral("X")));
    renamed.setChildElement(QStringLiteral("M"), renamed.getFirstChildElement(QStringLiteral("Y")));
    EXPECT_EQ(tagsAndIds(renamed), (QStringList{"L:x", "M:y", "L:2"}));

    // A null child removes every child of that name.
    root.setChildElement(QStringLiteral("A"), XMLDOMNode());
    EXPECT_EQ(tagsAndIds(root), (QStringList{"B:f", "C:c"}));
    root.removeChildElements(QStringLiteral("B"));
    EXPECT_EQ(tagsAndIds(root), (QStringList{"C:c"}));

    // Null nodes and documents give fallbacks and ignore writes; the element offered as child
    // is not taken out of its own tree.
    XMLDOMNode node;
    EXPECT_EQ(node.getAttribute(QStringLiteral("a"), QStringLiteral("fb")), QStringLiteral("fb"));
    node.setAttribute(QStringLiteral("a"), QStringLiteral("v"));
    node.setChildElement(QStringLiteral("c"), c);
    EXPECT_TRUE(node.appendChildElement(QStringLiteral("c")).isNull());
    EXPECT_FALSE(node.hasAttribute(QStringLiteral("a")));
    EXPECT_EQ(tagsAndIds(root), (QStringList{"C:c"}));

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
