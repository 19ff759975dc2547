#include <tarvex/builders/TarvexPartPlacement.h>

#include <tarvex/objects/Tarvex2DGeometry.h>
#include <tarvex/objects/Tarvex3DGeometry2DExtrusion.h>
#include <tarvex/objects/TarvexCoordinateFrames.h>
#include <tarvex/objects/TarvexPart.h>

#include <cmath>

namespace Tarvex {

using Geometry::Transform;
using Geometry::Vec3;

namespace {

// Far below any length a model holds (a nanometre is 1e-9 m), far above rounding noise.
constexpr double lengthNoise = 1e-15;

Vec3 snapped(const Vec3& point)
{
    return Vec3(snappedLength(point.x), snappedLength(point.y), snappedLength(point.z));
}

} // namespace

double snappedLength(double value)
{
    return std::abs(value) < lengthNoise ? 0.0 : value;
}

HostFrameMaps hostFrameMapsOf(const Transform& transform)
{
    const Transform& rotation = interchangeToHostRotation();
    static const Transform rotationBack = rotation.inverse();
    // A maps host placements back to file ones; the part's host placement is its inverse
    // (R T R^-1), and A R T carries the solid from its own frame into host axes.
    const Transform back = rotation * transform.inverse() * rotationBack;
    return {back * rotation * transform, back.inverse()};
}

TarvexPlacedGeometry toHostFrame(const TarvexPlacedGeometry& placed)
{
    return toHostFrame(placed, hostFrameMapsOf(placed.transform));
}

TarvexPlacedGeometry toHostFrame(const TarvexPlacedGeometry& placed, const HostFrameMaps& maps)
{
    const Transform& intoHost = maps.intoHost;
    TarvexPlacedGeometry host;
    host.transform = maps.placement;
    if (placed.geometry) {
        host.geometry = placed.geometry->createTransformedGeometry(intoHost);
        host.bound = host.geometry->getBound();
    } else {
        host.bound = placed.bound.transformed(intoHost);
    }
    host.moveToOrigin();
    host.transform = Transform(host.transform.getAxis(0), host.transform.getAxis(1), host.transform.getAxis(2),
                               snapped(host.transform.getTranslation()));
    if (!host.bound.isEmpty())
        host.bound = Geometry::Bound(snapped(host.bound.getLow()), snapped(host.bound.getHigh()));
    return host;
}

Vec3 hostLowCorner(const TarvexPlacedGeometry& host, const Transform& relativeTo)
{
    return hostLowCornerThrough(host, relativeTo.inverse());
}

Vec3 hostLowCornerThrough(const TarvexPlacedGeometry& host, const Transform& intoFrame)
{
    return snapped((intoFrame * host.transform).transform(host.bound.getLow()));
}

const TarvexPlacedGeometry& placedGeometryOf(const TarvexPart& part)
{
    return const_cast<TarvexPart&>(part).getGeometry();
}

TarvexPlacedGeometry flatBoundOf(const TarvexPlacedGeometry& placed)
{
    if (!placed.geometry || !placed.geometry->isExtrusion())
        return TarvexPlacedGeometry(nullptr, placed.transform, placed.bound);
    const auto& extrusion = static_cast<const Tarvex3DGeometry2DExtrusion&>(*placed.geometry);
    if (!extrusion.getBase())
        return TarvexPlacedGeometry(nullptr, placed.transform * extrusion.getPlacement(), Geometry::Bound(Vec3()));
    // The base's points at the bottom and moved by the extrusion vector, as the solid has
    // them once its placement is in the transform.
    const Vec3 up = extrusion.getPlacement().getRotationMatrix().inverse().transformVector(extrusion.getExtrusionVector());
    Geometry::Bound bound;
    for (const Geometry::Vec2& p : extrusion.getBase()->getPoints()) {
        bound.unite(Vec3(p.x, p.y, 0.0));
        bound.unite(Vec3(p.x, p.y, 0.0) + up);
    }
    return TarvexPlacedGeometry(nullptr, placed.transform * extrusion.getPlacement(), bound);
}

std::vector<Vec3> fileOutline(const TarvexPlacedGeometry& placed)
{
    std::vector<Vec3> points;
    if (!placed.geometry || !placed.geometry->isExtrusion())
        return points;
    const auto& extrusion = static_cast<const Tarvex3DGeometry2DExtrusion&>(*placed.geometry);
    if (!extrusion.getBase())
        return points;
    const Transform toFile = placed.transform * extrusion.getPlacement();
    for (const Geometry::Vec2& p : extrusion.getBase()->getPoints())
        points.push_back(toFile.transform(Vec3(p.x, p.y, 0.0)));
    return points;
}

bool hasRectangleProfile(const TarvexPlacedGeometry& placed)
{
    if (!placed.geometry || !placed.geometry->isExtrusion())
        return false;
    const auto* base = static_cast<const Tarvex3DGeometry2DExtrusion&>(*placed.geometry).getBase();
    return base && base->isRectangle();
}

QVector<double> hostOutline(const std::vector<Vec3>& outline, const Transform& relativeTo, const Vec3& origin)
{
    const Transform intoFrame = relativeTo.inverse() * interchangeToHostRotation();
    QVector<double> values;
    values.reserve(int(2 * outline.size()));
    for (const Vec3& point : outline) {
        const Vec3 host = snapped(intoFrame.transform(point) - origin);
        values << host.x << host.z;
    }
    return values;
}

} // namespace Tarvex
