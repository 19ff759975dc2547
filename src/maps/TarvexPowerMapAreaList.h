#pragma once

#include <tarvex/maps/TarvexPowerMapArea.h>

#include <map>
#include <memory>

namespace Tarvex {

/// The rectangles of a power map, kept sorted by centre (x, then y). Placing a block cuts
/// the rectangles that hold one of its corners along each other's corners, shares power by
/// area, and merges rectangles that end up with the same centre. A spatial index finds the
/// rectangles a block meets, so placing n blocks takes about n log n.
class TarvexPowerMapAreaList
{
public:
    TarvexPowerMapAreaList();
    ~TarvexPowerMapAreaList();
    TarvexPowerMapAreaList(const TarvexPowerMapAreaList&) = delete;
    TarvexPowerMapAreaList& operator=(const TarvexPowerMapAreaList&) = delete;

    /// Grows the map area (the first rectangle) to hold `bound`; the first call makes it.
    void addMapArea(const Geometry::Bound2D& bound);
    /// True when there is a first rectangle and it is a valid bound.
    bool hasValidMapArea() const;
    /// Places a block with its power; a block outside every rectangle, or not a valid bound,
    /// is dropped.
    void place(const Geometry::Bound2D& block, const TarvexPowerData& data);
    /// Number of rectangles.
    size_t size() const { return m_areas.size(); }
    /// The rectangles in list order.
    std::vector<TarvexPowerMapArea> areas() const;

private:
    struct Centre
    {
        double x;
        double y;
        bool operator<(const Centre& other) const { return x < other.x || (x == other.x && y < other.y); }
    };
    struct Index;

    void insert(const Geometry::Bound2D& bound, const std::optional<TarvexPowerData>& data);
    void erase(std::map<Centre, TarvexPowerMapArea>::iterator at);

    std::map<Centre, TarvexPowerMapArea> m_areas;
    std::unique_ptr<Index> m_index;
    Geometry::Bound2D m_union;
};

} // namespace Tarvex
