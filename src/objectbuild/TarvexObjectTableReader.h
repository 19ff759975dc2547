#pragma once

#include <tarvex/host/ProgressBaseObject.h>
#include <tarvex/interchange/TXMFileVersion.h>
#include <tarvex/objects/TarvexMaterialTable.h>
#include <tarvex/objects/TarvexPowerSourceTable.h>

#include <QDir>

namespace Tarvex {

class TarvexFileUnits;
class TXMXMLMaterialSet;
class TXMXMLPower2DSourceSet;

/// Reads the material and power-source tables of one interchange file into the object
/// model, in SI units. Files the tables name (material libraries, power maps) are looked
/// for beside the interchange file.
class TarvexObjectTableReader
{
public:
    /// A reader for a file in `directory` of format `version`, converting with `units` and
    /// reporting through `reporter` (neither owned).
    TarvexObjectTableReader(const QDir& directory, const TXMFileVersion& version, const TarvexFileUnits& units,
                            const Log::ProgressBaseObject& reporter);

    /// The file's own materials, then those of every library it includes.
    TarvexMaterialTable readMaterials(const TXMXMLMaterialSet& materialSet) const;
    /// The power sources; each source's "PowerMapFile" is rewritten to the resolved path.
    /// Sources whose map file is missing are left out with a warning.
    TarvexPowerSourceTable readPowerSources(const TXMXMLPower2DSourceSet& sourceSet) const;

private:
    void readLibrary(const QString& file, TarvexMaterialTable& table) const;

    QDir m_directory;
    TXMFileVersion m_version;
    const TarvexFileUnits& m_units;
    const Log::ProgressBaseObject& m_reporter;
};

} // namespace Tarvex
