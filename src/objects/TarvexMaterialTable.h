#pragma once

#include <tarvex/objects/TarvexMaterial.h>

#include <QString>

#include <memory>
#include <vector>

namespace Tarvex {

/// The materials of one interchange file, kept sorted by name for lookup.
class TarvexMaterialTable
{
public:
    /// The shared materials.
    using MaterialList = std::vector<std::shared_ptr<TarvexMaterial>>;

    /// Adds `material` in name order, after any material of the same name (so a lookup
    /// finds the first one added); null is ignored.
    void insert(std::shared_ptr<TarvexMaterial> material);
    /// The material called `name`, or an empty pointer.
    std::shared_ptr<TarvexMaterial> find(const QString& name) const;
    /// The materials, sorted by name.
    const MaterialList& getMaterials() const { return materials; }
    /// Number of materials.
    int size() const { return int(materials.size()); }
    /// True when the table holds no material.
    bool isEmpty() const { return materials.empty(); }

private:
    MaterialList materials;
};

} // namespace Tarvex
