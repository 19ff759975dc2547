#pragma once

#include <tarvex/host/XMLDOMNode.h>
#include <tarvex/interchange/TXMXMLGeomNode.h>

#include <QList>
#include <QString>

#include <optional>

namespace Tarvex {

/// A "Geom" element: one extruded footprint (a layer cell, a block, a package or heat-sink
/// piece) of the part named by "ObjectName".
/// A value: copies share the element; the null element answers every getter with its default.
class TXMXMLGeom : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXMLGeom() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXMLGeom(const InterProcess::XMLDOMNode& element);

    /// "ObjectName": the part this footprint belongs to; empty when absent.
    QString getObjectName() const;
    /// Writes "ObjectName".
    void setObjectName(const QString& value);

    /// "Name": the footprint's own name; empty when absent.
    QString getName() const;
    /// Writes "Name".
    void setName(const QString& value);

    /// The "Type" of heat sinks ("HeatSink"): their footprints are grouped by name into
    /// composites, and a heat sink is never a component of its own.
    static const QString& heatSinkType();

    /// "Type": the kind of part, such as "HeatSink", "Package" or "TwoResistor"; empty when absent.
    QString getType() const;
    /// Writes "Type".
    void setType(const QString& value);

    /// "MatName": the material name; no value when absent, an empty name when present but empty.
    std::optional<QString> getMatName() const;
    /// Writes "MatName"; no value removes it.
    void setMatName(const std::optional<QString>& value);

    /// "dz": the extrusion height; 0.0 when absent or not a finite number.
    double getDz() const;
    /// Writes "dz".
    void setDz(double value);

    /// "Power": the dissipated power; 0.0 when absent or not a finite number.
    double getPower() const;
    /// Writes "Power".
    void setPower(double value);

    /// "ThetaJB": the junction-to-board thermal resistance; 0.0 when absent or not a finite number.
    double getThetaJB() const;
    /// Writes "ThetaJB".
    void setThetaJB(double value);

    /// "ThetaJC": the junction-to-case thermal resistance; 0.0 when absent or not a finite number.
    double getThetaJC() const;
    /// Writes "ThetaJC".
    void setThetaJC(double value);

    /// Every "node" child: the corners of the footprint polygon, in document order.
    QList<TXMXMLGeomNode> getNodes() const;
    /// Replaces every "node" child by `values`, in list order.
    void setNodes(const QList<TXMXMLGeomNode>& values);
};

} // namespace Tarvex
