#pragma once

#include <tarvex/host/TypeRef.h>

namespace EntityModel {

// Labels of the results a CFD solution leaves on a terminal or terminal group (label = name
// without "_t"). Each result is a value or, for a transient solution, a curve over time under
// the same label with "_Curve" appended. `Reference_Temperature_t`, `Heat_Transfer_Coefficient_t`
// and `Thermal_Resistance_t` are in TypeRef.h.

// Where results are kept: the entity's own, and one item per pin of its pin grid.
extern const TypeRef Simulation_Results_t;
extern const TypeRef Pin_Results_t;
extern const TypeRef Pin_Results_Summary_t;
extern const TypeRef Pins_t;

// Heat leaving and entering through a face, by mode.
extern const TypeRef Summary_t;
extern const TypeRef Heat_Fluxes_t;
extern const TypeRef Heat_Conduction_Out_t;
extern const TypeRef Heat_Conduction_Out_Curve_t;
extern const TypeRef Heat_Conduction_In_t;
extern const TypeRef Heat_Conduction_In_Curve_t;
extern const TypeRef Heat_Convection_Out_t;
extern const TypeRef Heat_Convection_Out_Curve_t;
extern const TypeRef Heat_Convection_In_t;
extern const TypeRef Heat_Convection_In_Curve_t;
extern const TypeRef Heat_Radiation_Out_t;
extern const TypeRef Heat_Radiation_Out_Curve_t;
extern const TypeRef Heat_Radiation_In_t;
extern const TypeRef Heat_Radiation_In_Curve_t;

// The heat-transfer summary of a face.
extern const TypeRef Heat_Transfer_Summary_t;
extern const TypeRef Surface_Temperature_t;
extern const TypeRef Surface_Temperature_Curve_t;
extern const TypeRef Reference_Temperature_Curve_t;
extern const TypeRef Heat_Transfer_Coefficient_Curve_t;
extern const TypeRef Thermal_Resistance_Curve_t;
extern const TypeRef Effective_Area_t;

} // namespace EntityModel
