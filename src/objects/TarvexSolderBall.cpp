#include <tarvex/objects/TarvexSolderBall.h>

#include <tarvex/objects/TarvexPartVisitorConst.h>

namespace Tarvex {

TarvexSolderBall::TarvexSolderBall(const QString& name, double d1, double d2, double dmax, double height,
                                   const Geometry::Vec3& position, std::shared_ptr<TarvexMaterial> material)
    : TarvexSolderJoint(name, d1, d2, dmax, height, position, std::move(material))
{
}

TarvexSolderBall::~TarvexSolderBall() = default;

int TarvexSolderBall::getPartType() const { return SolderBall; }

QString TarvexSolderBall::getType() const { return QStringLiteral("SolderBall"); }

bool TarvexSolderBall::accept(TarvexPartVisitorConst& visitor) const { return visitor.visitSolderBall(*this); }

} // namespace Tarvex
