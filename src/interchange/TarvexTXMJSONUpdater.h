#pragma once

#include <tarvex/host/BasicVersion.h>
#include <tarvex/interchange/TXMFileVersion.h>
#include <tarvex/interchange/TXMJSONFile.h>
#include <tarvex/interchange/TXMJSONImport.h>
#include <tarvex/interchange/TXMJSONModel.h>

#include <QJsonDocument>

namespace Tarvex {

/// Brings a JSON interchange file written by an older format version up to the current
/// one. Works on copies, stamps the current version into the result, keeps no state and
/// sends no messages.
class TarvexTXMJSONUpdater
{
public:
    /// The version files are brought to: 2025.1.0.
    static TXMFileVersion current();

    /// True when `version` is below `current()`.
    bool needsUpdate(const TXMFileVersion& version) const;
    /// `needsUpdate` of the file's "Version" (true when it is absent).
    bool needsUpdate(const TXMJSONFile& file) const;
    /// True when the top level is not an object, else `needsUpdate` of the file it holds.
    bool needsUpdate(const QJsonDocument& document) const;

    /// A null document when the top level is not an object; the updated file's object when
    /// it needs an update; otherwise a copy of `document`.
    QJsonDocument update(const QJsonDocument& document) const;
    /// The file brought to the current version; unchanged when it needs no update. A null
    /// file stays null.
    TXMJSONFile update(const TXMJSONFile& file) const;
    /// The model of a file of `fileVersion` with every import updated; "Import" comes back
    /// as an array.
    TXMJSONModel update(const TXMJSONModel& model, const EntityModel::BasicVersion& fileVersion) const;
    /// The import entry of a file of `fileVersion` with its "Priority" normalised.
    TXMJSONImport update(const TXMJSONImport& entry, const EntityModel::BasicVersion& fileVersion) const;
};

} // namespace Tarvex
