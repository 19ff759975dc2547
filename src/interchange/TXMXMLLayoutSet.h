#pragma once

#include <tarvex/host/XMLDOMNode.h>
#include <tarvex/interchange/TXMXMLLayoutInclude.h>

#include <QList>
#include <QString>

namespace Tarvex {

/// The "LayoutSet" element: the metal layouts of layer cells.
/// A value: copies share the element; the null element answers every getter with its default.
class TXMXMLLayoutSet : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXMLLayoutSet() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXMLLayoutSet(const InterProcess::XMLDOMNode& element);

    /// Every "Include" child, in document order.
    QList<TXMXMLLayoutInclude> getIncludes() const;
    /// Replaces every "Include" child by `values`, in list order.
    void setIncludes(const QList<TXMXMLLayoutInclude>& values);
};

} // namespace Tarvex
