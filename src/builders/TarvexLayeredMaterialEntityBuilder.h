#pragma once

#include <tarvex/host/AttributePath.h>
#include <tarvex/host/Entity.h>
#include <tarvex/host/ProgressBaseObject.h>
#include <tarvex/objects/TarvexMaterialVisitorConst.h>

#include <QObject>

namespace EntityModel {
class CompositeAttribute;
}

namespace Tarvex {

class TarvexEntityBuildState;
class TarvexMaterial;

/// Where one cell of a layered entity is written: the entity, the paths of the cell item and
/// of its layer item, and how many cells the layer has.
struct TarvexLayerCellPlace
{
    /// The entity holding the layered model.
    EntityModel::Entity* entity = nullptr;
    /// The layer item's path in the entity.
    EntityModel::AttributePath layer;
    /// The cell item's path in the entity.
    EntityModel::AttributePath cell;
    /// The cell's name, for messages.
    QString cellName;
    /// The layer's name, for messages.
    QString layerName;
    /// The number of cells of the layer.
    int layerCellCount = 0;
};

/// Writes the material of one cell of a layered entity: the values of a plain material,
/// the values and the library entity of a library material, or the metal and dielectric of a
/// material map with the fractions its layout file gives each cell.
class TarvexLayeredMaterialEntityBuilder : public QObject,
                                           public Log::ProgressBaseObject,
                                           public TarvexMaterialVisitorConst
{
    Q_OBJECT

public:
    /// A builder for the cell at `place`.
    TarvexLayeredMaterialEntityBuilder(const TarvexLayerCellPlace& place, TarvexEntityBuildState* sharedState,
                                       Tools::ToolProgress* progress);
    ~TarvexLayeredMaterialEntityBuilder() override;

    /// The sink given at construction.
    Tools::ToolProgress* getProgress() const override { return progress; }

    /// The material's values in the cell; its entity in the model's library, outside the layer.
    void visitMaterialSimple(const TarvexMaterialSimple& material) override;
    /// The material's values in the cell, its entity in the layer's materials, the cell wholly of it.
    void visitMaterialCMX(const TarvexMaterialCMX& material) override;
    /// The metal and dielectric in the layer's materials, and the layout applied to the layer.
    void visitMaterialMap(const TarvexMaterialMap& material) override;

private:
    bool writeCellValues(const TarvexMaterial& material, EntityModel::Entity* materialEntity);
    int listInLayer(EntityModel::Entity* material);

    TarvexLayerCellPlace place;
    TarvexEntityBuildState* sharedState;
    Tools::ToolProgress* progress;
};

} // namespace Tarvex
