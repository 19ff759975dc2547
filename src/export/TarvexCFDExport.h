#pragma once

#include <tarvex/host/AttributePath.h>
#include <tarvex/host/Part.h>
#include <tarvex/host/ToolProgress.h>

#include <QList>
#include <QObject>
#include <QString>

class QXmlStreamWriter;

namespace EntityModel {
class CompositeAttribute;
class Entity;
}

namespace Tarvex {

/// Writes the CFD results of the terminals of one PCB as a terminal-definition file
/// ("CFD_TERMINAL_DEFINITION"), for the thermal tools of the family: every terminal with its
/// outline, its pins with their positions and heat-transfer results, its total heat transfer
/// and its average temperatures. Positions are relative to the board, in the file's z-up frame.
class TarvexCFDExport : public QObject
{
    Q_OBJECT

public:
    /// The results of one face (a pin, a terminal or a terminal group), SI values, 0 when
    /// the solution left none.
    struct HeatFluxData
    {
        /// Heat leaving by convection: outgoing minus incoming.
        double convection = 0.0;
        /// Heat leaving by conduction: outgoing minus incoming; 0 unless conduction is included.
        double conduction = 0.0;
        /// Heat leaving by radiation: outgoing minus incoming.
        double radiation = 0.0;
        /// From the heat-transfer summary.
        double heatTransferCoefficient = 0.0;
        double thermalResistance = 0.0;
        double surfaceTemperature = 0.0;
        double referenceTemperature = 0.0;
        double effectiveArea = 0.0;
    };

    /// An exporter without a parent object.
    TarvexCFDExport();
    /// An exporter owned by `parent`.
    explicit TarvexCFDExport(QObject* parent);

    /// Writes the file at `path` for the board `pcb`, reporting progress to `sink` (may be
    /// null). Throws `std::runtime_error` for a null part ("No Root Part provided") or a part
    /// that is not a PCB ("Only PCBs can be exported"); no file is made then. A file that
    /// cannot be opened is silently not written.
    void exportModel(Geometry::Part* pcb, const QString& path, Tools::ToolProgress* sink);

private:
    // The heat-flux record of a results composite: a terminal's or group's
    // `Simulation_Results_t`, or one pin item of its pin results.
    static HeatFluxData getHeatFluxData(const EntityModel::CompositeAttribute* results);
    // Whether conduction counts for `entity`: its group decides when it is in one.
    static bool includesConduction(const EntityModel::Entity* entity);
    void writeTerminal(QXmlStreamWriter& writer, Geometry::Part* terminal, const Geometry::Transform& transform);
    void writeLumpTerminalGroup(QXmlStreamWriter& writer, Geometry::Part* group, const Geometry::Transform& transform);
    static double extractResultStandardValue(const EntityModel::CompositeAttribute* results,
                                             const EntityModel::AttributePath& path);
    static double extractResultStandardValues(const EntityModel::CompositeAttribute* results,
                                              const QList<EntityModel::AttributePath>& added,
                                              const QList<EntityModel::AttributePath>& subtracted);
};

} // namespace Tarvex
