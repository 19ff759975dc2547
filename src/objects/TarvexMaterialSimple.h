#pragma once

#include <tarvex/host/Vec.h>
#include <tarvex/objects/TarvexMaterial.h>

#include <QString>

namespace Tarvex {

/// A material given by constant properties in the interchange file (SI units).
/// Its conductivity is either one isotropic value or a triple along the file's axes.
class TarvexMaterialSimple : public TarvexMaterial
{
public:
    /// An isotropic material of conductivity `conductivity`.
    TarvexMaterialSimple(const QString& name, double density, double specificHeat, double conductivity,
                         double emissivity = 0.0);
    /// An orthotropic material of conductivities (kx, ky, kz) along the file's axes.
    TarvexMaterialSimple(const QString& name, double density, double specificHeat,
                         const Geometry::Vec3& conductivity, double emissivity = 0.0);
    ~TarvexMaterialSimple() override;

    /// The "Name" of the Material element.
    QString getName() const override;
    /// False: the values are written directly.
    bool needsMaterialEntity() const override;
    /// Writes name, density, constant specific heat, conductivity and surface emissivity
    /// into the host material entity `entity`; null is ignored.
    void populateEntity(EntityModel::Entity* entity) const override;
    /// Writes density, specific heat, K1, K2, K3 and emissivity below `attribute` (neither
    /// the name nor the conductivity type); `material` is not used.
    void populateAttribute(EntityModel::Attribute* attribute, EntityModel::Entity* material) const override;
    /// Calls the visitor's `visitMaterialSimple`.
    void accept(TarvexMaterialVisitorConst& visitor) const override;
    /// Same as the `const` form.
    void accept(TarvexMaterialVisitorConst& visitor) override;

    /// Density, kg/m^3.
    double getDensity() const { return density; }
    /// Specific heat, J/(kg K).
    double getSpecificHeat() const { return specificHeat; }
    /// True when the conductivity is a triple rather than one value.
    bool isOrthotropic() const { return orthotropic; }
    /// Conductivity in W/(m K) along the file's x, y and z; all three k when isotropic.
    const Geometry::Vec3& getConductivity() const { return conductivity; }
    /// The conductivity along the host's axes as the host's K1, K2, K3: k three times, or the
    /// triple turned by the interchange-to-host rotation with every component made positive
    /// (so (kx, kz, ky)).
    Geometry::Vec3 getHostConductivity() const;
    /// Surface emissivity, no unit.
    double getEmissivity() const { return emissivity; }

private:
    QString name;
    double density = 0.0;
    double specificHeat = 0.0;
    Geometry::Vec3 conductivity;
    bool orthotropic = false;
    double emissivity = 0.0;
};

} // namespace Tarvex
