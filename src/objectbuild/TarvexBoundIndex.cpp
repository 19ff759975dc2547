#include <tarvex/objectbuild/TarvexBoundIndex.h>

#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>
#include <boost/iterator/function_output_iterator.hpp>

#include <algorithm>
#include <cmath>
#include <optional>

namespace Tarvex {

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;

namespace {

using Point = bg::model::point<double, 3, bg::cs::cartesian>;
using Box = bg::model::box<Point>;
using Entry = std::pair<Box, std::size_t>;

// Above every tolerance the containment tests use (1e-6 on vertices, 1e-9 on bounds), so
// that an item the tests accept is never outside the grown box.
constexpr double absoluteMargin = 1e-5;
constexpr double relativeMargin = 1e-9;

bool isFinite(const Geometry::Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The box an item or container occupies, grown by the margin; nullopt when its bound does
// not bound what the containment tests look at.
std::optional<Box> searchBox(const TarvexPlacedGeometry& record)
{
    if (record.bound.isEmpty())
        return std::nullopt;
    if (record.hasGeometry() && !record.geometry->hasPoints())
        return std::nullopt;
    // A rotated frame makes the carried bound of the solid-less test larger than the
    // placed one; such records are always tested.
    if (!record.transform.getRotationMatrix().isIdentity())
        return std::nullopt;
    const Geometry::Bound placed = record.getPlacedBound();
    const Geometry::Vec3 low = placed.getLow();
    const Geometry::Vec3 high = placed.getHigh();
    if (!isFinite(low) || !isFinite(high))
        return std::nullopt;
    const double magnitude = std::max({std::abs(low.x), std::abs(low.y), std::abs(low.z), std::abs(high.x),
                                       std::abs(high.y), std::abs(high.z)});
    const double margin = absoluteMargin + relativeMargin * magnitude;
    return Box(Point(low.x - margin, low.y - margin, low.z - margin),
               Point(high.x + margin, high.y + margin, high.z + margin));
}

} // namespace

// Items added since the last question wait in `pending`. Asked again, the index takes them
// in: one by one when they are few beside the tree, else by packing the tree anew from all
// entries, which is several times faster than inserting and gives a better tree. A run of
// additions (a board's 400 000 solder joints) thus costs one packing, and a tree that grows
// between questions is packed anew only each time it has about doubled.
struct TarvexBoundIndex::Tree
{
    using RTree = bgi::rtree<Entry, bgi::quadratic<16>>;
    RTree tree;
    std::vector<Entry> pending;

    void takePending()
    {
        if (pending.empty())
            return;
        if (pending.size() <= tree.size() / 2) {
            tree.insert(pending.begin(), pending.end());
        } else {
            pending.insert(pending.end(), tree.begin(), tree.end());
            tree = RTree(pending.begin(), pending.end());
        }
        pending.clear();
    }
};

TarvexBoundIndex::TarvexBoundIndex() : m_tree(std::make_unique<Tree>()) {}
TarvexBoundIndex::~TarvexBoundIndex() = default;
TarvexBoundIndex::TarvexBoundIndex(TarvexBoundIndex&&) noexcept = default;
TarvexBoundIndex& TarvexBoundIndex::operator=(TarvexBoundIndex&&) noexcept = default;

void TarvexBoundIndex::insert(std::size_t id, const TarvexPlacedGeometry& geometry)
{
    m_all.push_back(id);
    if (const std::optional<Box> box = searchBox(geometry))
        m_tree->pending.emplace_back(*box, id);
    else
        m_unindexed.push_back(id);
}

std::vector<std::size_t> TarvexBoundIndex::meeting(const TarvexPlacedGeometry& geometry) const
{
    std::vector<std::size_t> ids;
    const std::optional<Box> box = searchBox(geometry);
    if (!box) {
        ids = m_all;
    } else {
        ids = m_unindexed;
        m_tree->takePending();
        m_tree->tree.query(bgi::intersects(*box), boost::make_function_output_iterator([&ids](const Entry& entry) {
                               ids.push_back(entry.second);
                           }));
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

} // namespace Tarvex
