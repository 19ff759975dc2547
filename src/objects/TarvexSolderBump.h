#pragma once

#include <tarvex/objects/TarvexSolderJoint.h>

namespace Tarvex {

/// One solder bump: a cylinder of the largest diameter standing on `position`.
class TarvexSolderBump : public TarvexSolderJoint
{
public:
    /// A bump with all its values (SI units): `position` is the centre of the bottom face;
    /// `material` may be null.
    TarvexSolderBump(const QString& name, double d1, double d2, double dmax, double height,
                     const Geometry::Vec3& position, std::shared_ptr<TarvexMaterial> material);
    ~TarvexSolderBump() override;

    /// `SolderBump`.
    int getPartType() const override;
    /// "SolderBump".
    QString getType() const override;
    /// Calls `visitSolderBump`.
    bool accept(TarvexPartVisitorConst& visitor) const override;
    using TarvexPartBase::accept;
};

} // namespace Tarvex
