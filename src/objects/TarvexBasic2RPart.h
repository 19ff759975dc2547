#pragma once

#include <tarvex/objects/TarvexBasicPart.h>

namespace Tarvex {

/// A basic part that is a two-resistor compact model.
class TarvexBasic2RPart : public TarvexBasicPart
{
public:
    /// Takes over `part` and adds the two resistances (stored as read from the file).
    TarvexBasic2RPart(TarvexBasicPart&& part, double thetaJC, double thetaJB);
    ~TarvexBasic2RPart() override;

    /// `Basic2RPart`.
    int getPartType() const override;
    /// Calls `visitBasic2RPart`.
    bool accept(TarvexPartVisitorConst& visitor) const override;
    using TarvexPartBase::accept;

    /// The junction-to-case resistance.
    double getThetaJC() const { return thetaJC; }
    /// The junction-to-board resistance.
    double getThetaJB() const { return thetaJB; }

private:
    double thetaJC;
    double thetaJB;
};

} // namespace Tarvex
