#pragma once

#include <tarvex/host/XMLDOMNode.h>

#include <QString>

namespace Tarvex {

/// A "Material" element: a simple material, isotropic ("k") or orthotropic ("kx", "ky",
/// "kz"). Values are in the units of the file's unit set.
/// A value: copies share the element; the null element answers every getter with its default.
class TXMXMLMaterial : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXMLMaterial() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXMLMaterial(const InterProcess::XMLDOMNode& element);

    /// "Name": the material name; empty when absent.
    QString getName() const;
    /// Writes "Name".
    void setName(const QString& value);

    /// "k": the isotropic conductivity; 0.0 when absent or not a finite number.
    double getK() const;
    /// Writes "k".
    void setK(double value);

    /// "kx": the conductivity along x; 0.0 when absent or not a finite number.
    double getKx() const;
    /// Writes "kx".
    void setKx(double value);

    /// "ky": the conductivity along y; 0.0 when absent or not a finite number.
    double getKy() const;
    /// Writes "ky".
    void setKy(double value);

    /// "kz": the conductivity along z; 0.0 when absent or not a finite number.
    double getKz() const;
    /// Writes "kz".
    void setKz(double value);

    /// "density": the density; 0.0 when absent or not a finite number.
    double getDensity() const;
    /// Writes "density".
    void setDensity(double value);

    /// "specificheat": the specific heat; 0.0 when absent or not a finite number.
    double getSpecificHeat() const;
    /// Writes "specificheat".
    void setSpecificHeat(double value);

    /// "emissivity": the surface emissivity (no unit); 0.0 when absent or not a finite number.
    double getEmissivity() const;
    /// Writes "emissivity".
    void setEmissivity(double value);

    /// True when "k" is present.
    bool hasK() const;
    /// True when any one of "kx", "ky" and "kz" is present: the material is orthotropic.
    bool hasKxyz() const;
};

} // namespace Tarvex
