#pragma once

#include <tarvex/host/XMLDOMNode.h>
#include <tarvex/interchange/TXMXMLTerminalGroup.h>

#include <QList>
#include <QString>

namespace Tarvex {

/// The "TerminalSet" element: the electrical terminals of the file, in groups.
/// A value: copies share the element; the null element answers every getter with its default.
class TXMXMLTerminalSet : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXMLTerminalSet() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXMLTerminalSet(const InterProcess::XMLDOMNode& element);

    /// Every "TerminalGroup" child, in document order.
    QList<TXMXMLTerminalGroup> getTerminalGroups() const;
    /// Replaces every "TerminalGroup" child by `values`, in list order.
    void setTerminalGroups(const QList<TXMXMLTerminalGroup>& values);
};

} // namespace Tarvex
