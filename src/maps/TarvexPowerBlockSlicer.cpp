#include <tarvex/maps/TarvexPowerBlockSlicer.h>

#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>
#include <boost/iterator/function_output_iterator.hpp>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <queue>

namespace Tarvex {

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;

namespace {

using Block = TarvexPowerBlockSlicer::Block;
using Point = bg::model::point<double, 2, bg::cs::cartesian>;
using Box = bg::model::box<Point>;
using Entry = std::pair<Box, std::size_t>;
using Tree = bgi::rtree<Entry, bgi::quadratic<16>>;

Box boxOf(const Block& block) { return Box(Point(block.xLow, block.yLow), Point(block.xHigh, block.yHigh)); }

// The block's left (or right) side as a box without width.
Box sideOf(const Block& block, bool high)
{
    const double x = high ? block.xHigh : block.xLow;
    return Box(Point(x, block.yLow), Point(x, block.yHigh));
}

double area(const Block& block) { return (block.xHigh - block.xLow) * (block.yHigh - block.yLow); }

// An endpoint's place in the x (or y) order: by coordinate, equal coordinates by endpoint
// index, as a stable sort of the endpoint indices puts them.
struct EndKey
{
    double value;
    std::size_t index;
    bool operator<(const EndKey& other) const
    {
        return value < other.value || (value == other.value && index < other.index);
    }
};

EndKey xKey(std::size_t endpoint, const std::vector<Block>& blocks)
{
    const Block& block = blocks[TarvexPowerBlockSlicer::fromHiLoIndex(endpoint)];
    return {TarvexPowerBlockSlicer::isHiIndex(endpoint) ? block.xHigh : block.xLow, endpoint};
}

EndKey yKey(std::size_t endpoint, const std::vector<Block>& blocks)
{
    const Block& block = blocks[TarvexPowerBlockSlicer::fromHiLoIndex(endpoint)];
    return {TarvexPowerBlockSlicer::isHiIndex(endpoint) ? block.yHigh : block.yLow, endpoint};
}

Block overlapOf(const Block& a, const Block& b)
{
    return {std::max(a.xLow, b.xLow), std::max(a.yLow, b.yLow), std::min(a.xHigh, b.xHigh), std::min(a.yHigh, b.yHigh)};
}

bool isOverlap(const Block& overlap)
{
    const double width = overlap.xHigh - overlap.xLow;
    const double height = overlap.yHigh - overlap.yLow;
    return width > 0 && height > 0 && !(width * height < TarvexPowerBlockSlicer::AreaTolerance);
}

struct Piece
{
    Block block;
    double power;
};

// Appends the parts of `block` outside `overlap` with their share of `power`; false when
// no side of the block sticks out of the overlap.
bool outerPieces(const Block& block, double power, const Block& overlap, std::vector<Piece>& out)
{
    constexpr double tolerance = TarvexPowerBlockSlicer::SideTolerance;
    const bool left = overlap.xLow - block.xLow > tolerance;
    const bool bottom = overlap.yLow - block.yLow > tolerance;
    const bool right = block.xHigh - overlap.xHigh > tolerance;
    const bool top = block.yHigh - overlap.yHigh > tolerance;
    if (!left && !bottom && !right && !top)
        return false;
    const double whole = area(block);
    const auto add = [&](const Block& piece) {
        const double part = area(piece);
        if (!(part < TarvexPowerBlockSlicer::AreaTolerance))
            out.push_back({piece, power * part / whole});
    };
    if (left)
        add({block.xLow, block.yLow, overlap.xLow, block.yHigh});
    if (right)
        add({overlap.xHigh, block.yLow, block.xHigh, block.yHigh});
    const double x0 = left ? overlap.xLow : block.xLow;
    const double x1 = right ? overlap.xHigh : block.xHigh;
    if (bottom)
        add({x0, block.yLow, x1, overlap.yLow});
    if (top)
        add({x0, overlap.yHigh, x1, block.yHigh});
    return true;
}

// The blocks, by a stable id (the order of the plain pass: survivors keep their order and
// pieces come last), with the queue of those that may still have an overlapping partner
// and two R-trees: the vertical sides of the live blocks, and the live blocks not queued.
// Invariant: a live block not queued has no partner.
//
// A partner meets a block by a side, so searching sides visits only blocks that may be
// partners, not every block that covers the search window; and only blocks not queued need
// waking. With blocks heaped on each other both keep the work near the pieces made.
class Slicer
{
public:
    Slicer(const std::vector<Block>& blocks, const std::vector<double>& powers, std::size_t limit)
        : m_blocks(blocks), m_powers(powers), m_alive(blocks.size(), 1), m_queued(blocks.size(), 1),
          m_dormant(blocks.size(), 0), m_limit(limit)
    {
        std::vector<Entry> sides;
        sides.reserve(2 * blocks.size());
        double widths = 0;
        for (std::size_t id = 0; id < blocks.size(); ++id) {
            sides.emplace_back(sideOf(blocks[id], false), id);
            sides.emplace_back(sideOf(blocks[id], true), id);
            widths += blocks[id].xHigh - blocks[id].xLow;
            m_queue.push(id);
        }
        m_sides = Tree(sides.begin(), sides.end());
        // Partners are searched in widening x windows that start a few blocks wide: one
        // query for a block of common size, a few for a strip across the die.
        m_firstStep = blocks.empty() ? 0.0 : 4 * widths / double(blocks.size());
    }

