#pragma once

#include <tarvex/builders/TarvexAddressTable.h>
#include <tarvex/builders/TarvexReuseMap.h>
#include <tarvex/host/Entity.h>
#include <tarvex/host/ProgressBaseObject.h>
#include <tarvex/host/ToolProgress.h>
#include <tarvex/host/Transform.h>
#include <tarvex/objects/TarvexObject.h>
#include <tarvex/objects/TarvexObjectVisitorConst.h>

#include <QObject>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace Tarvex {

class TarvexEntityBuildState;

/// The top-level entities an entity build made or reused.
struct TarvexBuiltEntities
{
    /// Entities created by this build.
    std::vector<EntityModel::Entity*> newEntities;
    /// Entities of an earlier import that this build reused.
    std::vector<EntityModel::Entity*> updatedEntities;
};

/// Creates the host entities of an object tree below `rootEntity`, reusing the entities of
/// `existing` that match by key (those leave the map). With `progress`, the total of the
/// current step is the number of nodes and each built node advances it by one. With
/// `placeReused`, reused entities are placed where the file puts them, like new ones, instead
/// of staying where they were (the caller places them all afterwards).
TarvexBuiltEntities buildEntities(const std::vector<std::unique_ptr<TarvexObject>>& objects,
                                  EntityModel::Entity* rootEntity, TarvexReuseMap& existing,
                                  Tools::ToolProgress* progress, bool placeReused = false);

/// Walks the nesting tree and builds each node's entity below the entity of its parent
/// node: boards through the layered builder, every other part through the component
/// builder, each placed in the host frame of its parent.
class TarvexEntityBuilder : public QObject, public Log::ProgressBaseObject, public TarvexObjectVisitorConst
{
    Q_OBJECT

public:
    /// A builder creating top-level objects below `rootEntity`, with the state shared by
    /// the part builders of one import, reporting to `progress` (may be null).
    TarvexEntityBuilder(EntityModel::Entity* rootEntity, TarvexEntityBuildState* sharedState,
                        Tools::ToolProgress* progress);
    ~TarvexEntityBuilder() override;

    /// Builds the entity of `node` below its parent node's entity; a parent without one is
    /// reported as "Parent Not Found for <name>" and `node` gets nothing.
    void visit(const TarvexObject& node) override;

    /// The entity built for `node`, or null.
    EntityModel::Entity* getCreatedEntity(const TarvexObject* node) const;
    /// Makes room for the records of `nodes` nodes, so that a large tree fills its tables once.
    void reserve(std::size_t nodes);
    /// The sink this builder reports to (may be null).
    Tools::ToolProgress* getProgress() const override;

protected:
    /// Builds the entity of `node`'s part below `target`, placed relative to `frame`, and
    /// records it: boards through the layered builder, other parts through the component builder.
    virtual void build(const TarvexObject& node, EntityModel::Entity* target, const Geometry::Transform& frame);
    /// Records `entity` as what `node` became; its children's frame is composed with `frame`.
    void record(const TarvexObject& node, EntityModel::Entity* entity, const Geometry::Transform& frame);
    /// Records `entity`, whose host frame is `entityFrame`, as what `node` became: its
    /// children's frame is composed with `hostPlacementOf(node).inverse() * entityFrame`,
    /// worked out when a child first asks for it (most nodes, balls, have no children).
    void recordPlaced(const TarvexObject& node, EntityModel::Entity* entity, const Geometry::Transform& entityFrame);
    /// The host placement of `node`'s part (identity without a part), worked out once.
    const Geometry::Transform& hostPlacementOf(const TarvexObject& node);
    /// The entity top-level objects are built below.
    EntityModel::Entity* getRootEntity() const { return rootEntity; }
    /// The state shared by the part builders.
    TarvexEntityBuildState* getSharedState() const { return sharedState; }

private:
    /// What a node became: its entity, and (in `frames`) the transform its children's frame
    /// is composed with; until `composed`, the entity's host frame that transform comes from.
    struct Created
    {
        EntityModel::Entity* entity = nullptr;
        std::uint32_t frame = 0;
        bool composed = true;
    };
    void store(const TarvexObject& node, EntityModel::Entity* entity, const Geometry::Transform& frame,
               bool composed);
    const Geometry::Transform& childFrameOf(const TarvexObject& node);

    EntityModel::Entity* rootEntity;
    TarvexAddressTable<Created> created;
    std::vector<Geometry::Transform> frames;
    int count = 0;
    TarvexEntityBuildState* sharedState;
    Tools::ToolProgress* progress;
    // For each built entity, its record that comes first in key order (looked up per node).
    TarvexAddressTable<const TarvexObject*> firstRecordOf;
    // Host placements of parent parts, worked out once however many children they have.
    std::unordered_map<const TarvexObject*, Geometry::Transform> hostPlacements;
};

} // namespace Tarvex
