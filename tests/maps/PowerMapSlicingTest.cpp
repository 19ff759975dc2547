#include "maps/TarvexPowerBlockSlicer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <random>
#include <sstream>

using Tarvex::TarvexPowerBlockSlicer;
using Block = TarvexPowerBlockSlicer::Block;

namespace {

// A plain transcription of the slicing loops: endpoint orderings by stable sorts, positions
// found by searching from the start, a pass over the blocks in order that slices the first
// overlapping pair it meets and then starts again. The indexed slicer must match it exactly.
class ReferenceSlicer
{
public:
    static bool slice(std::vector<Block>& blocks, std::vector<double>& powers)
    {
        while (true) {
            const size_t n = blocks.size();
            std::vector<size_t> xOrder(2 * n);
            std::iota(xOrder.begin(), xOrder.end(), 0);
            std::vector<size_t> yOrder = xOrder;
            std::stable_sort(xOrder.begin(), xOrder.end(), [&](size_t a, size_t b) {
                return TarvexPowerBlockSlicer::base_fn_xVal(a, blocks) < TarvexPowerBlockSlicer::base_fn_xVal(b, blocks);
            });
            std::stable_sort(yOrder.begin(), yOrder.end(), [&](size_t a, size_t b) {
                return TarvexPowerBlockSlicer::base_fn_yVal(a, blocks) < TarvexPowerBlockSlicer::base_fn_yVal(b, blocks);
            });
            bool changed = false;
            for (size_t i = 0; i < n && !changed; ++i) {
                const size_t low = getIndex(2 * i, xOrder);
                const size_t high = getIndex(2 * i + 1, xOrder);
                for (size_t p = low + 1; p < high && !changed; ++p) {
                    const size_t j = xOrder[p] / 2;
                    if (j == i)
                        return false;
                    if (getIndex(2 * j, yOrder) < getIndex(2 * i + 1, yOrder) &&
                        getIndex(2 * i, yOrder) < getIndex(2 * j + 1, yOrder))
                        changed = slicePair(blocks, powers, i, j);
                }
            }
            if (!changed)
                return true;
        }
    }

private:
    static size_t getIndex(size_t endpoint, const std::vector<size_t>& order)
    {
        return size_t(std::find(order.begin(), order.end(), endpoint) - order.begin());
    }

    static double area(const Block& b) { return (b.xHigh - b.xLow) * (b.yHigh - b.yLow); }

    static bool pieces(const Block& b, double power, const Block& o, std::vector<std::pair<Block, double>>& out)
    {
        const bool left = o.xLow - b.xLow > 1e-9;
        const bool bottom = o.yLow - b.yLow > 1e-9;
        const bool right = b.xHigh - o.xHigh > 1e-9;
        const bool top = b.yHigh - o.yHigh > 1e-9;
        std::vector<Block> cut;
        if (left)
            cut.push_back({b.xLow, b.yLow, o.xLow, b.yHigh});
        if (right)
            cut.push_back({o.xHigh, b.yLow, b.xHigh, b.yHigh});
        const double x0 = left ? o.xLow : b.xLow;
        const double x1 = right ? o.xHigh : b.xHigh;
        if (bottom)
            cut.push_back({x0, b.yLow, x1, o.yLow});
        if (top)
            cut.push_back({x0, o.yHigh, x1, b.yHigh});
        for (const Block& piece : cut) {
            if (!(area(piece) < 1e-18))
                out.emplace_back(piece, power * area(piece) / area(b));
        }
        return left || bottom || right || top;
    }

