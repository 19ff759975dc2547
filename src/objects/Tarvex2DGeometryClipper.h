#pragma once

#include <tarvex/objects/Tarvex2DGeometryPolygon.h>

#include <vector>

namespace Tarvex {

/// Boolean operations on polygons with holes, through the host's polygon clipper
/// (`gpc_polygon_clip`). Every resulting polygon is normalised, free of redundant points,
/// and carries the holes it contains.
class Tarvex2DGeometryClipper
{
public:
    /// Operation codes of `clip`.
    enum Operation
    {
        Difference = 1, ///< subject minus clip
        Intersection = 2,
        Union = 3,
        ExclusiveOr = 4
    };

    Tarvex2DGeometryClipper() = default;
    virtual ~Tarvex2DGeometryClipper();

    /// `subject` `operation` `clipPolygon` as a list of polygons; empty for an unknown
    /// operation code. When the clipping library fails with an exception the result is a
    /// copy of `subject`.
    virtual std::vector<Tarvex2DGeometryPolygon> clip(const Tarvex2DGeometryPolygon& subject,
                                                      const Tarvex2DGeometryPolygon& clipPolygon,
                                                      int operation) const;
};

} // namespace Tarvex
