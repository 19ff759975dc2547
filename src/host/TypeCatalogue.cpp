#include <tarvex/host/TypeCatalogue.h>

#include <tarvex/host/SolverTypes.h>

#include <QHash>

namespace EntityModel {

AttributePath TypeCatalogue::listFor(const TypeRef& ownerType, const TypeRef& childType)
{
    (void)ownerType; // every owner keeps a type in the same list in this model
    static const QHash<QString, QString> lists{
        {Component_t.getLabel(), Components_t.getLabel()},
        {Subassembly_t.getLabel(), QStringLiteral("Subassemblies")},
        {Subcomponent_Group_t.getLabel(), QStringLiteral("SubcomponentGroups")},
        {Solid_Obstruction_t.getLabel(), Obstructions_t.getLabel()},
        {Perforated_Obstruction_t.getLabel(), Obstructions_t.getLabel()},
        {Porous_Obstruction_t.getLabel(), Obstructions_t.getLabel()},
        {Group_Obstruction_t.getLabel(), Obstructions_t.getLabel()},
        {Obstruction_Hole_t.getLabel(), Obstructions_t.getLabel()},
        {Substrate_t.getLabel(), Obstructions_t.getLabel()},
        {Heat_Source_t.getLabel(), QStringLiteral("Heat_Sources")},
        // Blocks, components, boards and groups keep their terminals and terminal groups alike.
        {Terminal_t.getLabel(), Terminals_t.getLabel()},
        {Terminal_Group_t.getLabel(), Terminals_t.getLabel()},
        {Material_t.getLabel(), Materials_t.getLabel()},
    };
    return AttributePath(TypeRef(lists.value(childType.getLabel(), Objects_t.getLabel())));
}

bool TypeCatalogue::isEntityType(const TypeRef& type)
{
    static const QList<TypeRef> types{
        Project_t, Chassis_t, Solution_Control_t, Tarvex_Studio_Control_t, PCB_t, Component_t, Subassembly_t,
        Subcomponent_Group_t, Solid_Obstruction_t, Perforated_Obstruction_t, Porous_Obstruction_t,
        Group_Obstruction_t, Obstruction_Hole_t, Terminal_t, Terminal_Group_t, Heat_Source_t, Substrate_t,
        Material_t, Material_Library_t, PCB_Hole_t, Substrate_Hole_t, Bump_t, Power_Map_t, HTC_Boundary_t, Face_t,
        Sensor_t, Electrical_Boundary_t, Conductor_Layer_t, Dielectric_Layer_t, PCB_Conductor_t, PCB_Pad_t, Net_t,
        Trace_t, Trace_Segment_t, Trace_Junction_t, Via_t, Capacitor_t, Daughter_Board_t, Daughter_Board_Socket_t,
        Resistor_t, Substrate_Conductor_t, Substrate_Trace_t, Substrate_Net_t, CAD_Face_t, CAD_Instance_t,
        CAD_Solid_t, Tarvex_EC_Solver_Project_t, Force_t, Displacement_t,
    };
    return types.contains(type);
}

QList<TypeRef> TypeCatalogue::choicesFor(const TypeRef& attribute)
{
    static const QHash<TypeRef, QList<TypeRef>> choices{
        {Side_t, {Top_t, Bottom_t, Left_t, Right_t, Front_t, Rear_t, Back_t}},
        {Include_Conduction_t, {Yes_t, No_t}},
        {Export_Type_t, {Lump_t, Separate_t}},
    };
    return choices.value(attribute);
}

} // namespace EntityModel
