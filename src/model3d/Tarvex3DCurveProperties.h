#pragma once

#include <QPair>

#include <vector>

namespace Tarvex3D {

/// One material property as a function of temperature: (temperature, value) points in the
/// order they were read, read back by linear interpolation.
class Tarvex3DCurveProperties
{
public:
    /// One point: (temperature, value).
    using Point = QPair<double, double>;

    /// Appends a point; points are kept in the order given, not sorted.
    void addPoint(const Point& point) { m_points.push_back(point); }
    /// The points, in the order they were added.
    const std::vector<Point>& getCurveData() const { return m_points; }
    /// True when the curve has at least two points and some value differs from the first
    /// one (a value that is not a number counts as different).
    bool isCurveOrPointValue() const;
    /// The value at `temperature`, interpolated linearly between consecutive points and
    /// held constant beyond the lowest and highest temperatures; 0 for fewer than two points.
    double getValue(double temperature) const;

private:
    std::vector<Point> m_points;
};

} // namespace Tarvex3D
