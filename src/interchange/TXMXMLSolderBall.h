#pragma once

#include "host/XMLDOMNode.h"

#include <QDomElement>
#include <QString>

namespace Tarvex {

/// A "SolderBall" element: one solder ball.
/// A value: copies share the element; the null element answers every getter with its default.
class TXMXMLSolderBall : public InterProcess::XMLDOMNode
{
public:
    /// The null element.
    TXMXMLSolderBall() = default;
    /// A wrapper around `element` (which may be null).
    explicit TXMXMLSolderBall(const QDomElement& element);

    /// "Name": the ball name; empty when absent.
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
    /// Writes "position".
    void setPosition(const QString& value);
};

} // namespace Tarvex
