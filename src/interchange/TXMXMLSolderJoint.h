#pragma once

#include <tarvex/host/Vec.h>
#include <tarvex/host/XMLDOMNode.h>

#include <QString>

#include <optional>

namespace Tarvex {

/// The attributes "SolderBall" and "SolderBump" elements share.
/// A value: copies share the element; the null element answers every getter with its default.
class TXMXMLSolderJoint : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXMLSolderJoint() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXMLSolderJoint(const InterProcess::XMLDOMNode& element);

    /// "Name": the name; empty when absent.
    QString getName() const;
    /// Writes "Name".
    void setName(const QString& value);

    /// "MatName": the material name; empty when absent.
    QString getMatName() const;
    /// Writes "MatName".
    void setMatName(const QString& value);

    /// "d1": the first diameter; 0.0 when absent or not a finite number.
    double getD1() const;
    /// Writes "d1".
    void setD1(double value);

    /// "d2": the second diameter; 0.0 when absent or not a finite number.
    double getD2() const;
    /// Writes "d2".
    void setD2(double value);

    /// "dmax": the largest diameter; 0.0 when absent or not a finite number.
    double getDMax() const;
    /// Writes "dmax".
    void setDMax(double value);

    /// "ht": the height; 0.0 when absent or not a finite number.
    double getHeight() const;
    /// Writes "ht".
    void setHeight(double value);

    /// "position": the position as written: three numbers x, y and z separated by ","; empty when absent.
    QString getPosition() const;
    /// "position" read as exactly three finite numbers x, y and z separated by ",", each
    /// between blanks; nullopt when absent or written otherwise.
    std::optional<Geometry::Vec3> getPositionValue() const;
    /// Writes "position".
    void setPosition(const QString& value);
};

} // namespace Tarvex
