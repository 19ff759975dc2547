#pragma once

#include <tarvex/host/XMLDOMNode.h>
#include <tarvex/interchange/TXMXLMUnitSet.h>

#include <QString>

namespace Tarvex {

/// The "UNITSet" element: the unit of every quantity in the file.
/// A value: copies share the element; the null element answers every getter with its default.
class TXMXMLUnitSet : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXMLUnitSet() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXMLUnitSet(const InterProcess::XMLDOMNode& element);

    /// The first "Length" child: the unit of lengths, coordinates, diameters and heights; a null element when there is none.
    TXMXLMUnitSetLength getLength() const;
    /// Makes `value` the "Length" child in place of the first one; a null `value` removes them all.
    void setLength(const TXMXLMUnitSetLength& value);

    /// The first "Power" child: the unit of power; a null element when there is none.
    TXMXLMUnitSetPower getPower() const;
    /// Makes `value` the "Power" child in place of the first one; a null `value` removes them all.
    void setPower(const TXMXLMUnitSetPower& value);

    /// The first "Conductivity" child: the unit of thermal conductivity; a null element when there is none.
    TXMXLMUnitSetConductivity getConductivity() const;
    /// Makes `value` the "Conductivity" child in place of the first one; a null `value` removes them all.
    void setConductivity(const TXMXLMUnitSetConductivity& value);

    /// The first "Density" child: the unit of density; a null element when there is none.
    TXMXLMUnitSetDensity getDensity() const;
    /// Makes `value` the "Density" child in place of the first one; a null `value` removes them all.
    void setDensity(const TXMXLMUnitSetDensity& value);

    /// The first "SpecificHeat" child: the unit of specific heat; a null element when there is none.
    TXMXLMUnitSetSpecificHeat getSpecificHeat() const;
    /// Makes `value` the "SpecificHeat" child in place of the first one; a null `value` removes them all.
    void setSpecificHeat(const TXMXLMUnitSetSpecificHeat& value);
};

} // namespace Tarvex
