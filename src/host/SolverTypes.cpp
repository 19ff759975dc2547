#include <tarvex/host/SolverTypes.h>

namespace EntityModel {

const TypeRef HTC_Boundary_t("HTC_Boundary");
const TypeRef Face_t("Face");
const TypeRef Sensor_t("Sensor");
const TypeRef Electrical_Boundary_t("Electrical_Boundary");
const TypeRef Conductor_Layer_t("Conductor_Layer");
const TypeRef Dielectric_Layer_t("Dielectric_Layer");
const TypeRef PCB_Conductor_t("PCB_Conductor");
const TypeRef PCB_Pad_t("PCB_Pad");
const TypeRef Net_t("Net");
const TypeRef Trace_t("Trace");
const TypeRef Trace_Segment_t("Trace_Segment");
const TypeRef Trace_Junction_t("Trace_Junction");
const TypeRef Via_t("Via");
const TypeRef Capacitor_t("Capacitor");
const TypeRef Daughter_Board_t("Daughter_Board");
const TypeRef Daughter_Board_Socket_t("Daughter_Board_Socket");
const TypeRef Resistor_t("Resistor");
const TypeRef Substrate_Conductor_t("Substrate_Conductor");
const TypeRef Substrate_Trace_t("Substrate_Trace");
const TypeRef Substrate_Net_t("Substrate_Net");
const TypeRef CAD_Face_t("CAD_Face");
const TypeRef CAD_Instance_t("CAD_Instance");
const TypeRef CAD_Solid_t("CAD_Solid");
const TypeRef Tarvex_EC_Solver_Project_t("Tarvex_EC_Solver_Project");

const TypeRef Sensors_t("Sensors");
const TypeRef Terminals_t("Terminals");
const TypeRef Displacements_t("Displacements");
const TypeRef Forces_t("Forces");
const TypeRef ElectricalBoundaries_t("ElectricalBoundaries");
const TypeRef HTC_Boundaries_t("HTC_Boundaries");
const TypeRef Faces_t("Faces");
const TypeRef Subassemblies_t("Subassemblies");
const TypeRef CAD_Faces_t("CAD_Faces");

const TypeRef Display_Options_t("Display_Options");
const TypeRef Colour_t("Colour");
const TypeRef Hidden_t("Hidden");
const TypeRef Transparency_t("Transparency");
const TypeRef Render_Style_t("Render_Style");
const TypeRef Wireframe_t("Wireframe");
const TypeRef Solid_t("Solid");
const TypeRef Solid_Outlined_t("Solid_Outlined");

const TypeRef Installed_t("Installed");
const TypeRef Cooling_t("Cooling");
const TypeRef Modelling_Detail_t("Modelling_Detail");
const TypeRef Full_t("Full");
const TypeRef Ignored_t("Ignored");
const TypeRef MaterialLink_t("MaterialLink");
const TypeRef Dielectric_Material_t("Dielectric_Material");
const TypeRef Conductor_Material_t("Conductor_Material");
const TypeRef Solve_Using_t("Solve_Using");
const TypeRef FEA_t("FEA");
const TypeRef CFD_t("CFD");
const TypeRef Unique_ID_t("Unique_ID");
const TypeRef Solid_Definition_t("Solid_Definition");
const TypeRef CAD_File_t("CAD_File");

const TypeRef Analysis_Type_t("Analysis_Type");
const TypeRef None_t("None");
const TypeRef Static_t("Static");
const TypeRef Transient_t("Transient");
const TypeRef Solid_Extraction_t("Solid_Extraction");

const TypeRef Heat_t("Heat");
const TypeRef Heat_Option_t("Heat_Option");
const TypeRef Total_Heat_t("Total_Heat");
const TypeRef Fixed_Temperature_t("Fixed_Temperature");
const TypeRef Time_Dependent_Heat_Dissipation_t("Time_Dependent_Heat_Dissipation");
const TypeRef Geometry_t("Geometry");
const TypeRef Size_From_Parent_t("Size_From_Parent");

const TypeRef Placement_t("Placement");
const TypeRef Point_t("Point");
const TypeRef Average_t("Average");
const TypeRef Boundary_Type_t("Boundary_Type");
const TypeRef Connection_t("Connection");
const TypeRef External_t("External");
const TypeRef TerminalLink_t("TerminalLink");
const TypeRef Displacement_Type_t("Displacement_Type");
const TypeRef Distribution_Type_t("Distribution_Type");
const TypeRef Surface_t("Surface");
const TypeRef Use_X_t("Use_X");
const TypeRef Use_Y_t("Use_Y");
const TypeRef Use_Z_t("Use_Z");
const TypeRef Dx_t("Dx");
const TypeRef Dy_t("Dy");
const TypeRef Dz_t("Dz");
const TypeRef Fx_t("Fx");
const TypeRef Fy_t("Fy");
const TypeRef Fz_t("Fz");
const TypeRef Enabled_t("Enabled");
const TypeRef Electrical_Option_t("Electrical_Option");
const TypeRef Voltage_t("Voltage");
const TypeRef Current_t("Current");
const TypeRef Expression_t("Expression");

const TypeRef Side_t("Side");
const TypeRef Left_t("Left");
const TypeRef Right_t("Right");
const TypeRef Front_t("Front");
const TypeRef Back_t("Back");
const TypeRef Rear_t("Rear");
const TypeRef IsOnCuboid_t("IsOnCuboid");
const TypeRef FaceDefinition_t("FaceDefinition");
const TypeRef Normals_t("Normals");

const TypeRef Simulation_Type_t("Simulation_Type");
const TypeRef Thermal_t("Thermal");
const TypeRef Electric_t("Electric");
const TypeRef Warpage_and_Stress_t("Warpage_and_Stress");
const TypeRef Transient_Type_t("Transient_Type");
const TypeRef ET_Co_Simulation_t("ET_Co_Simulation");
const TypeRef Evaluation_Temperature_t("Evaluation_Temperature");
const TypeRef Enable_HTHH_t("Enable_HTHH");
const TypeRef Evaluation_Humidity_Temperature_t("Evaluation_Humidity_Temperature");
const TypeRef Relative_Humidity_t("Relative_Humidity");
const TypeRef Ambient_Relative_Humidity_t("Ambient_Relative_Humidity");
const TypeRef Enable_Default_CPU_Accelerator_t("Enable_Default_CPU_Accelerator");
const TypeRef Enable_Distributed_Computing_t("Enable_Distributed_Computing");

} // namespace EntityModel
