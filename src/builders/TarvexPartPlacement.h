#pragma once

#include "objects/TarvexPlacedGeometry.h"

namespace Tarvex {

class TarvexPart;

/// The kind of entity a part becomes, as the entity builders decide it.
enum TarvexPartClass
{
    /// A printed circuit board: type "PCB", or "STL" with "PCB" in the object name.
    BoardPart = 1,
    /// A package: type "Package", or "Substrate" in the object name.
    PackagePart = 2,
    /// Anything else.
    OtherPart = 3
};

/// The class of `part` (`TarvexPartClass`: board 1, package 2, other 3).
int classifyPart(const TarvexPart& part);

/// `placed` re-expressed in host axes (y up): the solid (or, without one, the bound) is
/// rotated into host axes and moved so that its bound starts at the origin; the transform
/// carries the position. The result's transform is the host placement of the part.
TarvexPlacedGeometry toHostFrame(const TarvexPlacedGeometry& placed);

/// The placed geometry of `part`, made first when out of date. The part's geometry is a
/// lazily filled cache, so reading it does not change the part. May throw what the part's
/// geometry throws ("Z variation").
const TarvexPlacedGeometry& placedGeometryOf(const TarvexPart& part);

} // namespace Tarvex
