#pragma once

#include <tarvex/interchange/TXMXMLSolderJoint.h>

namespace Tarvex {

/// A "SolderBump" element: one solder bump.
/// A value: copies share the element; the null element answers every getter with its default.
class TXMXMLSolderBump : public TXMXMLSolderJoint
{
public:
    /// The null element.
    TXMXMLSolderBump() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXMLSolderBump(const InterProcess::XMLDOMNode& element) : TXMXMLSolderJoint(element) {}
};

} // namespace Tarvex
