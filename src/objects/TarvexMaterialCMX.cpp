#include <tarvex/objects/TarvexMaterialCMX.h>

#include <tarvex/host/Entity.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/model3d/TarvexMaterialImporter.h>
#include <tarvex/objects/TarvexMaterialVisitorConst.h>

using namespace EntityModel;

namespace Tarvex {

namespace {

// A curve sampled at 0 (clamped to its lowest temperature). Interpolation needs two points,
// but a library material given by one row is a constant, and a cell of that material must
// not be left with nothing: a single point gives its own value.
double valueAtZero(const Tarvex3D::Tarvex3DCurveProperties& curve)
{
    const auto& points = curve.getCurveData();
    return points.size() == 1 ? points.front().second : curve.getValue(0.0);
}

} // namespace

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
    const double conductivity = valueAtZero(material.getThermalConductivity());
    writeValues(target, valueAtZero(material.getDensity()), valueAtZero(material.getSpecificHeat()),
                Geometry::Vec3(conductivity, conductivity, conductivity), valueAtZero(material.getEmissivity()));
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
