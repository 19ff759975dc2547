#pragma once

#include <tarvex/host/XMLDOMNode.h>

#include <QString>

namespace Tarvex {

/// A "node" element: one corner of a footprint polygon.
/// A value: copies share the element; the null element answers every getter with its default.
class TXMXMLGeomNode : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXMLGeomNode() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXMLGeomNode(const InterProcess::XMLDOMNode& element);

    /// "x": the x coordinate; 0.0 when absent or not a finite number.
    double getX() const;
    /// Writes "x".
    void setX(double value);

    /// "y": the y coordinate; 0.0 when absent or not a finite number.
    double getY() const;
    /// Writes "y".
    void setY(double value);

    /// "z": the z coordinate; 0.0 when absent or not a finite number.
    double getZ() const;
    /// Writes "z".
    void setZ(double value);
};

} // namespace Tarvex
