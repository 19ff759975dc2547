#pragma once

#include <tarvex/maps/MaterialMapImporter.h>

namespace Tarvex {

/// A material map importer of one kind of file.
template <int Type>
class MaterialMapImporterBase : public MaterialMapImporter
{
public:
    using MaterialMapImporter::MaterialMapImporter;

    /// The kind given by the template argument.
    MaterialMapType getType() const override { return MaterialMapType(Type); }
};

} // namespace Tarvex
