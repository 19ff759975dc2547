#include "builders/TarvexPartPlacement.h"

#include "objects/TarvexCoordinateFrames.h"
#include "objects/TarvexPart.h"

namespace Tarvex {

using Geometry::Transform;

TarvexPlacedGeometry toHostFrame(const TarvexPlacedGeometry& placed)
{
    const Transform& rotation = interchangeToHostRotation();
    // A maps host placements back to file ones; the part's host placement is its inverse
    // (R T R^-1), and A R T carries the solid from its own frame into host axes.
    const Transform back = rotation * placed.transform.inverse() * rotation.inverse();
    const Transform intoHost = back * rotation * placed.transform;

    TarvexPlacedGeometry host;
    host.transform = back.inverse();
    if (placed.geometry) {
        host.geometry = placed.geometry->createTransformedGeometry(intoHost);
        host.bound = host.geometry->getBound();
    } else {
        host.bound = placed.bound.transformed(intoHost);
    }
    host.moveToOrigin();
    return host;
}

const TarvexPlacedGeometry& placedGeometryOf(const TarvexPart& part)
{
    return const_cast<TarvexPart&>(part).getGeometry();
}

} // namespace Tarvex