    static bool slicePair(std::vector<Block>& blocks, std::vector<double>& powers, size_t i, size_t j)
    {
        const Block a = blocks[i];
        const Block b = blocks[j];
        const Block o{std::max(a.xLow, b.xLow), std::max(a.yLow, b.yLow), std::min(a.xHigh, b.xHigh),
                      std::min(a.yHigh, b.yHigh)};
        const double w = o.xHigh - o.xLow;
        const double h = o.yHigh - o.yLow;
        if (!(w > 0 && h > 0) || w * h < 1e-18)
            return false;
        std::vector<std::pair<Block, double>> made;
        const bool aOut = pieces(a, powers[i], o, made);
        const bool bOut = pieces(b, powers[j], o, made);
        std::vector<size_t> gone;
        if (aOut && bOut) {
            made.emplace_back(o, powers[i] * area(o) / area(a) + powers[j] * area(o) / area(b));
            gone = {i, j};
        } else if (aOut) {
            powers[j] += powers[i] * area(o) / area(a);
            gone = {i};
        } else if (bOut) {
            powers[i] += powers[j] * area(o) / area(b);
            gone = {j};
        } else {
            powers[i] += powers[j];
            gone = {j};
        }
        std::sort(gone.rbegin(), gone.rend());
        for (size_t k : gone) {
            blocks.erase(blocks.begin() + long(k));
            powers.erase(powers.begin() + long(k));
        }
        for (const auto& piece : made) {
            blocks.push_back(piece.first);
            powers.push_back(piece.second);
        }
        return true;
    }
};

struct Sliced
{
    std::vector<Block> blocks;
    std::vector<double> powers;
};

Sliced slice(std::vector<Block> blocks, std::vector<double> powers)
{
    EXPECT_EQ(TarvexPowerBlockSlicer::slice(blocks, powers), TarvexPowerBlockSlicer::Result::Sliced);
    return {blocks, powers};
}

std::string describe(const Sliced& s)
{
    std::ostringstream text;
    text.precision(17);
    for (size_t i = 0; i < s.blocks.size(); ++i)
        text << s.blocks[i].xLow << ' ' << s.blocks[i].yLow << ' ' << s.blocks[i].xHigh << ' ' << s.blocks[i].yHigh
             << ':' << s.powers[i] << '\n';
    return text.str();
}

double total(const std::vector<double>& powers) { return std::accumulate(powers.begin(), powers.end(), 0.0); }

// No two blocks share an area of 1e-18 or more.
bool disjoint(const std::vector<Block>& blocks)
{
    for (size_t i = 0; i < blocks.size(); ++i) {
        for (size_t j = i + 1; j < blocks.size(); ++j) {
            const double w = std::min(blocks[i].xHigh, blocks[j].xHigh) - std::max(blocks[i].xLow, blocks[j].xLow);
            const double h = std::min(blocks[i].yHigh, blocks[j].yHigh) - std::max(blocks[i].yLow, blocks[j].yLow);
            if (w > 0 && h > 0 && w * h >= 1e-18)
                return false;
        }
    }
    return true;
}

} // namespace

TEST(PowerMapSlicing, HandComputedBlockSetsKeepTheirPowerAndEndDisjoint)
{
    struct Case
    {
        const char* name;
        std::vector<Block> blocks;
        std::vector<double> powers;
        const char* expected; // "x0 y0 x1 y1:power" per block, in result order; empty: unchanged
    };
    const Case cases[] = {
        {"a small block at the corner of a large one takes its share; the rest is cut in two",
         {{0, 0, 1, 1}, {0, 0, 0.5, 0.5}},
         {4, 1},
         "0 0 0.5 0.5:2\n0.5 0 1 1:2\n0 0.5 0.5 1:1\n"},
        {"two blocks overlapping at a corner: both stick out, the overlap becomes a block of both shares",
         {{0, 0, 2, 2}, {1, 1, 3, 3}},
         {4, 8},
         "0 0 1 2:2\n1 0 2 1:1\n2 1 3 3:4\n1 2 2 3:2\n1 1 2 2:3\n"},
        {"a block inside another: the outer one becomes a frame of four pieces",
         {{0, 0, 4, 4}, {1, 1, 2, 3}},
         {16, 1},
         "1 1 2 3:3\n0 0 1 4:4\n2 0 4 4:8\n1 0 2 1:1\n1 3 2 4:1\n"},
        {"a cross: four arms and the middle",
         {{0, 1, 3, 2}, {1, 0, 2, 3}},
         {3, 6},
         "0 1 1 2:1\n2 1 3 2:1\n1 0 2 1:2\n1 2 2 3:2\n1 1 2 2:3\n"},
        {"identical blocks become one block with every power", {{0, 0, 1, 1}, {0, 0, 1, 1}, {0, 0, 1, 1}}, {1, 2, 3}, "0 0 1 1:6\n"},
        {"blocks equal within the side tolerance merge too", {{0, 0, 1, 1}, {0, 0, 1 + 5e-10, 1}}, {1, 2}, "0 0 1 1:3\n"},
        {"blocks that touch along an edge are not sliced", {{0, 0, 1, 1}, {1, 0, 2, 1}}, {1, 2}, ""},
        {"blocks that touch at a corner are not sliced", {{0, 0, 1, 1}, {1, 1, 2, 2}}, {1, 2}, ""},
        {"an overlap below 1e-18 is no overlap",
         {{0, 0, 1, 1}, {1 - 1e-10, 1 - 1e-10, 2, 2}},
         {1, 2},
         ""},
    };
    for (const Case& c : cases) {
        const Sliced result = slice(c.blocks, c.powers);
        EXPECT_EQ(describe(result), *c.expected ? c.expected : describe({c.blocks, c.powers})) << c.name;
        EXPECT_NEAR(total(result.powers), total(c.powers), 1e-12) << c.name;
        EXPECT_TRUE(disjoint(result.blocks)) << c.name;
    }
}

