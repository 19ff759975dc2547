#include <tarvex/objects/Tarvex3DGeometry2DExtrusion.h>

#include <tarvex/objects/Tarvex2DGeometryLine.h>
#include <tarvex/objects/Tarvex2DGeometryOutline.h>
#include <tarvex/objects/Tarvex2DGeometryPolygon.h>
#include <tarvex/objects/Tarvex3DGeometryLine.h>

#include <cmath>
#include <optional>

namespace Tarvex {

using Geometry::Transform;
using Geometry::Vec2;
using Geometry::Vec3;

namespace {

bool isEqual(double a, double b)
{
    return a == b || std::abs(a - b) < Tarvex3DGeometry2DExtrusion::EPS;
}

const Vec3 localUp(0.0, 0.0, 1.0);

} // namespace

Tarvex3DGeometry2DExtrusion::Tarvex3DGeometry2DExtrusion(std::unique_ptr<Tarvex2DGeometry> footprint,
                                                         double position, double extrusionHeight)
    : base(std::move(footprint)), height(std::abs(extrusionHeight))
{
    // A negative height starts the solid at position - height, which is above the position.
    const double z0 = extrusionHeight < 0.0 ? position - extrusionHeight : position;
    placement = Transform::createTranslation(Vec3(0.0, 0.0, z0));
}

Tarvex3DGeometry2DExtrusion::Tarvex3DGeometry2DExtrusion(const Tarvex3DGeometry2DExtrusion& other)
    : Tarvex3DGeometry(other),
      base(other.base ? other.base->clone() : nullptr),
      height(other.height),
      placement(other.placement)
{
}

Tarvex3DGeometry2DExtrusion& Tarvex3DGeometry2DExtrusion::operator=(const Tarvex3DGeometry2DExtrusion& other)
{
    if (this != &other) {
        base = other.base ? other.base->clone() : nullptr;
        height = other.height;
        placement = other.placement;
    }
    return *this;
}

Tarvex3DGeometry2DExtrusion::~Tarvex3DGeometry2DExtrusion() = default;

Geometry::Bound Tarvex3DGeometry2DExtrusion::getBound() const
{
    if (!base)
        return Geometry::Bound(Vec3());
    // The vertices taken as they are made, without keeping them.
    std::optional<Geometry::Bound> bound;
    allPointsPlacedBy(placement, base->getPoints(), [&bound](const Vec3& p) {
        if (!bound)
            bound.emplace(p);
        bound->unite(p);
        return true;
    });
    return bound.value_or(Geometry::Bound(Vec3()));
}

bool Tarvex3DGeometry2DExtrusion::isExtrusion() const
{
    return true;
}

bool Tarvex3DGeometry2DExtrusion::isTouching(const Tarvex3DGeometry& other) const
{
    if (!base)
        return false;
    const std::vector<Tarvex3DGeometryLine> mine = getEdges();
    const std::vector<Tarvex3DGeometryLine> theirs = other.getEdges();
    for (const Tarvex3DGeometryLine& edge : mine) {
        for (const Tarvex3DGeometryLine& otherEdge : theirs) {
            if (edge.meets(otherEdge))
                return true;
        }
    }
    return false;
}

bool Tarvex3DGeometry2DExtrusion::isTouching(const Vec3& point) const
{
    if (!base)
        return false;
    const Vec3 local = placement.inverseTransformedVector(point);
    return isInHeightRange(local.z) && base->isTouching(Vec2(local.x, local.y));
}

bool Tarvex3DGeometry2DExtrusion::isContaining(const Tarvex3DGeometry& other) const
{
    if (!base)
        return false;
    const Transform toLocal = placement.inverse();
    const Tarvex2DGeometryOutline outline(*base);
    for (const Vec3& point : other.getPoints()) {
        const Vec3 local = toLocal.transformedVector(point);
        if (!isInHeightRange(local.z) || !outline.contains(Vec2(local.x, local.y), true))
            return false;
    }
    return true;
}

bool Tarvex3DGeometry2DExtrusion::isContaining(const Vec3& point) const
{
    if (!base)
        return false;
    const Vec3 local = placement.inverseTransformedVector(point);
    return isInHeightRange(local.z) && base->isContaining(Vec2(local.x, local.y), true);
}

bool Tarvex3DGeometry2DExtrusion::isOverlapping(const Tarvex3DGeometry& other) const
{
    if (!base)
        return false;
    if (isTouching(other))
        return true;
    for (const Vec3& point : other.getPoints()) {
        if (isContaining(point))
            return true;
    }
    for (const Vec3& point : getPoints()) {
        if (other.isContaining(point))
            return true;
    }
    return false;
}

bool Tarvex3DGeometry2DExtrusion::unite(const Tarvex3DGeometry& other)
{
    if (!base || !other.isExtrusion())
        return false;
    const auto& extrusion = static_cast<const Tarvex3DGeometry2DExtrusion&>(other);
    if (!extrusion.base || placement.getRotationMatrix() != extrusion.placement.getRotationMatrix())
        return false;

    const Vec3 offset = extrusion.placement.getTranslation() - placement.getTranslation();
    const Vec3 axis = placement.getRotationMatrix().transformVector(localUp);
    const double along = axis.dot(offset);

    if (isEqual(along, 0.0)) {
        // Same base plane: the other footprint, seen from this frame, joins this one.
        const Transform toLocal = placement.inverse();
        std::vector<Vec2> points;
        for (const Vec2& p : extrusion.base->getPoints()) {
            const Vec3 local =
                toLocal.transformedVector(extrusion.placement.transformedVector(Vec3(p.x, p.y, 0.0)));
            if (!isInHeightRange(local.z))
                return false;
            points.emplace_back(local.x, local.y);
        }
        std::unique_ptr<Tarvex2DGeometry> joined = base->isPolygon() ? base->clone() : base->toPolygon();
        if (!joined || !joined->unite(Tarvex2DGeometryPolygon(std::move(points))))
            return false;
        base = std::move(joined);
        return true;
    }

    const bool onTop = isEqual(along, height);
    const bool below = !onTop && isEqual(along, -extrusion.height);
    if (!onTop && !below)
        return false;
    if (!base->isEquivalent(*extrusion.base))
        return false;
    base->getHoles() = base->matchingHoles(*extrusion.base);
    height += extrusion.height;
    if (below)
        placement = extrusion.placement;
    return true;
}

std::unique_ptr<Tarvex3DGeometry> Tarvex3DGeometry2DExtrusion::clone() const
{
    return std::make_unique<Tarvex3DGeometry2DExtrusion>(*this);
}

Tarvex3DGeometry& Tarvex3DGeometry2DExtrusion::transformGeometry(const Transform& transform)
{
    placement = Transform::multiply(transform, placement);
    return *this;
}

std::vector<Vec3> Tarvex3DGeometry2DExtrusion::getPoints() const
{
    return pointsPlacedBy(placement);
}

bool Tarvex3DGeometry2DExtrusion::hasPoints() const
{
    return base && base->hasPoints();
}

std::vector<Vec3> Tarvex3DGeometry2DExtrusion::getTransformedPoints(const Transform& transform) const
{
    // The placement a transformed copy would have, so the points are those of the copy.
    return pointsPlacedBy(Transform::multiply(transform, placement));
}

bool Tarvex3DGeometry2DExtrusion::allTransformedPoints(const Transform& transform, const PointTest& test) const
{
    return !base || allPointsPlacedBy(Transform::multiply(transform, placement), base->getPoints(), test);
}

std::vector<Vec3> Tarvex3DGeometry2DExtrusion::pointsPlacedBy(const Transform& place) const
{
    std::vector<Vec3> points;
    if (!base)
        return points;
    const std::vector<Vec2> outline = base->getPoints();
    points.reserve(2 * outline.size());
    allPointsPlacedBy(place, outline, [&points](const Vec3& point) {
        points.push_back(point);
        return true;
    });
    return points;
}

bool Tarvex3DGeometry2DExtrusion::allPointsPlacedBy(const Transform& place, const std::vector<Vec2>& outline,
                                                    const PointTest& test) const
{
    // The bottom points, then each moved up by the extrusion.
    for (const Vec2& p : outline) {
        if (!test(place.transformedVector(Vec3(p.x, p.y, 0.0))))
            return false;
    }
    const Vec3 up = place.getRotationMatrix().transformVector(localUp) * height;
    for (const Vec2& p : outline) {
        if (!test(place.transformedVector(Vec3(p.x, p.y, 0.0)) + up))
            return false;
    }
    return true;
}

std::vector<Tarvex3DGeometryLine> Tarvex3DGeometry2DExtrusion::getEdges() const
{
    std::vector<Tarvex3DGeometryLine> edges;
    if (!base)
        return edges;
    const Vec3 up = getExtrusionVector();
    const std::vector<Tarvex2DGeometryLine> sides = base->getSides();
    const std::vector<Vec2> outline = base->getPoints();
    edges.reserve(2 * sides.size() + outline.size());
    std::vector<Tarvex3DGeometryLine> bottom;
    bottom.reserve(sides.size());
    for (const Tarvex2DGeometryLine& side : sides) {
        bottom.emplace_back(placement.transformedVector(Vec3(side.getStart().x, side.getStart().y, 0.0)),
                            placement.transformedVector(Vec3(side.getEnd().x, side.getEnd().y, 0.0)));
    }
    edges.insert(edges.end(), bottom.begin(), bottom.end());
    for (const Vec2& p : outline) {
        const Vec3 low = placement.transformedVector(Vec3(p.x, p.y, 0.0));
        edges.emplace_back(low, low + up);
    }
    for (const Tarvex3DGeometryLine& edge : bottom)
        edges.emplace_back(edge.getStart() + up, edge.getEnd() + up);
    return edges;
}

std::vector<std::unique_ptr<Tarvex3DGeometry>> Tarvex3DGeometry2DExtrusion::getHoles() const
{
    std::vector<std::unique_ptr<Tarvex3DGeometry>> result;
    if (!base)
        return result;
    for (const auto& hole : base->getHoles()) {
        if (!hole)
            continue;
        auto piece = std::make_unique<Tarvex3DGeometry2DExtrusion>(*this);
        piece->base = hole->clone();
        result.push_back(std::move(piece));
    }
    return result;
}

Vec3 Tarvex3DGeometry2DExtrusion::getExtrusionVector() const
{
    return placement.getRotationMatrix().transformVector(localUp) * height;
}

bool Tarvex3DGeometry2DExtrusion::isInHeightRange(double localZ) const
{
    return isEqual(localZ, 0.0) || isEqual(localZ, height) || (localZ > 0.0 && localZ < height);
}

} // namespace Tarvex
