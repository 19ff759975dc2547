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

const TypeRef Type_t("Type");
const TypeRef Isotropic_t("Isotropic");
const TypeRef Orthotropic_t("Orthotropic");
const TypeRef Constant_t("Constant");
const TypeRef K1_t("K1");
const TypeRef K2_t("K2");
const TypeRef K3_t("K3");
const TypeRef Emissivity_t("Emissivity");

const TypeRef Tarvex_Interchange_Model_t("Tarvex_Interchange_Model");
const TypeRef Tarvex_Layers_Definition_t("Tarvex_Layers_Definition");
const TypeRef Tarvex_Layers_t("Tarvex_Layers");
const TypeRef Tarvex_Layer_Items_t("Tarvex_Layer_Items");
const TypeRef Construction_t("Construction");
const TypeRef Modelling_Level_t("Modelling_Level");
const TypeRef Active_t("Active");
const TypeRef Shape_t("Shape");
const TypeRef Outline_t("Outline");
const TypeRef Material_Fraction_t("Material_Fraction");
const TypeRef Rectangle_t("Rectangle");
const TypeRef Polygon_t("Polygon");
const TypeRef Cuboid_t("Cuboid");

const TypeRef Power_Maps_t("Power_Maps");
const TypeRef Power_Map_t("Power_Map");
const TypeRef Power_Map_File_t("Power_Map_File");
const TypeRef Power_Map_Kind_t("Power_Map_Kind");
const TypeRef Grid_Map_t("Grid_Map");
const TypeRef Area_Map_t("Area_Map");
const TypeRef Grid_Rows_t("Grid_Rows");
const TypeRef Grid_Columns_t("Grid_Columns");
const TypeRef Die_Area_t("Die_Area");
const TypeRef Power_Blocks_t("Power_Blocks");
const TypeRef X_Low_t("X_Low");
const TypeRef Y_Low_t("Y_Low");
const TypeRef X_High_t("X_High");
const TypeRef Y_High_t("Y_High");
const TypeRef Powers_t("Powers");
const TypeRef Total_Power_t("Total_Power");
const TypeRef Leakage_Links_t("Leakage_Links");
const TypeRef Leakage_Temperatures_t("Leakage_Temperatures");
const TypeRef Power_Scale_t("Power_Scale");
const TypeRef Geometry_Scale_t("Geometry_Scale");
const TypeRef Map_Rotation_t("Map_Rotation");
const TypeRef Flip_X_t("Flip_X");
const TypeRef Flip_Y_t("Flip_Y");

// Entities the entity builders create: solder joints, subcomponent groups, origins.
const TypeRef Bump_t("Bump");
const TypeRef Bumps_t("Bumps");
const TypeRef SubcomponentGroups_t("SubcomponentGroups");
const TypeRef Origin_Point_t("Origin_Point");
const TypeRef Low_Corner_t("Low_Corner");
const TypeRef Model_t("Model");

} // namespace EntityModel
