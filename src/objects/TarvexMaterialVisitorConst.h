#pragma once

namespace Tarvex {

class TarvexMaterialSimple;
class TarvexMaterialCMX;
class TarvexMaterialMap;

/// Visits a material by its class (double dispatch through the material's `accept`).
/// Visitors are never deleted through this interface.
class TarvexMaterialVisitorConst
{
public:
    /// A material given by constant properties.
    virtual void visitMaterialSimple(const TarvexMaterialSimple& material) = 0;
    /// A material from an included material library.
    virtual void visitMaterialCMX(const TarvexMaterialCMX& material) = 0;
    /// A material map of a metal and a dielectric material.
    virtual void visitMaterialMap(const TarvexMaterialMap& material) = 0;

protected:
    TarvexMaterialVisitorConst() = default;
    TarvexMaterialVisitorConst(const TarvexMaterialVisitorConst&) = default;
    TarvexMaterialVisitorConst& operator=(const TarvexMaterialVisitorConst&) = default;
    ~TarvexMaterialVisitorConst() = default;
};

} // namespace Tarvex
