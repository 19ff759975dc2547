#include "objects/TarvexMaterialCMX.h"

#include "host/Entity.h"
#include "host/EntityEditor.h"
#include "model3d/TarvexMaterialImporter.h"
#include "objects/TarvexMaterialVisitorConst.h"

using namespace EntityModel;

namespace Tarvex {

TarvexMaterialCMX::TarvexMaterialCMX(const Tarvex3D::Tarvex3DMaterial& libraryMaterial)
    : material(libraryMaterial)
{
}

TarvexMaterialCMX::~TarvexMaterialCMX() = default;

QString TarvexMaterialCMX::getName() const
{
    return material.getName();
}

bool TarvexMaterialCMX::needsMaterialEntity() const
{
    return true;
}

void TarvexMaterialCMX::populateEntity(Entity* entity) const
{
    if (!entity)
        return;
    // The importer reports nothing here: the caller decides what a missing property means.
    Tarvex3D::TarvexMaterialImporter importer(nullptr);
    importer.populateEntityMaterial(material, entity);
}

void TarvexMaterialCMX::populateAttribute(Attribute* attribute, Entity* materialEntity) const
{
    const AttributeTarget target = locate(attribute);
    if (!target.entity)
        return;
    if (materialEntity) {
        EntityEditor::setLinksNoThrow(target.entity, target.path / AttributePath(TypeRef("TarvexMaterial")),
                                      {materialEntity});
    }
    // Curves are sampled at 0 (clamped to their lowest temperature); one-point curves give 0.
    const double conductivity = material.getThermalConductivity().getValue(0.0);
    writeValues(target, material.getDensity().getValue(0.0), material.getSpecificHeat().getValue(0.0),
                Geometry::Vec3(conductivity, conductivity, conductivity), material.getEmissivity().getValue(0.0));
}

void TarvexMaterialCMX::accept(TarvexMaterialVisitorConst& visitor) const
{
    visitor.visitMaterialCMX(*this);
}

void TarvexMaterialCMX::accept(TarvexMaterialVisitorConst& visitor)
{
    visitor.visitMaterialCMX(*this);
}

} // namespace Tarvex
