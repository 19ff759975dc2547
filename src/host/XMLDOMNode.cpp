#include <tarvex/host/XMLDOMNode.h>

#include "XMLDOMTree.h"

#include <QDomDocument>
#include <QLocale>

#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>

namespace InterProcess {

namespace {

// An element of another document cannot be linked into this tree as is; it is copied in.
QDomElement adoptInto(const QDomElement& parent, const QDomElement& child)
{
    QDomDocument owner = parent.ownerDocument();
    if (child.ownerDocument() == owner)
        return child;
    return owner.importNode(child, true).toElement();
}

// True when `candidate` is `node` or one of its ancestors: linking it below `node`
// would make a cycle.
bool isSelfOrAncestor(const QDomNode& candidate, const QDomNode& node)
{
    for (QDomNode up = node; !up.isNull(); up = up.parentNode()) {
        if (up == candidate)
            return true;
    }
    return false;
}

bool isSelfOrAncestor(pugi::xml_node candidate, pugi::xml_node node)
{
    for (pugi::xml_node up = node; up; up = up.parent()) {
        if (up == candidate)
            return true;
    }
    return false;
}

bool isElementCalled(pugi::xml_node node, const char* name)
{
    return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}

pugi::xml_node firstChildElement(pugi::xml_node parent, const char* name)
{
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (isElementCalled(child, name))
            return child;
    }
    return pugi::xml_node();
}

// Renaming to the same name would move the name out of the parsed bytes for nothing.
void rename(pugi::xml_node element, const char* name)
{
    if (std::strcmp(element.name(), name) != 0)
        element.set_name(name);
}

// A tag or attribute name as pugixml takes it. Names are short ASCII words, handed over from
// a stack buffer rather than a UTF-8 copy on the heap, as boards ask for millions of them.
class Utf8Name
{
public:
    explicit Utf8Name(const QString& name)
    {
        const int length = name.size();
        if (length < int(sizeof m_ascii)) {
            const QChar* chars = name.constData();
            int i = 0;
            for (; i < length && chars[i].unicode() < 0x80; ++i)
                m_ascii[i] = char(chars[i].unicode());
            if (i == length) {
                m_ascii[length] = '\0';
                return;
            }
        }
        m_utf8 = name.toUtf8();
        m_text = m_utf8.constData();
    }
    Utf8Name(const Utf8Name&) = delete;
    Utf8Name& operator=(const Utf8Name&) = delete;

