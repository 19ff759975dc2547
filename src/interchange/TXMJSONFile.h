#pragma once

#include <tarvex/host/BasicJsonObject.h>
#include <tarvex/interchange/TXMFileVersion.h>
#include <tarvex/interchange/TXMJSONModel.h>
#include <tarvex/interchange/TXMJSONUnit.h>

#include <QJsonObject>
#include <QString>

namespace Tarvex {

/// The top-level object of a JSON interchange file (an import list). False when null, which
/// is how a failed read shows.
class TXMJSONFile : public InterProcess::Types::BasicJsonObject
{
public:
    /// The null object.
    TXMJSONFile() = default;
    /// A file around `object`.
    explicit TXMJSONFile(const QJsonObject& object);
    ~TXMJSONFile() override;

    /// "Version", components joined by "."; the empty version when absent.
    TXMFileVersion getVersion() const;
    /// Writes "Version" as the components joined by ".".
    void setVersion(const TXMFileVersion& version);
    /// "Mode"; empty when absent.
    QString getMode() const;
    /// Writes "Mode".
    void setMode(const QString& mode);
    /// "UNIT"; an empty unit object (all defaults) when absent.
    TXMJSONUnit getUnit() const;
    /// Writes "UNIT".
    void setUnit(const TXMJSONUnit& unit);
    /// "TARVEX_INTERCHANGE_MODEL"; an empty model when absent.
    TXMJSONModel getModel() const;
    /// Writes "TARVEX_INTERCHANGE_MODEL".
    void setModel(const TXMJSONModel& model);
};

} // namespace Tarvex
