#pragma once

#include <tarvex/objects/TarvexPlacedGeometry.h>

#include <QVector>

#include <vector>

namespace Tarvex {

class TarvexPart;

/// `placed` re-expressed in host axes (y up): the solid (or, without one, the bound) is
/// rotated into host axes and moved so that its bound starts at the origin; the transform
/// carries the position. Coordinates within 1e-15 m of zero are zero: rotations leave
/// noise there (3e-19 m) that would otherwise reach the saved model. The result's transform is the host placement of the part.
TarvexPlacedGeometry toHostFrame(const TarvexPlacedGeometry& placed);

/// What `toHostFrame` finds from a record's transform alone.
struct HostFrameMaps
{
    /// Carries the solid from its own frame into host axes.
    Geometry::Transform intoHost;
    /// The host placement before the solid is moved to the origin.
    Geometry::Transform placement;
};
/// The maps `toHostFrame` uses for a record placed by `transform`.
HostFrameMaps hostFrameMapsOf(const Geometry::Transform& transform);
/// `toHostFrame(placed)` with `maps`, which must be `hostFrameMapsOf(placed.transform)`.
TarvexPlacedGeometry toHostFrame(const TarvexPlacedGeometry& placed, const HostFrameMaps& maps);

/// `value` (a length in metres), or 0 when it is within 1e-15 m of 0: rounding noise.
double snappedLength(double value);

/// The low corner of `host` (a part in host axes, as `toHostFrame` gives it) taken
/// relative to the host frame `relativeTo`, without rounding noise.
Geometry::Vec3 hostLowCorner(const TarvexPlacedGeometry& host, const Geometry::Transform& relativeTo);
/// `hostLowCorner` with `intoFrame` the inverse of the frame `relativeTo`.
Geometry::Vec3 hostLowCornerThrough(const TarvexPlacedGeometry& host, const Geometry::Transform& intoFrame);

/// `placed` flattened (as `TarvexPlacedGeometry::flattened` gives it) without its solid:
/// the transform and the bound only, made without copying the solid.
TarvexPlacedGeometry flatBoundOf(const TarvexPlacedGeometry& placed);

/// The outline of an extruded solid in the file's axes (the base's points carried by the
/// extrusion's placement and the record's transform); empty when the solid is not an
/// extrusion.
std::vector<Geometry::Vec3> fileOutline(const TarvexPlacedGeometry& placed);
/// True when `placed` is an extrusion whose base is a rectangle.
bool hasRectangleProfile(const TarvexPlacedGeometry& placed);
/// `outline` (points in the file's axes) as the host writes outlines: x, z pairs in host
/// axes, relative to the host frame `relativeTo` and then to `origin` (a point of that frame,
/// the owning item's location).
QVector<double> hostOutline(const std::vector<Geometry::Vec3>& outline, const Geometry::Transform& relativeTo,
                            const Geometry::Vec3& origin);

/// The placed geometry of `part`, made first when out of date. The part's geometry is a
/// lazily filled cache, so reading it does not change the part. May throw what the part's
/// geometry throws ("Z variation").
const TarvexPlacedGeometry& placedGeometryOf(const TarvexPart& part);

} // namespace Tarvex
