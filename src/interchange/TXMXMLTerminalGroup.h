#pragma once

#include <tarvex/host/XMLDOMNode.h>
#include <tarvex/interchange/TXMXMLTerminal.h>
#include <tarvex/interchange/TerminalGroupTerminalType.h>

#include <QList>
#include <QString>

namespace Tarvex {

/// A "TerminalGroup" element: terminals connected the same way.
/// A value: copies share the element; the null element answers every getter with its default.
class TXMXMLTerminalGroup : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXMLTerminalGroup() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXMLTerminalGroup(const InterProcess::XMLDOMNode& element);

    /// "ConnectionType": the connection type; empty when absent.
    QString getConnectionType() const;
    /// Writes "ConnectionType".
    void setConnectionType(const QString& value);

    /// "Name": the group name; empty when absent.
    QString getName() const;
    /// Writes "Name".
    void setName(const QString& value);

    /// "TerminalType": Lump or Separate as written exactly; none when absent or anything else.
    TerminalGroupTerminalType getTerminalType() const;
    /// Writes "TerminalType" as the text of `type` (empty text for none).
    void setTerminalType(TerminalGroupTerminalType type);

    /// Every "Terminal" child, in document order.
    QList<TXMXMLTerminal> getTerminals() const;
    /// Replaces every "Terminal" child by `values`, in list order.
    void setTerminals(const QList<TXMXMLTerminal>& values);
};

} // namespace Tarvex
