#include <tarvex/host/MaterialAttributes.h>

namespace EntityModel {

AttributePath MaterialAttributes::density()
{
    return Density_t;
}

AttributePath MaterialAttributes::specificHeat()
{
    return Specific_Heat_t;
}

AttributePath MaterialAttributes::conductivity()
{
    return Conductivity_t;
}

AttributePath MaterialAttributes::electricalConductivity()
{
    return Electrical_Conductivity_t;
}

AttributePath MaterialAttributes::emissivity()
{
    return Heat_Radiation_Properties_t / Surface_Emissivity_t;
}

AttributePath MaterialAttributes::solarReflectance()
{
    return Solar_Radiation_Properties_t / Solar_Reflectance_t;
}

AttributePath MaterialAttributes::youngsModulus()
{
    return Structural_Analysis_Properties_t / Elasticity_t / Youngs_Modulus_t;
}

AttributePath MaterialAttributes::poissonsRatio()
{
    return Structural_Analysis_Properties_t / Elasticity_t / Poissons_Ratio_t;
}

AttributePath MaterialAttributes::thermalExpansion()
{
    return Structural_Analysis_Properties_t / Thermal_Expansion_Coefficient_t;
}

AttributePath MaterialAttributes::valueOf(const AttributePath& property)
{
    return property / Value_t;
}

AttributePath MaterialAttributes::curveOf(const AttributePath& property)
{
    static const QList<QPair<AttributePath, TypeRef>> curves = {
        {conductivity(), Conductivity_Temperature_Curve_t},
        {electricalConductivity(), Electrical_Conductivity_Temperature_Curve_t},
        {specificHeat(), Specific_Heat_Temperature_Curve_t},
        {youngsModulus(), Youngs_Modulus_Temperature_Curve_t},
        {poissonsRatio(), Poissons_Ratio_Temperature_Curve_t},
        {thermalExpansion(), Thermal_Expansion_Coefficient_Temperature_Curve_t},
    };
    for (const auto& [node, curve] : curves)
        if (node == property)
            return property / curve;
    return {};
}

} // namespace EntityModel
