#include <tarvex/objects/TarvexMaterialSimple.h>

#include <tarvex/host/Entity.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/MaterialAttributes.h>
#include <tarvex/objects/TarvexCoordinateFrames.h>
#include <tarvex/objects/TarvexMaterialVisitorConst.h>

#include <cmath>

using namespace EntityModel;

namespace Tarvex {

TarvexMaterialSimple::TarvexMaterialSimple(const QString& materialName, double materialDensity,
                                           double materialSpecificHeat, double materialConductivity,
                                           double materialEmissivity)
    : name(materialName),
      density(materialDensity),
      specificHeat(materialSpecificHeat),
      conductivity(materialConductivity, materialConductivity, materialConductivity),
      orthotropic(false),
      emissivity(materialEmissivity)
{
}

TarvexMaterialSimple::TarvexMaterialSimple(const QString& materialName, double materialDensity,
                                           double materialSpecificHeat, const Geometry::Vec3& materialConductivity,
                                           double materialEmissivity)
    : name(materialName),
      density(materialDensity),
      specificHeat(materialSpecificHeat),
      conductivity(materialConductivity),
      orthotropic(true),
      emissivity(materialEmissivity)
{
}

TarvexMaterialSimple::~TarvexMaterialSimple() = default;

QString TarvexMaterialSimple::getName() const
{
    return name;
}

bool TarvexMaterialSimple::needsMaterialEntity() const
{
    return false;
}

Geometry::Vec3 TarvexMaterialSimple::getHostConductivity() const
{
    if (!orthotropic)
        return conductivity;
    // The rotation swaps y and z and turns one of them negative; a conductivity has no sign.
    const Geometry::Vec3 turned = interchangeToHostRotation().transformVector(conductivity);
    return Geometry::Vec3(std::abs(turned.x), std::abs(turned.y), std::abs(turned.z));
}

void TarvexMaterialSimple::populateEntity(Entity* entity) const
{
    if (!entity)
        return;
    EntityEditor::setValueNoThrow(entity, Name_t, name);
    EntityEditor::setSIValueNoThrow(entity, MaterialAttributes::valueOf(MaterialAttributes::density()), density);
    EntityEditor::setValueNoThrow(entity, MaterialAttributes::specificHeat() / Option_t, Constant_t.getLabel());
    EntityEditor::setSIValueNoThrow(entity, MaterialAttributes::valueOf(MaterialAttributes::specificHeat()),
                                    specificHeat);

    // The type goes to orthotropic first so that the host shows K1 to K3 whichever type
    // follows.
    const AttributePath conductivityNode = MaterialAttributes::conductivity();
    const AttributePath type = conductivityNode / Type_t;
    EntityEditor::setValueNoThrow(entity, type, Orthotropic_t.getLabel());
    const Geometry::Vec3 host = getHostConductivity();
    if (orthotropic) {
        EntityEditor::setValueNoThrow(entity, type, Orthotropic_t);
    } else {
        EntityEditor::setValueNoThrow(entity, type, Isotropic_t);
        EntityEditor::setSIValueNoThrow(entity, conductivityNode / Value_t, conductivity.x);
    }
    EntityEditor::setSIValueNoThrow(entity, conductivityNode / K1_t, host.x);
    EntityEditor::setSIValueNoThrow(entity, conductivityNode / K2_t, host.y);
    EntityEditor::setSIValueNoThrow(entity, conductivityNode / K3_t, host.z);

    EntityEditor::setSIValueNoThrow(entity, MaterialAttributes::valueOf(MaterialAttributes::emissivity()), emissivity);
}

void TarvexMaterialSimple::populateAttribute(Attribute* attribute, Entity*) const
{
    writeValues(locate(attribute), density, specificHeat, getHostConductivity(), emissivity);
}

void TarvexMaterialSimple::accept(TarvexMaterialVisitorConst& visitor) const
{
    visitor.visitMaterialSimple(*this);
}

void TarvexMaterialSimple::accept(TarvexMaterialVisitorConst& visitor)
{
    visitor.visitMaterialSimple(*this);
}

} // namespace Tarvex