    const char* text() const { return m_text; }

private:
    char m_ascii[64];
    QByteArray m_utf8;
    const char* m_text = m_ascii;
};

pugi::xml_attribute pugiAttribute(pugi::xml_node node, const QString& name)
{
    return node.attribute(Utf8Name(name).text());
}

// The finite number a plainly written text holds: a short decimal number between ASCII
// blanks, read whole by from_chars, which rounds as correctly as Qt's reading does. Anything
// else (other blanks, a sign "+", overflow, NaN, long digit strings) is nullopt and left to
// Qt's reading, so the two trees read every text alike.
std::optional<double> plainNumber(const char* begin, const char* end)
{
    const auto isBlank = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    };
    while (begin < end && isBlank(*begin))
        ++begin;
    while (end > begin && isBlank(end[-1]))
        --end;
    if (begin == end || end - begin > 32)
        return std::nullopt;
    double value = 0.0;
    const std::from_chars_result read = std::from_chars(begin, end, value);
    if (read.ec != std::errc() || read.ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> plainNumber(const char* text) { return plainNumber(text, text + std::strlen(text)); }

// Exactly `count` plain numbers separated by `separator` into `values`; false for anything
// else, which Qt's reading then decides.
bool plainNumbers(const char* text, char separator, double* values, int count)
{
    for (int i = 0; i < count; ++i) {
        const char* end = i + 1 < count ? std::strchr(text, separator) : text + std::strlen(text);
        if (!end)
            return false;
        const std::optional<double> value = plainNumber(text, end);
        if (!value)
            return false;
        values[i] = *value;
        text = end + 1;
    }
    return true;
}

// The finite number Qt reads from `text` between its blanks.
std::optional<double> qtNumber(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

} // namespace

XMLDOMNode::XMLDOMNode(const QDomElement& element) : m_element(element) {}

XMLDOMNode::XMLDOMNode(const std::shared_ptr<XMLDOMTree>& tree, pugi::xml_node_struct* node)
    : m_tree(tree), m_node(node)
{
}

XMLDOMNode::~XMLDOMNode() = default;

bool XMLDOMNode::operator==(const XMLDOMNode& other) const
{
    if (isNull() || other.isNull())
        return isNull() && other.isNull();
    if (backing() != other.backing())
        return false;
    return m_tree ? m_node == other.m_node : m_element == other.m_element;
}

QString XMLDOMNode::getTagName() const
{
    if (m_tree)
        return QString::fromUtf8(pugi::xml_node(m_node).name());
    return m_element.tagName();
}

void XMLDOMNode::setTagName(const QString& name)
{
    if (isNull())
        return;
    if (m_tree)
        rename(pugi::xml_node(m_node), name.toUtf8().constData());
    else
        m_element.setTagName(name);
}

QStringList XMLDOMNode::getAttributeNames() const
{
    QStringList names;
    if (m_tree) {
        for (const pugi::xml_attribute attribute : pugi::xml_node(m_node).attributes())
            names.append(QString::fromUtf8(attribute.name()));
    } else {
        const QDomNamedNodeMap attributes = m_element.attributes();
        for (int index = 0; index < attributes.count(); ++index)
            names.append(attributes.item(index).nodeName());
    }
    names.sort();
    return names;
}

bool XMLDOMNode::hasAttribute(const QString& name) const
{
    if (m_tree)
        return bool(pugiAttribute(pugi::xml_node(m_node), name));
    return m_element.hasAttribute(name);
}

QString XMLDOMNode::getAttribute(const QString& name, const QString& fallback) const
{
    if (m_tree) {
        const pugi::xml_attribute attribute = pugiAttribute(pugi::xml_node(m_node), name);
        return attribute ? QString::fromUtf8(attribute.value()) : fallback;
    }
    if (!m_element.hasAttribute(name))
        return fallback;
    return m_element.attribute(name);
}

double XMLDOMNode::getDoubleAttribute(const QString& name, double fallback) const
{
    if (m_tree) {
        const pugi::xml_attribute attribute = pugiAttribute(pugi::xml_node(m_node), name);
        if (!attribute)
            return fallback;
        if (const std::optional<double> value = plainNumber(attribute.value()))
            return *value;
    } else if (!hasAttribute(name)) {
        return fallback;
    }
    return qtNumber(getAttribute(name)).value_or(fallback);
}

bool XMLDOMNode::getDoublesAttribute(const QString& name, QChar separator, double* values, int count) const
{
    if (m_tree) {
        const pugi::xml_attribute attribute = pugiAttribute(pugi::xml_node(m_node), name);
        if (!attribute)
            return false;
        if (separator.unicode() < 0x80 && plainNumbers(attribute.value(), char(separator.unicode()), values, count))
            return true;
    } else if (!hasAttribute(name)) {
        return false;
    }
    const QStringList fields = getAttribute(name).split(separator);
    if (fields.size() != count)
        return false;
    for (int i = 0; i < count; ++i) {
        const std::optional<double> value = qtNumber(fields[i]);
        if (!value)
            return false;
        values[i] = *value;
    }
    return true;
}

bool XMLDOMNode::isNotFiniteNumberAttribute(const QString& name) const
{
    if (m_tree) {
        const pugi::xml_attribute attribute = pugiAttribute(pugi::xml_node(m_node), name);
        if (!attribute || plainNumber(attribute.value()))
            return false;
    } else if (!hasAttribute(name)) {
        return false;
    }
    const QString text = getAttribute(name);
    return !text.trimmed().isEmpty() && !qtNumber(text);
}

int XMLDOMNode::getIntAttribute(const QString& name, int fallback) const
{
    if (!hasAttribute(name))
        return fallback;
    bool ok = false;
    const int value = getAttribute(name).trimmed().toInt(&ok, 10);
    return ok ? value : fallback;
}

bool XMLDOMNode::getBoolAttribute(const QString& name, bool fallback) const
{
    if (!hasAttribute(name))
        return fallback;
    const QString text = getAttribute(name).trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1") || text == QLatin1String("yes"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0") || text == QLatin1String("no"))
        return false;
    return fallback;
}

void XMLDOMNode::setAttribute(const QString& name, const QString& value)
{
    if (isNull())
        return;
    if (m_tree) {
        pugi::xml_node node(m_node);
        const QByteArray key = name.toUtf8();
        pugi::xml_attribute attribute = node.attribute(key.constData());
        if (!attribute)
            attribute = node.append_attribute(key.constData());
        attribute.set_value(value.toUtf8().constData());
    } else {
        m_element.setAttribute(name, value);
    }
}

