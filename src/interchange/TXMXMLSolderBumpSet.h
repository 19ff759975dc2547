#pragma once

#include <tarvex/host/XMLDOMNode.h>
#include <tarvex/interchange/TXMXMLSolderBump.h>

#include <QList>
#include <QString>

#include <functional>

namespace Tarvex {

/// The "SolderBumpSet" element: the solder bumps of the file.
/// A value: copies share the element; the null element answers every getter with its default.
class TXMXMLSolderBumpSet : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXMLSolderBumpSet() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXMLSolderBumpSet(const InterProcess::XMLDOMNode& element);

    /// Every "SolderBump" child, in document order.
    QList<TXMXMLSolderBump> getSolderBumps() const;
    /// The number of "SolderBump" children.
    int countSolderBumps() const;
    /// Calls `visit` with every "SolderBump" child, in document order, without gathering
    /// them in a list first.
    void forEachSolderBump(const std::function<void(const TXMXMLSolderBump&)>& visit) const;
    /// Replaces every "SolderBump" child by `values`, in list order.
    void setSolderBumps(const QList<TXMXMLSolderBump>& values);
};

} // namespace Tarvex
