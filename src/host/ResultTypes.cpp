#include <tarvex/host/ResultTypes.h>

namespace EntityModel {

const TypeRef Simulation_Results_t("Simulation_Results");
const TypeRef Pin_Results_t("Pin_Results");
const TypeRef Pin_Results_Summary_t("Pin_Results_Summary");
const TypeRef Pins_t("Pins");
const TypeRef Summary_t("Summary");
const TypeRef Heat_Fluxes_t("Heat_Fluxes");
const TypeRef Heat_Conduction_Out_t("Heat_Conduction_Out");
const TypeRef Heat_Conduction_Out_Curve_t("Heat_Conduction_Out_Curve");
const TypeRef Heat_Conduction_In_t("Heat_Conduction_In");
const TypeRef Heat_Conduction_In_Curve_t("Heat_Conduction_In_Curve");
const TypeRef Heat_Convection_Out_t("Heat_Convection_Out");
const TypeRef Heat_Convection_Out_Curve_t("Heat_Convection_Out_Curve");
const TypeRef Heat_Convection_In_t("Heat_Convection_In");
const TypeRef Heat_Convection_In_Curve_t("Heat_Convection_In_Curve");
const TypeRef Heat_Radiation_Out_t("Heat_Radiation_Out");
const TypeRef Heat_Radiation_Out_Curve_t("Heat_Radiation_Out_Curve");
const TypeRef Heat_Radiation_In_t("Heat_Radiation_In");
const TypeRef Heat_Radiation_In_Curve_t("Heat_Radiation_In_Curve");
const TypeRef Heat_Transfer_Summary_t("Heat_Transfer_Summary");
const TypeRef Surface_Temperature_t("Surface_Temperature");
const TypeRef Surface_Temperature_Curve_t("Surface_Temperature_Curve");
const TypeRef Reference_Temperature_Curve_t("Reference_Temperature_Curve");
const TypeRef Heat_Transfer_Coefficient_Curve_t("Heat_Transfer_Coefficient_Curve");
const TypeRef Thermal_Resistance_Curve_t("Thermal_Resistance_Curve");
const TypeRef Effective_Area_t("Effective_Area");

} // namespace EntityModel