void XMLDOMNode::setDoubleAttribute(const QString& name, double value)
{
    // The shortest text that reads back as the same double, not a fixed 6 digits.
    setAttribute(name, QString::number(value, 'g', QLocale::FloatingPointShortest));
}

void XMLDOMNode::setIntAttribute(const QString& name, int value)
{
    setAttribute(name, QString::number(value));
}

void XMLDOMNode::setBoolAttribute(const QString& name, bool value)
{
    setAttribute(name, value ? QStringLiteral("true") : QStringLiteral("false"));
}

void XMLDOMNode::removeAttribute(const QString& name)
{
    if (isNull())
        return;
    if (m_tree)
        pugi::xml_node(m_node).remove_attribute(name.toUtf8().constData());
    else
        m_element.removeAttribute(name);
}

XMLDOMNode XMLDOMNode::getParentElement() const
{
    if (isNull())
        return XMLDOMNode();
    if (m_tree) {
        const pugi::xml_node parent = pugi::xml_node(m_node).parent();
        if (parent.type() != pugi::node_element || m_tree->isHolder(parent))
            return XMLDOMNode();
        return XMLDOMNode(m_tree, parent.internal_object());
    }
    return XMLDOMNode(m_element.parentNode().toElement());
}

qint64 XMLDOMNode::getSourcePosition() const
{
    if (isNull())
        return -1;
    if (m_tree)
        return qint64(pugi::xml_node(m_node).offset_debug());
    if (m_element.lineNumber() < 0)
        return -1;
    return (qint64(m_element.lineNumber()) << 32) | qint64(m_element.columnNumber());
}

XMLDOMNode XMLDOMNode::createElement(const QString& name) const
{
    if (isNull())
        return XMLDOMNode();
    if (m_tree)
        return XMLDOMNode(m_tree, m_tree->createElement(name.toUtf8().constData()).internal_object());
    return XMLDOMNode(m_element.ownerDocument().createElement(name));
}

XMLDOMNode XMLDOMNode::getNextSiblingElement(const QString& name) const
{
    if (m_tree) {
        const Utf8Name key(name);
        for (pugi::xml_node sibling = pugi::xml_node(m_node).next_sibling(); sibling; sibling = sibling.next_sibling()) {
            if (isElementCalled(sibling, key.text()))
                return XMLDOMNode(m_tree, sibling.internal_object());
        }
        return XMLDOMNode();
    }
    return XMLDOMNode(m_element.nextSiblingElement(name));
}

XMLDOMNode XMLDOMNode::getFirstChildElement(const QString& name) const
{
    if (m_tree) {
        const pugi::xml_node child = firstChildElement(pugi::xml_node(m_node), Utf8Name(name).text());
        return child ? XMLDOMNode(m_tree, child.internal_object()) : XMLDOMNode();
    }
    return XMLDOMNode(m_element.firstChildElement(name));
}

QList<XMLDOMNode> XMLDOMNode::getChildElements(const QString& name) const
{
    QList<XMLDOMNode> children;
    if (m_tree) {
        const QByteArray key = name.toUtf8();
        for (pugi::xml_node child = pugi::xml_node(m_node).first_child(); child; child = child.next_sibling()) {
            if (isElementCalled(child, key.constData()))
                children.append(XMLDOMNode(m_tree, child.internal_object()));
        }
        return children;
    }
    for (QDomElement child = m_element.firstChildElement(name); !child.isNull();
         child = child.nextSiblingElement(name))
        children.append(XMLDOMNode(child));
    return children;
}

QList<XMLDOMNode> XMLDOMNode::getChildElements() const
{
    QList<XMLDOMNode> children;
    if (m_tree) {
        for (pugi::xml_node child = pugi::xml_node(m_node).first_child(); child; child = child.next_sibling()) {
            if (child.type() == pugi::node_element)
                children.append(XMLDOMNode(m_tree, child.internal_object()));
        }
        return children;
    }
    for (QDomElement child = m_element.firstChildElement(); !child.isNull(); child = child.nextSiblingElement())
        children.append(XMLDOMNode(child));
    return children;
}

