#pragma once

#include <cstddef>
#include <vector>

namespace Tarvex {

/// Cuts the overlapping power blocks of an area power map into blocks that do not overlap,
/// sharing each block's power by area.
///
/// The result is that of a plain pass over the blocks that, for each block in order, looks
/// at the blocks with an endpoint inside its x extent (in x order, equal x in endpoint-index
/// order), slices the first pair that overlaps, replaces the sliced blocks by their pieces
/// (survivors keep their order, pieces go to the end) and starts the pass again, until a
/// whole pass finds no overlap. Here a queue of the blocks that may still overlap something
/// and R-trees of the blocks' vertical sides and of the blocks not queued find that same
/// next pair without rescanning, looking only at blocks that may be partners, so slicing n
/// blocks costs about (n + pieces) log n even when thousands of blocks lie on each other.
class TarvexPowerBlockSlicer
{
public:
    /// One rectangle of an area power map, in the file's length unit.
    struct Block
    {
        double xLow;
        double yLow;
        double xHigh;
        double yHigh;
    };

    /// How a slicing ended.
    enum class Result {
        Sliced,       ///< the blocks no longer overlap
        BadInput,     ///< counts differ, a coordinate is not finite or a block is inverted
        TooManyBlocks ///< the pieces would exceed the block limit
    };

    /// Overlaps smaller than this area are not overlaps; pieces smaller than it are dropped.
    static constexpr double AreaTolerance = 1e-18;
    /// A side sticks out of an overlap only by more than this.
    static constexpr double SideTolerance = 1e-9;
    /// Default ceiling on the blocks made while slicing (the input and every piece, kept or
    /// cut again). Area maps drawn from a floorplan hold some thousands of blocks and grids
    /// rarely pass 512 x 512 cells, so 300 000 leaves room for the pieces of their overlaps;
    /// a few hundred blocks nested like stairs pass it, and would otherwise cost minutes and a
    /// model of hundreds of megabytes (each saved block takes about 600 bytes). The time
    /// grows with the blocks made, so this ceiling also bounds it (about a second and a half).
    static constexpr std::size_t DefaultBlockLimit = 300000;

    /// Slices `blocks` in place; `powers` holds the power of the block at the same index and
    /// is rewritten alongside. On failure both are left as they were.
    static Result slice(std::vector<Block>& blocks, std::vector<double>& powers,
                        std::size_t blockLimit = DefaultBlockLimit);

    /// The endpoint index of block `block`'s low side.
    static constexpr std::size_t toLowIndex(std::size_t block) { return 2 * block; }
    /// The endpoint index of block `block`'s high side.
    static constexpr std::size_t toHighIndex(std::size_t block) { return 2 * block + 1; }
    /// The block an endpoint index belongs to.
    static constexpr std::size_t fromHiLoIndex(std::size_t endpoint) { return endpoint / 2; }
    /// True for the endpoint index of a high side.
    static constexpr bool isHiIndex(std::size_t endpoint) { return endpoint % 2 == 1; }
    /// The x of endpoint `endpoint` of `blocks`.
    static double base_fn_xVal(std::size_t endpoint, const std::vector<Block>& blocks);
    /// The y of endpoint `endpoint` of `blocks`.
    static double base_fn_yVal(std::size_t endpoint, const std::vector<Block>& blocks);
};

} // namespace Tarvex