    TarvexPowerBlockSlicer::Result run()
    {
        while (!m_queue.empty()) {
            const std::size_t i = m_queue.top();
            m_queue.pop();
            m_queued[i] = 0;
            if (!m_alive[i])
                continue;
            const std::optional<std::size_t> j = firstPartner(i);
            if (!j) {
                m_dormant[i] = 1;
                m_sleeping.insert(Entry(boxOf(m_blocks[i]), i));
                continue;
            }
            if (!slicePair(i, *j))
                return TarvexPowerBlockSlicer::Result::TooManyBlocks;
            if (m_alive[i])
                enqueue(i);
        }
        return TarvexPowerBlockSlicer::Result::Sliced;
    }

    void result(std::vector<Block>& blocks, std::vector<double>& powers) const
    {
        blocks.clear();
        powers.clear();
        for (std::size_t id = 0; id < m_blocks.size(); ++id) {
            if (m_alive[id]) {
                blocks.push_back(m_blocks[id]);
                powers.push_back(m_powers[id]);
            }
        }
    }

private:
    // Where block i's pass meets block j in the x order, when j is a partner of i: an
    // endpoint of j lies strictly between i's endpoints, the two overlap in the y order and
    // their overlap has an area.
    std::optional<EndKey> meets(std::size_t i, std::size_t j) const
    {
        using S = TarvexPowerBlockSlicer;
        const EndKey low = xKey(S::toLowIndex(i), m_blocks);
        const EndKey high = xKey(S::toHighIndex(i), m_blocks);
        EndKey at = xKey(S::toLowIndex(j), m_blocks);
        if (!(low < at && at < high)) {
            at = xKey(S::toHighIndex(j), m_blocks);
            if (!(low < at && at < high))
                return std::nullopt;
        }
        if (!(yKey(S::toLowIndex(j), m_blocks) < yKey(S::toHighIndex(i), m_blocks) &&
              yKey(S::toLowIndex(i), m_blocks) < yKey(S::toHighIndex(j), m_blocks)))
            return std::nullopt;
        if (!isOverlap(overlapOf(m_blocks[i], m_blocks[j])))
            return std::nullopt;
        return at;
    }

