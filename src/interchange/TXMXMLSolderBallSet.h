#pragma once

#include <tarvex/host/XMLDOMNode.h>
#include <tarvex/interchange/TXMXMLSolderBall.h>

#include <QList>
#include <QString>

#include <functional>

namespace Tarvex {

/// The "SolderBallSet" element: the solder balls of the file.
/// A value: copies share the element; the null element answers every getter with its default.
class TXMXMLSolderBallSet : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXMLSolderBallSet() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXMLSolderBallSet(const InterProcess::XMLDOMNode& element);

    /// Every "SolderBall" child, in document order.
    QList<TXMXMLSolderBall> getSolderBalls() const;
    /// The number of "SolderBall" children.
    int countSolderBalls() const;
    /// Calls `visit` with every "SolderBall" child, in document order, without gathering
    /// them in a list first.
    void forEachSolderBall(const std::function<void(const TXMXMLSolderBall&)>& visit) const;
    /// Replaces every "SolderBall" child by `values`, in list order.
    void setSolderBalls(const QList<TXMXMLSolderBall>& values);
};

} // namespace Tarvex
