#pragma once

#include <tarvex/objects/TarvexSolderJoint.h>

namespace Tarvex {

/// One solder ball: a cylinder of the largest diameter standing on `position`.
class TarvexSolderBall : public TarvexSolderJoint
{
public:
    /// A ball with all its values (SI units): `position` is the centre of the bottom face;
    /// `material` may be null.
    TarvexSolderBall(const QString& name, double d1, double d2, double dmax, double height,
                     const Geometry::Vec3& position, std::shared_ptr<TarvexMaterial> material);
    ~TarvexSolderBall() override;

    /// `SolderBall`.
    int getPartType() const override;
    /// "SolderBall".
    QString getType() const override;
    /// Calls `visitSolderBall`.
    bool accept(TarvexPartVisitorConst& visitor) const override;
    using TarvexPartBase::accept;
};

} // namespace Tarvex
