#pragma once

#include <tarvex/objects/TarvexPartType.h>
#include <tarvex/objects/TarvexPlacedGeometry.h>

#include <QString>

#include <vector>

namespace Tarvex {

class TarvexPartVisitorConst;

/// One part of the object model built from an interchange file: a block, a layered part
/// and its layers and cells, a solder ball or bump, or a composite of parts. Lengths are in
/// metres and powers in watts; geometry is in the file's axes (z up).
class TarvexPart
{
public:
    virtual ~TarvexPart();
    /// The kind code of the part (`TarvexPartType`: basic 1, two-resistor 2, composite 3,
    /// ball 4, bump 5, layered 16, layer 17, cell 18).
    virtual int getPartType() const = 0;
    /// The display name; `full` keeps the owning object's name where the kind adds one.
    virtual QString getName(bool full) const = 0;
    /// The name of the object the part belongs to.
    virtual QString getObjectName() const = 0;
    /// The interchange type text ("PCB", "Package", ...).
    virtual QString getType() const = 0;
    /// The holes of the part's solid, each a piece moved so that its bound starts at the
    /// origin, with the part's placement (plus that move) as its transform.
    virtual std::vector<TarvexPlacedGeometry> getGeometryPieces() const = 0;
    /// The same pieces taken from the flattened geometry (`TarvexPlacedGeometry::flattened`).
    virtual std::vector<TarvexPlacedGeometry> getFlatGeometryPieces() const = 0;
    /// The cached geometry, rebuilt first when out of date. May throw what `createGeometry`
    /// throws.
    virtual TarvexPlacedGeometry& getGeometry() = 0;
    /// Rebuilds the cached geometry from `createGeometry`.
    virtual void updateGeometry() = 0;
    /// The enclosing layer, layered part or composite; null at the top.
    virtual TarvexPart* getParent() const = 0;
    /// Sets the enclosing part (not owned).
    virtual void setParent(TarvexPart* parent) = 0;
    /// Lets `visitor` visit this part (and, for containers, its children); returns the last
    /// visit result.
    virtual bool accept(TarvexPartVisitorConst& visitor) const = 0;
    /// Same as the `const` form.
    virtual bool accept(TarvexPartVisitorConst& visitor) = 0;
    /// Builds the geometry from the part's data.
    virtual TarvexPlacedGeometry createGeometry() const = 0;

protected:
    TarvexPart() = default;
    TarvexPart(const TarvexPart&) = default;
    TarvexPart(TarvexPart&&) = default;
    TarvexPart& operator=(const TarvexPart&) = default;
    TarvexPart& operator=(TarvexPart&&) = default;
};

/// The name the entity builders give `part`: with `full` its own full name; otherwise the
/// name without the prefix it shares with its parent's full name (and without the
/// underscores that follow it), or the parent's short name when both are the same.
QString displayName(const TarvexPart& part, bool full);

} // namespace Tarvex
