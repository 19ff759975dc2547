#pragma once

#include <tarvex/host/Bound.h>
#include <tarvex/host/Transform.h>
#include <tarvex/objects/Tarvex3DGeometry.h>

#include <memory>

namespace Tarvex {

/// The geometry of a part: an owned solid (may be null), the transform that places it, and
/// the solid's bound in its own coordinates. Copies are deep.
class TarvexPlacedGeometry
{
public:
    /// The tolerance of the bound containment used for records without a solid (metres).
    static constexpr double boundTolerance = 1e-9;

    /// No solid, identity transform, empty bound.
    TarvexPlacedGeometry();
    /// `geometry` placed by `transform`; the bound is the solid's own.
    explicit TarvexPlacedGeometry(std::unique_ptr<Tarvex3DGeometry> geometry,
                                  const Geometry::Transform& transform = Geometry::Transform());
    /// The three members as given.
    TarvexPlacedGeometry(std::unique_ptr<Tarvex3DGeometry> geometry, const Geometry::Transform& transform,
                         const Geometry::Bound& bound);
    TarvexPlacedGeometry(const TarvexPlacedGeometry& other);
    TarvexPlacedGeometry(TarvexPlacedGeometry&& other) noexcept;
    TarvexPlacedGeometry& operator=(const TarvexPlacedGeometry& other);
    TarvexPlacedGeometry& operator=(TarvexPlacedGeometry&& other) noexcept;
    ~TarvexPlacedGeometry();

    /// The owned solid, in its own coordinates.
    std::unique_ptr<Tarvex3DGeometry> geometry;
    /// The map from the solid's coordinates to the part's frame.
    Geometry::Transform transform;
    /// The bound of the solid in its own coordinates.
    Geometry::Bound bound;

    /// True when there is a solid.
    bool hasGeometry() const { return geometry != nullptr; }
    /// The bound carried by the transform.
    Geometry::Bound getPlacedBound() const;

    /// Unites `other` into this record: `other`'s solid is carried into this record's frame
    /// and united with this solid (Tarvex3DGeometry::unite); the bound follows. A record
    /// without a solid takes a copy of `other`. False, and unchanged, when `other` has no
    /// solid or the solids do not unite.
    bool unite(const TarvexPlacedGeometry& other);

    /// Moves the solid (or, without a solid, the bound) so that the bound's low corner is the
    /// origin, putting the translation into the transform. Nothing changes when the low
    /// corner already is the origin or the bound is empty.
    void moveToOrigin();

    /// The same placed solid with the extrusion's own placement moved into the transform:
    /// the solid then sits in the record's frame with an identity placement, and the
    /// transform's translation is the position of the solid's local origin. Records whose
    /// solid is not an extrusion are returned as they are.
    TarvexPlacedGeometry flattened() const;

    /// True when `b` lies in `a`. With a solid in both, `b`'s solid is carried into `a`'s
    /// frame and `a`'s solid decides (Tarvex3DGeometry::isContaining). Otherwise `b`'s bound
    /// is carried into `a`'s frame, and the answer is true when `a`'s bound overlaps it or
    /// contains it within `boundTolerance`.
    static bool contains(const TarvexPlacedGeometry& a, const TarvexPlacedGeometry& b);
};

} // namespace Tarvex
