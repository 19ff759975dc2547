#pragma once

#include <tarvex/host/Bound.h>
#include <tarvex/host/Entity.h>
#include <tarvex/host/ProgressBaseObject.h>
#include <tarvex/host/Transform.h>
#include <tarvex/objects/TarvexPlacedGeometry.h>
#include <tarvex/objects/TarvexPowerSourceVisitorConst.h>

#include <QObject>

#include <memory>
#include <vector>

namespace Tarvex {

class TarvexEntityBuildState;
class TarvexPowerSource;

/// Turns the power sources of a part into thin `Heat_Source_t` entities lying on the part's
/// top face (sources facing up) or bottom face (facing down), below the entity that
/// received the part. Power map files go to the power-map importer; older line-format maps
/// are read here and become one heat source per powered rectangle.
class TarvexPowerEntityBuilder : public QObject, public Log::ProgressBaseObject, public TarvexPowerSourceVisitorConst
{
    Q_OBJECT

public:
    /// Builds `sources`, in order, below `receiver`, whose host frame is `receiverPlacement`
    /// (heat-source locations are relative to it), on the faces of `faces`: the bound, in
    /// the file's axes, of the part that carries them.
    static void buildPowerSources(const std::vector<std::shared_ptr<TarvexPowerSource>>& sources,
                                  const Geometry::Bound& faces, EntityModel::Entity* receiver,
                                  const Geometry::Transform& receiverPlacement, TarvexEntityBuildState* sharedState,
                                  Tools::ToolProgress* progress);

    /// Writes `heatSource` as a thin source with a place and size of its own: the bound of
    /// `host` (a part in host axes), its low corner taken relative to the host frame
    /// `relativeTo`, unturned.
    static void placeThinSource(EntityModel::Entity* heatSource, const TarvexPlacedGeometry& host,
                                const Geometry::Transform& relativeTo);
    /// Writes `power` (W) as the power of `heatSource`, the same at every temperature.
    static void writeConstantPower(EntityModel::Entity* heatSource, double power);

    /// A builder for sources on the faces of `faces`, placed below `receiver`.
    TarvexPowerEntityBuilder(const Geometry::Bound& faces, EntityModel::Entity* receiver,
                             const Geometry::Transform& receiverPlacement, TarvexEntityBuildState* sharedState,
                             Tools::ToolProgress* progress);
    ~TarvexPowerEntityBuilder() override;

    /// The sink given at construction.
    Tools::ToolProgress* getProgress() const override { return progress; }

    /// One heat source per powered rectangle of the older map file.
    void visitLegacyPowerMap(const TarvexPowerSourceLegacyPowerMap& source) override;
    /// One heat source holding the map file's maps, or the source's power without one.
    void visitPowerMap(const TarvexPowerSourcePowerMap& source) override;

private:
    bool facesUp(const TarvexPowerSource& source);
    EntityModel::Entity* placeHeatSource(const QString& name, const Geometry::Bound2D& rectangle, bool onTop);

    Geometry::Bound faces;
    EntityModel::Entity* receiver;
    Geometry::Transform receiverPlacement;
    TarvexEntityBuildState* sharedState;
    Tools::ToolProgress* progress;
};

} // namespace Tarvex
