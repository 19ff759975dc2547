#pragma once

#include <cstddef>
#include <string>

namespace Tarvex {

/// Numbers of material map files. A number is a whole token: "1.5abc", "nan" and "inf"
/// are refused rather than read in part, so that a damaged file is reported, not applied.
struct MaterialMapNumber
{
    /// Reads the finite decimal number (an optional sign, digits, a point, an exponent)
    /// that is exactly the `size` bytes at `text`; false otherwise.
    static bool toDouble(const char* text, size_t size, double& value);
    /// `toDouble` of a whole string.
    static bool toDouble(const std::string& text, double& value) { return toDouble(text.data(), text.size(), value); }
    /// Reads the integer (an optional sign, digits) that is exactly `text`, within the
    /// range of int; false otherwise.
    static bool toInt(const std::string& text, int& value);
};

} // namespace Tarvex
