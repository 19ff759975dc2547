#pragma once

#include <tarvex/host/XMLDOMNode.h>
#include <tarvex/interchange/TXMXMLPower2DSource.h>

#include <QList>
#include <QString>

namespace Tarvex {

/// The "Power2DSourceSet" element: the planar heat sources of the file.
/// A value: copies share the element; the null element answers every getter with its default.
class TXMXMLPower2DSourceSet : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXMLPower2DSourceSet() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXMLPower2DSourceSet(const InterProcess::XMLDOMNode& element);

    /// Every "Power2DSource" child, in document order.
    QList<TXMXMLPower2DSource> getPower2DSources() const;
    /// Replaces every "Power2DSource" child by `values`, in list order.
    void setPower2DSources(const QList<TXMXMLPower2DSource>& values);
};

} // namespace Tarvex
