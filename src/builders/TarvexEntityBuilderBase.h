#pragma once

#include <tarvex/builders/TarvexPartPlacement.h>
#include <tarvex/host/Entity.h>
#include <tarvex/host/ProgressBaseObject.h>
#include <tarvex/host/Transform.h>
#include <tarvex/host/TransformMemo.h>
#include <tarvex/objects/TarvexPartVisitorConst.h>
#include <tarvex/objects/TarvexPlacedGeometry.h>

#include <QObject>

namespace Tarvex {

class TarvexEntityBuildState;
class TarvexPart;

/// The common base of the part-level builders: where the entities of one part go (below
/// `parentEntity`, placed relative to `placement`), the state shared by the builders of one
/// import, and the progress sink. Layers and layered parts stay for every builder to
/// handle itself.
class TarvexEntityBuilderBase : public QObject, public Log::ProgressBaseObject, public TarvexPartVisitorConst
{
    Q_OBJECT

public:
    /// A builder creating below `parentEntity` (may be null: then nothing can be built),
    /// with `placement` the host frame that positions are written relative to.
    TarvexEntityBuilderBase(EntityModel::Entity* parentEntity, const Geometry::Transform& placement,
                            TarvexEntityBuildState* sharedState, Tools::ToolProgress* progress);
    ~TarvexEntityBuilderBase() override;

    /// The sink this builder reports to (may be null).
    Tools::ToolProgress* getProgress() const override;

    /// Writes the rotation of `relative` (a part's frame in its owner's) as ordered ZYX
    /// angles in degrees.
    static void writeOrderedRotation(EntityModel::Entity* entity, const Geometry::Transform& relative);

protected:
    /// The entity below which this builder creates.
    EntityModel::Entity* getParentEntity() const { return parentEntity; }
    /// The host frame positions are relative to.
    const Geometry::Transform& getPlacement() const { return placement; }
    /// The state shared by the builders of one import (may be null).
    TarvexEntityBuildState* getSharedState() const { return sharedState; }

    /// `part` in host axes: the bound of its flattened placed geometry through `toHostFrame`
    /// (no solid: builders place entities by bound). May throw what the part's geometry throws.
    TarvexPlacedGeometry hostFrameOf(const TarvexPart& part);
    /// The low corner of `host`'s bound (a part in host axes), taken relative to `relativeTo`.
    Geometry::Vec3 lowCorner(const TarvexPlacedGeometry& host, const Geometry::Transform& relativeTo);
    /// Writes the low corner of `host`, relative to `relativeTo`, as the entity's origin
    /// (`Origin_Point_t`) and location.
    static void writeLocation(EntityModel::Entity* entity, const TarvexPlacedGeometry& host,
                              const Geometry::Transform& relativeTo);
    /// Writes the extents of `host`'s bound as `Width_t`, `Height_t` and `Depth_t`.
    static void writeExtents(EntityModel::Entity* entity, const TarvexPlacedGeometry& host);

private:
    EntityModel::Entity* parentEntity;
    Geometry::Transform placement;
    TarvexEntityBuildState* sharedState;
    Tools::ToolProgress* progress;
    // Parts are asked for in runs that share one frame (the joints of one component).
    Geometry::TransformMemo<HostFrameMaps> hostMaps;
    Geometry::TransformMemo<Geometry::Transform> inverses;
};

} // namespace Tarvex
