#pragma once

#include <tarvex/objects/TarvexPlacedGeometry.h>

#include <cstddef>
#include <memory>
#include <vector>

namespace Tarvex {

/// A spatial index over the placed bounds of parts, numbered by the caller. Asked with a
/// geometry, it answers every item that `TarvexPlacedGeometry::contains` could find inside
/// it or around it: the items whose placed bound, grown by a margin above the containment
/// tolerances, meets the geometry's grown bound. Records whose bound cannot be trusted for
/// that (no vertices, empty or non-finite bounds, rotated frames) always meet.
class TarvexBoundIndex
{
public:
    TarvexBoundIndex();
    ~TarvexBoundIndex();
    TarvexBoundIndex(TarvexBoundIndex&&) noexcept;
    TarvexBoundIndex& operator=(TarvexBoundIndex&&) noexcept;

    /// Adds item `id` placed as `geometry`.
    void insert(std::size_t id, const TarvexPlacedGeometry& geometry);
    /// The ids of the items that may contain `geometry` or lie in it, in ascending order.
    std::vector<std::size_t> meeting(const TarvexPlacedGeometry& geometry) const;
    /// The number of items added.
    std::size_t size() const { return m_all.size(); }

private:
    struct Tree;
    std::unique_ptr<Tree> m_tree;
    std::vector<std::size_t> m_unindexed;
    std::vector<std::size_t> m_all;
};

} // namespace Tarvex
