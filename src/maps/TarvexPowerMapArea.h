#pragma once

#include <tarvex/host/Bound.h>

#include <optional>
#include <utility>
#include <vector>

namespace Tarvex {

/// Power on a rectangle of a power map, in SI: a power, and leakage powers by reference
/// temperature (kept in ascending temperature).
struct TarvexPowerData
{
    /// Power in watts.
    double power = 0.0;
    /// (reference temperature in kelvin, power in watts), ascending by temperature.
    std::vector<std::pair<double, double>> leakage;

    /// Multiplies every power by `factor`.
    void scale(double factor);
    /// Adds `other`'s power and merges its leakage entries (equal temperatures add up).
    void merge(const TarvexPowerData& other);
};

/// One rectangle of a power map, in metres, with the power placed on it (if any).
struct TarvexPowerMapArea
{
    Geometry::Bound2D bound;
    std::optional<TarvexPowerData> data;
};

} // namespace Tarvex
