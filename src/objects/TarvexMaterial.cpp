#include <tarvex/objects/TarvexMaterial.h>

#include <tarvex/host/Attribute.h>
#include <tarvex/host/Entity.h>
#include <tarvex/host/EntityEditor.h>

using namespace EntityModel;

namespace Tarvex {

// The concrete kinds override every operation; the defaults only keep materials made for
// other purposes (a name alone) usable.

TarvexMaterial::~TarvexMaterial() = default;

bool TarvexMaterial::needsMaterialEntity() const
{
    return false;
}

void TarvexMaterial::populateEntity(Entity*) const {}

void TarvexMaterial::populateAttribute(Attribute*, Entity*) const {}

void TarvexMaterial::accept(TarvexMaterialVisitorConst&) const {}

void TarvexMaterial::accept(TarvexMaterialVisitorConst& visitor)
{
    static_cast<const TarvexMaterial&>(*this).accept(visitor);
}

TarvexMaterial::AttributeTarget TarvexMaterial::locate(const Attribute* attribute)
{
    AttributeTarget target;
    if (!attribute)
        return target;
    if (attribute->getKind() == Attribute::Kind::Entity) {
        target.entity = static_cast<Entity*>(const_cast<Attribute*>(attribute));
        return target;
    }
    // The labels up to the nearest entity are the path the editor needs.
    AttributePath path;
    const Attribute* up = attribute;
    while (up && up->getKind() != Attribute::Kind::Entity) {
        path = AttributePath(up->getType()) / path;
        up = up->getParent();
    }
    if (!up)
        return target;
    target.entity = static_cast<Entity*>(const_cast<Attribute*>(up));
    target.path = path;
    return target;
}

void TarvexMaterial::writeValues(const AttributeTarget& target, double density, double specificHeat,
                                 const Geometry::Vec3& hostConductivity, double emissivity)
{
    if (!target.entity)
        return;
    const AttributePath& base = target.path;
    EntityEditor::setSIValueNoThrow(target.entity, base / (Density_t / Value_t), density);
    EntityEditor::setSIValueNoThrow(target.entity, base / (Specific_Heat_t / Value_t), specificHeat);
    EntityEditor::setSIValueNoThrow(target.entity, base / (Conductivity_t / K1_t), hostConductivity.x);
    EntityEditor::setSIValueNoThrow(target.entity, base / (Conductivity_t / K2_t), hostConductivity.y);
    EntityEditor::setSIValueNoThrow(target.entity, base / (Conductivity_t / K3_t), hostConductivity.z);
    EntityEditor::setSIValueNoThrow(target.entity, base / (Emissivity_t / Value_t), emissivity);
}

} // namespace Tarvex
