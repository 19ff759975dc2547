#pragma once

namespace Tarvex {

class TarvexPowerSourceLegacyPowerMap;
class TarvexPowerSourcePowerMap;

/// Visits a power source by its class (double dispatch through the source's `accept`).
/// Visitors are never deleted through this interface.
class TarvexPowerSourceVisitorConst
{
public:
    /// A power map of a file older than 2024.1.2.
    virtual void visitLegacyPowerMap(const TarvexPowerSourceLegacyPowerMap& source) = 0;
    /// A power map of a current file.
    virtual void visitPowerMap(const TarvexPowerSourcePowerMap& source) = 0;

protected:
    TarvexPowerSourceVisitorConst() = default;
    TarvexPowerSourceVisitorConst(const TarvexPowerSourceVisitorConst&) = default;
    TarvexPowerSourceVisitorConst& operator=(const TarvexPowerSourceVisitorConst&) = default;
    ~TarvexPowerSourceVisitorConst() = default;
};

} // namespace Tarvex