    // The partner of i met first in the x order. Every partner meeting i at an x up to the
    // window's end has a side in the window, so once one is found there it is the first.
    // The first window is as wide as the last windows needed to hold a few sides, so that
    // a block among thousands of others heaped on it looks at a few of them, not all.
    std::optional<std::size_t> firstPartner(std::size_t i)
    {
        constexpr double SidesPerWindow = 16;
        const Block& block = m_blocks[i];
        double step = m_sideDensity > 0 ? std::min(m_firstStep, SidesPerWindow / m_sideDensity) : m_firstStep;
        while (true) {
            double end = block.xLow + step;
            const bool whole = !(step > 0) || !(end < block.xHigh);
            if (whole)
                end = block.xHigh;
            std::optional<EndKey> best;
            std::size_t bestId = 0;
            std::size_t seen = 0;
            const Box window(Point(block.xLow, block.yLow), Point(end, block.yHigh));
            forEachIn(m_sides, window, [&](std::size_t j) {
                ++seen;
                if (j == i)
                    return;
                const std::optional<EndKey> at = meets(i, j);
                if (at && at->value <= end && (!best || *at < *best)) {
                    best = at;
                    bestId = j;
                }
            });
            if (end > block.xLow)
                m_sideDensity = 0.9 * m_sideDensity + 0.1 * double(seen) / (end - block.xLow);
            if (best)
                return bestId;
            if (whole)
                return std::nullopt;
            step *= 2;
        }
    }

    // Slices the pair (i, j) as the plain pass does; false when the pieces would pass the limit.
    bool slicePair(std::size_t i, std::size_t j)
    {
        const Block first = m_blocks[i];
        const Block second = m_blocks[j];
        const double firstPower = m_powers[i];
        const double secondPower = m_powers[j];
        const Block overlap = overlapOf(first, second);
        std::vector<Piece> pieces;
        const bool firstOut = outerPieces(first, firstPower, overlap, pieces);
        const bool secondOut = outerPieces(second, secondPower, overlap, pieces);
        const double overlapArea = area(overlap);
        if (firstOut && secondOut) {
            pieces.push_back({overlap, firstPower * overlapArea / area(first) + secondPower * overlapArea / area(second)});
            remove(i);
            remove(j);
        } else if (firstOut) {
            m_powers[j] += firstPower * overlapArea / area(first);
            remove(i);
        } else if (secondOut) {
            m_powers[i] += secondPower * overlapArea / area(second);
            remove(j);
        } else {
            // The same rectangle within the tolerance: one block with both powers.
            m_powers[i] += secondPower;
            remove(j);
        }
        if (m_blocks.size() + pieces.size() > m_limit)
            return false;
        const std::size_t firstNew = m_blocks.size();
        for (const Piece& piece : pieces) {
            const std::size_t id = m_blocks.size();
            m_blocks.push_back(piece.block);
            m_powers.push_back(piece.power);
            m_alive.push_back(1);
            m_queued.push_back(0);
            m_dormant.push_back(0);
            m_sides.insert(Entry(sideOf(piece.block, false), id));
            m_sides.insert(Entry(sideOf(piece.block, true), id));
            enqueue(id);
        }
        wakePartnersOf(firstNew);
        return true;
    }

