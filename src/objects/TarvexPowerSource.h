#pragma once

#include <tarvex/host/Vec.h>

#include <QString>

namespace Tarvex {

class TarvexPowerSourceVisitorConst;

/// A power source attached to a part, shared between the parts and the builder's table.
/// Immutable once made; the concrete kinds add the map data. Values are in SI units.
class TarvexPowerSource
{
public:
    /// The values every kind of source has (from the Power2DSource element).
    struct Common
    {
        /// "Name" of the element.
        QString name;
        /// "ObjectName": the part the source belongs to.
        QString objectName;
        /// (0, 0, +1) or (0, 0, -1).
        Geometry::Vec3 normal{0.0, 0.0, 1.0};
        /// Extent of the map area along x, m.
        double dx = 0.0;
        /// Extent of the map area along y, m.
        double dy = 0.0;
        /// "GeomScale", as read.
        double geomScale = 1.0;
        /// Lower-left x of the map area, m.
        double xll = 0.0;
        /// Lower-left y of the map area, m.
        double yll = 0.0;
        /// "Rotation", as read.
        double rotation = 0.0;
    };

    virtual ~TarvexPowerSource();
    /// The source's name.
    virtual QString getName() const;
    /// The name of the part the source belongs to.
    virtual QString getObjectName() const;
    /// Lets `visitor` visit this source by its class.
    virtual void accept(TarvexPowerSourceVisitorConst& visitor) const = 0;
    /// Same as the `const` form.
    virtual void accept(TarvexPowerSourceVisitorConst& visitor) = 0;

    /// The direction the source faces: (0, 0, +1) or (0, 0, -1).
    const Geometry::Vec3& getNormal() const { return common.normal; }
    /// Extent of the map area along x, m.
    double getDx() const { return common.dx; }
    /// Extent of the map area along y, m.
    double getDy() const { return common.dy; }
    /// Geometry scale of the map, as read.
    double getGeomScale() const { return common.geomScale; }
    /// Lower-left x of the map area, m.
    double getXll() const { return common.xll; }
    /// Lower-left y of the map area, m.
    double getYll() const { return common.yll; }
    /// Rotation of the map, as read.
    double getRotation() const { return common.rotation; }
    /// All common values at once.
    const Common& getCommon() const { return common; }

protected:
    explicit TarvexPowerSource(const Common& values) : common(values) {}
    TarvexPowerSource(const TarvexPowerSource&) = default;
    TarvexPowerSource& operator=(const TarvexPowerSource&) = default;

private:
    Common common;
};

} // namespace Tarvex
