#pragma once

#include <tarvex/objects/TarvexPartBase.h>
#include <tarvex/objects/TarvexTerminal.h>

#include <QList>

#include <memory>
#include <vector>

namespace Tarvex {

/// One layer of a layered part: owns its cells; its parent is the layered part.
class TarvexLayeredPartLayer : public TarvexPartBase
{
public:
    /// The owned cells, in insertion order.
    using CellList = std::vector<std::unique_ptr<TarvexPart>>;

    /// An empty layer at z = `elevation` (m).
    explicit TarvexLayeredPartLayer(double elevation);
    TarvexLayeredPartLayer(const TarvexLayeredPartLayer&) = delete;
    TarvexLayeredPartLayer& operator=(const TarvexLayeredPartLayer&) = delete;
    ~TarvexLayeredPartLayer() override;

    /// `LayeredPartLayer`.
    int getPartType() const override;
    /// The longest "_"-bounded prefix the cells' full names share; with `full` false,
    /// without the object name and the "_" after it; leading and trailing "_" removed.
    /// "Layer n" (n = 1-based position in the layered part) when nothing is left.
    QString getName(bool full) const override;
    /// The first cell's object name; empty without cells.
    QString getObjectName() const override;
    /// The first cell's type; empty without cells.
    QString getType() const override;
    /// Calls `visitLayer`, then `visitChildren`, then (when allowed) every cell's `accept`.
    bool accept(TarvexPartVisitorConst& visitor) const override;
    /// The union of the cells' geometries; empty without cells.
    TarvexPlacedGeometry createGeometry() const override;
    using TarvexPartBase::accept;

    /// Appends `cell`, makes this layer its parent and marks the geometry out of date.
    /// Returns the stored cell (null for a null cell).
    TarvexPart* addCell(std::unique_ptr<TarvexPart> cell);
    /// The cells.
    const CellList& getCells() const { return cells; }
    /// The terminals of the layer's cells, cell by cell in cell order.
    QList<TarvexTerminal> getTerminals() const;
    /// The z of the layer (m), taken from its first cell.
    double getElevation() const { return elevation; }

private:
    CellList cells;
    double elevation;
};

} // namespace Tarvex
