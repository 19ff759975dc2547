#pragma once

#include <tarvex/host/Vec.h>
#include <tarvex/objects/TarvexMaterial.h>
#include <tarvex/objects/TarvexPartBase.h>

#include <QString>

#include <memory>

namespace Tarvex {

/// What solder balls and solder bumps share: a cylinder of the largest diameter standing on
/// `position`, named by the element's "Name".
class TarvexSolderJoint : public TarvexPartBase
{
public:
    ~TarvexSolderJoint() override;

    /// The element's "Name".
    QString getName(bool full) const override;
    /// The element's "Name".
    QString getObjectName() const override;
    /// The circle of diameter `dmax` centred on the position, extruded from its z by the
    /// height; identity transform.
    TarvexPlacedGeometry createGeometry() const override;

    /// The largest diameter (m).
    double getDmax() const { return dmax; }
    /// The first end diameter (m).
    double getD1() const { return d1; }
    /// The second end diameter (m).
    double getD2() const { return d2; }
    /// The height (m).
    double getHeight() const { return height; }
    /// The centre of the bottom face (m).
    const Geometry::Vec3& getPosition() const { return position; }
    /// The material; may be null.
    const std::shared_ptr<TarvexMaterial>& getMaterial() const { return material; }

protected:
    /// A joint with all its values (SI units): `position` is the centre of the bottom face;
    /// `material` may be null.
    TarvexSolderJoint(const QString& name, double d1, double d2, double dmax, double height,
                      const Geometry::Vec3& position, std::shared_ptr<TarvexMaterial> material);

private:
    QString name;
    double dmax;
    double d1;
    double d2;
    double height;
    Geometry::Vec3 position;
    std::shared_ptr<TarvexMaterial> material;
};

} // namespace Tarvex
