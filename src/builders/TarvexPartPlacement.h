#pragma once

#include "objects/TarvexPlacedGeometry.h"

namespace Tarvex {

class TarvexPart;

/// `placed` re-expressed in host axes (y up): the solid (or, without one, the bound) is
/// rotated into host axes and moved so that its bound starts at the origin; the transform
/// carries the position. The result's transform is the host placement of the part.
TarvexPlacedGeometry toHostFrame(const TarvexPlacedGeometry& placed);

/// The placed geometry of `part`, made first when out of date. The part's geometry is a
/// lazily filled cache, so reading it does not change the part. May throw what the part's
/// geometry throws ("Z variation").
const TarvexPlacedGeometry& placedGeometryOf(const TarvexPart& part);

} // namespace Tarvex
