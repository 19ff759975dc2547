#pragma once

#include <tarvex/model3d/Tarvex3DMaterial.h>
#include <tarvex/objects/TarvexMaterial.h>

#include <QString>

namespace Tarvex {

/// A material taken from an included material-library file: a copy of the library's
/// material with its parsed property curves.
class TarvexMaterialCMX : public TarvexMaterial
{
public:
    /// A material holding a copy of `material` (its curves already parsed).
    explicit TarvexMaterialCMX(const Tarvex3D::Tarvex3DMaterial& material);
    ~TarvexMaterialCMX() override;

    /// The library material's name.
    QString getName() const override;
    /// True: the host holds a library material as an entity of its own.
    bool needsMaterialEntity() const override;
    /// Copies the library material into the host material entity `entity` as the material
    /// library import does; null is ignored.
    void populateEntity(EntityModel::Entity* entity) const override;
    /// Links `material` below `attribute` as "TarvexMaterial", then writes density, specific
    /// heat, K1 = K2 = K3 and emissivity, each the library curve's value at 0 (which is 0 for
    /// a curve of fewer than two points).
    void populateAttribute(EntityModel::Attribute* attribute, EntityModel::Entity* material) const override;
    /// Calls the visitor's `visitMaterialCMX`.
    void accept(TarvexMaterialVisitorConst& visitor) const override;
    /// Same as the `const` form.
    void accept(TarvexMaterialVisitorConst& visitor) override;

    /// The library material.
    const Tarvex3D::Tarvex3DMaterial& getMaterial() const { return material; }

private:
    Tarvex3D::Tarvex3DMaterial material;
};

} // namespace Tarvex
