#include "host/TypeCatalogue.h"

#include "host/SolverTypes.h"

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

} // namespace EntityModel
