#pragma once

#include <tarvex/host/AttributePath.h>

namespace EntityModel {

/// Where a `Material_t` entity keeps each of its properties. Every writer and reader of
/// material entities (interchange materials, library materials, project exports) goes
/// through these paths, so one material reads the same whoever wrote it.
///
/// A property node holds its constant at `Value_t`; properties that may vary with
/// temperature also hold `Option_t` ("Constant" or "Temperature Dependent") and their curve
/// (`curveOf`).
class MaterialAttributes
{
public:
    /// Density (kg/m3).
    static AttributePath density();
    /// Specific heat (J/(kg K)); may be a curve.
    static AttributePath specificHeat();
    /// Thermal conductivity (W/(m K)): `Type_t`, `Value_t`, K1..K3; may be a curve.
    static AttributePath conductivity();
    /// Electrical conductivity (S/m); may be a curve.
    static AttributePath electricalConductivity();
    /// Surface emissivity (no unit).
    static AttributePath emissivity();
    /// Solar reflectance (no unit).
    static AttributePath solarReflectance();
    /// Young's modulus (Pa); may be a curve.
    static AttributePath youngsModulus();
    /// Poisson's ratio (no unit); may be a curve.
    static AttributePath poissonsRatio();
    /// Thermal expansion coefficient (1/K), with its `Reference_Temperature_t`; may be a curve.
    static AttributePath thermalExpansion();

    /// The constant value of a property node.
    static AttributePath valueOf(const AttributePath& property);
    /// The temperature curve of a property node (empty path for a property without one).
    static AttributePath curveOf(const AttributePath& property);
};

} // namespace EntityModel
