#pragma once

#include <tarvex/builders/TarvexEntityBuilderBase.h>

#include <vector>

namespace Tarvex {

class TarvexBasicPart;
class TarvexPartBaseWithPowerSources;

/// Builds the host entity of a layered part (a board, or a package or other part given as
/// layers): one entity below the parent, got or created by key, holding the layered model:
/// its layers bottom-up, each with its thickness, elevation, cells (outline, extents,
/// power, material) and the materials the cells share; then its holes and heat sources.
/// An update reuses the entity of an earlier import and keeps where it was moved to.
class TarvexLayeredEntityBuilder : public TarvexEntityBuilderBase
{
    Q_OBJECT

public:
    /// Builds `part` below `parentEntity`, positioned relative to `placement`; returns the
    /// entity, or null when none could be made, and sets `frame` (when given) to the entity's
    /// host frame. Throws std::runtime_error "Unable to find a suitable parent for <type>"
    /// when the host gives an entity without owner.
    static EntityModel::Entity* buildLayered(const TarvexPart& part, EntityModel::Entity* parentEntity,
                                             const Geometry::Transform& placement,
                                             TarvexEntityBuildState* sharedState, Tools::ToolProgress* progress,
                                             Geometry::Transform* frame = nullptr);

    /// A builder creating below `parentEntity`; it fills `entity` when one is given,
    /// otherwise it makes its own on first use.
    TarvexLayeredEntityBuilder(EntityModel::Entity* parentEntity, const Geometry::Transform& placement,
                               TarvexEntityBuildState* sharedState, Tools::ToolProgress* progress,
                               EntityModel::Entity* entity = nullptr);
    ~TarvexLayeredEntityBuilder() override;

    /// The entity that receives the layered part; null before one was made.
    EntityModel::Entity* getEntity() const { return entity; }
    /// The host frame of the entity (its low corner), valid once it was made.
    const Geometry::Transform& getEntityFrame() const { return entityFrame; }

    /// False: layers and cells belong to the layered entity itself.
    bool visitChildren(const TarvexPart& part) override;
    /// A board or package of the older layout made of blocks: one layer per block.
    bool visitComposite(const TarvexCompositeGeometryObject& composite) override;
    /// The layered part with its layers, holes and heat sources.
    bool visitLayeredPart(const TarvexLayeredPart& part) override;
    /// A board of the older layout given as one block: one layer of one cell.
    bool visitBasicPart(const TarvexBasicPart& part) override;
    /// Nothing: layers are handled with their layered part.
    bool visitLayer(const TarvexLayeredPartLayer& layer) override;

private:
    struct Layer;
    bool build(const TarvexPart& part, const std::vector<Layer>& layers,
               const TarvexPartBaseWithPowerSources* sourcesOf);
    bool placeEntity(const TarvexPart& part, const TarvexPlacedGeometry& host);
    static Geometry::Bound stackBound(const std::vector<Layer>& layers);
    void writeShape(const TarvexPart& part, const TarvexPlacedGeometry& stack);
    void fillLayer(const Layer& layer, const EntityModel::AttributePath& item);
    void fillCell(const TarvexBasicPart& cell, const TarvexPlacedGeometry& host, const Layer& layer,
                  const EntityModel::AttributePath& layerItem, const EntityModel::AttributePath& item);

    EntityModel::Entity* entity;
    Geometry::Transform entityFrame;
};

} // namespace Tarvex
