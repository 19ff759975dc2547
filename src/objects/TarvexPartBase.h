#pragma once

#include <tarvex/objects/TarvexPart.h>

namespace Tarvex {

/// The data every part has: the cached geometry with its out-of-date flag, and the parent.
class TarvexPartBase : public TarvexPart
{
public:
    ~TarvexPartBase() override;

    std::vector<TarvexPlacedGeometry> getGeometryPieces() const override;
    std::vector<TarvexPlacedGeometry> getFlatGeometryPieces() const override;
    TarvexPlacedGeometry& getGeometry() override;
    void updateGeometry() override;
    TarvexPart* getParent() const override;
    void setParent(TarvexPart* parent) override;
    bool accept(TarvexPartVisitorConst& visitor) override;

    /// Marks the cached geometry out of date (after a structural change).
    void setGeometryDirty() { geometryDirty = true; }
    /// True when the cached geometry is out of date.
    bool isGeometryDirty() const { return geometryDirty; }

    using TarvexPart::accept;

protected:
    TarvexPartBase();
    TarvexPartBase(const TarvexPartBase& other);
    TarvexPartBase(TarvexPartBase&& other) noexcept;
    TarvexPartBase& operator=(const TarvexPartBase& other);
    TarvexPartBase& operator=(TarvexPartBase&& other) noexcept;

    /// The cached geometry, rebuilt when out of date; usable from `const` members.
    const TarvexPlacedGeometry& cachedGeometry() const;
    /// The cached geometry for changing in step with the part, or null when out of date.
    TarvexPlacedGeometry* upToDateGeometry() { return geometryDirty ? nullptr : &geometry; }
    /// The holes of `placed`'s solid as pieces (see `getGeometryPieces`).
    static std::vector<TarvexPlacedGeometry> piecesOf(const TarvexPlacedGeometry& placed);
    /// The solid of a cylinder footprint: the circle of `diameter` centred on (x, y) of
    /// `position`, extruded from its z by `height`, with an identity transform.
    static TarvexPlacedGeometry createCylinderGeometry(double diameter, double height,
                                                       const Geometry::Vec3& position);
    /// The geometry of a container: a copy of the first child's geometry with the other
    /// children's united into it (in order; with `retry`, children that do not unite are
    /// tried again after later ones until a pass unites nothing). Null children are
    /// skipped; no children give an empty record.
    static TarvexPlacedGeometry uniteGeometries(const std::vector<TarvexPart*>& children, bool retry);

private:
    // The cache is filled lazily, also from const queries.
    mutable bool geometryDirty = true;
    mutable TarvexPlacedGeometry geometry;
    TarvexPart* parent = nullptr;
};

} // namespace Tarvex
