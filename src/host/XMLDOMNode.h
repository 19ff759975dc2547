#pragma once

#include <QDomElement>
#include <QList>
#include <QString>

namespace InterProcess {

/// A cheap value around one DOM element (copies share the same tree) with typed reading
/// that never fails: a missing or unreadable attribute gives the caller's default. On the
/// null node every getter gives its default, lists are empty and setters do nothing.
class XMLDOMNode
{
public:
    /// The null node.
    XMLDOMNode() = default;
    /// A node around `element` (which may be null).
    explicit XMLDOMNode(const QDomElement& element);
    virtual ~XMLDOMNode();

    /// The wrapped element.
    const QDomElement& element() const { return m_element; }
    /// True when no element is wrapped.
    bool isNull() const { return m_element.isNull(); }
    /// True when an element is wrapped.
    explicit operator bool() const { return !isNull(); }

    /// The element's tag name (empty for the null node).
    QString getTagName() const;
    /// Renames the element.
    void setTagName(const QString& name);

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

    /// The first child element called `name` (null node when none).
    XMLDOMNode getFirstChildElement(const QString& name) const;
    /// Every child element called `name`, in document order.
    QList<QDomElement> getChildElements(const QString& name) const;
    /// Makes `child` this element's child called `name`: it takes the place of the first
    /// child of that name (renamed to `name`), or is appended when there is none. A null
    /// `child` removes every child of that name. An element of another document is copied
    /// in; this element or one of its ancestors is refused.
    void setChildElement(const QString& name, const XMLDOMNode& child);
    /// Removes every child called `name` and appends `children` (renamed to `name`) in order.
    void setChildElements(const QString& name, const QList<QDomElement>& children);
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
    QDomElement m_element;
};

} // namespace InterProcess
