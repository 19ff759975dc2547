#include <tarvex/objects/TarvexPartBase.h>

#include <tarvex/objects/Tarvex2DGeometryCircle.h>
#include <tarvex/objects/Tarvex3DGeometry2DExtrusion.h>

#include <list>

namespace Tarvex {

TarvexPartBase::TarvexPartBase() = default;

TarvexPartBase::TarvexPartBase(const TarvexPartBase& other)
    : TarvexPart(other), geometryDirty(other.geometryDirty), geometry(other.geometry), parent(other.parent)
{
}

TarvexPartBase::TarvexPartBase(TarvexPartBase&& other) noexcept
    : TarvexPart(std::move(other)),
      geometryDirty(other.geometryDirty),
      geometry(std::move(other.geometry)),
      parent(other.parent)
{
    other.geometryDirty = true;
}

TarvexPartBase& TarvexPartBase::operator=(const TarvexPartBase& other)
{
    if (this != &other) {
        geometryDirty = other.geometryDirty;
        geometry = other.geometry;
        parent = other.parent;
    }
    return *this;
}

TarvexPartBase& TarvexPartBase::operator=(TarvexPartBase&& other) noexcept
{
    if (this != &other) {
        geometryDirty = other.geometryDirty;
        geometry = std::move(other.geometry);
        parent = other.parent;
        other.geometryDirty = true;
    }
    return *this;
}

TarvexPartBase::~TarvexPartBase() = default;

std::vector<TarvexPlacedGeometry> TarvexPartBase::getGeometryPieces() const
{
    return piecesOf(cachedGeometry());
}

std::vector<TarvexPlacedGeometry> TarvexPartBase::getFlatGeometryPieces() const
{
    return piecesOf(cachedGeometry().flattened());
}

TarvexPlacedGeometry& TarvexPartBase::getGeometry()
{
    if (geometryDirty)
        updateGeometry();
    return geometry;
}

void TarvexPartBase::updateGeometry()
{
    geometry = createGeometry();
    geometryDirty = false;
}

TarvexPart* TarvexPartBase::getParent() const
{
    return parent;
}

void TarvexPartBase::setParent(TarvexPart* newParent)
{
    parent = newParent;
}

bool TarvexPartBase::accept(TarvexPartVisitorConst& visitor)
{
    return static_cast<const TarvexPartBase&>(*this).accept(visitor);
}

const TarvexPlacedGeometry& TarvexPartBase::cachedGeometry() const
{
    if (geometryDirty) {
        geometry = createGeometry();
        geometryDirty = false;
    }
    return geometry;
}

std::vector<TarvexPlacedGeometry> TarvexPartBase::piecesOf(const TarvexPlacedGeometry& placed)
{
    std::vector<TarvexPlacedGeometry> pieces;
    if (!placed.geometry)
        return pieces;
    for (std::unique_ptr<Tarvex3DGeometry>& hole : placed.geometry->getHoles()) {
        TarvexPlacedGeometry piece(std::move(hole), placed.transform);
        piece.moveToOrigin();
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

TarvexPlacedGeometry TarvexPartBase::createCylinderGeometry(double diameter, double height,
                                                            const Geometry::Vec3& position)
{
    auto footprint = std::make_unique<Tarvex2DGeometryCircle>(
        Geometry::Vec2(position.x - diameter / 2.0, position.y - diameter / 2.0), diameter);
    return TarvexPlacedGeometry(
        std::make_unique<Tarvex3DGeometry2DExtrusion>(std::move(footprint), position.z, height));
}

TarvexPlacedGeometry TarvexPartBase::uniteGeometries(const std::vector<TarvexPart*>& children, bool retry)
{
    TarvexPlacedGeometry result;
    std::list<TarvexPart*> pending;
    bool first = true;
    for (TarvexPart* child : children) {
        if (child == nullptr)
            continue;
        if (first) {
            result = child->getGeometry();
            first = false;
        } else {
            pending.push_back(child);
        }
    }
    bool progress = true;
    while (progress && !pending.empty()) {
        progress = false;
        for (auto it = pending.begin(); it != pending.end();) {
            if (result.unite((*it)->getGeometry())) {
                it = pending.erase(it);
                progress = true;
            } else {
                ++it;
            }
        }
        if (!retry)
            break;
    }
    return result;
}

} // namespace Tarvex
