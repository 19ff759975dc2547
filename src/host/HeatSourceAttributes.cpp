#include <tarvex/host/HeatSourceAttributes.h>

#include <tarvex/host/SolverTypes.h>

namespace EntityModel {

AttributePath HeatSourceAttributes::option()
{
    return Heat_t / Heat_Option_t;
}

AttributePath HeatSourceAttributes::dissipated()
{
    return Heat_t / Heat_Dissipated_t;
}

AttributePath HeatSourceAttributes::temperatureDependent()
{
    return Heat_t / Temperature_Dependent_Heat_Dissipation_t;
}

AttributePath HeatSourceAttributes::dissipatedCurve()
{
    return Heat_t / Heat_Dissipated_Temperature_Curve_t;
}

AttributePath HeatSourceAttributes::timeDependent()
{
    return Heat_t / Time_Dependent_Heat_Dissipation_t;
}

AttributePath HeatSourceAttributes::temperature()
{
    return Heat_t / Temperature_t;
}

AttributePath HeatSourceAttributes::sizeFromParent()
{
    return Geometry_t / Size_From_Parent_t;
}

} // namespace EntityModel
