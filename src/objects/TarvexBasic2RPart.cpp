#include <tarvex/objects/TarvexBasic2RPart.h>

#include <tarvex/objects/TarvexPartVisitorConst.h>

namespace Tarvex {

TarvexBasic2RPart::TarvexBasic2RPart(TarvexBasicPart&& part, double junctionToCase, double junctionToBoard)
    : TarvexBasicPart(std::move(part)), thetaJC(junctionToCase), thetaJB(junctionToBoard)
{
}

TarvexBasic2RPart::~TarvexBasic2RPart() = default;

int TarvexBasic2RPart::getPartType() const
{
    return Basic2RPart;
}

bool TarvexBasic2RPart::accept(TarvexPartVisitorConst& visitor) const
{
    return visitor.visitBasic2RPart(*this);
}

} // namespace Tarvex
