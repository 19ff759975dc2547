#include <tarvex/objects/TarvexSolderBump.h>

#include <tarvex/objects/TarvexPartVisitorConst.h>

namespace Tarvex {

TarvexSolderBump::TarvexSolderBump(const QString& name, double d1, double d2, double dmax, double height,
                                   const Geometry::Vec3& position, std::shared_ptr<TarvexMaterial> material)
    : TarvexSolderJoint(name, d1, d2, dmax, height, position, std::move(material))
{
}

TarvexSolderBump::~TarvexSolderBump() = default;

int TarvexSolderBump::getPartType() const { return SolderBump; }

QString TarvexSolderBump::getType() const { return QStringLiteral("SolderBump"); }

bool TarvexSolderBump::accept(TarvexPartVisitorConst& visitor) const { return visitor.visitSolderBump(*this); }

} // namespace Tarvex
