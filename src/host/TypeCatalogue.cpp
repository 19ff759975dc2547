#include "host/TypeCatalogue.h"

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
        {Terminal_t.getLabel(), QStringLiteral("Terminals")},
        {Terminal_Group_t.getLabel(), QStringLiteral("Terminals")},
        {Material_t.getLabel(), Materials_t.getLabel()},
    };
    return AttributePath(TypeRef(lists.value(childType.getLabel(), Objects_t.getLabel())));
}

} // namespace EntityModel
