#pragma once

#include <tarvex/builders/TarvexEntityBuilderBase.h>
#include <tarvex/host/AttributePath.h>

#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace Tarvex {

class TarvexBasicPart;
class TarvexMaterial;
class TarvexSolderJoint;

/// The entity a part became, with the host frame it was placed with: the entities of the
/// nodes below it are placed relative to that frame.
struct TarvexBuiltComponent
{
    /// The part's entity; null when none was made.
    EntityModel::Entity* entity = nullptr;
    /// The host frame of the part's entity.
    Geometry::Transform transform;
};

/// Builds the host entities of every part that is not a board: a part of its own becomes a
/// `Component_t` (by reference designator), a block inside another part a
/// `Solid_Obstruction_t` (by name), a heat sink or a composite inside a part a group, and
/// solder balls and bumps `Bump_t` entities in a "Solder Balls" or "Solder Bumps" group.
/// Entities are got or created by key, so an update reuses those of an earlier import.
class TarvexComponentEntityBuilder : public TarvexEntityBuilderBase
{
    Q_OBJECT

public:
    /// Builds `part` (and the parts it is made of) below `parentEntity`, positioned
    /// relative to `placement`; returns the part's entity and its host frame.
    static TarvexBuiltComponent buildComponent(const TarvexPart& part, EntityModel::Entity* parentEntity,
                                               const Geometry::Transform& placement,
                                               TarvexEntityBuildState* sharedState, Tools::ToolProgress* progress);

    /// A builder creating below `parentEntity`, positioned relative to `placement`.
    TarvexComponentEntityBuilder(EntityModel::Entity* parentEntity, const Geometry::Transform& placement,
                                 TarvexEntityBuildState* sharedState, Tools::ToolProgress* progress);
    ~TarvexComponentEntityBuilder() override;

    /// The entity made for `part` (the last one when several were), or null: what the
    /// part's own parts go into.
    EntityModel::Entity* getEntity(const TarvexPart& part) const;
    /// The first entity made for `part` (its component, when it became one), or null.
    EntityModel::Entity* getComponent(const TarvexPart& part) const;

    /// True when `part` got an entity that is not a substrate: its children go inside it.
    bool visitChildren(const TarvexPart& part) override;
    /// A bump in the "Solder Bumps" group of its owner.
    bool visitSolderBump(const TarvexSolderBump& bump) override;
    /// A ball in the "Solder Balls" group of its owner.
    bool visitSolderBall(const TarvexSolderBall& ball) override;
    /// A component (a part of its own) or a group (a heat sink, or a composite inside a part).
    bool visitComposite(const TarvexCompositeGeometryObject& composite) override;
    /// Nothing: a layer's cells go into the entity of its layered part.
    bool visitLayer(const TarvexLayeredPartLayer& layer) override;
    /// A component (a part of its own) or a layered entity inside its owner.
    bool visitLayeredPart(const TarvexLayeredPart& part) override;
    /// A component (a part of its own) or a block inside its owner.
    bool visitBasicPart(const TarvexBasicPart& part) override;
    /// A two-resistor compact model: a component of its own with its resistances and power.
    bool visitBasic2RPart(const TarvexBasic2RPart& part) override;

private:
    EntityModel::Entity* obtainEntity(const TarvexPart& part, const EntityModel::AttributePath& keyAttribute,
                                      const QString& keyValue, const EntityModel::AttributePath& list,
                                      const EntityModel::TypeRef& type, EntityModel::Entity* parent);
    EntityModel::Entity* createComponent(const TarvexPart& part);
    void writeComponentPlacement(EntityModel::Entity* component, const TarvexPlacedGeometry& host);
    bool createBlock(const TarvexBasicPart& part, EntityModel::Entity* owner);
    bool createGroup(const TarvexPart& part);
    bool createSolderJoint(const TarvexSolderJoint& joint, const QString& groupName);
    void buildSources(const TarvexPart& part, EntityModel::Entity* entity, const Geometry::Transform& frame);
    void linkMaterial(EntityModel::Entity* entity, const TarvexMaterial* material);
    static void placeByType(EntityModel::Entity* block, const QString& interchangeType);
    static void placeAmongSiblings(EntityModel::Entity* entity, const QString& interchangeType);
    EntityModel::Entity* ownerOf(const TarvexPart& part) const;
    const TarvexPlacedGeometry& hostFrame(const TarvexPart& part);
    Geometry::Transform parentPlacementOf(const TarvexPart& part);
    Geometry::Transform blockPlacementOf(const TarvexPart& part);

    // Per part, the first and the last entity made for it; the last is the part's entity.
    struct PartEntities
    {
        EntityModel::Entity* first = nullptr;
        EntityModel::Entity* last = nullptr;
    };
    void addEntity(const TarvexPart& part, EntityModel::Entity* entity);

    std::unordered_map<const TarvexPart*, PartEntities> partEntities;
    // Host frames already worked out: parents are asked for once per child.
    std::unordered_map<const TarvexPart*, TarvexPlacedGeometry> hostFrames;
    // Packages holding nothing but a compact model: they build no entity of their own.
    std::unordered_set<const TarvexPart*> compactWrappers;
};

} // namespace Tarvex
