#pragma once

#include <tarvex/host/BasicJsonObject.h>

#include <QJsonObject>
#include <QString>

namespace Tarvex {

/// The "UNIT" object of a JSON interchange file: the unit of each quantity, as text that
/// may join factors with "-".
class TXMJSONUnit : public InterProcess::Types::BasicJsonObject
{
public:
    /// The null object.
    TXMJSONUnit() = default;
    /// A unit object around `object`.
    explicit TXMJSONUnit(const QJsonObject& object);
    ~TXMJSONUnit() override;

    /// "length"; "um" when absent.
    QString getLength() const;
    /// Writes "length".
    void setLength(const QString& unit);
    /// "displacement"; "mm" when absent.
    QString getDisplacement() const;
    /// Writes "displacement".
    void setDisplacement(const QString& unit);
    /// "load"; "N" when absent.
    QString getLoad() const;
    /// Writes "load".
    void setLoad(const QString& unit);
    /// "temperature"; "C" when absent.
    QString getTemperature() const;
    /// Writes "temperature".
    void setTemperature(const QString& unit);
    /// "time"; "s" when absent.
    QString getTime() const;
    /// Writes "time".
    void setTime(const QString& unit);
};

} // namespace Tarvex
