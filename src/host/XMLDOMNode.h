#pragma once

#include <QByteArray>
#include <QDomElement>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace pugi {
struct xml_node_struct;
}

namespace InterProcess {

class XMLDOMTree;

/// The tree behind a document: Qt's DOM, or pugixml's lighter one. Both give the same
/// values, order and edits.
enum class XMLDOMBacking { Qt, Pugixml };

/// A cheap value around one DOM element (copies share the same tree) with typed reading
/// that never fails: a missing or unreadable attribute gives the caller's default. On the
/// null node every getter gives its default, lists are empty and setters do nothing.
/// Elements of the two backings never mix: linking one into a tree of the other is refused
/// as a null child is.
class XMLDOMNode
{
public:
    /// The null node.
    XMLDOMNode() = default;
    /// A node around the Qt `element` (which may be null).
    XMLDOMNode(const QDomElement& element);
    /// A node around the pugixml `node` of `tree`.
    XMLDOMNode(const std::shared_ptr<XMLDOMTree>& tree, pugi::xml_node_struct* node);
    virtual ~XMLDOMNode();

    /// The wrapped Qt element (null on the pugixml backing).
    const QDomElement& element() const { return m_element; }
    /// The tree this node stands on.
    XMLDOMBacking backing() const { return m_tree ? XMLDOMBacking::Pugixml : XMLDOMBacking::Qt; }
    /// True when no element is wrapped.
    bool isNull() const { return m_tree ? m_node == nullptr : m_element.isNull(); }
    /// True when an element is wrapped.
    explicit operator bool() const { return !isNull(); }
    /// True when both wrap the same element (or both are null).
    bool operator==(const XMLDOMNode& other) const;
    /// False when both wrap the same element.
    bool operator!=(const XMLDOMNode& other) const { return !(*this == other); }

    /// The element's tag name (empty for the null node).
    QString getTagName() const;
    /// Renames the element.
    void setTagName(const QString& name);

    /// The names of the element's attributes, sorted.
    QStringList getAttributeNames() const;
    /// True when the attribute is present.
    bool hasAttribute(const QString& name) const;
    /// The attribute's text, or `fallback` when absent.
    QString getAttribute(const QString& name, const QString& fallback = QString()) const;
    /// The attribute as a finite double; `fallback` when absent, empty, not a number,
    /// infinite or NaN. Leading and trailing blanks are allowed.
    double getDoubleAttribute(const QString& name, double fallback = 0.0) const;
    /// True when the attribute is present and not blank but does not read as a finite
    /// double: NaN, an infinity, a value too large for a double ("1e999") or a text that is
    /// no number. `getDoubleAttribute` gives its fallback for such an attribute; this lets a
    /// reader say so.
    bool isNotFiniteNumberAttribute(const QString& name) const;
    /// The attribute as exactly `count` finite doubles separated by `separator` (each field
    /// read as `getDoubleAttribute` reads a whole text) into `values`; false, with `values`
    /// left unspecified, when absent or written otherwise.
    bool getDoublesAttribute(const QString& name, QChar separator, double* values, int count) const;
    /// The attribute as a 32-bit integer; `fallback` when absent or not an integer.
    int getIntAttribute(const QString& name, int fallback = 0) const;
    /// The attribute as a boolean ("true"/"false", "1"/"0", "yes"/"no", any case);
    /// `fallback` otherwise.
    bool getBoolAttribute(const QString& name, bool fallback = false) const;
    /// Writes a text attribute.
    void setAttribute(const QString& name, const QString& value);
    /// Writes a double as the shortest text that reads back as the same value.
    void setDoubleAttribute(const QString& name, double value);
    /// Writes an integer.
    void setIntAttribute(const QString& name, int value);
    /// Writes "true" or "false".
    void setBoolAttribute(const QString& name, bool value);
    /// Removes the attribute if present.
    void removeAttribute(const QString& name);

    /// `getAttribute` under the name the element wrappers use.
    QString getAttributeString(const QString& name, const QString& fallback = QString()) const
    {
        return getAttribute(name, fallback);
    }
    /// `getDoubleAttribute` under the name the element wrappers use.
    double getAttributeDouble(const QString& name, double fallback = 0.0) const
    {
        return getDoubleAttribute(name, fallback);
    }
    /// `getIntAttribute` under the name the element wrappers use.
    qint32 getAttributeInt32(const QString& name, qint32 fallback = 0) const { return getIntAttribute(name, fallback); }
    /// `setAttribute` under the name the element wrappers use.
    void setAttributeString(const QString& name, const QString& value) { setAttribute(name, value); }
    /// `setDoubleAttribute` under the name the element wrappers use.
    void setAttributeDouble(const QString& name, double value) { setDoubleAttribute(name, value); }
    /// `setIntAttribute` under the name the element wrappers use.
    void setAttributeInt32(const QString& name, qint32 value) { setIntAttribute(name, value); }

    /// The element holding this one (null node for the root and for elements not placed).
    XMLDOMNode getParentElement() const;
    /// Where the element stands in the file it was read from: larger further on, -1 for an
    /// element made since.
    qint64 getSourcePosition() const;
    /// A new element of this node's document, not yet placed anywhere.
    XMLDOMNode createElement(const QString& name) const;

    /// The first child element called `name` (null node when none).
    XMLDOMNode getFirstChildElement(const QString& name) const;
    /// The next element called `name` beside this one, under the same parent (null node
    /// when none).
    XMLDOMNode getNextSiblingElement(const QString& name) const;
    /// Every child element called `name`, in document order.
    QList<XMLDOMNode> getChildElements(const QString& name) const;
    /// Every child element, in document order.
    QList<XMLDOMNode> getChildElements() const;
    /// True when no child of another name or kind (text and comments included) follows the
    /// first child element called `name`: those children are already last.
    bool areChildElementsLast(const QString& name) const;
    /// Makes `child` this element's child called `name`: it takes the place of the first
    /// child of that name (renamed to `name`), or is appended when there is none. A null
    /// `child` removes every child of that name. An element of another document is copied
    /// in; this element or one of its ancestors is refused.
    void setChildElement(const QString& name, const XMLDOMNode& child);
    /// Removes every child called `name` and appends `children` (renamed to `name`) in order.
    void setChildElements(const QString& name, const QList<XMLDOMNode>& children);
    /// Removes every child element called `name`.
    void removeChildElements(const QString& name);
    /// Creates a new child element called `name` at the end and returns it.
    XMLDOMNode appendChildElement(const QString& name);
    /// Appends `child` (renamed to `name`) as the last child and returns it; an element of
    /// another document is copied in, a null `child` or this element or one of its
    /// ancestors is refused (null node).
    XMLDOMNode appendChildElement(const QString& name, const XMLDOMNode& child);
    /// The text content of the element.
    QString getText() const;

protected:
    friend class XMLDOMDocument;

    /// True when `child` may be linked below this element: not null, of the same backing,
    /// and not this element or one of its ancestors.
    bool canTake(const XMLDOMNode& child) const;
    /// `child` (pugixml) as an element of this tree called `name`: itself, or its copy when
    /// it belongs to another document.
    pugi::xml_node_struct* adopt(const XMLDOMNode& child, const QByteArray& name) const;

    QDomElement m_element;
    std::shared_ptr<XMLDOMTree> m_tree;
    pugi::xml_node_struct* m_node = nullptr;
};

} // namespace InterProcess
