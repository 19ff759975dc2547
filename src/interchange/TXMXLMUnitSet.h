#pragma once

#include <tarvex/host/XMLDOMNode.h>

#include <QString>

namespace Tarvex {

// The five unit elements of a "UNITSet". Each names, in "Unit", the unit of every value of
// its quantity in the file; compound units are written with "-" where the host puts a blank.

/// The "Length" element of a "UNITSet": the unit of lengths, coordinates, diameters and heights.
/// A value: copies share the element; the null element answers the default unit.
class TXMXLMUnitSetLength : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXLMUnitSetLength() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXLMUnitSetLength(const InterProcess::XMLDOMNode& element);

    /// The unit used when the element or its "Unit" is missing: "m".
    static QString defaultUnit();
    /// "Unit"; `defaultUnit()` when absent.
    QString getUnit() const;
    /// Writes "Unit".
    void setUnit(const QString& unit);
};

/// The "Power" element of a "UNITSet": the unit of power.
/// A value: copies share the element; the null element answers the default unit.
class TXMXLMUnitSetPower : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXLMUnitSetPower() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXLMUnitSetPower(const InterProcess::XMLDOMNode& element);

    /// The unit used when the element or its "Unit" is missing: "W".
    static QString defaultUnit();
    /// "Unit"; `defaultUnit()` when absent.
    QString getUnit() const;
    /// Writes "Unit".
    void setUnit(const QString& unit);
};

/// The "Conductivity" element of a "UNITSet": the unit of thermal conductivity.
/// A value: copies share the element; the null element answers the default unit.
class TXMXLMUnitSetConductivity : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXLMUnitSetConductivity() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXLMUnitSetConductivity(const InterProcess::XMLDOMNode& element);

    /// The unit used when the element or its "Unit" is missing: "W/(m-K)".
    static QString defaultUnit();
    /// "Unit"; `defaultUnit()` when absent.
    QString getUnit() const;
    /// Writes "Unit".
    void setUnit(const QString& unit);
};

/// The "Density" element of a "UNITSet": the unit of density.
/// A value: copies share the element; the null element answers the default unit.
class TXMXLMUnitSetDensity : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXLMUnitSetDensity() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXLMUnitSetDensity(const InterProcess::XMLDOMNode& element);

    /// The unit used when the element or its "Unit" is missing: "kg/(m^3)".
    static QString defaultUnit();
    /// "Unit"; `defaultUnit()` when absent.
    QString getUnit() const;
    /// Writes "Unit".
    void setUnit(const QString& unit);
};

/// The "SpecificHeat" element of a "UNITSet": the unit of specific heat.
/// A value: copies share the element; the null element answers the default unit.
class TXMXLMUnitSetSpecificHeat : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXLMUnitSetSpecificHeat() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXLMUnitSetSpecificHeat(const InterProcess::XMLDOMNode& element);

    /// The unit used when the element or its "Unit" is missing: "J/(kg-K)".
    static QString defaultUnit();
    /// "Unit"; `defaultUnit()` when absent.
    QString getUnit() const;
    /// Writes "Unit".
    void setUnit(const QString& unit);
};

} // namespace Tarvex
