#pragma once

#include <QDomElement>
#include <QString>

namespace Tarvex3D {

/// One element of a 3D solver document: a shared handle around a `QDomElement` with typed
/// attribute getters that fall back to a given default.
class Tarvex3DDomElement
{
public:
    /// The null element.
    Tarvex3DDomElement() = default;
    /// A handle on `element`.
    explicit Tarvex3DDomElement(const QDomElement& element) : m_element(element) {}

    /// The wrapped element.
    const QDomElement& get() const { return m_element; }
    /// The wrapped element, for edits.
    QDomElement& get() { return m_element; }
    /// True when the element is not null.
    explicit operator bool() const { return !m_element.isNull(); }

    /// True when the element has the attribute `name`.
    bool hasAttributeValue(const QString& name) const;
    /// The attribute's text, or `fallback` when it is absent.
    QString getAttributeStringValue(const QString& name, const QString& fallback = QString()) const;
    /// The attribute as a base-10 signed 32-bit integer; `fallback` when absent or unparsable.
    int getAttributeIntValue(const QString& name, int fallback) const;
    /// The attribute as a base-10 unsigned 32-bit integer; `fallback` when absent or unparsable.
    quint32 getAttributeUint32Value(const QString& name, quint32 fallback) const;
    /// The attribute as a double; `fallback` when absent or unparsable.
    double getAttributeDoubleValue(const QString& name, double fallback) const;

private:
    QDomElement m_element;
};

} // namespace Tarvex3D
