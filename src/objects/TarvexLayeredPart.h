#pragma once

#include <tarvex/objects/TarvexLayeredPartLayer.h>
#include <tarvex/objects/TarvexPartBaseWithPowerSources.h>

#include <QList>
#include <QtGlobal>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace Tarvex {

/// A stack of layers (a board, package or die given as layers), always sorted by
/// ascending elevation.
class TarvexLayeredPart : public TarvexPartBaseWithPowerSources
{
public:
    /// The owned layers.
    using LayerList = std::vector<std::unique_ptr<TarvexLayeredPartLayer>>;
    /// The legacy simplification grid (NX, NY).
    using SimplificationGrid = std::pair<qint32, qint32>;

    /// A layered part without layers.
    explicit TarvexLayeredPart(PowerSourceList powerSources = {});
    TarvexLayeredPart(const TarvexLayeredPart&) = delete;
    TarvexLayeredPart& operator=(const TarvexLayeredPart&) = delete;
    ~TarvexLayeredPart() override;

    /// `LayeredPart`.
    int getPartType() const override;
    /// The object name.
    QString getName(bool full) const override;
    /// The first layer's object name; empty without layers.
    QString getObjectName() const override;
    /// The first layer's type; empty without layers.
    QString getType() const override;
    /// The layers' pieces, in layer order.
    std::vector<TarvexPlacedGeometry> getGeometryPieces() const override;
    /// The layers' flat pieces, in layer order.
    std::vector<TarvexPlacedGeometry> getFlatGeometryPieces() const override;
    /// Calls `visitLayeredPart`, then `visitChildren`, then (when allowed) every layer's
    /// `accept`.
    bool accept(TarvexPartVisitorConst& visitor) const override;
    /// The union of the layers' geometries; empty without layers.
    TarvexPlacedGeometry createGeometry() const override;
    using TarvexPartBase::accept;

    /// Stores `cell`: with `mergeIntoLayers`, in the first layer of the same object name
    /// whose elevation is exactly the cell's z; otherwise (or when there is none) in a new
    /// layer inserted after every layer at or below that z. Returns the stored cell (null
    /// for a null cell). May throw what the cell's geometry throws.
    TarvexPart* addCell(std::unique_ptr<TarvexPart> cell, bool mergeIntoLayers);
    /// The layers by ascending elevation.
    const LayerList& getLayers() const { return layers; }
    /// The terminals of every layer, layer by layer bottom-up.
    QList<TarvexTerminal> getTerminals() const;
    /// The legacy simplification grid, when the file had one for this object.
    const std::optional<SimplificationGrid>& getSimplificationGrid() const { return simplificationGrid; }
    /// Sets the legacy simplification grid.
    void setSimplificationGrid(const std::optional<SimplificationGrid>& grid) { simplificationGrid = grid; }

    /// The z at which `cell`'s solid starts: the position of its local origin after the
    /// solid's own placement and the record's transform.
    static double cellElevation(TarvexPart& cell);

private:
    LayerList layers;
    std::optional<SimplificationGrid> simplificationGrid;
};

} // namespace Tarvex
