#pragma once

#include <tarvex/interchange/TXMXMLSolderJoint.h>

namespace Tarvex {

/// A "SolderBall" element: one solder ball.
/// A value: copies share the element; the null element answers every getter with its default.
class TXMXMLSolderBall : public TXMXMLSolderJoint
{
public:
    /// The null element.
    TXMXMLSolderBall() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXMLSolderBall(const InterProcess::XMLDOMNode& element) : TXMXMLSolderJoint(element) {}
};

} // namespace Tarvex
