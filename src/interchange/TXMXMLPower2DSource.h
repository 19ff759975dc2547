#pragma once

#include <tarvex/host/XMLDOMNode.h>

#include <QString>

namespace Tarvex {

/// A "Power2DSource" element: a rectangular heat source, optionally shaped by a power map.
/// A value: copies share the element; the null element answers every getter with its default.
class TXMXMLPower2DSource : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXMLPower2DSource() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXMLPower2DSource(const InterProcess::XMLDOMNode& element);

    /// "PowerMapFile": the path of the power-map file; empty when absent.
    QString getPowerMapFile() const;
    /// Writes "PowerMapFile".
    void setPowerMapFile(const QString& value);

    /// "xll": the x of the lower-left corner; 0.0 when absent or not a finite number.
    double getXll() const;
    /// Writes "xll".
    void setXll(double value);

    /// "yll": the y of the lower-left corner; 0.0 when absent or not a finite number.
    double getYll() const;
    /// Writes "yll".
    void setYll(double value);

    /// "dx": the extent along x; 0.0 when absent or not a finite number.
    double getDx() const;
    /// Writes "dx".
    void setDx(double value);

    /// "dy": the extent along y; 0.0 when absent or not a finite number.
    double getDy() const;
    /// Writes "dy".
    void setDy(double value);

    /// "Rotation": the rotation; 0.0 when absent or not a finite number.
    double getRotation() const;
    /// Writes "Rotation".
    void setRotation(double value);

    /// "PowerScale": the factor applied to the power; 1.0 when absent or not a finite number.
    double getPowerScale() const;
    /// Writes "PowerScale".
    void setPowerScale(double value);

    /// "GeomScale": the factor applied to the map geometry; 1.0 when absent or not a finite number.
    double getGeomScale() const;
    /// Writes "GeomScale".
    void setGeomScale(double value);

    /// "Flip": the flip axis, "x" or "y" in any case (not checked here); empty when absent.
    QString getFlip() const;
    /// Writes "Flip".
    void setFlip(const QString& value);

    /// "Normal": the facing, "z+" or "z-" in any case (not checked here); empty when absent.
    QString getNormal() const;
    /// Writes "Normal".
    void setNormal(const QString& value);

    /// "Name": the source name; empty when absent.
    QString getName() const;
    /// Writes "Name".
    void setName(const QString& value);

    /// "ObjectName": the part the source heats; empty when absent.
    QString getObjectName() const;
    /// Writes "ObjectName".
    void setObjectName(const QString& value);

    /// "Power": the total power; 0.0 when absent or not a finite number.
    double getPower() const;
    /// Writes "Power".
    void setPower(double value);
};

} // namespace Tarvex