    // Queues every block that one of the blocks from `firstNew` on is a partner of: such a
    // block crosses a vertical side of that new block, and only those not queued need it.
    // The sides of a pair's pieces lie on at most four lines, each searched once.
    void wakePartnersOf(std::size_t firstNew)
    {
        struct Side
        {
            double x;
            double yLow;
            double yHigh;
            std::size_t id;
        };
        std::vector<Side> sides;
        for (std::size_t id = firstNew; id < m_blocks.size(); ++id) {
            sides.push_back({m_blocks[id].xLow, m_blocks[id].yLow, m_blocks[id].yHigh, id});
            sides.push_back({m_blocks[id].xHigh, m_blocks[id].yLow, m_blocks[id].yHigh, id});
        }
        std::sort(sides.begin(), sides.end(), [](const Side& a, const Side& b) { return a.x < b.x; });
        std::vector<std::size_t> woken;
        for (std::size_t first = 0; first < sides.size();) {
            std::size_t last = first;
            double yLow = sides[first].yLow;
            double yHigh = sides[first].yHigh;
            while (last + 1 < sides.size() && sides[last + 1].x == sides[first].x) {
                ++last;
                yLow = std::min(yLow, sides[last].yLow);
                yHigh = std::max(yHigh, sides[last].yHigh);
            }
            const Box line(Point(sides[first].x, yLow), Point(sides[first].x, yHigh));
            woken.clear();
            forEachIn(m_sleeping, line, [&](std::size_t other) {
                for (std::size_t k = first; k <= last; ++k) {
                    if (other != sides[k].id && meets(other, sides[k].id)) {
                        woken.push_back(other);
                        break;
                    }
                }
            });
            for (const std::size_t other : woken)
                enqueue(other);
            first = last + 1;
        }
    }

    // Calls `visit` with the id of every entry of `tree` meeting `box`.
    template <typename Visit>
    static void forEachIn(const Tree& tree, const Box& box, Visit visit)
    {
        tree.query(bgi::intersects(box),
                   boost::make_function_output_iterator([&visit](const Entry& entry) { visit(entry.second); }));
    }

    void enqueue(std::size_t id)
    {
        if (m_queued[id])
            return;
        wake(id);
        m_queued[id] = 1;
        m_queue.push(id);
    }

    void wake(std::size_t id)
    {
        if (!m_dormant[id])
            return;
        m_dormant[id] = 0;
        m_sleeping.remove(Entry(boxOf(m_blocks[id]), id));
    }

    void remove(std::size_t id)
    {
        wake(id);
        m_sides.remove(Entry(sideOf(m_blocks[id], false), id));
        m_sides.remove(Entry(sideOf(m_blocks[id], true), id));
        m_alive[id] = 0;
    }

    std::vector<Block> m_blocks;
    std::vector<double> m_powers;
    std::vector<char> m_alive;
    std::vector<char> m_queued;
    std::vector<char> m_dormant; // live, not queued, and in m_sleeping
    std::priority_queue<std::size_t, std::vector<std::size_t>, std::greater<std::size_t>> m_queue;
    Tree m_sides;
    Tree m_sleeping;
    double m_firstStep = 0;
    double m_sideDensity = 0; // sides met per unit of window width, recently
    std::size_t m_limit;
};

bool isWellFormed(const Block& block)
{
    return std::isfinite(block.xLow) && std::isfinite(block.yLow) && std::isfinite(block.xHigh) &&
           std::isfinite(block.yHigh) && block.xLow <= block.xHigh && block.yLow <= block.yHigh;
}

} // namespace

double TarvexPowerBlockSlicer::base_fn_xVal(std::size_t endpoint, const std::vector<Block>& blocks)
{
    const Block& block = blocks[fromHiLoIndex(endpoint)];
    return isHiIndex(endpoint) ? block.xHigh : block.xLow;
}

double TarvexPowerBlockSlicer::base_fn_yVal(std::size_t endpoint, const std::vector<Block>& blocks)
{
    const Block& block = blocks[fromHiLoIndex(endpoint)];
    return isHiIndex(endpoint) ? block.yHigh : block.yLow;
}

TarvexPowerBlockSlicer::Result TarvexPowerBlockSlicer::slice(std::vector<Block>& blocks, std::vector<double>& powers,
                                                             std::size_t blockLimit)
{
    if (blocks.size() != powers.size())
        return Result::BadInput;
    for (const Block& block : blocks) {
        if (!isWellFormed(block))
            return Result::BadInput;
    }
    if (blocks.size() > blockLimit)
        return Result::TooManyBlocks;
    Slicer slicer(blocks, powers, blockLimit);
    const Result result = slicer.run();
    if (result == Result::Sliced)
        slicer.result(blocks, powers);
    return result;
}

} // namespace Tarvex
