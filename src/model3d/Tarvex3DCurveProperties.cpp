#include <tarvex/model3d/Tarvex3DCurveProperties.h>

#include <algorithm>
#include <cmath>

namespace Tarvex3D {

namespace {

// Tables are written with a few significant digits, so temperatures that differ by less
// than this are taken as the same when deciding which pair holds a temperature.
constexpr double temperatureTolerance = 1e-6;

bool atMost(double a, double b) { return a <= b || std::fabs(a - b) < temperatureTolerance; }

} // namespace

bool Tarvex3DCurveProperties::isCurveOrPointValue() const
{
    if (m_points.size() < 2)
        return false;
    const double first = m_points.front().second;
    return std::any_of(m_points.begin() + 1, m_points.end(),
                       [first](const Point& point) { return !(point.second == first); });
}

double Tarvex3DCurveProperties::getValue(double temperature) const
{
    if (m_points.size() < 2)
        return 0.0;
    double lowest = m_points.front().first;
    double highest = lowest;
    for (const Point& point : m_points) {
        lowest = std::min(lowest, point.first);
        highest = std::max(highest, point.first);
    }
    const double t = std::min(std::max(temperature, lowest), highest);

    // Points stay in file order, which may run either way; each pair is an interval of its
    // own, and the first that holds t wins.
    for (size_t i = 0; i + 1 < m_points.size(); ++i) {
        const Point& p0 = m_points[i];
        const Point& p1 = m_points[i + 1];
        const bool rising = p1.first > p0.first && atMost(p0.first, t) && atMost(t, p1.first);
        const bool falling = p0.first > p1.first && atMost(p1.first, t) && atMost(t, p0.first);
        if (rising || falling)
            return p0.second + (p1.second - p0.second) * (t - p0.first) / (p1.first - p0.first);
    }
    return 0.0;
}

} // namespace Tarvex3D
