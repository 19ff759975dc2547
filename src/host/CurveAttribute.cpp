#include <tarvex/host/CurveAttribute.h>

#include <algorithm>

namespace EntityModel {

CurveAttribute::CurveAttribute(const TypeRef& label) : Attribute(Kind::Curve, label) {}

CurveAttribute::CurveAttribute(const TypeRef& label, const QVector<QPointF>& points)
    : Attribute(Kind::Curve, label)
{
    for (const QPointF& point : points)
        addPoint(point.x(), point.y());
}

QVector<double> CurveAttribute::getXValues() const
{
    QVector<double> xs;
    xs.reserve(m_points.size());
    for (const QPointF& point : m_points)
        xs << point.x();
    return xs;
}

double CurveAttribute::getStandardYValFromX(double x) const
{
    if (m_points.isEmpty())
        return 0.0;
    if (x <= m_points.front().x())
        return m_points.front().y();
    if (x >= m_points.back().x())
        return m_points.back().y();
    const auto upper = std::upper_bound(m_points.begin(), m_points.end(), x,
                                        [](double value, const QPointF& p) { return value < p.x(); });
    const QPointF& b = *upper;
    const QPointF& a = *(upper - 1);
    return a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x());
}

void CurveAttribute::addPoint(double x, double y)
{
    const auto at = std::lower_bound(m_points.begin(), m_points.end(), x,
                                     [](const QPointF& p, double value) { return p.x() < value; });
    if (at != m_points.end() && at->x() == x)
        at->setY(y);
    else
        m_points.insert(at, QPointF(x, y));
}

void CurveAttribute::clearPoints() { m_points.clear(); }

void CurveAttribute::convertUnits(double xFactor, double yFactor)
{
    for (QPointF& point : m_points)
        point = QPointF(point.x() * xFactor, point.y() * yFactor);
    if (xFactor < 0)
        std::reverse(m_points.begin(), m_points.end());
}

std::unique_ptr<Attribute> CurveAttribute::clone() const
{
    auto copy = std::make_unique<CurveAttribute>(getType());
    copy->m_points = m_points;
    return copy;
}

bool CurveAttribute::holdsSameAs(const Attribute& other) const
{
    return other.getKind() == getKind() && other.getType() == getType() &&
           static_cast<const CurveAttribute&>(other).m_points == m_points;
}

} // namespace EntityModel
