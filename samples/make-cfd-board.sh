#!/bin/sh
# Makes the sample samples/cfd-board.json with the tool's own editing commands: a board with
# one component U1 whose top carries a group of one terminal of two pins and a lumped group
# of two terminals, with the results a CFD solution would have left on them.
# Usage: samples/make-cfd-board.sh TARVEX [MODEL.json]   (TARVEX: the built tarvex tool)
set -eu
tarvex=${1:?usage: make-cfd-board.sh TARVEX [MODEL.json]}
model=${2:-$(dirname "$0")/cfd-board.json}
rm -f "$model"
run() { "$tarvex" "$@" >/dev/null; }

run add "$model" PCB Board --parent '#2' Width=100mm Thickness=1.6mm Depth=80mm \
    X_Location=10mm Y_Location=20mm Z_Location=30mm
run add "$model" Component U1 --parent Board Width=10mm Height=2mm Depth=10mm \
    X_Location=20mm Y_Location=1.6mm Z_Location=30mm

# A group exported terminal by terminal, through which heat also conducts.
run add "$model" Terminal_Group Signals --parent U1 Export_Options/Export_Type=Separate Include_Conduction=Yes
run add "$model" Terminal T1 --parent Signals Side=Top Width=4mm Depth=2mm Offset_1=1mm Offset_2=3mm
results=Simulation_Results
pins=$results/Pin_Results/Pin_Results_Summary/Pins
run set "$model" T1 $results/Pin_Results/Pin_Layout/N_1=2 $results/Pin_Results/Pin_Layout/N_2=1 \
    $results/Summary/Heat_Fluxes/Heat_Convection_Out=3.25 $results/Summary/Heat_Fluxes/Heat_Conduction_Out=1.5 \
    $results/Summary/Heat_Fluxes/Heat_Radiation_Out=0.5 \
    "$results/Heat_Transfer_Summary/Surface_Temperature=77 C" "$results/Heat_Transfer_Summary/Reference_Temperature=25 C"
run set "$model" T1 $pins/0000000000/Name=P1 "$pins/0000000000/Placement/Pin Offset 1=1mm" \
    "$pins/0000000000/Placement/Pin Offset 2=1mm" \
    $pins/0000000000/Summary/Heat_Fluxes/Heat_Convection_Out=2 $pins/0000000000/Summary/Heat_Fluxes/Heat_Conduction_Out=1 \
    $pins/0000000000/Summary/Heat_Fluxes/Heat_Radiation_Out_Curve=0:0.2,60:0.5 \
    $pins/0000000000/Heat_Transfer_Summary/Thermal_Resistance=12.5 \
    $pins/0000000000/Heat_Transfer_Summary/Heat_Transfer_Coefficient=25 \
    "$pins/0000000000/Heat_Transfer_Summary/Surface_Temperature=85 C" \
    "$pins/0000000000/Heat_Transfer_Summary/Reference_Temperature=25 C" \
    "$pins/0000000000/Heat_Transfer_Summary/Effective_Area=4 mm^2"
run set "$model" T1 $pins/0000000001/Name=P2 "$pins/0000000001/Placement/Pin Offset 1=3mm" \
    "$pins/0000000001/Placement/Pin Offset 2=1mm" \
    $pins/0000000001/Summary/Heat_Fluxes/Heat_Convection_Out_Curve=0:1,60:1.25 \
    $pins/0000000001/Summary/Heat_Fluxes/Heat_Convection_In=0.25 $pins/0000000001/Summary/Heat_Fluxes/Heat_Conduction_Out=0.5 \
    $pins/0000000001/Heat_Transfer_Summary/Thermal_Resistance_Curve=0:9,60:8 \
    "$pins/0000000001/Heat_Transfer_Summary/Surface_Temperature=70 C" \
    "$pins/0000000001/Heat_Transfer_Summary/Reference_Temperature=25 C" \
    "$pins/0000000001/Heat_Transfer_Summary/Effective_Area=4 mm^2"

# A group written as one terminal of one pin, with the group's own results.
run add "$model" Terminal_Group Ground --parent U1 Export_Options/Export_Type=Lump Include_Conduction=No \
    $results/Summary/Heat_Fluxes/Heat_Convection_Out=0.8 $results/Summary/Heat_Fluxes/Heat_Conduction_Out=0.3 \
    "$results/Heat_Transfer_Summary/Surface_Temperature=65 C" "$results/Heat_Transfer_Summary/Reference_Temperature=25 C" \
    "$results/Heat_Transfer_Summary/Effective_Area=8 mm^2"
run add "$model" Terminal G1 --parent Ground Side=Top Width=2mm Depth=2mm Offset_1=6mm Offset_2=6mm
run add "$model" Terminal G2 --parent Ground Side=Top Width=2mm Depth=2mm Offset_1=6mm Offset_2=8mm
