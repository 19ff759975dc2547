#pragma once

#include <tarvex/objects/Tarvex2DGeometryOutline.h>
#include <tarvex/host/TransformMemo.h>
#include <tarvex/objects/TarvexPlacedGeometry.h>

#include <optional>

namespace Tarvex {

class Tarvex3DGeometry2DExtrusion;

/// A placed geometry made ready to be asked, again and again, what lies in it: its inverse
/// transform and, for an extrusion, the inverse placement and the outline of the footprint
/// are found once. The answers are those of `TarvexPlacedGeometry::contains`.
class TarvexPlacedGeometryContainer
{
public:
    /// Prepares `outer`, which must outlive this object and not change meanwhile.
    explicit TarvexPlacedGeometryContainer(const TarvexPlacedGeometry& outer);

    /// True when `inner` lies in the outer geometry.
    bool contains(const TarvexPlacedGeometry& inner) const;

private:
    const TarvexPlacedGeometry& m_outer;
    Geometry::Transform m_inverse;
    // Inner parts come in runs placed alike (a package's solder joints); a cache, so asking
    // stays const.
    mutable Geometry::TransformMemo<Geometry::Transform> m_intoOuter;
    // Set for an extrusion with a footprint, whose point test is done here.
    const Tarvex3DGeometry2DExtrusion* m_extrusion = nullptr;
    Geometry::Transform m_toLocal;
    std::optional<Tarvex2DGeometryOutline> m_outline;
};

} // namespace Tarvex
