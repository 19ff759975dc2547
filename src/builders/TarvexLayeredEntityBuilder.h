#pragma once

#include "builders/TarvexEntityBuilderBase.h"

namespace Tarvex {

/// Builds the host entity of a layered part (a board, or a package or die given as layers):
/// one entity below the parent, got or created by key, so that an update reuses the entity
/// of an earlier import and keeps where it was moved to.
class TarvexLayeredEntityBuilder : public TarvexEntityBuilderBase
{
    Q_OBJECT

public:
    /// Builds `part` below `parentEntity`, positioned relative to `placement`; returns the
    /// entity, or null when none could be made. Throws std::runtime_error "Unable to find a
    /// suitable parent for <type>" when the host gives an entity without owner.
    static EntityModel::Entity* buildLayered(const TarvexPart& part, EntityModel::Entity* parentEntity,
                                             const Geometry::Transform& placement,
                                             TarvexEntityBuildState* sharedState);

    /// A builder creating below `parentEntity`; it fills `entity` when one is given,
    /// otherwise it makes its own on first use.
    TarvexLayeredEntityBuilder(EntityModel::Entity* parentEntity, const Geometry::Transform& placement,
                               TarvexEntityBuildState* sharedState, Tools::ToolProgress* progress,
                               EntityModel::Entity* entity = nullptr);
    ~TarvexLayeredEntityBuilder() override;

    /// The entity that receives the layered part; null before one was made.
    EntityModel::Entity* getEntity() const { return entity; }

    /// False: layers and cells belong to the layered entity itself.
    bool visitChildren(const TarvexPart& part) override;
    /// Places the entity of a package or board made of parts.
    bool visitComposite(const TarvexCompositeGeometryObject& composite) override;
    /// Places the entity of the layered part.
    bool visitLayeredPart(const TarvexLayeredPart& part) override;
    /// Places the entity of a board given as one block.
    bool visitBasicPart(const TarvexBasicPart& part) override;
    /// Nothing: layers are handled with their layered part.
    bool visitLayer(const TarvexLayeredPartLayer& layer) override;

private:
    bool placeEntity(const TarvexPart& part);

    EntityModel::Entity* entity;
};

} // namespace Tarvex
