#include <tarvex/maps/TarvexPowerMapAreaList.h>

#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>

#include <algorithm>
#include <cmath>

namespace Tarvex {

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;

namespace {

constexpr double ContainTolerance = 1e-9;
constexpr double CornerTolerance = 1e-6;

using Point = bg::model::point<double, 2, bg::cs::cartesian>;
using Box = bg::model::box<Point>;

Box boxOf(const Geometry::Bound2D& bound)
{
    return Box(Point(bound.getLow().x, bound.getLow().y), Point(bound.getHigh().x, bound.getHigh().y));
}

double area(const Geometry::Bound2D& bound) { return bound.getSize().x * bound.getSize().y; }

bool sameCoordinate(double a, double b) { return a == b || std::abs(a - b) < CornerTolerance; }

bool isCornerOf(const Geometry::Vec2& point, const Geometry::Bound2D& bound)
{
    for (const Geometry::Vec2& corner : bound.getCorners()) {
        if (sameCoordinate(point.x, corner.x) && sameCoordinate(point.y, corner.y))
            return true;
    }
    return false;
}

// Splits `piece` at `point` into the rectangles spanned by the point and each corner, when
// the point lies inside and at least two of them are wider and higher than the corner
// tolerance.
void split(const Geometry::Bound2D& piece, const Geometry::Vec2& point, std::vector<Geometry::Bound2D>& out)
{
    if (piece.contains(point, ContainTolerance) && !isCornerOf(point, piece)) {
        std::vector<Geometry::Bound2D> parts;
        for (const Geometry::Vec2& corner : piece.getCorners()) {
            const Geometry::Bound2D part(point, corner);
            if (part.getSize().x > CornerTolerance && part.getSize().y > CornerTolerance)
                parts.push_back(part);
        }
        if (parts.size() >= 2) {
            out.insert(out.end(), parts.begin(), parts.end());
            return;
        }
    }
    out.push_back(piece);
}

// True when `piece` holds a corner of `other`; a piece holding none comes out of
// cut(piece, other) whole.
bool holdsCornerOf(const Geometry::Bound2D& piece, const Geometry::Bound2D& other)
{
    for (const Geometry::Vec2& corner : other.getCorners()) {
        if (piece.contains(corner, ContainTolerance))
            return true;
    }
    return false;
}

std::vector<Geometry::Bound2D> cut(const Geometry::Bound2D& a, const Geometry::Bound2D& b)
{
    std::vector<Geometry::Bound2D> pieces{a};
    for (const Geometry::Vec2& corner : b.getCorners()) {
        std::vector<Geometry::Bound2D> next;
        for (const Geometry::Bound2D& piece : pieces)
            split(piece, corner, next);
        pieces.swap(next);
    }
    return pieces;
}

std::optional<TarvexPowerData> scaled(const std::optional<TarvexPowerData>& data, double factor)
{
    std::optional<TarvexPowerData> result = data;
    if (result)
        result->scale(factor);
    return result;
}

} // namespace

void TarvexPowerData::scale(double factor)
{
    if (factor == 1.0)
        return;
    power *= factor;
    for (auto& entry : leakage)
        entry.second *= factor;
}

void TarvexPowerData::merge(const TarvexPowerData& other)
{
    power += other.power;
    for (const auto& entry : other.leakage) {
        const auto at = std::lower_bound(leakage.begin(), leakage.end(), entry.first,
                                         [](const std::pair<double, double>& e, double t) { return e.first < t; });
        if (at != leakage.end() && at->first == entry.first)
            at->second += entry.second;
        else
            leakage.insert(at, entry);
    }
}

struct TarvexPowerMapAreaList::Index
{
    using Entry = std::pair<Box, Centre>;
    struct Equal
    {
        bool operator()(const Entry& a, const Entry& b) const
        {
            return bg::equals(a.first, b.first) && a.second.x == b.second.x && a.second.y == b.second.y;
        }
    };
    bgi::rtree<Entry, bgi::rstar<16>, bgi::indexable<Entry>, Equal> tree;
};

TarvexPowerMapAreaList::TarvexPowerMapAreaList() : m_index(std::make_unique<Index>()) {}

TarvexPowerMapAreaList::~TarvexPowerMapAreaList() = default;

void TarvexPowerMapAreaList::addMapArea(const Geometry::Bound2D& bound)
{
    if (m_areas.empty()) {
        insert(bound, std::nullopt);
        m_union = bound;
        return;
    }
    // The first rectangle grows and is filed again under its new centre, so that the list
    // stays sorted and later blocks merge by the centres the rectangles really have.
    TarvexPowerMapArea first = m_areas.begin()->second;
    erase(m_areas.begin());
    first.bound.unite(bound);
    insert(first.bound, first.data);
    m_union.unite(bound);
}

bool TarvexPowerMapAreaList::hasValidMapArea() const
{
    return !m_areas.empty() && m_areas.begin()->second.bound.isValid(ContainTolerance);
}

void TarvexPowerMapAreaList::place(const Geometry::Bound2D& block, const TarvexPowerData& data)
{
    if (!hasValidMapArea() || !block.isValid(ContainTolerance) ||
        !(m_union.contains(block, ContainTolerance) || m_union.overlaps(block, ContainTolerance)))
        return;

    // Only rectangles that hold a corner of the block can be cut by it; take them in list
    // order, as a walk over the whole list would.
    std::vector<Centre> candidates;
    for (const Geometry::Vec2& corner : block.getCorners()) {
        const Box probe(Point(corner.x - ContainTolerance, corner.y - ContainTolerance),
                        Point(corner.x + ContainTolerance, corner.y + ContainTolerance));
        for (auto it = m_index->tree.qbegin(bgi::intersects(probe)); it != m_index->tree.qend(); ++it)
            candidates.push_back(it->second);
    }
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end(),
                                 [](const Centre& a, const Centre& b) { return !(a < b) && !(b < a); }),
                     candidates.end());

    std::vector<Geometry::Bound2D> blockPieces{block};
    std::vector<TarvexPowerMapArea> cutPieces;
    for (const Centre& key : candidates) {
        const auto at = m_areas.find(key);
        const TarvexPowerMapArea existing = at->second;
        const std::vector<Geometry::Bound2D> pieces = cut(existing.bound, block);
        if (pieces.size() < 2)
            continue;
        const double whole = area(existing.bound);
        for (const Geometry::Bound2D& piece : pieces)
            cutPieces.push_back({piece, scaled(existing.data, area(piece) / whole)});
        // The block's pieces grow with every rectangle it meets; only the few holding a
        // corner of this one are cut, the others are kept without building their cuts.
        std::vector<Geometry::Bound2D> next;
        next.reserve(blockPieces.size() + 8);
        for (const Geometry::Bound2D& piece : blockPieces) {
            if (!holdsCornerOf(piece, existing.bound)) {
                next.push_back(piece);
                continue;
            }
            const std::vector<Geometry::Bound2D> parts = cut(piece, existing.bound);
            next.insert(next.end(), parts.begin(), parts.end());
        }
        blockPieces.swap(next);
        erase(at);
    }
    for (const TarvexPowerMapArea& piece : cutPieces)
        insert(piece.bound, piece.data);
    const double whole = area(block);
    for (const Geometry::Bound2D& piece : blockPieces)
        insert(piece, scaled(data, area(piece) / whole));
    m_union.unite(block);
}

std::vector<TarvexPowerMapArea> TarvexPowerMapAreaList::areas() const
{
    std::vector<TarvexPowerMapArea> result;
    result.reserve(m_areas.size());
    for (const auto& entry : m_areas)
        result.push_back(entry.second);
    return result;
}

void TarvexPowerMapAreaList::insert(const Geometry::Bound2D& bound, const std::optional<TarvexPowerData>& data)
{
    const Geometry::Vec2 centre = bound.getCentre();
    const Centre key{centre.x, centre.y};
    const auto found = m_areas.find(key);
    if (found != m_areas.end()) {
        // The rectangle already there keeps its bound and absorbs the power.
        std::optional<TarvexPowerData>& held = found->second.data;
        if (data && !held)
            held = data;
        else if (data)
            held->merge(*data);
        return;
    }
    m_areas.emplace(key, TarvexPowerMapArea{bound, data});
    m_index->tree.insert(Index::Entry(boxOf(bound), key));
}

void TarvexPowerMapAreaList::erase(std::map<Centre, TarvexPowerMapArea>::iterator at)
{
    m_index->tree.remove(Index::Entry(boxOf(at->second.bound), at->first));
    m_areas.erase(at);
}

} // namespace Tarvex