bool XMLDOMNode::areChildElementsLast(const QString& name) const
{
    bool seen = false;
    if (m_tree) {
        const QByteArray key = name.toUtf8();
        for (pugi::xml_node child = pugi::xml_node(m_node).first_child(); child; child = child.next_sibling()) {
            if (isElementCalled(child, key.constData()))
                seen = true;
            else if (seen)
                return false;
        }
        return true;
    }
    for (QDomNode child = m_element.firstChild(); !child.isNull(); child = child.nextSibling()) {
        if (child.isElement() && child.toElement().tagName() == name)
            seen = true;
        else if (seen)
            return false;
    }
    return true;
}

bool XMLDOMNode::canTake(const XMLDOMNode& child) const
{
    if (child.isNull() || child.backing() != backing())
        return false;
    if (m_tree)
        return child.m_tree != m_tree ||
               !isSelfOrAncestor(pugi::xml_node(child.m_node), pugi::xml_node(m_node));
    return !isSelfOrAncestor(child.m_element, m_element);
}

pugi::xml_node_struct* XMLDOMNode::adopt(const XMLDOMNode& child, const QByteArray& name) const
{
    pugi::xml_node element(child.m_node);
    if (child.m_tree != m_tree)
        element = m_tree->copy(element);
    rename(element, name.constData());
    return element.internal_object();
}

void XMLDOMNode::setChildElement(const QString& name, const XMLDOMNode& child)
{
    if (isNull())
        return;
    if (child.isNull()) {
        removeChildElements(name);
        return;
    }
    if (!canTake(child))
        return;

    // The place is looked up before the renaming: a child of another name that is renamed
    // in place would otherwise find itself and leave the old child of `name` beside it.
    if (m_tree) {
        const QByteArray key = name.toUtf8();
        pugi::xml_node parent(m_node);
        const pugi::xml_node first = firstChildElement(parent, key.constData());
        const pugi::xml_node element(adopt(child, key));
        if (!first) {
            if (element.parent() != parent)
                parent.append_move(element);
        } else if (first != element) {
            parent.insert_move_before(element, first);
            m_tree->detach(first);
        }
        return;
    }
    const QDomElement first = m_element.firstChildElement(name);
    QDomElement element = adoptInto(m_element, child.element());
    element.setTagName(name);
    if (first.isNull()) {
        if (element.parentNode() != m_element) // a child already is in its place
            m_element.appendChild(element);
    }
    else if (first != element)
        m_element.replaceChild(element, first);
}

void XMLDOMNode::setChildElements(const QString& name, const QList<XMLDOMNode>& children)
{
    if (isNull())
        return;
    removeChildElements(name);
    for (const XMLDOMNode& child : children)
        appendChildElement(name, child);
}

void XMLDOMNode::removeChildElements(const QString& name)
{
    for (const XMLDOMNode& child : getChildElements(name)) {
        if (m_tree)
            m_tree->detach(pugi::xml_node(child.m_node));
        else
            m_element.removeChild(child.m_element);
    }
}

XMLDOMNode XMLDOMNode::appendChildElement(const QString& name)
{
    if (isNull())
        return XMLDOMNode();
    if (m_tree) {
        pugi::xml_node child = pugi::xml_node(m_node).append_child(pugi::node_element);
        child.set_name(name.toUtf8().constData());
        return XMLDOMNode(m_tree, child.internal_object());
    }
    QDomElement child = m_element.ownerDocument().createElement(name);
    m_element.appendChild(child);
    return XMLDOMNode(child);
}

XMLDOMNode XMLDOMNode::appendChildElement(const QString& name, const XMLDOMNode& child)
{
    if (isNull() || !canTake(child))
        return XMLDOMNode();
    if (m_tree) {
        const pugi::xml_node element(adopt(child, name.toUtf8()));
        pugi::xml_node(m_node).append_move(element);
        return XMLDOMNode(m_tree, element.internal_object());
    }
    QDomElement element = adoptInto(m_element, child.element());
    element.setTagName(name);
    m_element.appendChild(element);
    return XMLDOMNode(element);
}

QString XMLDOMNode::getText() const
{
    if (!m_tree)
        return m_element.text();
    // Every text and CDATA below the element, in document order, as Qt's text() gives it.
    QString text;
    const pugi::xml_node top(m_node);
    pugi::xml_node node = top.first_child();
    while (node) {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
            text += QString::fromUtf8(node.value());
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && node != top && !node.next_sibling())
            node = node.parent();
        node = node == top ? pugi::xml_node() : node.next_sibling();
    }
    return text;
}

} // namespace InterProcess
