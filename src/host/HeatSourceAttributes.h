#pragma once

#include <tarvex/host/AttributePath.h>

namespace EntityModel {

/// Where a `Heat_Source_t` entity keeps its heat, for every writer and reader of heat
/// sources (the interchange import, the 3D project export and import), so that a source
/// reads the same whoever made it.
class HeatSourceAttributes
{
public:
    /// What the source fixes: `Total_Heat_t` (a power) or `Fixed_Temperature_t`.
    static AttributePath option();
    /// The power (W) of a source whose heat does not depend on temperature.
    static AttributePath dissipated();
    /// `Yes_t` when the power is the curve `dissipatedCurve` over temperature, else `No_t`.
    static AttributePath temperatureDependent();
    /// The power (W) over temperature (K).
    static AttributePath dissipatedCurve();
    /// `Yes_t` when the power changes with time.
    static AttributePath timeDependent();
    /// The fixed temperature (K) of a `Fixed_Temperature_t` source.
    static AttributePath temperature();
    /// `Yes_t` when the source covers its parent's face, `No_t` when it has a place and
    /// size of its own.
    static AttributePath sizeFromParent();
};

} // namespace EntityModel
