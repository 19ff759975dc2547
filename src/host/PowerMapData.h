#pragma once

#include <tarvex/host/Bound.h>
#include <tarvex/host/TypeRef.h>

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace ServerConstructor {

/// A link between a power map and its leakage map: the record itself, the record it is
/// linked with (indices into the list the reader returned) and the leakage temperature.
struct PowerMapLink
{
    /// Index of the record holding this entry.
    int record = 0;
    /// Index of the linked record.
    int linkedRecord = 0;
    /// The leakage temperature as the file gives it (degrees Celsius).
    double leakageTemperature = 0.0;
};

/// One power map read from a file, in the file's units, before the host applies it.
///
/// A grid map holds `rows` × `columns` cell powers in `powers`, bottom row first, row by
/// row (index = columns × row + column). An area map holds one power per rectangle of
/// `blocks` (same index); by the readers' convention its `rows` is the block count + 1 and
/// its `columns` 5.
struct PowerMapData
{
    /// The file the record was read from.
    QString path;
    /// The name the host shows.
    std::string name;
    /// The die area the map covers, when the file gives one.
    std::optional<Geometry::Bound2D> area;
    /// Grid rows (area maps: block count + 1).
    int rows = 0;
    /// Grid columns (area maps: 5).
    int columns = 0;
    /// Cell powers of a grid map, or block powers of an area map.
    std::vector<double> powers;
    /// The rectangles of an area map; empty for a grid map.
    std::vector<Geometry::Bound2D> blocks;
    /// Unit of the powers ("W", "mW"...).
    EntityModel::TypeRef powerUnit;
    /// Unit of the area and block coordinates ("um", "mm"...).
    EntityModel::TypeRef lengthUnit;
    /// Leakage links of this record.
    std::vector<PowerMapLink> links;

    /// True for an area map (a record with blocks).
    bool isAreaMap() const { return !blocks.empty(); }
};

} // namespace ServerConstructor
