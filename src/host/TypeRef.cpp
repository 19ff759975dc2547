#include "host/TypeRef.h"

namespace EntityModel {

const TypeRef Project_t("Project");
const TypeRef Chassis_t("Chassis");
const TypeRef Solution_Control_t("Solution_Control");
const TypeRef Tarvex_Studio_Control_t("Tarvex_Studio_Control");
const TypeRef PCB_t("PCB");
const TypeRef Component_t("Component");
const TypeRef Subassembly_t("Subassembly");
const TypeRef Subcomponent_Group_t("Subcomponent_Group");
const TypeRef Solid_Obstruction_t("Solid_Obstruction");
const TypeRef Perforated_Obstruction_t("Perforated_Obstruction");
const TypeRef Porous_Obstruction_t("Porous_Obstruction");
const TypeRef Group_Obstruction_t("Group_Obstruction");
const TypeRef Obstruction_Hole_t("Obstruction_Hole");
const TypeRef Terminal_t("Terminal");
const TypeRef Terminal_Group_t("Terminal_Group");
const TypeRef Heat_Source_t("Heat_Source");
const TypeRef Substrate_t("Substrate");
const TypeRef Material_t("Material");

const TypeRef Name_t("Name");
const TypeRef Reference_Designator_t("Reference_Designator");
const TypeRef X_Location_t("X_Location");
const TypeRef Y_Location_t("Y_Location");
const TypeRef Z_Location_t("Z_Location");
const TypeRef Width_t("Width");
const TypeRef Height_t("Height");
const TypeRef Depth_t("Depth");
const TypeRef Thickness_t("Thickness");
const TypeRef Board_Side_t("Board_Side");
const TypeRef Solid_Objects_t("Solid_Objects");
const TypeRef Allow_Temperature_Dependent_Power_t("Allow_Temperature_Dependent_Power");
const TypeRef Output_convective_HTC_t("Output_convective_HTC");
const TypeRef Is_Tarvex_Extended_t("Is_Tarvex_Extended");
const TypeRef Objects_t("Objects");
const TypeRef Obstructions_t("Obstructions");
const TypeRef Components_t("Components");
const TypeRef Materials_t("Materials");

const TypeRef Yes_t("Yes");
const TypeRef No_t("No");
const TypeRef Top_t("Top");
const TypeRef Bottom_t("Bottom");

const TypeRef Length_t("Length");
const TypeRef Power_t("Power");
const TypeRef Temperature_t("Temperature");
const TypeRef Conductivity_t("Conductivity");
const TypeRef Density_t("Density");
const TypeRef SpecificHeat_t("SpecificHeat");
const TypeRef Specific_Heat_t("Specific_Heat");
const TypeRef Area_t("Area");
const TypeRef Mass_t("Mass");
const TypeRef Time_t("Time");
const TypeRef Force_t("Force");
const TypeRef Displacement_t("Displacement");
const TypeRef Heat_Transfer_Coefficient_t("Heat_Transfer_Coefficient");
const TypeRef Thermal_Resistance_t("Thermal_Resistance");

const TypeRef um_t("um");
const TypeRef mm_t("mm");
const TypeRef m_t("m");
const TypeRef W_t("W");
const TypeRef C_t("C");

const TypeRef Electrical_Conductivity_t("Electrical_Conductivity");
const TypeRef Structural_Analysis_Properties_t("Structural_Analysis_Properties");
const TypeRef Elasticity_t("Elasticity");
const TypeRef Youngs_Modulus_t("Youngs_Modulus");
const TypeRef Poissons_Ratio_t("Poissons_Ratio");
const TypeRef Thermal_Expansion_Coefficient_t("Thermal_Expansion_Coefficient");
const TypeRef Reference_Temperature_t("Reference_Temperature");
const TypeRef Heat_Radiation_Properties_t("Heat_Radiation_Properties");
const TypeRef Surface_Emissivity_t("Surface_Emissivity");
const TypeRef Solar_Radiation_Properties_t("Solar_Radiation_Properties");
const TypeRef Solar_Reflectance_t("Solar_Reflectance");
const TypeRef Option_t("Option");
const TypeRef Value_t("Value");
const TypeRef Conductivity_Temperature_Curve_t("Conductivity_Temperature_Curve");
const TypeRef Electrical_Conductivity_Temperature_Curve_t("Electrical_Conductivity_Temperature_Curve");
const TypeRef Specific_Heat_Temperature_Curve_t("Specific_Heat_Temperature_Curve");
const TypeRef Youngs_Modulus_Temperature_Curve_t("Youngs_Modulus_Temperature_Curve");
const TypeRef Poissons_Ratio_Temperature_Curve_t("Poissons_Ratio_Temperature_Curve");
const TypeRef Thermal_Expansion_Coefficient_Temperature_Curve_t("Thermal_Expansion_Coefficient_Temperature_Curve");
const TypeRef Last_Modified_t("Last_Modified");
const TypeRef Material_Library_t("Material_Library");
const TypeRef Libraries_t("Libraries");
const TypeRef Library_Items_t("Library_Items");
const TypeRef Read_Only_t("Read_Only");

} // namespace EntityModel
