#include <tarvex/objects/TarvexMaterialMap.h>

#include <tarvex/objects/TarvexMaterialVisitorConst.h>

#include <utility>

namespace Tarvex {

TarvexMaterialMap::TarvexMaterialMap(const QString& mapName, std::shared_ptr<TarvexMaterial> metalMaterial,
                                     std::shared_ptr<TarvexMaterial> dielectricMaterial, const QString& layoutPath)
    : name(mapName),
      metal(std::move(metalMaterial)),
      dielectric(std::move(dielectricMaterial)),
      layoutFile(layoutPath)
{
}

TarvexMaterialMap::~TarvexMaterialMap() = default;

QString TarvexMaterialMap::getName() const
{
    return name;
}

bool TarvexMaterialMap::needsMaterialEntity() const
{
    return true;
}

void TarvexMaterialMap::populateEntity(EntityModel::Entity*) const {}

void TarvexMaterialMap::populateAttribute(EntityModel::Attribute*, EntityModel::Entity*) const {}

void TarvexMaterialMap::accept(TarvexMaterialVisitorConst& visitor) const
{
    visitor.visitMaterialMap(*this);
}

void TarvexMaterialMap::accept(TarvexMaterialVisitorConst& visitor)
{
    visitor.visitMaterialMap(*this);
}

} // namespace Tarvex
