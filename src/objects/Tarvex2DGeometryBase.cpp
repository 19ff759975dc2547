#include <tarvex/objects/Tarvex2DGeometryBase.h>

#include <tarvex/objects/Tarvex2DGeometryLine.h>
#include <tarvex/objects/Tarvex2DGeometryOutline.h>
#include <tarvex/objects/Tarvex2DGeometryPolygon.h>
#include <tarvex/objects/Tarvex2DGeometryRectangle.h>
#include <tarvex/objects/Tarvex2DOutlineBox.h>

#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>

#include <algorithm>
#include <cmath>

namespace Tarvex {

using Geometry::Vec2;

namespace {

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;
using SegmentBox = bg::model::box<bg::model::point<double, 2, bg::cs::cartesian>>;

SegmentBox segmentBox(const Vec2& a, const Vec2& b, double margin)
{
    return SegmentBox({std::min(a.x, b.x) - margin, std::min(a.y, b.y) - margin},
                      {std::max(a.x, b.x) + margin, std::max(a.y, b.y) + margin});
}

bool outlinesTouch(const std::vector<Vec2>& mine, const std::vector<Vec2>& theirs)
{
    const Tarvex2DOutlineBox mineBox = Tarvex2DOutlineBox::of(mine);
    const Tarvex2DOutlineBox theirBox = Tarvex2DOutlineBox::of(theirs);
    if (mineBox.isApart(theirBox))
        return false;
    const size_t n = mine.size();
    const size_t m = theirs.size();
    // Small outlines, and outlines whose boxes are unusable (coordinates that are not
    // finite), compare every side with every side.
    if (n * m <= 4096 || !mineBox.usable || !theirBox.usable) {
        for (size_t j = 0; j < m; ++j) {
            const Vec2& b0 = theirs[j];
            const Vec2& b1 = theirs[(j + 1) % m];
            for (size_t i = 0; i < n; ++i) {
                if (Tarvex2DGeometryLine::segmentsIntersect(mine[i], mine[(i + 1) % n], b0, b1))
                    return true;
            }
        }
        return false;
    }
    // Large outlines: only sides whose boxes, grown by both outlines' margins (which hold
    // every crossing the side test can still accept), meet can touch; the answer is the
    // same, found without comparing every pair.
    const double margin = mineBox.margin + theirBox.margin;
    std::vector<std::pair<SegmentBox, size_t>> sides;
    sides.reserve(n);
    for (size_t i = 0; i < n; ++i)
        sides.emplace_back(segmentBox(mine[i], mine[(i + 1) % n], margin), i);
    const bgi::rtree<std::pair<SegmentBox, size_t>, bgi::rstar<16>> index(sides.begin(), sides.end());
    for (size_t j = 0; j < m; ++j) {
        const Vec2& b0 = theirs[j];
        const Vec2& b1 = theirs[(j + 1) % m];
        for (auto it = index.qbegin(bgi::intersects(segmentBox(b0, b1, 0.0))); it != index.qend(); ++it) {
            const size_t i = it->second;
            if (Tarvex2DGeometryLine::segmentsIntersect(mine[i], mine[(i + 1) % n], b0, b1))
                return true;
        }
    }
    return false;
}

// Holes of holes are cut at this depth; real data never nests that deep, and the limit
// keeps numerically unstable input from recursing without end.
constexpr int maxHoleDepth = 8;

} // namespace

Tarvex2DGeometryBase::Tarvex2DGeometryBase() = default;

Tarvex2DGeometryBase::Tarvex2DGeometryBase(const Tarvex2DGeometryBase& other)
    : Tarvex2DGeometry(other)
{
    cloneHoles(other);
}

Tarvex2DGeometryBase::Tarvex2DGeometryBase(Tarvex2DGeometryBase&& other) noexcept
    : Tarvex2DGeometry(std::move(other)), holes(std::move(other.holes))
{
}

Tarvex2DGeometryBase& Tarvex2DGeometryBase::operator=(const Tarvex2DGeometryBase& other)
{
    if (this != &other)
        cloneHoles(other);
    return *this;
}

Tarvex2DGeometryBase& Tarvex2DGeometryBase::operator=(Tarvex2DGeometryBase&& other) noexcept
{
    if (this != &other)
        holes = std::move(other.holes);
    return *this;
}

Tarvex2DGeometryBase::~Tarvex2DGeometryBase() = default;

std::vector<Tarvex2DGeometryLine> Tarvex2DGeometryBase::getSides() const
{
    const std::vector<Vec2> points = getPoints();
    std::vector<Tarvex2DGeometryLine> sides;
    const size_t n = points.size();
    sides.reserve(n);
    for (size_t i = 0; i < n; ++i)
        sides.emplace_back(points[i], points[(i + 1) % n]);
    return sides;
}

std::unique_ptr<Tarvex2DGeometryPolygon> Tarvex2DGeometryBase::toPolygon() const
{
    return nullptr;
}

std::unique_ptr<Tarvex2DGeometryRectangle> Tarvex2DGeometryBase::toRectangle() const
{
    return nullptr;
}

bool Tarvex2DGeometryBase::isTouching(const Tarvex2DGeometry& other) const
{
    return outlinesTouch(getPoints(), other.getPoints());
}

bool Tarvex2DGeometryBase::isTouching(const Vec2& point) const
{
    return Tarvex2DGeometryOutline::isOnOutline(getPoints(), point);
}

bool Tarvex2DGeometryBase::isTouching(const Tarvex2DGeometryLine& line) const
{
    return outlinesTouch(getPoints(), line.getPoints());
}

bool Tarvex2DGeometryBase::isContaining(const Tarvex2DGeometry& other, bool inclusive) const
{
    const Tarvex2DGeometryOutline outline(*this);
    for (const Vec2& point : other.getPoints()) {
        if (!outline.contains(point, inclusive))
            return false;
    }
    return true;
}

bool Tarvex2DGeometryBase::isContaining(const Vec2& point, bool inclusive) const
{
    return Tarvex2DGeometryOutline(*this).contains(point, inclusive);
}

bool Tarvex2DGeometryBase::isOverlapping(const Tarvex2DGeometry& other) const
{
    const Tarvex2DGeometryOutline outline(*this);
    for (const Vec2& point : other.getPoints()) {
        if (outline.contains(point, true))
            return true;
    }
    return false;
}

bool Tarvex2DGeometryBase::isPartialOverlapping(const Tarvex2DGeometry& other) const
{
    const Tarvex2DGeometryOutline outline(*this);
    bool anyInside = false;
    bool anyOutside = false;
    for (const Vec2& point : other.getPoints()) {
        if (outline.contains(point, true))
            anyInside = true;
        else
            anyOutside = true;
        if (anyInside && anyOutside)
            return true;
    }
    return false;
}

bool Tarvex2DGeometryBase::unite(const Tarvex2DGeometry& other)
{
    if (!do_unite(other))
        return false;
    uniteHoles(other);
    return true;
}

bool Tarvex2DGeometryBase::substract(const Tarvex2DGeometry& other)
{
    if (!do_substract(other))
        return false;
    substractHoles(other);
    return true;
}

Geometry::Bound2D Tarvex2DGeometryBase::getBound() const
{
    const std::vector<Vec2> points = getPoints();
    if (points.empty())
        return Geometry::Bound2D(Vec2(0.0, 0.0));
    Geometry::Bound2D bound(points.front());
    for (const Vec2& p : points)
        bound.unite(p);
    return bound;
}

bool Tarvex2DGeometryBase::isEquivalent(const Tarvex2DGeometry& other) const
{
    const std::vector<Vec2> mine = getPoints();
    const std::vector<Vec2> theirs = other.getPoints();
    if (mine.size() != theirs.size())
        return false;
    for (size_t i = 0; i < mine.size(); ++i) {
        if (!isEqual(mine[i], theirs[i]))
            return false;
    }
    return true;
}

Tarvex2DGeometry::HoleList Tarvex2DGeometryBase::matchingHoles(const Tarvex2DGeometry& other) const
{
    HoleList result;
    for (const auto& mine : holes) {
        if (!mine)
            continue;
        for (const auto& theirs : other.getHoles()) {
            if (theirs && mine->isEquivalent(*theirs)) {
                result.push_back(theirs->clone());
                break;
            }
        }
    }
    return result;
}

std::unique_ptr<Tarvex2DGeometry> Tarvex2DGeometryBase::createTransformedGeometry(
    const Geometry::Transform2D& transform) const
{
    std::unique_ptr<Tarvex2DGeometry> copy = clone();
    copy->transformGeometry(transform);
    return copy;
}

bool Tarvex2DGeometryBase::hasHoles() const
{
    return !holes.empty();
}

const Tarvex2DGeometry::HoleList& Tarvex2DGeometryBase::getHoles() const
{
    return holes;
}

Tarvex2DGeometry::HoleList& Tarvex2DGeometryBase::getHoles()
{
    return holes;
}

void Tarvex2DGeometryBase::addHole(std::unique_ptr<Tarvex2DGeometry> hole)
{
    if (!hole)
        return;
    for (auto& existing : holes) {
        if (existing && existing->unite(*hole)) {
            reduceHoles();
            return;
        }
    }
    hole->removeRedundantPoints();
    holes.push_back(std::move(hole));
}

void Tarvex2DGeometryBase::removeRedundantPoints()
{
    do_removeRedundantPoints();
    for (auto& hole : holes) {
        if (hole)
            hole->removeRedundantPoints();
    }
}

std::unique_ptr<Tarvex2DGeometry> Tarvex2DGeometryBase::clip(const Tarvex2DGeometry&) const
{
    return nullptr;
}

bool Tarvex2DGeometryBase::do_unite(const Tarvex2DGeometry&)
{
    return false;
}

bool Tarvex2DGeometryBase::do_substract(const Tarvex2DGeometry&)
{
    return false;
}

void Tarvex2DGeometryBase::do_removeRedundantPoints() {}

void Tarvex2DGeometryBase::cloneHoles(const Tarvex2DGeometry& other)
{
    HoleList copies;
    copies.reserve(other.getHoles().size());
    for (const auto& hole : other.getHoles()) {
        if (hole)
            copies.push_back(hole->clone());
    }
    holes = std::move(copies);
}

void Tarvex2DGeometryBase::substractHoles(const Tarvex2DGeometry& other)
{
    substractHoles(other, 0);
}

void Tarvex2DGeometryBase::substractHoles(const Tarvex2DGeometry& other, int depth)
{
    HoleList movedOut;
    for (auto it = holes.begin(); it != holes.end();) {
        Tarvex2DGeometry* hole = it->get();
        if (hole == nullptr || other.isContaining(*hole, true)) {
            it = holes.erase(it);
        } else if (other.isPartialOverlapping(*hole)) {
            hole->substract(other);
            movedOut.push_back(std::move(*it));
            it = holes.erase(it);
        } else {
            ++it;
        }
    }
    if (depth < maxHoleDepth) {
        for (const auto& hole : movedOut) {
            if (do_substract(*hole))
                substractHoles(*hole, depth + 1);
        }
    }
    reduceHoles();
}

void Tarvex2DGeometryBase::uniteHoles(const Tarvex2DGeometry& other)
{
    for (auto it = holes.begin(); it != holes.end();) {
        if (*it == nullptr || (*it)->isEquivalent(other)) {
            it = holes.erase(it);
        } else {
            (*it)->substract(other);
            ++it;
        }
    }
    for (const auto& hole : other.getHoles()) {
        if (hole)
            holes.push_back(hole->clone());
    }
    reduceHoles();
}

void Tarvex2DGeometryBase::reduceHoles()
{
    size_t i = 0;
    while (i < holes.size()) {
        Tarvex2DGeometry* hole = holes[i].get();
        const Geometry::Bound2D bound = hole ? hole->getBound() : Geometry::Bound2D();
        const Vec2 size = bound.getHigh() - bound.getLow();
        if (hole == nullptr || isEqual(size.x, 0.0) || isEqual(size.y, 0.0)) {
            holes.erase(holes.begin() + std::ptrdiff_t(i));
            continue;
        }
        bool merged = false;
        for (size_t j = i + 1; j < holes.size(); ++j) {
            if (holes[j] && hole->unite(*holes[j])) {
                holes.erase(holes.begin() + std::ptrdiff_t(j));
                merged = true;
                break;
            }
        }
        i = merged ? 0 : i + 1;
    }
}

} // namespace Tarvex

