#pragma once

#include <tarvex/host/ProgressBaseObject.h>
#include <tarvex/interchange/TXMFileVersion.h>
#include <tarvex/interchange/TXMXMLGeom.h>
#include <tarvex/interchange/TXMXMLLayoutInclude.h>
#include <tarvex/interchange/TXMXMLSolderBall.h>
#include <tarvex/interchange/TXMXMLSolderBump.h>
#include <tarvex/interchange/LegacyXMLSimplificationModel.h>
#include <tarvex/objects/TarvexMaterialTable.h>
#include <tarvex/objects/TarvexPart.h>
#include <tarvex/objects/TarvexPowerSourceTable.h>
#include <tarvex/objects/TarvexTerminal.h>

#include <QDir>
#include <QHash>
#include <QList>

#include <functional>
#include <memory>

namespace Tarvex {

class TarvexBasicPart;
class TarvexFileUnits;
class TXMXMLModel;

/// Makes the parts of one interchange file from its Geom, solder ball and solder bump
/// elements, with the file's materials and power sources, in SI units.
class TarvexPartFactory
{
public:
    /// The file's version, folder, units and tables; `model` supplies terminals, layout
    /// includes and (older files) simplification options. `advance` is called once per
    /// progress step. Nothing is owned.
    TarvexPartFactory(const TXMXMLModel& model, const TXMFileVersion& version, const QDir& directory,
                      const TarvexFileUnits& units, const TarvexMaterialTable& materials,
                      const TarvexPowerSourceTable& powerSources, const Log::ProgressBaseObject& reporter,
                      std::function<void()> advance);

    /// The part of one group of Geoms sharing an ObjectName (a basic, two-resistor or
    /// layered part, or a heat-sink composite); null for an empty group.
    std::unique_ptr<TarvexPart> buildGroup(const QList<TXMXMLGeom>& group) const;
    /// The part of one solder ball.
    std::unique_ptr<TarvexPart> buildSolderBall(const TXMXMLSolderBall& element) const;
    /// The part of one solder bump.
    std::unique_ptr<TarvexPart> buildSolderBump(const TXMXMLSolderBump& element) const;

    /// True for files older than the layout that gives every Geom its own layer.
    bool isOlderLayout() const { return m_olderLayout; }

private:
    TarvexBasicPart makeBasicPart(const TXMXMLGeom& geom, bool checkMaterial) const;
    std::unique_ptr<TarvexPart> makeCell(const TXMXMLGeom& geom) const;
    std::unique_ptr<TarvexPart> makeLayeredPart(const QList<TXMXMLGeom>& group) const;
    std::unique_ptr<TarvexPart> makeHeatSink(const QList<TXMXMLGeom>& group) const;
    std::shared_ptr<TarvexMaterial> layoutMaterial(const TXMXMLGeom& geom, const TXMXMLLayoutInclude& include) const;

    const bool m_olderLayout;
    const QDir m_directory;
    const TarvexFileUnits& m_units;
    const TarvexMaterialTable& m_materials;
    const TarvexPowerSourceTable& m_powerSources;
    const Log::ProgressBaseObject& m_reporter;
    const std::function<void()> m_advance;
    // Looked up per Geom, so gathered once: terminals by their object's name, the first
    // layout include and simplification model of each object name.
    QHash<QString, QList<TarvexTerminal>> m_terminals;
    QHash<QString, TXMXMLLayoutInclude> m_layouts;
    QHash<QString, LegacyXMLSimplificationModel> m_simplifications;
};

} // namespace Tarvex
