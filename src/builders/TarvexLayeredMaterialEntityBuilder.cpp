#include <tarvex/builders/TarvexLayeredMaterialEntityBuilder.h>

#include <tarvex/builders/TarvexMaterialEntityBuilder.h>
#include <tarvex/host/CompositeAttribute.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/maps/TarvexMaterialMapImporter.h>
#include <tarvex/objects/TarvexMaterialCMX.h>
#include <tarvex/objects/TarvexMaterialMap.h>
#include <tarvex/objects/TarvexMaterialSimple.h>

#include <algorithm>

namespace Tarvex {

using namespace EntityModel;

TarvexLayeredMaterialEntityBuilder::TarvexLayeredMaterialEntityBuilder(const TarvexLayerCellPlace& place,
                                                                       TarvexEntityBuildState* sharedState,
                                                                       Tools::ToolProgress* progress)
    : place(place), sharedState(sharedState), progress(progress)
{
}

TarvexLayeredMaterialEntityBuilder::~TarvexLayeredMaterialEntityBuilder() = default;

void TarvexLayeredMaterialEntityBuilder::visitMaterialSimple(const TarvexMaterialSimple& material)
{
    // The library keeps an entity of every material the file names, even one used only as
    // plain values: a user looking for it finds it there.
    TarvexMaterialEntityBuilder::materialEntityFor(material, place.entity, sharedState, progress);
    writeCellValues(material, nullptr);
}

void TarvexLayeredMaterialEntityBuilder::visitMaterialCMX(const TarvexMaterialCMX& material)
{
    Entity* entity = TarvexMaterialEntityBuilder::materialEntityFor(material, place.entity, sharedState, progress);
    if (!writeCellValues(material, entity) || !entity)
        return;
    const int index = listInLayer(entity);
    const int count = int(getLinkedEntities(place.entity, place.layer / Materials_t).size());
    // Fractions are percentages, as the material-map editor writes them.
    QVector<double> fractions(count, 0.0);
    if (index >= 0 && index < count)
        fractions[index] = 100.0;
    EntityEditor::setSIDoubleListValueNoThrow(place.entity, place.cell / Material_Fraction_t, fractions);
}

void TarvexLayeredMaterialEntityBuilder::visitMaterialMap(const TarvexMaterialMap& material)
{
    if (place.layerCellCount != 1) {
        fatalError(tr("Layout can only be applied to single cell layer"));
        return;
    }
    Entity* metal = material.getMetal() ? TarvexMaterialEntityBuilder::materialEntityFor(*material.getMetal(),
                                                                                         place.entity, sharedState, progress)
                                        : nullptr;
    Entity* dielectric = material.getDielectric()
                             ? TarvexMaterialEntityBuilder::materialEntityFor(*material.getDielectric(), place.entity,
                                                                              sharedState, progress)
                             : nullptr;
    if (!metal && !dielectric) {
        warning(tr("No Material attached to %1").arg(place.cellName));
        return;
    }
    const int metalIndex = metal ? listInLayer(metal) : -1;
    const int dielectricIndex = dielectric ? listInLayer(dielectric) : -1;
    const int count = int(getLinkedEntities(place.entity, place.layer / Materials_t).size());
    // Until the layout says otherwise the cell is metal where there is a metal.
    QVector<double> fractions(count, 0.0);
    fractions[metalIndex >= 0 ? metalIndex : dielectricIndex] = 100.0;
    EntityEditor::setSIDoubleListValueNoThrow(place.entity, place.cell / Material_Fraction_t, fractions);

    if (!metal || !dielectric || material.getLayoutFile().isEmpty())
        return;
    auto* layer = dynamic_cast<CompositeAttribute*>(place.entity->findAttribute(place.layer));
    TarvexMaterialMapImporter importer(progress);
    importer.setForcedMetal(material.getMetal()->getName().toStdString());
    importer.setForcedDielectric(material.getDielectric()->getName().toStdString());
    if (!layer || !importer.importFileInLayer(material.getLayoutFile(), layer))
        fatalError(tr("Failed to apply layer to ") + place.layerName);
}

bool TarvexLayeredMaterialEntityBuilder::writeCellValues(const TarvexMaterial& material, Entity* materialEntity)
{
    // The name makes the composite, which the material then fills; a cell whose place holds
    // something else cannot take a material.
    const AttributePath composite = place.cell / Material_t;
    EntityEditor::setValueNoThrow(place.entity, composite / Name_t, material.getName());
    Attribute* attribute = place.entity->findAttribute(composite);
    if (!attribute || !dynamic_cast<CompositeAttribute*>(attribute)) {
        fatalError(tr("Material Composite not found"));
        return false;
    }
    material.populateAttribute(attribute, materialEntity);
    return true;
}

int TarvexLayeredMaterialEntityBuilder::listInLayer(Entity* material)
{
    const AttributePath path = place.layer / Materials_t;
    std::vector<Entity*> listed = getLinkedEntities(place.entity, path);
    const auto found = std::find(listed.begin(), listed.end(), material);
    if (found != listed.end())
        return int(found - listed.begin());
    listed.push_back(material);
    if (!EntityEditor::setLinksNoThrow(place.entity, path, listed))
        return -1;
    return int(listed.size()) - 1;
}

} // namespace Tarvex
