#pragma once

#include <tarvex/maps/MaterialMapImporterBase.h>

namespace Tarvex {

/// Reads a CSV table of metal densities as one map layer without an area: one grid row per
/// table row, one grid column per field. The layer takes the importer's defaults and fills
/// the area of the host layer it is applied to.
class UniformGridMaterialMapImporter : public MaterialMapImporterBase<int(MaterialMapType::UniformGrid)>
{
    Q_OBJECT

public:
    using MaterialMapImporterBase::MaterialMapImporterBase;
    ~UniformGridMaterialMapImporter() override;

    /// One record holding the table; empty when the file cannot be read, holds no cell or
    /// has rows of different lengths. A field that is not a number counts as 0, with a
    /// warning naming the first one.
    std::vector<MaterialMapData> readMaterialMapDataImpl(const QString& path) override;
};

} // namespace Tarvex
