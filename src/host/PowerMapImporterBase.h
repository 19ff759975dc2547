#pragma once

#include <tarvex/host/PowerMapImporter.h>

namespace ServerConstructor {

/// A power-map importer for map files of kind `Type`, the number `getType` answers.
template <int Type>
class PowerMapImporterBase : public PowerMapImporter
{
public:
    /// An importer reporting to `progress` (may be null).
    explicit PowerMapImporterBase(Tools::ToolProgress* progress, QObject* parent = nullptr)
        : PowerMapImporter(progress, parent)
    {
    }
    /// As above; with `reportApplied` set, applying posts an informational message per map.
    PowerMapImporterBase(bool reportApplied, Tools::ToolProgress* progress, QObject* parent = nullptr)
        : PowerMapImporter(reportApplied, progress, parent)
    {
    }

    /// `Type`.
    int getType() const override { return Type; }
};

} // namespace ServerConstructor
