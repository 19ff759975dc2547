#include <tarvex/objects/TarvexMaterialTable.h>

#include <algorithm>

namespace Tarvex {

void TarvexMaterialTable::insert(std::shared_ptr<TarvexMaterial> material)
{
    if (!material)
        return;
    const QString name = material->getName();
    const auto at = std::upper_bound(materials.begin(), materials.end(), name,
                                     [](const QString& key, const std::shared_ptr<TarvexMaterial>& entry) {
                                         return key < entry->getName();
                                     });
    materials.insert(at, std::move(material));
}

std::shared_ptr<TarvexMaterial> TarvexMaterialTable::find(const QString& name) const
{
    const auto at = std::lower_bound(materials.begin(), materials.end(), name,
                                     [](const std::shared_ptr<TarvexMaterial>& entry, const QString& key) {
                                         return entry->getName() < key;
                                     });
    if (at == materials.end() || (*at)->getName() != name)
        return {};
    return *at;
}

} // namespace Tarvex
