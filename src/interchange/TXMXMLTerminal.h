#pragma once

#include <tarvex/host/XMLDOMNode.h>

#include <QString>

namespace Tarvex {

/// A "Terminal" element: one terminal on the footprint named by "ObjectName".
/// A value: copies share the element; the null element answers every getter with its default.
class TXMXMLTerminal : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXMLTerminal() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXMLTerminal(const InterProcess::XMLDOMNode& element);

    /// "Normal": the facing of the terminal; empty when absent.
    QString getNormal() const;
    /// Writes "Normal".
    void setNormal(const QString& value);

    /// "NX": the number of divisions along x; 0 when absent or not a 32-bit integer.
    qint32 getNX() const;
    /// Writes "NX".
    void setNX(qint32 value);

    /// "NY": the number of divisions along y; 0 when absent or not a 32-bit integer.
    qint32 getNY() const;
    /// Writes "NY".
    void setNY(qint32 value);

    /// "Name": the terminal name; empty when absent.
    QString getName() const;
    /// Writes "Name".
    void setName(const QString& value);

    /// "ObjectName": the "Name" of the footprint that carries the terminal; empty when absent.
    QString getObjectName() const;
    /// Writes "ObjectName".
    void setObjectName(const QString& value);
};

} // namespace Tarvex
