#include <tarvex/objects/TarvexPlacedGeometry.h>

#include <tarvex/objects/Tarvex3DGeometry2DExtrusion.h>
#include <tarvex/objects/TarvexPlacedGeometryContainer.h>

namespace Tarvex {

using Geometry::Bound;
using Geometry::Transform;
using Geometry::Vec3;

TarvexPlacedGeometry::TarvexPlacedGeometry() = default;

TarvexPlacedGeometry::TarvexPlacedGeometry(std::unique_ptr<Tarvex3DGeometry> solid, const Transform& placement)
    : geometry(std::move(solid)), transform(placement)
{
    if (geometry)
        bound = geometry->getBound();
}

TarvexPlacedGeometry::TarvexPlacedGeometry(std::unique_ptr<Tarvex3DGeometry> solid, const Transform& placement,
                                           const Bound& box)
    : geometry(std::move(solid)), transform(placement), bound(box)
{
}

TarvexPlacedGeometry::TarvexPlacedGeometry(const TarvexPlacedGeometry& other)
    : geometry(other.geometry ? other.geometry->clone() : nullptr),
      transform(other.transform),
      bound(other.bound)
{
}

TarvexPlacedGeometry::TarvexPlacedGeometry(TarvexPlacedGeometry&& other) noexcept = default;

TarvexPlacedGeometry& TarvexPlacedGeometry::operator=(const TarvexPlacedGeometry& other)
{
    if (this != &other) {
        geometry = other.geometry ? other.geometry->clone() : nullptr;
        transform = other.transform;
        bound = other.bound;
    }
    return *this;
}

TarvexPlacedGeometry& TarvexPlacedGeometry::operator=(TarvexPlacedGeometry&& other) noexcept = default;

TarvexPlacedGeometry::~TarvexPlacedGeometry() = default;

Bound TarvexPlacedGeometry::getPlacedBound() const
{
    return bound.transformed(transform);
}

bool TarvexPlacedGeometry::unite(const TarvexPlacedGeometry& other)
{
    if (!other.geometry)
        return false;
    if (!geometry) {
        *this = other;
        return true;
    }
    const std::unique_ptr<Tarvex3DGeometry> carried =
        other.geometry->createTransformedGeometry(Transform::multiply(transform.inverse(), other.transform));
    if (!geometry->unite(*carried))
        return false;
    bound = geometry->getBound();
    return true;
}

void TarvexPlacedGeometry::moveToOrigin()
{
    if (bound.isEmpty())
        return;
    const Vec3 low = bound.getLow();
    if (low == Vec3())
        return;
    const Transform back = Transform::createTranslation(-low);
    if (geometry) {
        geometry->transformGeometry(back);
        bound = geometry->getBound();
    } else {
        bound = bound.transformed(back);
    }
    transform = Transform::multiply(transform, Transform::createTranslation(low));
}

TarvexPlacedGeometry TarvexPlacedGeometry::flattened() const
{
    TarvexPlacedGeometry result(*this);
    if (!result.geometry || !result.geometry->isExtrusion())
        return result;
    auto& extrusion = static_cast<Tarvex3DGeometry2DExtrusion&>(*result.geometry);
    result.transform = Transform::multiply(transform, extrusion.getPlacement());
    extrusion.setPlacement(Transform());
    result.bound = extrusion.getBound();
    return result;
}

bool TarvexPlacedGeometry::contains(const TarvexPlacedGeometry& a, const TarvexPlacedGeometry& b)
{
    return TarvexPlacedGeometryContainer(a).contains(b);
}

} // namespace Tarvex
