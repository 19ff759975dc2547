#pragma once

#include <tarvex/objects/TarvexMaterial.h>

#include <QString>

#include <memory>

namespace Tarvex {

/// A spatially varying layer material: a metal and a dielectric material distributed by a
/// material layout file. It writes nothing itself; the layered entity builder applies it.
class TarvexMaterialMap : public TarvexMaterial
{
public:
    /// A map named after the Geom that uses it; `layoutFile` is an absolute path.
    TarvexMaterialMap(const QString& name, std::shared_ptr<TarvexMaterial> metal,
                      std::shared_ptr<TarvexMaterial> dielectric, const QString& layoutFile);
    ~TarvexMaterialMap() override;

    /// The Name of the Geom that uses the map.
    QString getName() const override;
    /// True: the metal and the dielectric become material entities of the layer.
    bool needsMaterialEntity() const override;
    /// Does nothing: a map has no entity of its own.
    void populateEntity(EntityModel::Entity* entity) const override;
    /// Does nothing: a map is applied per layer.
    void populateAttribute(EntityModel::Attribute* attribute, EntityModel::Entity* material) const override;
    /// Calls the visitor's `visitMaterialMap`.
    void accept(TarvexMaterialVisitorConst& visitor) const override;
    /// Same as the `const` form.
    void accept(TarvexMaterialVisitorConst& visitor) override;

    /// The metal material ("MetalMat").
    const std::shared_ptr<TarvexMaterial>& getMetal() const { return metal; }
    /// The dielectric material ("DielectricMat").
    const std::shared_ptr<TarvexMaterial>& getDielectric() const { return dielectric; }
    /// Absolute path of the material layout file.
    const QString& getLayoutFile() const { return layoutFile; }

private:
    QString name;
    std::shared_ptr<TarvexMaterial> metal;
    std::shared_ptr<TarvexMaterial> dielectric;
    QString layoutFile;
};

} // namespace Tarvex
