#include <tarvex/host/XMLDOMNode.h>

#include <QDomDocument>
#include <QLocale>

#include <cmath>

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

} // namespace

XMLDOMNode::XMLDOMNode(const QDomElement& element) : m_element(element) {}

XMLDOMNode::~XMLDOMNode() = default;

QString XMLDOMNode::getTagName() const
{
    return m_element.tagName();
}

void XMLDOMNode::setTagName(const QString& name)
{
    if (!isNull())
        m_element.setTagName(name);
}

bool XMLDOMNode::hasAttribute(const QString& name) const
{
    return m_element.hasAttribute(name);
}

QString XMLDOMNode::getAttribute(const QString& name, const QString& fallback) const
{
    if (!m_element.hasAttribute(name))
        return fallback;
    return m_element.attribute(name);
}

double XMLDOMNode::getDoubleAttribute(const QString& name, double fallback) const
{
    if (!m_element.hasAttribute(name))
        return fallback;
    bool ok = false;
    const double value = m_element.attribute(name).trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : fallback;
}

bool XMLDOMNode::isNotFiniteNumberAttribute(const QString& name) const
{
    if (!m_element.hasAttribute(name))
        return false;
    const QString text = m_element.attribute(name).trimmed();
    if (text.isEmpty())
        return false;
    bool ok = false;
    const double value = text.toDouble(&ok);
    return !ok || !std::isfinite(value);
}

int XMLDOMNode::getIntAttribute(const QString& name, int fallback) const
{
    if (!m_element.hasAttribute(name))
        return fallback;
    bool ok = false;
    const int value = m_element.attribute(name).trimmed().toInt(&ok, 10);
    return ok ? value : fallback;
}

bool XMLDOMNode::getBoolAttribute(const QString& name, bool fallback) const
{
    if (!m_element.hasAttribute(name))
        return fallback;
    const QString text = m_element.attribute(name).trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1") || text == QLatin1String("yes"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0") || text == QLatin1String("no"))
        return false;
    return fallback;
}

void XMLDOMNode::setAttribute(const QString& name, const QString& value)
{
    if (!isNull())
        m_element.setAttribute(name, value);
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
    if (!isNull())
        m_element.removeAttribute(name);
}

XMLDOMNode XMLDOMNode::getFirstChildElement(const QString& name) const
{
    return XMLDOMNode(m_element.firstChildElement(name));
}

QList<QDomElement> XMLDOMNode::getChildElements(const QString& name) const
{
    QList<QDomElement> children;
    for (QDomElement child = m_element.firstChildElement(name); !child.isNull();
         child = child.nextSiblingElement(name))
        children.append(child);
    return children;
}

void XMLDOMNode::setChildElement(const QString& name, const XMLDOMNode& child)
{
    if (isNull())
        return;
    if (child.isNull()) {
        removeChildElements(name);
        return;
    }
    if (isSelfOrAncestor(child.element(), m_element))
        return;

    // The place is looked up before the renaming: a child of another name that is renamed
    // in place would otherwise find itself and leave the old child of `name` beside it.
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

void XMLDOMNode::setChildElements(const QString& name, const QList<QDomElement>& children)
{
    if (isNull())
        return;
    removeChildElements(name);
    for (const QDomElement& child : children) {
        if (child.isNull() || isSelfOrAncestor(child, m_element))
            continue;
        QDomElement element = adoptInto(m_element, child);
        element.setTagName(name);
        m_element.appendChild(element);
    }
}

void XMLDOMNode::removeChildElements(const QString& name)
{
    for (const QDomElement& child : getChildElements(name))
        m_element.removeChild(child);
}

XMLDOMNode XMLDOMNode::appendChildElement(const QString& name)
{
    if (isNull())
        return XMLDOMNode();
    QDomElement child = m_element.ownerDocument().createElement(name);
    m_element.appendChild(child);
    return XMLDOMNode(child);
}

XMLDOMNode XMLDOMNode::appendChildElement(const QString& name, const XMLDOMNode& child)
{
    if (isNull() || child.isNull() || isSelfOrAncestor(child.element(), m_element))
        return XMLDOMNode();
    QDomElement element = adoptInto(m_element, child.element());
    element.setTagName(name);
    m_element.appendChild(element);
    return XMLDOMNode(element);
}

QString XMLDOMNode::getText() const
{
    return m_element.text();
}

} // namespace InterProcess
