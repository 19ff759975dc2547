#pragma once

#include <tarvex/host/BasicJsonObject.h>
#include <tarvex/interchange/TXMJSONImport.h>

#include <QJsonObject>
#include <QList>

namespace Tarvex {

/// The "TARVEX_INTERCHANGE_MODEL" object of a JSON interchange file: the list of files to
/// import together.
class TXMJSONModel : public InterProcess::Types::BasicJsonObject
{
public:
    /// The null object.
    TXMJSONModel() = default;
    /// A model around `object`.
    explicit TXMJSONModel(const QJsonObject& object);
    ~TXMJSONModel() override;

    /// "Import": one entry per array element in array order (each read as an object), one
    /// entry when it is a single object, none otherwise.
    QList<TXMJSONImport> getImport() const;
    /// Writes "Import" as an array of `imports` in list order.
    void setImport(const QList<TXMJSONImport>& imports);
};

} // namespace Tarvex
