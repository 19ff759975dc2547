#include <tarvex/maps/TarvexPowerBlockSlicer.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <numeric>
#include <random>
#include <sstream>

using Tarvex::TarvexPowerBlockSlicer;
using Block = TarvexPowerBlockSlicer::Block;
using Result = TarvexPowerBlockSlicer::Result;

namespace {

struct Sliced
{
    std::vector<Block> blocks;
    std::vector<double> powers;
};

Sliced slice(std::vector<Block> blocks, std::vector<double> powers)
{
    EXPECT_EQ(TarvexPowerBlockSlicer::slice(blocks, powers), Result::Sliced);
    return {blocks, powers};
}

// "x0 y0 x1 y1:power" per block, in list order.
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

// The power per area at (x, y): the sum over the blocks holding it. Slicing shares power by
// area, so it must not change this anywhere.
double density(const Sliced& s, double x, double y)
{
    double sum = 0;
    for (size_t i = 0; i < s.blocks.size(); ++i) {
        const Block& b = s.blocks[i];
        if (b.xLow < x && x < b.xHigh && b.yLow < y && y < b.yHigh)
            sum += s.powers[i] / ((b.xHigh - b.xLow) * (b.yHigh - b.yLow));
    }
    return sum;
}

} // namespace

TEST(PowerMapSlicing, HandComputedBlockSetsKeepTheirPowerAndEndDisjointAndMalformedOnesAreLeftAlone)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    // Nested squares cut each other into frames: far more pieces than blocks.
    std::vector<Block> nested;
    for (int i = 0; i < 40; ++i)
        nested.push_back({double(i), double(i), 100.0 - i, 100.0 - i});
    struct Case
    {
        const char* name;
        std::vector<Block> blocks;
        std::vector<double> powers;
        const char* expected; // in result order; empty: unchanged
        Result result = Result::Sliced;
    };
    const Case cases[] = {
        {"a small block at the corner of a large one takes its share; the rest is cut in two",
         {{0, 0, 1, 1}, {0, 0, 0.5, 0.5}}, {4, 1}, "0 0 0.5 0.5:2\n0.5 0 1 1:2\n0 0.5 0.5 1:1\n"},
        {"two blocks overlapping at a corner: both stick out, the overlap becomes a block of both shares",
         {{0, 0, 2, 2}, {1, 1, 3, 3}}, {4, 8}, "0 0 1 2:2\n1 0 2 1:1\n2 1 3 3:4\n1 2 2 3:2\n1 1 2 2:3\n"},
        {"a block inside another: the outer one becomes a frame of four pieces",
         {{0, 0, 4, 4}, {1, 1, 2, 3}}, {16, 1}, "1 1 2 3:3\n0 0 1 4:4\n2 0 4 4:8\n1 0 2 1:1\n1 3 2 4:1\n"},
        {"identical blocks become one block with every power", {{0, 0, 1, 1}, {0, 0, 1, 1}, {0, 0, 1, 1}}, {1, 2, 3},
         "0 0 1 1:6\n"},
        {"blocks equal within the side tolerance merge too", {{0, 0, 1, 1}, {0, 0, 1 + 5e-10, 1}}, {1, 2}, "0 0 1 1:3\n"},
        // The pass slices the pair whose endpoint comes first in x, not the first pair it finds.
        {"three blocks: the order of the pairs decides the pieces", {{0, 0, 5, 5}, {4, 2, 5, 4}, {1, 0, 5, 6}},
         {1, 2, 3},
         "4 2 5 4:2.3300000000000001\n0 0 1 5:0.20000000000000001\n1 5 5 6:0.5\n1 0 4 5:2.4750000000000001\n"
         "4 0 5 2:0.32999999999999996\n4 4 5 5:0.16499999999999998\n"},
        {"blocks that touch along an edge are not sliced", {{0, 0, 1, 1}, {1, 0, 2, 1}}, {1, 2}, ""},
        {"an overlap below 1e-18 is no overlap", {{0, 0, 1, 1}, {1 - 1e-10, 1 - 1e-10, 2, 2}}, {1, 2}, ""},
        {"more powers than blocks", {{0, 0, 1, 1}}, {1, 2}, "", Result::BadInput},
        {"a coordinate that is not a number", {{0, 0, nan, 1}, {0, 0, 1, 1}}, {1, 2}, "", Result::BadInput},
        {"an infinite coordinate", {{-inf, 0, 1, 1}}, {1}, "", Result::BadInput},
        {"an inverted block", {{1, 0, 0, 1}}, {1}, "", Result::BadInput},
        {"past the block limit", nested, std::vector<double>(40, 1.0), "", Result::TooManyBlocks},
    };
    for (const Case& c : cases) {
        Sliced result{c.blocks, c.powers};
        EXPECT_EQ(TarvexPowerBlockSlicer::slice(result.blocks, result.powers, 100), c.result) << c.name;
        EXPECT_EQ(describe(result), *c.expected ? c.expected : describe({c.blocks, c.powers})) << c.name;
        EXPECT_NEAR(total(result.powers), total(c.powers), 1e-12) << c.name;
        EXPECT_TRUE(c.result != Result::Sliced || disjoint(result.blocks)) << c.name;
    }
    const Sliced all = slice(nested, std::vector<double>(40, 1.0));
    EXPECT_NEAR(total(all.powers), 40.0, 1e-9);
    EXPECT_TRUE(disjoint(all.blocks));
}

TEST(PowerMapSlicing, RandomBlockSetsEndDisjointWithThePowerDensityOfTheInput)
{
    std::mt19937 random(20250114);
    size_t largest = 0;
    for (int round = 0; round < 300; ++round) {
        const int kind = round % 3;
        const int n = std::uniform_int_distribution<int>(2, kind == 2 ? 30 : 15)(random);
        std::uniform_int_distribution<int> grid(0, 12);
        std::uniform_real_distribution<double> real(0.0, 10.0);
        Sliced input;
        for (int i = 0; i < n; ++i) {
            double x0 = real(random), y0 = real(random), x1 = real(random), y1 = real(random);
            if (kind == 0) {
                // Integer corners: shared edges, equal coordinates and identical blocks.
                do {
                    x0 = grid(random), y0 = grid(random), x1 = grid(random), y1 = grid(random);
                } while (x0 == x1 || y0 == y1);
            }
            Block block{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
            if (kind == 2) {
                // Tiny and wide blocks over a large one: pieces are searched in windows
                // narrower than themselves.
                const double width = i % 6 == 1 ? 3 + x0 / 3 : 0.05 + x0 / 200;
                block = i == 0 ? Block{0, 0, 12, 12} : Block{x1, y1, x1 + width, y1 + width / 4};
            }
            input.blocks.push_back(block);
            input.powers.push_back(std::uniform_real_distribution<double>(0.1, 5.0)(random));
        }
        const Sliced result = slice(input.blocks, input.powers);
        ASSERT_TRUE(disjoint(result.blocks)) << "round " << round;
        ASSERT_NEAR(total(result.powers), total(input.powers), 1e-6 * total(input.powers)) << "round " << round;
        for (int p = 0; p < 40; ++p) {
            const double x = real(random) * 1.2, y = real(random) * 1.2;
            const double expected = density(input, x, y);
            ASSERT_NEAR(density(result, x, y), expected, 1e-9 * (1 + expected)) << "round " << round << " at " << x << ' ' << y;
        }
        largest = std::max(largest, result.blocks.size());
    }
    EXPECT_GT(largest, 60u); // the sets do cut each other into many pieces
}
