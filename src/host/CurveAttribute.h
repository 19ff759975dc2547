#pragma once

#include <tarvex/host/Attribute.h>

#include <QPointF>

namespace EntityModel {

/// An (x, y) curve in SI units, sorted by x, read by linear interpolation.
class CurveAttribute : public Attribute
{
public:
    /// An empty curve stored under `label`.
    explicit CurveAttribute(const TypeRef& label);
    /// A curve with the given points (sorted by x on insertion).
    CurveAttribute(const TypeRef& label, const QVector<QPointF>& points);

    /// The points, in increasing x.
    const QVector<QPointF>& getPoints() const { return m_points; }
    /// The x values, in increasing order.
    QVector<double> getXValues() const;
    /// y at `x`, interpolated linearly; the end values hold beyond the ends; 0 when empty.
    double getStandardYValFromX(double x) const;
    /// Inserts a point keeping x sorted; a point with an x already present replaces it.
    void addPoint(double x, double y);
    /// Removes every point.
    void clearPoints();
    /// Scales x and y, for callers that hold values in other units.
    void convertUnits(double xFactor, double yFactor);
    std::unique_ptr<Attribute> clone() const override;
    bool holdsSameAs(const Attribute& other) const override;

private:
    QVector<QPointF> m_points;
};

} // namespace EntityModel