TEST(PowerMapSlicing, RefusesMalformedInputAndStopsAtTheBlockLimitLeavingTheInputAlone)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case
    {
        const char* name;
        std::vector<Block> blocks;
        std::vector<double> powers;
    };
    const Case cases[] = {
        {"more powers than blocks", {{0, 0, 1, 1}}, {1, 2}},
        {"a coordinate that is not a number", {{0, 0, nan, 1}, {0, 0, 1, 1}}, {1, 2}},
        {"an infinite coordinate", {{-inf, 0, 1, 1}}, {1}},
        {"an inverted block", {{1, 0, 0, 1}}, {1}},
    };
    for (const Case& c : cases) {
        std::vector<Block> blocks = c.blocks;
        std::vector<double> powers = c.powers;
        EXPECT_EQ(TarvexPowerBlockSlicer::slice(blocks, powers), TarvexPowerBlockSlicer::Result::BadInput) << c.name;
        EXPECT_EQ(blocks.size(), c.blocks.size()) << c.name;
        EXPECT_EQ(powers, c.powers) << c.name;
    }

    // Nested squares cut each other into frames: far more pieces than blocks.
    std::vector<Block> nested;
    std::vector<double> powers;
    for (int i = 0; i < 40; ++i) {
        nested.push_back({double(i), double(i), 100.0 - i, 100.0 - i});
        powers.push_back(1.0);
    }
    std::vector<Block> blocks = nested;
    std::vector<double> kept = powers;
    EXPECT_EQ(TarvexPowerBlockSlicer::slice(blocks, kept, 100), TarvexPowerBlockSlicer::Result::TooManyBlocks);
    EXPECT_EQ(blocks.size(), nested.size());
    EXPECT_EQ(kept, powers);
    EXPECT_EQ(TarvexPowerBlockSlicer::slice(blocks, kept), TarvexPowerBlockSlicer::Result::Sliced);
    EXPECT_NEAR(total(kept), 40.0, 1e-9);
    EXPECT_TRUE(disjoint(blocks));
}

TEST(PowerMapSlicing, MatchesThePlainPassExactlyOnRandomBlockSets)
{
    std::mt19937 random(20250114);
    int sets = 0;
    size_t largest = 0;
    for (int round = 0; round < 400; ++round) {
        const int kind = round % 5;
        std::uniform_int_distribution<int> count(2, kind == 3 ? 10 : kind == 4 ? 30 : 15);
        const int n = count(random);
        std::vector<Block> blocks;
        std::vector<double> powers;
        std::uniform_int_distribution<int> grid(0, 12);
        std::uniform_real_distribution<double> real(0.0, 10.0);
        std::uniform_real_distribution<double> power(0.1, 5.0);
        for (int i = 0; i < n; ++i) {
            double x0, y0, x1, y1;
            if (kind == 0 || kind == 3) {
                // Integer corners: shared edges, equal coordinates and identical blocks.
                do {
                    x0 = grid(random), y0 = grid(random), x1 = grid(random), y1 = grid(random);
                } while (x0 == x1 || y0 == y1);
            } else {
                x0 = real(random), y0 = real(random), x1 = real(random), y1 = real(random);
            }
            Block block{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
            if (kind == 2 && i > 0 && i % 3 == 0) {
                // Copies of an earlier block moved by less than the side tolerance.
                block = blocks[size_t(i) / 2];
                block.xHigh += 4e-10;
                block.yLow -= 3e-10;
            }
            if (kind == 3 && i % 2 == 1)
                block = blocks[size_t(i) - 1]; // exact duplicates
            if (kind == 4) {
                // Tiny and wide blocks over a large one: the pieces of the large one are
                // searched in windows narrower than themselves and than the wide blocks.
                const double x = real(random);
                const double y = real(random);
                const double width = i % 6 == 1 ? 3 + real(random) / 3 : 0.05 + real(random) / 200;
                block = i == 0 ? Block{0, 0, 12, 12} : Block{x, y, x + width, y + width / 4};
            }
            blocks.push_back(block);
            powers.push_back(power(random));
        }
        std::vector<Block> expectedBlocks = blocks;
        std::vector<double> expectedPowers = powers;
        ASSERT_TRUE(ReferenceSlicer::slice(expectedBlocks, expectedPowers));
        const Sliced result = slice(blocks, powers);
        ASSERT_EQ(describe(result), describe({expectedBlocks, expectedPowers})) << "round " << round;
        for (size_t i = 0; i < result.powers.size(); ++i)
            ASSERT_EQ(result.powers[i], expectedPowers[i]) << "round " << round; // bit for bit
        EXPECT_TRUE(disjoint(result.blocks)) << "round " << round;
        // Only slivers within the tolerances lose their share.
        EXPECT_NEAR(total(result.powers), total(powers), 1e-6 * total(powers)) << "round " << round;
        largest = std::max(largest, result.blocks.size());
        ++sets;
    }
    EXPECT_EQ(sets, 400);
    EXPECT_GT(largest, 60u); // the sets do cut each other into many pieces
}
