#pragma once

#include <tarvex/host/TypeRef.h>

namespace EntityModel {

// Labels of the solver side of the host model, used by the 3D project exchange in both
// directions (label = name without "_t"). `Force_t`, `Displacement_t`, `Temperature_t`,
// `Heat_Transfer_Coefficient_t`, `Heat_Source_t` and the terminal types are in TypeRef.h.

// Entity types of the solver-side model: boundaries, sensors, faces, board items and CAD bodies.
extern const TypeRef HTC_Boundary_t;
extern const TypeRef Face_t;
extern const TypeRef Sensor_t;
extern const TypeRef Electrical_Boundary_t;
extern const TypeRef Conductor_Layer_t;
extern const TypeRef Dielectric_Layer_t;
extern const TypeRef PCB_Conductor_t;
extern const TypeRef PCB_Pad_t;
extern const TypeRef Net_t;
extern const TypeRef Trace_t;
extern const TypeRef Trace_Segment_t;
extern const TypeRef Trace_Junction_t;
extern const TypeRef Via_t;
extern const TypeRef Capacitor_t;
extern const TypeRef Daughter_Board_t;
extern const TypeRef Daughter_Board_Socket_t;
extern const TypeRef Resistor_t;
extern const TypeRef Substrate_Conductor_t;
extern const TypeRef Substrate_Trace_t;
extern const TypeRef Substrate_Net_t;
extern const TypeRef CAD_Face_t;
extern const TypeRef CAD_Instance_t;
extern const TypeRef CAD_Solid_t;
extern const TypeRef Tarvex_EC_Solver_Project_t;

// Entity lists these entities are kept in.
extern const TypeRef Sensors_t;
extern const TypeRef Terminals_t;
extern const TypeRef Displacements_t;
extern const TypeRef Forces_t;
extern const TypeRef ElectricalBoundaries_t;
extern const TypeRef HTC_Boundaries_t;
extern const TypeRef Faces_t;
extern const TypeRef Subassemblies_t;
extern const TypeRef CAD_Faces_t;

// How an entity is shown; its colour is read and written through DisplayColour.h.
extern const TypeRef Display_Options_t;
extern const TypeRef Colour_t;
extern const TypeRef Hidden_t;
extern const TypeRef Transparency_t;
extern const TypeRef Render_Style_t;
extern const TypeRef Wireframe_t;
extern const TypeRef Solid_t;
extern const TypeRef Solid_Outlined_t;

// What a solid is, what it is made of and which solver takes it.
extern const TypeRef Installed_t;
extern const TypeRef Cooling_t;
extern const TypeRef Modelling_Detail_t;
extern const TypeRef Full_t;
extern const TypeRef Ignored_t;
extern const TypeRef MaterialLink_t;
extern const TypeRef Dielectric_Material_t;
extern const TypeRef Conductor_Material_t;
extern const TypeRef Solve_Using_t;
extern const TypeRef FEA_t;
extern const TypeRef CFD_t;
extern const TypeRef Unique_ID_t;
extern const TypeRef Solid_Definition_t;
extern const TypeRef CAD_File_t;

// Which analysis a boundary, sensor or terminal belongs to.
extern const TypeRef Analysis_Type_t;
extern const TypeRef None_t;
extern const TypeRef Static_t;
extern const TypeRef Transient_t;
extern const TypeRef Solid_Extraction_t;

// Heat sources.
extern const TypeRef Heat_t;
extern const TypeRef Heat_Option_t;
extern const TypeRef Total_Heat_t;
extern const TypeRef Fixed_Temperature_t;
extern const TypeRef Time_Dependent_Heat_Dissipation_t;
extern const TypeRef Geometry_t;
extern const TypeRef Size_From_Parent_t;

// Sensors, terminals, stress constraints and electrical boundaries.
extern const TypeRef Placement_t;
extern const TypeRef Point_t;
extern const TypeRef Average_t;
extern const TypeRef Boundary_Type_t;
extern const TypeRef Connection_t;
extern const TypeRef External_t;
extern const TypeRef TerminalLink_t;
extern const TypeRef Displacement_Type_t;
extern const TypeRef Distribution_Type_t;
extern const TypeRef Surface_t;
extern const TypeRef Use_X_t;
extern const TypeRef Use_Y_t;
extern const TypeRef Use_Z_t;
extern const TypeRef Dx_t;
extern const TypeRef Dy_t;
extern const TypeRef Dz_t;
extern const TypeRef Fx_t;
extern const TypeRef Fy_t;
extern const TypeRef Fz_t;
extern const TypeRef Enabled_t;
extern const TypeRef Electrical_Option_t;
extern const TypeRef Voltage_t;
extern const TypeRef Current_t;
extern const TypeRef Expression_t;

// Faces: the side of a cuboid they lie on, or the CAD face with its outward normal.
extern const TypeRef Side_t;
extern const TypeRef Left_t;
extern const TypeRef Right_t;
extern const TypeRef Front_t;
extern const TypeRef Back_t;
extern const TypeRef Rear_t;
extern const TypeRef IsOnCuboid_t;
extern const TypeRef FaceDefinition_t;
extern const TypeRef Normals_t;

// The studio control: analysis options of the solver project.
extern const TypeRef Simulation_Type_t;
extern const TypeRef Thermal_t;
extern const TypeRef Electric_t;
extern const TypeRef Warpage_and_Stress_t;
extern const TypeRef Transient_Type_t;
extern const TypeRef ET_Co_Simulation_t;
extern const TypeRef Evaluation_Temperature_t;
extern const TypeRef Enable_HTHH_t;
extern const TypeRef Evaluation_Humidity_Temperature_t;
extern const TypeRef Relative_Humidity_t;
extern const TypeRef Ambient_Relative_Humidity_t;
extern const TypeRef Enable_Default_CPU_Accelerator_t;
extern const TypeRef Enable_Distributed_Computing_t;

} // namespace EntityModel
